#ifndef KVO_VIEWER_LIST_LOG_H_
#define KVO_VIEWER_LIST_LOG_H_

// The listing driver: walks the log files of a date interval and renders the
// selected lines as one table.

#include <cstdint>
#include <string>

#include "base/date.h"
#include "logread/log_file_read.h"

namespace kvo {

// The table of the title line and the selected lines of the interval
// first..last, followed by a notice when `max_lines` cut it short; or, when
// no file of the interval could be opened, a notice naming the first file
// that failed (its name and error text HTML-encoded, as the folder comes from
// the request). Every line ends in CR LF. A RuntimeError from the reader
// abandons the listing and reaches the caller.
std::string ListLog(E_LogType log_type, const std::string& log_folder,
                    Date first_date, Date last_date,
                    const std::string& pop3_account, const std::string& from,
                    const std::string& to, const std::string& routed,
                    const std::string& subject, int32_t size_mini,
                    int32_t size_maxi, const std::string& ip_address1,
                    bool subnet, const std::string& ip_address2,
                    int32_t max_lines);

// Appends the rows of the open file of `reader` to `rows` while `remaining`
// allows; every appended row decreases it by one.
void ListFileLines(C_LogFileRead& reader, std::string& rows,
                   int32_t& remaining);

// Points `reader` at the first day after its current file. False when that
// day lies after P_datEnd, or when P_datEnd is null (no end to walk to); at a
// first of a month the period becomes monthly. An invalid period is
// RuntimeError 5.
bool NextPeriod(C_LogFileRead& reader);

}  // namespace kvo

#endif  // KVO_VIEWER_LIST_LOG_H_
