#ifndef KVO_LOGREAD_LINE_READER_H_
#define KVO_LOGREAD_LINE_READER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace kvo {

class Deadline;
class LiteralFinder;
class ReadStream;

// Cuts the lines of a ReadStream out of one large buffer. A line ends at CR,
// CR LF or a lone LF; the terminator is not part of the line, and a last line
// without one is a line too. A line longer than kMaxLineBytes is cut there:
// its first kMaxLineBytes bytes are given, the last ones replaced by
// kCutMarker, and the rest of it is skipped. The file may grow or shrink
// while it is read: each read takes whatever is there at that moment. Does
// not own the stream.
class LineReader {
 public:
  explicit LineReader(size_t capacity = kDefaultCapacity);
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  static constexpr size_t kDefaultCapacity = size_t{1} << 20;
  static constexpr size_t kMaxLineBytes = size_t{1} << 20;
  static constexpr std::string_view kCutMarker = " [...]";

  // Starts over on `stream` (null: nothing to read). A `deadline` that has
  // passed ends the reading as if the data had ended (checked before each
  // read); it must outlive the reading. `offset`: where in its file the
  // stream stands; with a `stop`, the data ends before the first line that
  // would begin at or after that offset.
  void Reset(ReadStream* stream, const Deadline* deadline = nullptr,
             uint64_t offset = 0, std::optional<uint64_t> stop = {});

  // The next line, as a view that stays valid until the next call of NextLine
  // or Reset. False at the end of the data, after a read error, or once the
  // deadline has passed.
  bool NextLine(std::string_view* line);

  // Whether another line follows the one just returned. May read ahead, but
  // leaves the line returned last where it is.
  bool HasMore();

  // Passes over the lines that do not hold `finder`'s literal: moves to the
  // start of the next line that does, reading more as needed. False when the
  // data ends (or a read fails) without another occurrence; then every
  // remaining line has been passed over. A literal that spans a line end may
  // stop it at a line that does not hold it, and so may a line longer than
  // kMaxLineBytes.
  bool SkipToLineContaining(const LiteralFinder& finder);

  // The first bytes of the next line that have been read, at most `most`,
  // without reading more; empty when there are none or the data has ended.
  std::string_view Ahead(size_t most);
  // Passes over the next line when all of it has been read; false (and
  // nothing passed over) when not.
  bool SkipReadLine();

  // Whether reading stopped because the stream failed.
  bool failed() const { return failed_; }

  // The offsets of the first TABs of the line NextLine returned last (at
  // most kMostTabs); null when they are not known (a line that was cut).
  static constexpr size_t kMostTabs = 16;
  const uint32_t* tabs() const { return tabs_known_ ? tabs_ : nullptr; }
  size_t tab_count() const { return tab_count_; }

 private:
  // The position of the first CR or LF at or after `from`; end_ when none.
  size_t FindLineEnd(size_t from);
  // The same, noting the TABs of the line at begin_ on the way.
  size_t ScanLine(size_t from);
  void ConsumeTerminator(size_t eol);
  void SkipPendingLf();
  // Passes over the rest of a line that was cut; false when the data ended
  // first.
  bool SkipCutRest();
  // The line of `length` bytes at begin_, cut to kMaxLineBytes with the
  // marker at its end.
  std::string_view CutLine();
  // The line start after the last CR or LF in begin_..before, or begin_.
  void MoveToLineStart(size_t before);
  // Moves the unread bytes to the front, grows the buffer when they fill it,
  // and reads more. Returns the number of bytes read; 0 at the end, on an
  // error (then failed_ is set) or after the deadline.
  size_t Fill();
  // Reads into the free room after end_, moving nothing.
  size_t ReadInto(size_t room);
  bool Ended() const {
    return stream_ == nullptr || failed_ || stopped_ || past_stop_;
  }
  // Whether the line at begin_ begins at or after the stop; notes so.
  bool PastStop();

  std::unique_ptr<char[]> buf_;  // allocated by the first fill
  size_t capacity_;
  // Room that a fill leaves free, so that HasMore can read without moving
  // the current line.
  size_t lookahead_room_;
  size_t begin_ = 0;  // first unread byte
  size_t end_ = 0;    // one past the last byte read
  bool skip_lf_ = false;   // the last line ended in CR; an LF next belongs to it
  bool skip_cut_ = false;  // the last line was cut; its rest comes next
  bool failed_ = false;    // a read failed: the data is over
  bool stopped_ = false;   // the deadline passed: the data is over
  bool past_stop_ = false;  // the lines of the part asked for are over
  uint64_t base_offset_ = 0;  // the file offset of buf_[0]
  std::optional<uint64_t> stop_;
  ReadStream* stream_ = nullptr;
  const Deadline* deadline_ = nullptr;
  uint32_t tabs_[kMostTabs] = {};
  size_t tab_count_ = 0;
  bool tabs_known_ = false;
};

}  // namespace kvo

#endif  // KVO_LOGREAD_LINE_READER_H_
