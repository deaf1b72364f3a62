#ifndef KVO_VIEWER_LIST_LOG_H_
#define KVO_VIEWER_LIST_LOG_H_

// The listing driver: walks the log files of a date interval and hands the
// title line and the selected lines to a sink.

#include <cstdint>
#include <string>

#include "base/date.h"
#include "logread/log_type.h"
#include "logread/listing.h"
#include "viewer/validate.h"

namespace kvo {

// Lists `request` into `sink`: the first line read becomes the title, then
// every selected line after the offset, up to the limit. Reads on past the
// limit until one more selected line shows that the limit cut the listing
// (or, with count_all, to the end of the interval). Stops when the time limit
// passes. Throws RuntimeError 5 for a log type without a name; nothing else
// that goes wrong while files are read leaves it.
ListingOutcome ListLog(const ListingRequest& request, RowSink& sink);

// The same in `order`: newest or largest first, the offset and the limit
// applied in that order (which takes reading the whole interval).
ListingOutcome ListLog(const ListingRequest& request, RowOrder order,
                       RowSink& sink);

// The listing as one HTML text, as the developer window shows it: the table
// of the title line and the selected lines of first..last of `log_folder`
// (which is also the root), followed by a notice when `max_lines` cut it
// short; or, when no file of the interval could be opened, a notice naming
// the first file that failed. Every line ends in CR LF.
std::string ListLog(E_LogType log_type, const std::string& log_folder,
                    Date first_date, Date last_date,
                    const std::string& pop3_account, const std::string& from,
                    const std::string& to, const std::string& routed,
                    const std::string& subject, int32_t size_mini,
                    int32_t size_maxi, const std::string& ip_address1,
                    bool subnet, const std::string& ip_address2,
                    int32_t max_lines);

}  // namespace kvo

#endif  // KVO_VIEWER_LIST_LOG_H_
