#include "logread/selection.h"

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text_case.h"
#include "logread/log_file_read.h"
#include "net/ipv4.h"

namespace kvo {

namespace {

// The column of `role`, or an empty text for a role the log does not have.
std::string_view Column(const LogLineColumns& columns, int16_t role) {
  return role > 0 && role <= columns.size() ? columns[role]
                                            : std::string_view();
}

// The longest criterion text that a taken line must hold: a whole-column
// POP3 account, or a literal From, To or Subject. Not the To criterion of the
// incoming log when it has a blank (its text is To, " ", Cc, so a match may
// span both), nor the Routed criterion (Routed to and Subject joined).
std::string_view ChooseRequiredLiteral(const C_LogFileRead& reader,
                                       const ColumnMap& map) {
  std::string_view best;
  auto consider = [&best](std::string_view text, bool eligible) {
    if (eligible && text.size() > best.size()) best = text;
  };
  consider(reader.P_strPOP3AccountSel, map.pop3_account > 0);
  consider(reader.P_strFromSel,
           map.from > 0 && WildcardPattern::IsLiteral(reader.P_strFromSel));
  consider(
      reader.P_strToSel,
      map.to > 0 && WildcardPattern::IsLiteral(reader.P_strToSel) &&
          (map.cc == 0 || reader.P_strToSel.find(' ') == std::string::npos));
  consider(
      reader.P_strSubjectSel,
      map.subject > 0 && WildcardPattern::IsLiteral(reader.P_strSubjectSel));
  return best;
}

}  // namespace

const WildcardPattern* CachedPattern::For(const std::string& criterion) {
  if (!compiled_ || criterion != source_) {
    source_ = criterion;
    pattern_.reset();
    compiled_ = true;
    try {
      pattern_.emplace(WildcardPattern::Containing(criterion));
    } catch (const RuntimeError&) {
      // Malformed: remembered as such until the criterion changes.
    }
  }
  return pattern_ ? &*pattern_ : nullptr;
}

bool Selection::Decide(const C_LogFileRead& reader, const ColumnMap& map,
                       const LogLineColumns& columns,
                       std::optional<DateVerdict> known) {
  if (!reader.P_datStart) return true;
  if (map.date == 0) return false;  // no layout: nothing to select by
  const DateVerdict verdict =
      known ? *known : TestDate(reader, Column(columns, map.date));
  if (verdict == DateVerdict::kNotADate) return reader.P_fTitle;

  bool taken = verdict == DateVerdict::kInside;
  taken = PassesTexts(reader, map, columns, taken);
  taken = PassesSize(reader, Column(columns, map.size), taken);
  if (map.ip_address > 0) {
    taken = PassesAddress(reader, Column(columns, map.ip_address), taken);
  }
  return taken;
}

DateVerdict Selection::TestDate(const C_LogFileRead& reader,
                                std::string_view date_text) const {
  std::optional<Date> date = ParseDateTime(date_text, date_order_);
  if (!date) return DateVerdict::kNotADate;
  if (!reader.P_datStart) return DateVerdict::kInside;
  bool inside = *date >= *reader.P_datStart &&
                (!reader.P_datEnd || *date < *reader.P_datEnd + 1);
  return inside ? DateVerdict::kInside : DateVerdict::kOutside;
}

const LiteralFinder* Selection::RequiredLiteral(const C_LogFileRead& reader,
                                                const ColumnMap& map) {
  if (!SameLiteralSource(reader, map)) {
    required_source_ = {reader.P_strPOP3AccountSel, reader.P_strFromSel,
                        reader.P_strToSel, reader.P_strSubjectSel, map};
    required_.reset();
    std::string_view best = ChooseRequiredLiteral(reader, map);
    if (!best.empty()) required_.emplace(best);
  }
  return required_ ? &*required_ : nullptr;
}

bool Selection::SameLiteralSource(const C_LogFileRead& reader,
                                  const ColumnMap& map) const {
  if (!required_source_) return false;
  const LiteralSource& source = *required_source_;
  return source.pop3_account == reader.P_strPOP3AccountSel &&
         source.from == reader.P_strFromSel && source.to == reader.P_strToSel &&
         source.subject == reader.P_strSubjectSel &&
         source.map.pop3_account == map.pop3_account &&
         source.map.from == map.from && source.map.to == map.to &&
         source.map.cc == map.cc && source.map.subject == map.subject;
}

bool Selection::PassesTexts(const C_LogFileRead& reader, const ColumnMap& map,
                            const LogLineColumns& columns, bool taken) {
  if (taken && map.pop3_account > 0 && !reader.P_strPOP3AccountSel.empty()) {
    taken = EqualsIgnoreCase(Column(columns, map.pop3_account),
                             reader.P_strPOP3AccountSel);
  }
  taken = Matches(from_, reader.P_strFromSel, Column(columns, map.from), taken);
  if (taken && !reader.P_strToSel.empty()) {
    std::string_view to = Column(columns, map.to);
    if (map.cc > 0) to = Join(to, " ", Column(columns, map.cc));
    taken = Matches(to_, reader.P_strToSel, to, taken);
  }
  if (taken && map.routed > 0 && !reader.P_strRoutedSel.empty()) {
    std::string_view routed =
        Join(Column(columns, map.routed), "", Column(columns, map.subject));
    taken = Matches(routed_, reader.P_strRoutedSel, routed, taken);
  }
  return Matches(subject_, reader.P_strSubjectSel, Column(columns, map.subject),
                 taken);
}

std::string_view Selection::Join(std::string_view first,
                                 std::string_view separator,
                                 std::string_view second) {
  joined_.assign(first);
  joined_.append(separator);
  joined_.append(second);
  return joined_;
}

bool Selection::Matches(CachedPattern& cache, const std::string& criterion,
                        std::string_view text, bool taken) {
  if (!taken || criterion.empty()) return taken;
  const WildcardPattern* pattern = cache.For(criterion);
  return pattern ? pattern->Matches(text) : taken;
}

bool Selection::PassesSize(const C_LogFileRead& reader, std::string_view size,
                           bool taken) {
  if (!taken || (reader.P_lngSizeMini <= 0 && reader.P_lngSizeMaxi <= 0)) {
    return taken;
  }
  int32_t kilobytes;
  try {
    kilobytes = RoundToInt32(PrefixRead(size)) / 1024;
  } catch (const RuntimeError&) {
    return taken;  // beyond 32 bits: no size bound applies
  }
  if (reader.P_lngSizeMini > 0 && kilobytes < reader.P_lngSizeMini) {
    return false;
  }
  return !(reader.P_lngSizeMaxi > 0 && kilobytes > reader.P_lngSizeMaxi);
}

bool Selection::PassesAddress(const C_LogFileRead& reader,
                              std::string_view address, bool taken) {
  if (!taken || reader.P_strIpAddr1.empty()) return taken;
  if (address.empty()) {
    return InetAddr(reader.P_strIpAddr1) == InetAddr("0.0.0.0");
  }
  if (reader.P_strIpAddr2.empty()) {
    return InetAddr(reader.P_strIpAddr1) == InetAddr(address);
  }
  if (!reader.P_fSubnet) {
    return IsIpInRange(reader.P_strIpAddr1, reader.P_strIpAddr2, address);
  }
  try {
    return IsIpInSubnet(reader.P_strIpAddr1, reader.P_strIpAddr2, address);
  } catch (const RuntimeError&) {
    return taken;  // an address it cannot read does not exclude the line
  }
}

}  // namespace kvo
