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
                       const LogLineColumns& columns) {
  if (!reader.P_datStart) return true;
  if (map.date == 0) return false;  // no layout: nothing to select by
  std::optional<Date> date =
      ParseDateTime(Column(columns, map.date), date_order_);
  if (!date) return reader.P_fTitle;

  bool taken = *date >= *reader.P_datStart &&
               (!reader.P_datEnd || *date < *reader.P_datEnd + 1);
  taken = PassesTexts(reader, map, columns, taken);
  taken = PassesSize(reader, Column(columns, map.size), taken);
  if (map.ip_address > 0) {
    taken = PassesAddress(reader, Column(columns, map.ip_address), taken);
  }
  return taken;
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
