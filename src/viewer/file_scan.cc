#include "viewer/file_scan.h"

#include <cmath>
#include <optional>

#include "base/numbers.h"

namespace kvo {

LineCounter::LineCounter(E_LogType log_type)
    : layout_(LayoutOf(log_type)), dates_(LocaleDayMonthOrder()) {}

void LineCounter::Count(std::string_view text, const uint32_t* tabs,
                        size_t tab_count, std::optional<int64_t> second) {
  ++total_;
  LineFields fields(layout_, text, tabs, tab_count);
  if (!second) second = dates_.Seconds(fields.Column(layout_.map.date));
  if (!second) return;
  constexpr int64_t kDay = 86400;
  const int64_t day = *second >= 0 ? *second / kDay : (*second + 1) / kDay - 1;
  DayTally& tally = days_[day];
  ++tally.count;
  tally.bytes += SizeColumnBytes(fields.Column(layout_.map.size));
}

void LineCounter::Add(const LineCounter& other) {
  total_ += other.total_;
  for (const auto& [day, tally] : other.days_) {
    days_[day].count += tally.count;
    days_[day].bytes += tally.bytes;
  }
}

int64_t SizeColumnBytes(std::string_view size) {
  if (std::optional<int64_t> plain = ReadPlainDigits(size)) return *plain;
  NumberOr<double> bytes = ConvertPrefix(size);
  if (!bytes.ok() || !(std::fabs(bytes.value()) < 9e18)) return 0;
  return std::llround(bytes.value());
}

void ConfigureReader(C_LogFileRead& reader, const ListingRequest& request,
                     std::shared_ptr<const LogFolder> folder,
                     std::shared_ptr<const Criteria> criteria,
                     const Deadline* deadline) {
  const CriteriaTexts& texts = request.criteria;
  reader.P_strPathName = request.folder;
  reader.P_LogType(request.log_type);
  reader.P_datStart = request.first_day;
  reader.P_datEnd = request.last_day;
  reader.P_strPOP3AccountSel = texts.pop3_account;
  reader.P_strFromSel = texts.from;
  reader.P_strToSel = texts.to;
  reader.P_strRoutedSel = texts.routed;
  reader.P_strSubjectSel = texts.subject;
  reader.P_lngSizeMini = texts.size_mini;
  reader.P_lngSizeMaxi = texts.size_maxi;
  reader.P_strIpAddr1 = texts.ip_address1;
  reader.P_fSubnet = texts.subnet;
  reader.P_strIpAddr2 = texts.ip_address2;
  reader.P_fTitle = false;  // the listing tells its title from its first line
  reader.UseFolder(std::move(folder));
  reader.UseCriteria(std::move(criteria));
  reader.UseDeadline(deadline);
}

bool OpenStep(C_LogFileRead& reader, const LogFileRef& file) {
  reader.P_LogPeriod = file.period;
  reader.P_datRef = file.day;
  reader.P_Open(true);
  return reader.P_Open();
}

std::string OpenedName(const C_LogFileRead& reader) {
  const std::string& path = reader.P_strFileName;
  return path.substr(path.find_last_of('/') + 1);
}

bool ScanFile(C_LogFileRead& reader, const FilePart& part, FileLineSink& sink,
              LineCounter* counter) {
  bool eof = false;
  if (!part.whole() && !reader.ReadPart(part.start, part.stop)) return false;
  if (part.start == 0) {
    std::optional<LogLineColumns> line = reader.M_GetNextLine(eof);
    if (!line) return true;
    sink.First(reader.LineText(), reader.P_fTakeIt());
  }
  while (!eof && !sink.Done()) {
    std::optional<std::string_view> text = reader.NextTakenLine(eof);
    if (!text) break;
    if (counter != nullptr) {
      counter->Count(*text, reader.LineTabs(), reader.LineTabCount(),
                     reader.LineSecond());
    }
    if (sink.WantsLines()) sink.Selected(*text);
  }
  return true;
}

}  // namespace kvo
