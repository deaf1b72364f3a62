#ifndef KVO_LOGREAD_LOG_FILE_READ_H_
#define KVO_LOGREAD_LOG_FILE_READ_H_

// The log file reader. Its names (C_LogFileRead, P_strPathName, M_GetNextLine,
// LogIncoming, ...) are the system's own vocabulary and kept as such: `P_` a
// field or property, `M_` a method, then the type: str text, dat date,
// lng 32-bit, int 16-bit, f truth value.

#include <cstdint>
#include <optional>
#include <string>

#include "base/date.h"
#include "logread/line_reader.h"
#include "logread/log_line_columns.h"
#include "logread/selection.h"

namespace kvo {

enum E_LogType : int32_t {
  LogIncoming = 10,
  LogOutgoing = 11,
  LogConnect = 12,
};

enum E_LogPeriod : int32_t {
  PeriodDaily = 0,
  PeriodMonthly = 1,
};

// Reads the log file of one day or month at a time and decides for each line
// whether it passes the selection. The caller fills the public fields, writes
// P_Open(true), calls M_GetNextLine until the end of the file and writes
// P_Open(false); then it may point P_datRef at the next period.
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

  // Like M_GetNextLine, but may pass over lines that the selection certainly
  // would not take (never the title line, nor while P_datStart is null):
  // lines whose date lies outside the interval or is none, and lines that
  // lack a text that a criterion requires. When every remaining line is
  // passed over: null with fEof set.
  std::optional<LogLineColumns> NextCandidateLine(bool& fEof);

  // Whether the last line read passed the selection.
  bool P_fTakeIt() const;
  // 9 for the incoming and connection logs, 5 for the outgoing one. Throws
  // RuntimeError 13 while no log type is set.
  int16_t P_intColumns() const;

  E_LogType P_LogType() const;
  // Stores the log type and sets the column layout that goes with it.
  void P_LogType(E_LogType enumVal);

  bool P_Open() const;
  // true: opens the file of P_LogType, P_LogPeriod and P_datRef; a failure is
  // recorded in P_lngErrOpen, P_strErrOpen and P_strFileName, never thrown,
  // but an unset log type or an invalid period throws RuntimeError 5.
  // false: closes the file if one is open.
  void P_Open(bool fOpenFile);

 private:
  // Opens P_strFileName; fills the error fields on failure.
  void OpenFile();
  void RecordOpenError(int error);
  // Cuts `line` into the columns of the log type.
  LogLineColumns CutColumns(std::string_view line) const;
  // The columns of `line`, which has just been read, with the selection
  // decided and fEof set.
  LogLineColumns TakeLine(std::string_view line, bool& fEof,
                          std::optional<DateVerdict> known = std::nullopt);

  int fd_ = -1;
  bool open_ = false;
  E_LogType log_type_ = static_cast<E_LogType>(0);
  int16_t columns_ = 0;         // what P_intColumns reads; 0 while unset
  int16_t parsed_columns_ = 0;  // fields cut from each line
  int16_t dropped_field_ = 0;   // a field of the line that no column shows
  ColumnMap map_;
  bool take_it_ = false;
  LineReader lines_;
  Selection selection_;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_LOG_FILE_READ_H_
