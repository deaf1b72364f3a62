#ifndef KVO_LOGREAD_LOG_FILE_READ_H_
#define KVO_LOGREAD_LOG_FILE_READ_H_

// The log file reader. Its names (C_LogFileRead, P_strPathName, M_GetNextLine,
// LogIncoming, ...) are the system's own vocabulary and kept as such: `P_` a
// field or property, `M_` a method, then the type: str text, dat date,
// lng 32-bit, int 16-bit, f truth value.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/date.h"
#include "logread/criteria.h"
#include "logread/file_stream.h"
#include "logread/line_reader.h"
#include "logread/log_folder.h"
#include "logread/log_line_columns.h"
#include "logread/log_type.h"
#include "logread/read_stream.h"
#include "logread/selection.h"

namespace kvo {

class Deadline;

// Reads the log file of one day or month at a time and decides for each line
// whether it passes the selection. The caller fills the public fields, writes
// P_Open(true), calls M_GetNextLine until the end of the file and writes
// P_Open(false); then it may point P_datRef at the next period. The
// selection fields are compiled when a file is opened: a change applies from
// the next open on.
class C_LogFileRead {
 public:
  C_LogFileRead();
  ~C_LogFileRead();  // closes an open file
  C_LogFileRead(const C_LogFileRead&) = delete;
  C_LogFileRead& operator=(const C_LogFileRead&) = delete;

  std::string P_strPathName;  // folder, without a trailing "/"
  Date P_datRef = 0;          // a day of the period to open
  E_LogPeriod P_LogPeriod = PeriodDaily;
  std::optional<Date> P_datStart;  // null: no selection at all
  std::optional<Date> P_datEnd;    // whole day included; null: no bound
  std::string P_strPOP3AccountSel;
  std::string P_strFromSel;
  std::string P_strToSel;
  std::string P_strRoutedSel;
  std::string P_strSubjectSel;
  int32_t P_lngSizeMini = 0;  // kilobytes; 0 or less: no bound
  int32_t P_lngSizeMaxi = 0;
  std::string P_strIpAddr1;
  bool P_fSubnet = false;
  std::string P_strIpAddr2;
  bool P_fTitle = false;     // the next line read is the title line
  int32_t P_lngErrOpen = 0;  // of the last open attempt; 0 on success
  std::string P_strErrOpen;
  std::string P_strFileName;  // of the last open attempt

  // The last day the current file covers: P_datRef for a daily file, the last
  // day of its month for a monthly one; null for an invalid period.
  std::optional<Date> P_datLastDayInLog() const;

  // The next line's columns, or null: when no file is open (fEof untouched),
  // at the end of the file or on a read error (fEof set). Otherwise sets
  // P_fTakeIt and sets fEof when this was the last line of the file.
  std::optional<LogLineColumns> M_GetNextLine(bool& fEof);

  // Like M_GetNextLine, but passes over the lines that the selection does
  // not take (never the title line, nor while P_datStart is null), reading
  // of each only as much as deciding needs. When every remaining line is
  // passed over: null with fEof set.
  std::optional<LogLineColumns> NextCandidateLine(bool& fEof);

  // NextCandidateLine without cutting the line into columns: the text of
  // the next line taken, or null (fEof set) when none is left.
  std::optional<std::string_view> NextTakenLine(bool& fEof);

  // The whole text of the line that M_GetNextLine, NextCandidateLine or
  // NextTakenLine returned last, valid as long as its columns; and the
  // offsets of its first TABs (null when they are not known).
  std::string_view LineText() const { return line_; }
  const uint32_t* LineTabs() const { return lines_.tabs(); }
  size_t LineTabCount() const { return lines_.tab_count(); }
  // The moment of the line NextTakenLine returned last, in seconds since
  // day 0, where the selection read it (null otherwise).
  std::optional<int64_t> LineSecond() const { return line_second_; }

  // Whether the last line read passed the selection.
  bool P_fTakeIt() const;
  // 9 for the incoming and connection logs, 5 for the outgoing one. Throws
  // RuntimeError 13 while no log type is set.
  int16_t P_intColumns() const;

  E_LogType P_LogType() const;
  // Stores the log type and sets the column layout that goes with it.
  void P_LogType(E_LogType enumVal);

  bool P_Open() const;
  // true: opens the file of P_LogType, P_LogPeriod and P_datRef (its gzipped
  // form where the plain one is missing); a failure is recorded in
  // P_lngErrOpen, P_strErrOpen and P_strFileName, never thrown, but an unset
  // log type or an invalid period throws RuntimeError 5.
  // false: closes the file if one is open.
  void P_Open(bool fOpenFile);

  // Reads only a part of the open file: the lines that begin at or after
  // `start` and before `stop` (to its end without one); what the file's
  // first line is, is then the part's business that holds offset 0. False
  // for a gzipped file or one that cannot be positioned.
  bool ReadPart(uint64_t start, std::optional<uint64_t> stop);

  // Whether reading the open file stopped because it could not be read on
  // (a read error, damaged compressed data); ReadError() says why.
  bool ReadFailed() const { return lines_.failed(); }
  std::string ReadError() const;

  // A listing hands every reader of it the same opened folder, compiled
  // criteria and deadline; a reader left alone opens P_strPathName itself
  // (its own root), compiles its own fields and has no deadline. Both must
  // outlive the reader's use of them.
  void UseFolder(std::shared_ptr<const LogFolder> folder);
  void UseCriteria(std::shared_ptr<const Criteria> criteria);
  void UseDeadline(const Deadline* deadline) { deadline_ = deadline; }

  // The criteria of the fields as they stand (interval: P_datStart to the
  // end of P_datEnd's day).
  CriteriaTexts FieldCriteria() const;

 private:
  // Whether NextCandidateLine may pass over lines.
  bool PassesOverLines();
  // Opens P_strFileName's file by its name in the folder.
  void OpenFile(const std::string& name);
  void RecordOpenError(const OpenError& error);
  const LogFolder& Folder();
  const Criteria& CurrentCriteria();
  // The columns of `line`, which has just been read, with the selection
  // decided and fEof set.
  LogLineColumns TakeLine(std::string_view line, bool& fEof);

  bool open_ = false;
  E_LogType log_type_ = static_cast<E_LogType>(0);
  LogLayout layout_;
  bool take_it_ = false;
  std::string_view line_;
  std::optional<int64_t> line_second_;
  std::unique_ptr<ReadStream> stream_;
  FileStream* plain_ = nullptr;  // stream_, where it is the file itself
  LineReader lines_;
  Selection selection_;
  std::shared_ptr<const LogFolder> folder_;
  bool own_folder_ = true;  // folder_ follows P_strPathName
  std::shared_ptr<const Criteria> criteria_;
  bool own_criteria_ = true;  // criteria_ follows the fields
  const Deadline* deadline_ = nullptr;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_LOG_FILE_READ_H_
