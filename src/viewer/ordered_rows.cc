#include "viewer/ordered_rows.h"

#include <algorithm>
#include <limits>

#include "viewer/file_scan.h"

namespace kvo {

OrderedRows::OrderedRows(RowSink& sink, E_LogType log_type, RowOrder order,
                         int64_t offset, int64_t limit)
    : sink_(sink),
      layout_(LayoutOf(log_type)),
      order_(order),
      offset_(offset),
      most_kept_(static_cast<size_t>(std::max<int64_t>(offset + limit, 0))),
      dates_(LocaleDayMonthOrder()) {}

void OrderedRows::Row(const ListedLine& line) {
  LineFields fields(layout_, line.text);
  int64_t key = 0;
  if (order_ == RowOrder::kNewest) {
    key = dates_.Seconds(fields.Column(layout_.map.date))
              .value_or(std::numeric_limits<int64_t>::min());
  } else {
    key = SizeColumnBytes(fields.Column(layout_.map.size));
  }
  Kept candidate{key, sequence_++, {}};
  if (kept_.size() == most_kept_) {
    // Full: a line that comes after the last kept one has no place.
    if (most_kept_ == 0 || !Before(candidate, kept_.front())) return;
    std::pop_heap(kept_.begin(), kept_.end(), Before);
    kept_.pop_back();
  }
  candidate.text.assign(line.text);
  kept_.push_back(std::move(candidate));
  std::push_heap(kept_.begin(), kept_.end(), Before);
}

int64_t OrderedRows::Finish() {
  std::sort(kept_.begin(), kept_.end(), Before);
  int64_t handed = 0;
  for (size_t i = static_cast<size_t>(offset_); i < kept_.size(); ++i) {
    const LogLineColumns columns = CutColumns(layout_, kept_[i].text);
    sink_.Row({columns, kept_[i].text});
    ++handed;
  }
  kept_.clear();
  return handed;
}

}  // namespace kvo
