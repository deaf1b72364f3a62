#include "logread/selection.h"

#include "base/numbers.h"
#include "base/text_case.h"

namespace kvo {

bool Selection::Decide(const Criteria& criteria, LineFields& fields,
                       bool title, std::optional<DateVerdict> known) {
  if (!criteria.selects()) return true;
  const ColumnMap& map = criteria.map();
  if (map.date == 0) return false;  // no layout: nothing to select by
  const DateVerdict verdict =
      known ? *known : TestDate(criteria, fields.Column(map.date));
  if (verdict == DateVerdict::kNotADate) return title;
  if (verdict == DateVerdict::kOutside) return false;
  if (!PassesTexts(criteria, fields)) return false;
  if (!PassesSize(criteria.texts(), fields.Column(map.size))) return false;
  const IpCriterion& ip = criteria.ip();
  return !ip.active() || ip.Takes(fields.Column(map.ip_address));
}

DateVerdict Selection::TestDate(const Criteria& criteria,
                                std::string_view date_text) {
  std::optional<int64_t> second = dates_.Seconds(date_text);
  if (!second) return DateVerdict::kNotADate;
  return criteria.InInterval(*second) ? DateVerdict::kInside
                                      : DateVerdict::kOutside;
}

bool Selection::PassesTexts(const Criteria& criteria, LineFields& fields) {
  const ColumnMap& map = criteria.map();
  const CriteriaTexts& texts = criteria.texts();
  if (map.pop3_account > 0 && !texts.pop3_account.empty() &&
      !EqualsIgnoreCase(fields.Column(map.pop3_account), texts.pop3_account)) {
    return false;
  }
  if (const WildcardPattern* from = criteria.from()) {
    if (!from->Matches(fields.Column(map.from))) return false;
  }
  if (const WildcardPattern* to = criteria.to()) {
    const bool matched =
        map.cc > 0 ? to->MatchesJoined(fields.line(), fields.Column(map.to),
                                       " ", fields.Column(map.cc), joined_)
                   : to->Matches(fields.Column(map.to));
    if (!matched) return false;
  }
  if (const WildcardPattern* routed = criteria.routed()) {
    if (!routed->MatchesJoined(fields.line(), fields.Column(map.routed), "",
                               fields.Column(map.subject), joined_)) {
      return false;
    }
  }
  const WildcardPattern* subject = criteria.subject();
  return subject == nullptr || subject->Matches(fields.Column(map.subject));
}

namespace {

// The Size column in bytes: its prefix reading rounded to 32 bits; null
// beyond them. The gateway writes plain digits, read here without the
// general reading.
std::optional<int32_t> SizeBytes(std::string_view size) {
  constexpr size_t kSafeDigits = 9;  // below 2^31 whatever they are
  if (!size.empty() && size.size() <= kSafeDigits) {
    int32_t value = 0;
    bool digits = true;
    for (char c : size) {
      const auto digit = static_cast<unsigned char>(c - '0');
      digits &= digit <= 9;
      value = value * 10 + (digit & 15);
    }
    if (digits) return value;
  }
  NumberOr<double> read = ConvertPrefix(size);
  if (!read.ok()) return std::nullopt;
  NumberOr<int32_t> bytes = ConvertRoundInt32(read.value());
  if (!bytes.ok()) return std::nullopt;
  return bytes.value();
}

}  // namespace

bool PassesSize(const CriteriaTexts& texts, std::string_view size) {
  if (texts.size_mini <= 0 && texts.size_maxi <= 0) return true;
  std::optional<int32_t> bytes = SizeBytes(size);
  if (!bytes) return true;  // beyond 32 bits: no size bound applies
  const int32_t kilobytes = *bytes / 1024;
  if (texts.size_mini > 0 && kilobytes < texts.size_mini) return false;
  return !(texts.size_maxi > 0 && kilobytes > texts.size_maxi);
}

}  // namespace kvo
