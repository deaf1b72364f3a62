#include "logread/log_file_read.h"

#include <algorithm>

#include "base/date_parse.h"
#include "base/runtime_error.h"
#include "logread/file_stream.h"
#include "logread/gzip_stream.h"
#include "logread/log_naming.h"

namespace kvo {

namespace {

// A usual Date column and the TAB after it.
constexpr size_t kUsualDateHead = kUsualDateLength + 1;

// The stream that gives the lines of an opened log file; `plain` points at
// it where it is the file itself.
std::unique_ptr<ReadStream> StreamOf(OpenedLog& log, FileStream*& plain) {
  auto file = std::make_unique<FileStream>(std::move(log.fd));
  plain = log.gzipped ? nullptr : file.get();
  if (log.gzipped) return MakeGzipStream(std::move(file));
  return file;
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
  if (layout_.columns == 0 || !lines_.NextLine(&line)) {
    fEof = true;
    return std::nullopt;
  }
  return TakeLine(line, fEof);
}

std::optional<LogLineColumns> C_LogFileRead::NextCandidateLine(bool& fEof) {
  if (!PassesOverLines()) return M_GetNextLine(fEof);
  if (!NextTakenLine(fEof)) return std::nullopt;
  return CutColumns(layout_, line_);
}

bool C_LogFileRead::PassesOverLines() {
  // Only the two logs with a layout have a Date column to go by.
  const bool selects = log_type_ == LogIncoming || log_type_ == LogOutgoing;
  return open_ && !P_fTitle && selects && CurrentCriteria().selects();
}

std::optional<std::string_view> C_LogFileRead::NextTakenLine(bool& fEof) {
  line_second_.reset();
  if (!PassesOverLines()) {
    for (;;) {
      if (!M_GetNextLine(fEof)) return std::nullopt;
      if (take_it_) return line_;
      if (fEof) return std::nullopt;
    }
  }
  const Criteria& criteria = CurrentCriteria();
  const LiteralFinder* required = criteria.required_literal();
  // A day outside the interval is passed over by the start of its lines,
  // without cutting them into columns.
  const bool date_first = criteria.map().date == 1;
  bool outside_day = false;
  std::string_view line;
  for (;;) {
    if (required != nullptr && !lines_.SkipToLineContaining(*required)) break;
    if (outside_day &&
        selection_.StartsOnLastDay(lines_.Ahead(kUsualDateHead)) &&
        lines_.SkipReadLine()) {
      continue;
    }
    if (!lines_.NextLine(&line)) break;
    LineFields fields(layout_, line, lines_.tabs(), lines_.tab_count());
    if (selection_.Decide(criteria, fields, false)) {
      line_ = line;
      line_second_ = selection_.last_second();
      take_it_ = true;
      fEof = !lines_.HasMore();
      return line;
    }
    outside_day = date_first && selection_.LastDayOutside(criteria);
  }
  fEof = true;
  return std::nullopt;
}

LogLineColumns C_LogFileRead::TakeLine(std::string_view line, bool& fEof) {
  line_ = line;
  LogLineColumns columns = CutColumns(layout_, line);
  LineFields fields(layout_, line, lines_.tabs(), lines_.tab_count());
  if (P_fTitle && NameAddressHeading(log_type_, layout_, columns)) {
    fields.Replace(layout_.map.ip_address, kTitleAddressHeading);
  }
  take_it_ = selection_.Decide(CurrentCriteria(), fields, P_fTitle);
  fEof = !lines_.HasMore();
  return columns;
}

bool C_LogFileRead::P_fTakeIt() const { return take_it_; }

int16_t C_LogFileRead::P_intColumns() const {
  if (layout_.columns == 0) throw RuntimeError(kErrTypeMismatch);
  return layout_.columns;
}

E_LogType C_LogFileRead::P_LogType() const { return log_type_; }

void C_LogFileRead::P_LogType(E_LogType enumVal) {
  log_type_ = enumVal;
  switch (enumVal) {
    case LogIncoming:
    case LogOutgoing:
      layout_ = LayoutOf(enumVal);
      break;
    case LogConnect:
      layout_.columns = LayoutOf(enumVal).columns;  // no layout of its own
      break;
  }
  if (own_criteria_) criteria_.reset();
}

bool C_LogFileRead::P_Open() const { return open_; }

void C_LogFileRead::P_Open(bool fOpenFile) {
  if (!fOpenFile) {
    open_ = false;
    lines_.Reset(nullptr);
    stream_.reset();
    plain_ = nullptr;
    line_ = {};
    return;
  }
  if (LogTypeName(log_type_).empty()) {
    throw RuntimeError(kErrInvalidArgument, "Log type not set", "");
  }
  const std::string name = LogFileName(log_type_, P_LogPeriod, P_datRef);
  if (name.empty()) {
    P_strFileName = P_strPathName + "/" + std::string(LogTypeName(log_type_));
    throw RuntimeError(kErrInvalidArgument, "Log",
                       "Invalid log period parameter");
  }
  P_Open(false);  // a file still open would be lost otherwise
  OpenFile(name);
}

void C_LogFileRead::OpenFile(const std::string& name) {
  OpenedLog log = OpenLogFile(Folder(), name);
  P_strFileName = P_strPathName + "/" + log.name;
  if (!log.fd.valid()) {
    RecordOpenError(log.error);
    return;
  }
  open_ = true;
  P_lngErrOpen = 0;
  P_strErrOpen.clear();
  stream_ = StreamOf(log, plain_);
  lines_.Reset(stream_.get(), deadline_);
  selection_ = Selection(LocaleDayMonthOrder());
  // Compiled now, not while lines are read.
  if (own_criteria_ && (!criteria_ || criteria_->texts() != FieldCriteria())) {
    criteria_.reset();
  }
  CurrentCriteria();
}

void C_LogFileRead::RecordOpenError(const OpenError& error) {
  open_ = false;
  P_lngErrOpen = error.number;
  P_strErrOpen = error.text;
}

bool C_LogFileRead::ReadPart(uint64_t start, std::optional<uint64_t> stop) {
  if (!open_ || plain_ == nullptr) return false;
  if (start == 0) {
    lines_.Reset(stream_.get(), deadline_, 0, stop);
    return true;
  }
  // The line that runs across `start` belongs to the part before: the byte
  // before it tells where the first line of this part begins.
  if (!plain_->SeekTo(start - 1)) return false;
  lines_.Reset(stream_.get(), deadline_, start - 1, stop);
  std::string_view ignored;
  lines_.NextLine(&ignored);
  return true;
}

std::string C_LogFileRead::ReadError() const {
  return stream_ ? stream_->error() : std::string();
}

void C_LogFileRead::UseFolder(std::shared_ptr<const LogFolder> folder) {
  folder_ = std::move(folder);
  own_folder_ = folder_ == nullptr;
}

void C_LogFileRead::UseCriteria(std::shared_ptr<const Criteria> criteria) {
  criteria_ = std::move(criteria);
  own_criteria_ = criteria_ == nullptr;
}

const LogFolder& C_LogFileRead::Folder() {
  if (own_folder_ && (!folder_ || folder_->path() != P_strPathName)) {
    folder_ = std::make_shared<LogFolder>(P_strPathName, "");
  }
  return *folder_;
}

CriteriaTexts C_LogFileRead::FieldCriteria() const {
  CriteriaTexts texts;
  texts.start = P_datStart;
  if (P_datEnd) texts.end = AddDays(*P_datEnd, 1);
  texts.pop3_account = P_strPOP3AccountSel;
  texts.from = P_strFromSel;
  texts.to = P_strToSel;
  texts.routed = P_strRoutedSel;
  texts.subject = P_strSubjectSel;
  texts.size_mini = P_lngSizeMini;
  texts.size_maxi = P_lngSizeMaxi;
  texts.ip_address1 = P_strIpAddr1;
  texts.subnet = P_fSubnet;
  texts.ip_address2 = P_strIpAddr2;
  return texts;
}

const Criteria& C_LogFileRead::CurrentCriteria() {
  if (!criteria_) {
    criteria_ = std::make_shared<Criteria>(FieldCriteria(), layout_);
  }
  return *criteria_;
}

}  // namespace kvo
