#ifndef KVO_VIEWER_HTML_LISTING_H_
#define KVO_VIEWER_HTML_LISTING_H_

#include <functional>
#include <string>

#include "gateway/process_io.h"
#include "logread/log_type.h"
#include "logread/listing.h"

namespace kvo {

// The listing as the page shows it: one table of the title line and the
// selected lines, written as they come, then its notices; or, when no file
// opened, the notice that names the first file that failed.
class HtmlListing final : public RowSink {
 public:
  // Writes to `out` in pieces as the table grows; with a null `out` the whole
  // text is kept for TakeText. The title line is shown when `shows_title`
  // (a negative line limit leaves even it out).
  HtmlListing(E_LogType log_type, ByteSink* out, bool shows_title);

  void FileOpened() override;
  void Title(const ListedLine& line) override;
  void Row(const ListedLine& line) override;

  // Ends the listing after `outcome`: closes the table and adds its notices
  // (damaged files, the time limit or the line limit), or writes the error
  // notice with the name of the account the program runs under.
  void Finish(const ListingOutcome& outcome, const ListingRequest& request,
              const std::function<std::string()>& account_name);

  // What was kept (everything when `out` is null).
  std::string TakeText() { return out_.Take(); }

 private:
  E_LogType log_type_;
  PieceWriter out_;
  bool shows_title_;
  bool table_open_ = false;
};

}  // namespace kvo

#endif  // KVO_VIEWER_HTML_LISTING_H_
