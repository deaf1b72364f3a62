#include "logread/line_reader.h"

#include <algorithm>
#include <cstring>

#include "base/byte_search.h"
#include "base/clock.h"
#include "base/literal_finder.h"
#include "logread/read_stream.h"

namespace kvo {

LineReader::LineReader(size_t capacity)
    : capacity_(std::max<size_t>(capacity, 8)),
      lookahead_room_(std::max<size_t>(capacity_ / 64, 1)) {}

void LineReader::Reset(ReadStream* stream, const Deadline* deadline,
                       uint64_t offset, std::optional<uint64_t> stop) {
  stream_ = stream;
  deadline_ = deadline;
  base_offset_ = offset;
  stop_ = stop;
  past_stop_ = false;
  begin_ = 0;
  end_ = 0;
  skip_lf_ = false;
  skip_cut_ = false;
  failed_ = false;
  stopped_ = false;
}

bool LineReader::PastStop() {
  if (stop_ && base_offset_ + begin_ >= *stop_) past_stop_ = true;
  return past_stop_;
}

bool LineReader::NextLine(std::string_view* line) {
  if (Ended() || !SkipCutRest()) return false;
  SkipPendingLf();
  if (PastStop()) return false;
  size_t scan = begin_;  // no line end lies in begin_..scan
  tab_count_ = 0;
  tabs_known_ = true;
  for (;;) {
    SkipPendingLf();
    scan = std::max(scan, begin_);
    size_t eol = ScanLine(scan);
    if (eol < end_) {
      if (eol - begin_ > kMaxLineBytes) {
        *line = CutLine();
      } else {
        *line = std::string_view(buf_.get() + begin_, eol - begin_);
      }
      ConsumeTerminator(eol);
      return true;
    }
    if (end_ - begin_ > kMaxLineBytes) {
      *line = CutLine();
      begin_ += kMaxLineBytes;
      skip_cut_ = true;
      return true;
    }
    size_t scanned = end_ - begin_;
    if (Fill() == 0) break;
    scan = begin_ + scanned;
  }
  // The data is over for now: what is left is a last line without a line end.
  if (Ended() || begin_ == end_) return false;
  *line = std::string_view(buf_.get() + begin_, end_ - begin_);
  begin_ = end_;
  return true;
}

std::string_view LineReader::CutLine() {
  tabs_known_ = false;  // some lay in the part cut off or the marker
  char* start = buf_.get() + begin_;
  std::memcpy(start + kMaxLineBytes - kCutMarker.size(), kCutMarker.data(),
              kCutMarker.size());
  return std::string_view(start, kMaxLineBytes);
}

bool LineReader::SkipCutRest() {
  while (skip_cut_) {
    SkipPendingLf();
    size_t eol = FindLineEnd(begin_);
    if (eol < end_) {
      ConsumeTerminator(eol);
      skip_cut_ = false;
      return true;
    }
    begin_ = end_;
    if (Fill() == 0) return false;
  }
  return true;
}

bool LineReader::HasMore() {
  if (Ended()) return false;
  // The rest of a cut line may run on for long: let the next call tell.
  if (skip_cut_) return true;
  for (;;) {
    SkipPendingLf();
    if (begin_ < end_) return !PastStop();
    // Undecidable without moving the current line: let the next call tell.
    if (end_ == capacity_) return true;
    if (ReadInto(capacity_ - end_) == 0) return false;
  }
}

bool LineReader::SkipToLineContaining(const LiteralFinder& finder) {
  if (Ended() || !SkipCutRest()) return false;
  size_t scan = begin_;  // no occurrence starts in begin_..scan
  for (;;) {
    SkipPendingLf();
    scan = std::max(scan, begin_);
    if (scan < end_) {
      const char* base = buf_.get();
      const char* hit = finder.Find(base + scan, base + end_);
      if (hit != nullptr) {
        MoveToLineStart(static_cast<size_t>(hit - base));
        return !PastStop();
      }
    }
    // Only the last, unfinished line can still hold an occurrence that the
    // next read completes. One that long is cut anyway: the selection
    // decides on what is left of it.
    MoveToLineStart(end_);
    if (PastStop()) return false;
    size_t kept = end_ - begin_;
    if (kept > kMaxLineBytes) return true;
    size_t recheck = std::min(kept, finder.size());
    if (Fill() == 0) break;
    scan = begin_ + kept - recheck;
  }
  begin_ = end_;
  return false;
}

std::string_view LineReader::Ahead(size_t most) {
  if (Ended() || skip_cut_) return {};
  SkipPendingLf();
  if (begin_ >= end_ || PastStop()) return {};
  return std::string_view(buf_.get() + begin_, std::min(most, end_ - begin_));
}

bool LineReader::SkipReadLine() {
  const size_t eol = FindLineEnd(begin_);
  if (eol >= end_ || eol - begin_ > kMaxLineBytes) return false;
  ConsumeTerminator(eol);
  return true;
}

void LineReader::MoveToLineStart(size_t before) {
  // Lines are short: a backward walk finds the line end before a hit
  // sooner than two searches that each may run far back.
  for (size_t pos = before; pos > begin_; --pos) {
    char c = buf_[pos - 1];
    if (c == '\r' || c == '\n') {
      // A CR's LF may follow (even as the first byte of the next read).
      skip_lf_ = c == '\r';
      begin_ = pos;
      return;
    }
  }
}

size_t LineReader::ScanLine(size_t from) {
  if (from >= end_) return end_;
  const char* base = buf_.get();
  return static_cast<size_t>(kvo::ScanLine(base + begin_, base + from,
                                           base + end_, tabs_, tab_count_,
                                           kMostTabs) -
                             base);
}

size_t LineReader::FindLineEnd(size_t from) {
  if (from >= end_) return end_;
  const char* base = buf_.get();
  return static_cast<size_t>(kvo::FindLineEnd(base + from, base + end_) - base);
}

void LineReader::ConsumeTerminator(size_t eol) {
  begin_ = eol + 1;
  if (buf_[eol] == '\n') return;
  if (begin_ < end_) {
    if (buf_[begin_] == '\n') ++begin_;
  } else {
    skip_lf_ = true;  // its LF, if any, comes with the next read
  }
}

void LineReader::SkipPendingLf() {
  if (!skip_lf_ || begin_ == end_) return;
  if (buf_[begin_] == '\n') ++begin_;
  skip_lf_ = false;
}

size_t LineReader::Fill() {
  size_t pending = end_ - begin_;
  if (begin_ > 0) {
    base_offset_ += begin_;
    std::memmove(buf_.get(), buf_.get() + begin_, pending);
    begin_ = 0;
    end_ = pending;
  }
  // A line that fills most of the buffer: make room for a good read. Lines
  // are cut at kMaxLineBytes, so the buffer stays below about twice that.
  while (capacity_ - end_ < lookahead_room_ + capacity_ / 4) {
    size_t bigger = capacity_ * 2;
    auto grown = std::make_unique_for_overwrite<char[]>(bigger + kScanSlack);
    if (end_ > 0) std::memcpy(grown.get(), buf_.get(), end_);
    buf_ = std::move(grown);
    capacity_ = bigger;
    lookahead_room_ = std::max<size_t>(capacity_ / 64, 1);
  }
  return ReadInto(capacity_ - lookahead_room_ - end_);
}

size_t LineReader::ReadInto(size_t room) {
  if (Ended()) return 0;
  if (deadline_ != nullptr && deadline_->Passed()) {
    stopped_ = true;
    return 0;
  }
  // The slack lets line scans read whole blocks past the data's end.
  if (!buf_) buf_ = std::make_unique_for_overwrite<char[]>(capacity_ + kScanSlack);
  ptrdiff_t got = stream_->Read(buf_.get() + end_, room);
  if (got < 0) {
    failed_ = true;
    return 0;
  }
  end_ += static_cast<size_t>(got);
  if (got > 0) {
  }
  return static_cast<size_t>(got);
}

}  // namespace kvo
