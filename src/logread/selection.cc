#include "logread/selection.h"

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text_case.h"
#include "net/ipv4.h"

namespace kvo {

bool Selection::Decide(const Criteria& criteria, const LogLineColumns& columns,
                       bool title, std::optional<DateVerdict> known) {
  if (!criteria.selects()) return true;
  const ColumnMap& map = criteria.map();
  if (map.date == 0) return false;  // no layout: nothing to select by
  const DateVerdict verdict =
      known ? *known : TestDate(criteria, ColumnOf(columns, map.date));
  if (verdict == DateVerdict::kNotADate) return title;
  if (verdict == DateVerdict::kOutside) return false;
  if (!PassesTexts(criteria, columns)) return false;
  if (!PassesSize(criteria.texts(), ColumnOf(columns, map.size))) return false;
  return map.ip_address == 0 ||
         PassesAddress(criteria.texts(), ColumnOf(columns, map.ip_address));
}

DateVerdict Selection::TestDate(const Criteria& criteria,
                                std::string_view date_text) const {
  std::optional<Date> date = ParseDateTime(date_text, date_order_);
  if (!date) return DateVerdict::kNotADate;
  return criteria.InInterval(*date) ? DateVerdict::kInside
                                    : DateVerdict::kOutside;
}

bool Selection::PassesTexts(const Criteria& criteria,
                            const LogLineColumns& columns) {
  const ColumnMap& map = criteria.map();
  const CriteriaTexts& texts = criteria.texts();
  if (map.pop3_account > 0 && !texts.pop3_account.empty() &&
      !EqualsIgnoreCase(ColumnOf(columns, map.pop3_account),
                        texts.pop3_account)) {
    return false;
  }
  if (const WildcardPattern* from = criteria.from()) {
    if (!from->Matches(ColumnOf(columns, map.from))) return false;
  }
  if (const WildcardPattern* to = criteria.to()) {
    std::string_view text = ColumnOf(columns, map.to);
    if (map.cc > 0) text = Join(text, " ", ColumnOf(columns, map.cc));
    if (!to->Matches(text)) return false;
  }
  if (const WildcardPattern* routed = criteria.routed()) {
    if (!routed->Matches(Join(ColumnOf(columns, map.routed), "",
                              ColumnOf(columns, map.subject)))) {
      return false;
    }
  }
  const WildcardPattern* subject = criteria.subject();
  return subject == nullptr || subject->Matches(ColumnOf(columns, map.subject));
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

bool PassesAddress(const CriteriaTexts& texts, std::string_view address) {
  if (texts.ip_address1.empty()) return true;
  if (address.empty()) {
    return InetAddr(texts.ip_address1) == InetAddr("0.0.0.0");
  }
  if (texts.ip_address2.empty()) {
    return InetAddr(texts.ip_address1) == InetAddr(address);
  }
  if (!texts.subnet) {
    return IsIpInRange(texts.ip_address1, texts.ip_address2, address);
  }
  try {
    return IsIpInSubnet(texts.ip_address1, texts.ip_address2, address);
  } catch (const RuntimeError&) {
    return true;  // an address it cannot read does not exclude the line
  }
}

}  // namespace kvo
