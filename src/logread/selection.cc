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
    std::string_view text = fields.Column(map.to);
    if (map.cc > 0) text = Join(text, " ", fields.Column(map.cc));
    if (!to->Matches(text)) return false;
  }
  if (const WildcardPattern* routed = criteria.routed()) {
    if (!routed->Matches(Join(fields.Column(map.routed), "",
                              fields.Column(map.subject)))) {
      return false;
    }
  }
  const WildcardPattern* subject = criteria.subject();
  return subject == nullptr || subject->Matches(fields.Column(map.subject));
}

std::string_view Selection::Join(std::string_view first,
                                 std::string_view separator,
                                 std::string_view second) {
  joined_.assign(first);
  joined_.append(separator);
  joined_.append(second);
  return joined_;
}

bool PassesSize(const CriteriaTexts& texts, std::string_view size) {
  if (texts.size_mini <= 0 && texts.size_maxi <= 0) return true;
  NumberOr<double> read = ConvertPrefix(size);
  NumberOr<int32_t> bytes =
      read.ok() ? ConvertRoundInt32(read.value())
                : NumberOr<int32_t>::Failure(read.error());
  if (!bytes.ok()) return true;  // beyond 32 bits: no size bound applies
  const int32_t kilobytes = bytes.value() / 1024;
  if (texts.size_mini > 0 && kilobytes < texts.size_mini) return false;
  return !(texts.size_maxi > 0 && kilobytes > texts.size_maxi);
}

}  // namespace kvo
