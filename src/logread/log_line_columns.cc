#include "logread/log_line_columns.h"

#include <algorithm>

#include "base/byte_search.h"
#include "base/date_parse.h"
#include "base/runtime_error.h"
#include "util/next_token.h"

namespace kvo {
namespace {

constexpr LogLayout kIncomingLayout{
    .columns = 9,
    .parsed_columns = 9,
    .dropped_field = 7,
    .map = {.date = 1,
            .pop3_account = 2,
            .from = 3,
            .to = 4,
            .cc = 5,
            .routed = 6,
            .subject = 7,
            .size = 8,
            .ip_address = 9}};
constexpr LogLayout kOutgoingLayout{
    .columns = 5,
    .parsed_columns = 5,
    .map = {.date = 1, .from = 2, .to = 3, .subject = 4, .size = 5}};
constexpr LogLayout kConnectLayout{.columns = 9, .map = {}};

}  // namespace

LogLineColumns::LogLineColumns(int16_t count)
    : count_(std::clamp<int16_t>(count, 0, kMaxColumns)) {}

std::string_view LogLineColumns::operator[](int index) const {
  if (index < 1 || index > count_) throw RuntimeError(kErrSubscript);
  return columns_[static_cast<size_t>(index - 1)];
}

std::string_view& LogLineColumns::operator[](int index) {
  if (index < 1 || index > count_) throw RuntimeError(kErrSubscript);
  return columns_[static_cast<size_t>(index - 1)];
}

LogLayout LayoutOf(E_LogType type) {
  switch (type) {
    case LogIncoming:
      return kIncomingLayout;
    case LogOutgoing:
      return kOutgoingLayout;
    case LogConnect:
      return kConnectLayout;
  }
  return LogLayout{};
}

bool NameAddressHeading(E_LogType type, const LogLayout& layout,
                        LogLineColumns& columns) {
  const int16_t address = layout.map.ip_address;
  if (type != LogIncoming || address <= 0 || !columns[address].empty()) {
    return false;
  }
  columns[address] = kTitleAddressHeading;
  return true;
}

LogLineColumns CutColumns(const LogLayout& layout, std::string_view line) {
  LogLineColumns columns(layout.columns);
  const int16_t count = std::min(layout.parsed_columns, columns.size());
  int16_t field = 1;
  for (int16_t i = 1; i <= count && !line.empty(); ++i, ++field) {
    if (field == layout.dropped_field) {
      NextToken(line, '\t');
      ++field;
    }
    columns[i] = NextToken(line, '\t');
  }
  return columns;
}

LineFields::LineFields(const LogLayout& layout, std::string_view line,
                       const uint32_t* tabs, size_t tab_count)
    : layout_(layout),
      line_(line),
      tabs_(tabs),
      tab_count_(tabs != nullptr ? std::min(tab_count, kMostTabs) : 0) {}

std::string_view LineFields::Column(int16_t index) {
  const int16_t limit = std::min(layout_.parsed_columns, layout_.columns);
  if (index < 1 || index > limit) return {};
  if (index == replaced_index_) return replaced_;
  const bool after_dropped =
      layout_.dropped_field > 0 && index >= layout_.dropped_field;
  return Field(static_cast<size_t>(index + (after_dropped ? 1 : 0)));
}

std::string_view LineFields::Field(size_t field) {
  // The Date column of the usual layout ends at a known place.
  if (field == 1 && tabs_ == nullptr && line_.size() > kUsualDateLength &&
      line_[kUsualDateLength] == '\t') {
    return line_.substr(0, kUsualDateLength);
  }
  if (tabs_ == nullptr) {
    tab_count_ = FindTabs(line_.data(), line_.data() + line_.size(),
                          found_tabs_, kMostTabs);
    tabs_ = found_tabs_;
  }
  if (field > tab_count_ + 1) return {};
  const size_t start = field == 1 ? 0 : tabs_[field - 2] + size_t{1};
  const size_t end = field <= tab_count_ ? tabs_[field - 1] : line_.size();
  return line_.substr(start, end - start);
}

}  // namespace kvo
