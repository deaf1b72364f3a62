#include "logread/log_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/date_parse.h"
#include "base/runtime_error.h"

namespace kvo {

namespace {

constexpr ColumnMap kIncomingMap{.date = 1,
                                 .pop3_account = 2,
                                 .from = 3,
                                 .to = 4,
                                 .cc = 5,
                                 .routed = 6,
                                 .subject = 7,
                                 .size = 8,
                                 .ip_address = 9};
constexpr ColumnMap kOutgoingMap{
    .date = 1, .from = 2, .to = 3, .subject = 4, .size = 5};
constexpr int16_t kIncomingDroppedField = 7;
constexpr std::string_view kTitleAddressHeading = "Orig. IP addr.";

// The text before the next TAB of `rest`; `rest` keeps what follows it.
std::string_view CutField(std::string_view& rest) {
  // An empty view may have no data pointer, which memchr must not get.
  if (rest.empty()) return {};
  const void* tab = std::memchr(rest.data(), '\t', rest.size());
  if (tab == nullptr) {
    std::string_view field = rest;
    rest = {};
    return field;
  }
  size_t length =
      static_cast<size_t>(static_cast<const char*>(tab) - rest.data());
  std::string_view field = rest.substr(0, length);
  rest.remove_prefix(length + 1);
  return field;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.empty() ? "/" : path.c_str(), &info) == 0 &&
         S_ISDIR(info.st_mode);
}

}  // namespace

C_LogFileRead::C_LogFileRead() = default;

C_LogFileRead::~C_LogFileRead() { P_Open(false); }

std::optional<Date> C_LogFileRead::P_datLastDayInLog() const {
  switch (P_LogPeriod) {
    case PeriodDaily:
      return P_datRef;
    case PeriodMonthly:
      return LastDayOfMonth(P_datRef);
  }
  return std::nullopt;
}

std::optional<LogLineColumns> C_LogFileRead::M_GetNextLine(bool& fEof) {
  if (!open_) return std::nullopt;
  std::string_view line;
  if (columns_ == 0 || !lines_.NextLine(&line)) {
    fEof = true;
    return std::nullopt;
  }
  return TakeLine(line, fEof);
}

std::optional<LogLineColumns> C_LogFileRead::NextCandidateLine(bool& fEof) {
  // Only the two logs with a layout have a Date column to go by.
  const bool selects = log_type_ == LogIncoming || log_type_ == LogOutgoing;
  if (!open_ || P_fTitle || !P_datStart || !selects) {
    return M_GetNextLine(fEof);
  }
  const LiteralFinder* required = selection_.RequiredLiteral(*this, map_);
  std::string_view line;
  for (;;) {
    if (required != nullptr && !lines_.SkipToLineContaining(*required)) break;
    if (!lines_.NextLine(&line)) break;
    // The Date column is the first field of both layouts.
    std::string_view rest = line;
    const DateVerdict verdict = selection_.TestDate(*this, CutField(rest));
    if (verdict == DateVerdict::kInside) return TakeLine(line, fEof, verdict);
  }
  fEof = true;
  return std::nullopt;
}

LogLineColumns C_LogFileRead::TakeLine(std::string_view line, bool& fEof,
                                       std::optional<DateVerdict> known) {
  LogLineColumns columns = CutColumns(line);
  if (log_type_ == LogIncoming && P_fTitle &&
      columns[map_.ip_address].empty()) {
    columns[map_.ip_address] = kTitleAddressHeading;
  }
  take_it_ = selection_.Decide(*this, map_, columns, known);
  fEof = !lines_.HasMore();
  return columns;
}

LogLineColumns C_LogFileRead::CutColumns(std::string_view line) const {
  LogLineColumns columns(columns_);
  int16_t count = std::min(parsed_columns_, columns.size());
  int16_t field = 1;
  for (int16_t i = 1; i <= count && !line.empty(); ++i, ++field) {
    if (field == dropped_field_) {
      CutField(line);
      ++field;
    }
    columns[i] = CutField(line);
  }
  return columns;
}

bool C_LogFileRead::P_fTakeIt() const { return take_it_; }

int16_t C_LogFileRead::P_intColumns() const {
  if (columns_ == 0) throw RuntimeError(kErrTypeMismatch);
  return columns_;
}

E_LogType C_LogFileRead::P_LogType() const { return log_type_; }

void C_LogFileRead::P_LogType(E_LogType enumVal) {
  log_type_ = enumVal;
  switch (enumVal) {
    case LogIncoming:
      columns_ = parsed_columns_ = 9;
      map_ = kIncomingMap;
      dropped_field_ = kIncomingDroppedField;
      break;
    case LogOutgoing:
      columns_ = parsed_columns_ = 5;
      map_ = kOutgoingMap;
      dropped_field_ = 0;
      break;
    case LogConnect:
      columns_ = 9;  // no layout of its own yet
      break;
  }
}

bool C_LogFileRead::P_Open() const { return open_; }

void C_LogFileRead::P_Open(bool fOpenFile) {
  if (!fOpenFile) {
    if (open_) ::close(fd_);
    fd_ = -1;
    open_ = false;
    lines_.Reset(-1);
    return;
  }
  std::string name = P_strPathName;
  switch (log_type_) {
    case LogIncoming:
      name += "/Incoming";
      break;
    case LogOutgoing:
      name += "/Outgoing";
      break;
    case LogConnect:
      name += "/Connect";
      break;
    default:
      throw RuntimeError(kErrInvalidArgument, "Log type not set", "");
  }
  switch (P_LogPeriod) {
    case PeriodDaily:
      name += FormatYmd(P_datRef);
      break;
    case PeriodMonthly:
      name += FormatYm(P_datRef);
      break;
    default:
      P_strFileName = name;
      throw RuntimeError(kErrInvalidArgument, "Log",
                         "Invalid log period parameter");
  }
  P_strFileName = name + ".txt";
  P_Open(false);  // a file still open would be lost otherwise
  OpenFile();
}

void C_LogFileRead::OpenFile() {
  // A NUL inside the name would open a shorter name than the one shown.
  if (P_strFileName.find('\0') != std::string::npos) {
    RecordOpenError(EINVAL);
    return;
  }
  int fd = ::open(P_strFileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    RecordOpenError(errno);
    return;
  }
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    RecordOpenError(EISDIR);
    return;
  }
  fd_ = fd;
  open_ = true;
  P_lngErrOpen = 0;
  P_strErrOpen.clear();
  lines_.Reset(fd);
  selection_.SetDateOrder(LocaleDayMonthOrder());
}

void C_LogFileRead::RecordOpenError(int error) {
  open_ = false;
  switch (error) {
    case ENOENT:
      if (IsFolder(P_strPathName)) {
        P_lngErrOpen = 53;
        P_strErrOpen = "File not found";
        return;
      }
      [[fallthrough]];
    case ENOTDIR:
      P_lngErrOpen = 76;
      P_strErrOpen = "Path not found";
      return;
    case EACCES:
    case EPERM:
      P_lngErrOpen = 70;
      P_strErrOpen = "Permission denied";
      return;
    default:
      P_lngErrOpen = 75;
      P_strErrOpen =
          std::string("Path/File access error: ") + std::strerror(error);
  }
}

}  // namespace kvo
