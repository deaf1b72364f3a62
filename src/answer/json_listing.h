#ifndef KVO_ANSWER_JSON_LISTING_H_
#define KVO_ANSWER_JSON_LISTING_H_

#include <cstdint>
#include <string>

#include "answer/answer_summary.h"
#include "answer/json_writer.h"
#include "gateway/process_io.h"
#include "logread/listing.h"

namespace kvo {

// The listing as one JSON object, written as its rows come: what was asked
// ("log", "interval", "criteria"), the title line's fields ("columns"),
// every field of each selected line ("rows"), then how the listing went
// ("offset", "limit", "order", "total", "truncated", "days", "files",
// "stopped", "elapsed_ms").
class JsonListing final : public RowSink {
 public:
  JsonListing(ByteSink& out, const AnswerSummary& summary);

  void FileOpened() override {}
  void Title(const ListedLine& line) override;
  void Row(const ListedLine& line) override;
  // Ends "rows" and sends what there is, so that a reader can show the rows
  // while the listing goes on counting.
  void RowsDone() override;

  // Writes the rest of the object after `outcome`.
  void Finish(const ListingOutcome& outcome, int64_t elapsed_ms);

 private:
  // "columns" and the start of "rows", once.
  void BeginRows(std::string_view title);
  // The end of "rows" and what was asked of them, once.
  void EndRows();

  PieceWriter out_;
  const AnswerSummary& summary_;
  JsonWriter json_;
  bool rows_begun_ = false;
  bool rows_ended_ = false;
};

}  // namespace kvo

#endif  // KVO_ANSWER_JSON_LISTING_H_
