#ifndef KVO_VIEWER_FILE_WORKERS_H_
#define KVO_VIEWER_FILE_WORKERS_H_

// The files of a listing read on several threads, ahead of the one whose
// lines are being written, and handed over in the walk's order.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "logread/criteria.h"
#include "logread/log_folder.h"
#include "viewer/file_scan.h"
#include "viewer/file_walk.h"
#include "logread/listing.h"

namespace kvo {

// How reading one file of the walk went.
struct FileRead {
  bool opened = false;
  std::string name;   // the file opened (or tried), without folder
  OpenError error;    // why it did not open, or why reading stopped
  bool read_failed = false;
};

// Reads `parts` (the files of a walk, or parts of them, in order) on
// `threads` threads. A worker starts a part only while it is at most
// `threads` - 1 parts ahead of the one the caller takes lines from, and
// pauses while the lines it has read and not handed over pass its share of
// 8 MiB.
class FileWorkers {
 public:
  FileWorkers(const ListingRequest& request,
              std::shared_ptr<const LogFolder> folder,
              std::shared_ptr<const Criteria> criteria,
              const Deadline& deadline, std::vector<FilePart> parts,
              size_t threads);
  // Stops the workers and waits for them.
  ~FileWorkers();
  FileWorkers(const FileWorkers&) = delete;
  FileWorkers& operator=(const FileWorkers&) = delete;

  // Hands the lines of part `index` (taken in order, each once) to `sink` as
  // they arrive, and returns how reading it went; its selected lines are
  // also counted into `counter` when it is not null. Returns early, with
  // what has been read, once `deadline` has passed.
  FileRead Take(size_t index, FileLineSink& sink, LineCounter* counter);

  // The listing needs no more lines: the workers only count (or stop, when
  // they do not count).
  void StopLines();

 private:
  struct Batch;
  struct Slot;
  class BatchSink;

  void Work();
  void ReadFile(size_t index);

  const ListingRequest& request_;
  std::shared_ptr<const LogFolder> folder_;
  std::shared_ptr<const Criteria> criteria_;
  const Deadline& deadline_;
  std::vector<FilePart> files_;
  size_t ahead_;  // files that may be read at once
  size_t most_pending_;  // bytes of lines one part may hold back

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Slot>> slots_;
  size_t next_file_ = 0;   // the next file a worker takes
  size_t taking_ = 0;      // the file the caller takes lines from
  // Set under mutex_ (for the waits on changed_), read without it too.
  std::atomic<bool> lines_wanted_ = true;
  std::atomic<bool> stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace kvo

#endif  // KVO_VIEWER_FILE_WORKERS_H_
