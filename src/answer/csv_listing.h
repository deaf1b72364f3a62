#ifndef KVO_ANSWER_CSV_LISTING_H_
#define KVO_ANSWER_CSV_LISTING_H_

#include <string>

#include "gateway/process_io.h"
#include "logread/log_type.h"
#include "logread/listing.h"

namespace kvo {

// The listing as comma-separated values, written as its rows come: the title
// line's fields as the header, then every field of each selected line. A
// listing that ended early ends with one line starting with "#" that says
// why.
class CsvListing final : public RowSink {
 public:
  CsvListing(ByteSink& out, E_LogType log_type);

  void FileOpened() override {}
  void Title(const ListedLine& line) override;
  void Row(const ListedLine& line) override;

  // Ends the text after `outcome` of `request`.
  void Finish(const ListingOutcome& outcome, const ListingRequest& request);

 private:
  PieceWriter out_;
  E_LogType log_type_;
};

}  // namespace kvo

#endif  // KVO_ANSWER_CSV_LISTING_H_
