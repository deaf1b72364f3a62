#ifndef KVO_VIEWER_ORDERED_ROWS_H_
#define KVO_VIEWER_ORDERED_ROWS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "base/date_parse.h"
#include "logread/log_line_columns.h"
#include "logread/listing.h"
#include "viewer/validate.h"

namespace kvo {

// Takes every selected line of a listing and hands on, when it ends, those
// from `offset` to `offset` + `limit` in another order: newest first, or
// largest first; ties keep the order of the files. Only the lines that can
// still be among those are kept.
class OrderedRows final : public RowSink {
 public:
  OrderedRows(RowSink& sink, E_LogType log_type, RowOrder order,
              int64_t offset, int64_t limit);

  void FileOpened() override { sink_.FileOpened(); }
  void Title(const ListedLine& line) override { sink_.Title(line); }
  void Row(const ListedLine& line) override;

  // Hands the kept lines on; returns how many.
  int64_t Finish();

 private:
  struct Kept {
    int64_t key;  // larger first
    int64_t sequence;  // smaller first among equal keys
    std::string text;
  };
  static bool Before(const Kept& a, const Kept& b) {
    return a.key != b.key ? a.key > b.key : a.sequence < b.sequence;
  }

  RowSink& sink_;
  LogLayout layout_;
  RowOrder order_;
  int64_t offset_;
  size_t most_kept_;
  DateColumnReader dates_;
  std::vector<Kept> kept_;  // a heap whose top is the last kept in order
  int64_t sequence_ = 0;
};

}  // namespace kvo

#endif  // KVO_VIEWER_ORDERED_ROWS_H_
