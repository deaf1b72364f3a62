#include "viewer/file_workers.h"

#include <chrono>
#include <exception>

#include "logread/log_naming.h"

namespace kvo {
namespace {

constexpr size_t kBatchBytes = 64 * 1024;
// The lines read and not yet handed over, all workers together.
constexpr size_t kMostPendingBytes = 8 << 20;
// How often a caller that waits for lines looks at the deadline.
constexpr std::chrono::milliseconds kDeadlinePoll(50);

}  // namespace

// Lines copied out of a worker's read buffer.
struct FileWorkers::Batch {
  struct Line {
    size_t offset;
    size_t size;
    bool first;
    bool taken;
  };
  std::string bytes;
  std::vector<Line> lines;
};

// One file's lines on their way from its worker to the caller.
struct FileWorkers::Slot {
  explicit Slot(E_LogType type) : counter(type) {}
  std::deque<Batch> batches;
  size_t pending_bytes = 0;
  bool done = false;
  FileRead read;
  LineCounter counter;  // the selected lines after the first
};

// The worker's side of a slot: collects lines into batches.
class FileWorkers::BatchSink final : public FileLineSink {
 public:
  BatchSink(FileWorkers& workers, Slot& slot, bool counts)
      : workers_(workers), slot_(slot), counts_(counts) {}

  void First(std::string_view text, bool taken) override {
    // Lines are no longer wanted once the listing has its title: the first
    // line then only counts.
    if (!WantsLines()) {
      if (taken && counts_) slot_.counter.Count(text);
      return;
    }
    Add(text, true, taken);
  }
  void Selected(std::string_view text) override { Add(text, false, true); }
  // Asked once per line: the flags are read without the lock.
  bool WantsLines() const override {
    return workers_.lines_wanted_ && !workers_.stopping_;
  }
  bool Done() const override {
    return workers_.stopping_ || (!workers_.lines_wanted_ && !counts_);
  }

  // Hands the batch over; waits while the caller has too much to take.
  void Publish() {
    if (batch_.lines.empty()) return;
    std::unique_lock lock(workers_.mutex_);
    slot_.pending_bytes += batch_.bytes.size();
    slot_.batches.push_back(std::move(batch_));
    batch_ = Batch();
    workers_.changed_.notify_all();
    workers_.changed_.wait(lock, [this] {
      return slot_.pending_bytes < workers_.most_pending_ || workers_.stopping_ ||
             !workers_.lines_wanted_;
    });
  }

 private:
  void Add(std::string_view text, bool first, bool taken) {
    batch_.lines.push_back({batch_.bytes.size(), text.size(), first, taken});
    batch_.bytes.append(text);
    if (batch_.bytes.size() >= kBatchBytes) Publish();
  }

  FileWorkers& workers_;
  Slot& slot_;
  const bool counts_;
  Batch batch_;
};

FileWorkers::FileWorkers(const ListingRequest& request,
                         std::shared_ptr<const LogFolder> folder,
                         std::shared_ptr<const Criteria> criteria,
                         const Deadline& deadline, std::vector<FilePart> parts,
                         size_t threads)
    : request_(request),
      folder_(std::move(folder)),
      criteria_(std::move(criteria)),
      deadline_(deadline),
      files_(std::move(parts)),
      ahead_(std::max<size_t>(threads, 1)),
      most_pending_(std::max(kMostPendingBytes / ahead_, 2 * kBatchBytes)) {
  for (size_t i = 0; i < files_.size(); ++i) {
    slots_.push_back(std::make_unique<Slot>(request.log_type));
  }
  for (size_t i = 0; i < ahead_; ++i) threads_.emplace_back([this] { Work(); });
}

FileWorkers::~FileWorkers() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void FileWorkers::StopLines() {
  {
    std::lock_guard lock(mutex_);
    lines_wanted_ = false;
  }
  changed_.notify_all();
}

void FileWorkers::Work() {
  C_LogFileRead reader;
  ConfigureReader(reader, request_, folder_, criteria_, &deadline_);
  for (;;) {
    size_t index;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] {
        return stopping_ || next_file_ >= files_.size() ||
               next_file_ < taking_ + ahead_;
      });
      if (stopping_ || next_file_ >= files_.size()) return;
      index = next_file_++;
    }
    Slot& slot = *slots_[index];
    FileRead read;
    try {
      if (OpenStep(reader, files_[index].file)) {
        read.opened = true;
        BatchSink sink(*this, slot, request_.count_all);
        const bool scanned =
            ScanFile(reader, files_[index], sink,
                     request_.count_all ? &slot.counter : nullptr);
        sink.Publish();
        read.read_failed = !scanned || reader.ReadFailed();
        if (!scanned) read.error.text = "cannot be read in parts";
        if (reader.ReadFailed()) read.error.text = reader.ReadError();
      } else {
        read.error = {reader.P_lngErrOpen, reader.P_strErrOpen};
      }
    } catch (const std::exception& error) {
      read.read_failed = true;
      read.error.text = error.what();
    }
    read.name = OpenedName(reader);
    reader.P_Open(false);
    std::lock_guard lock(mutex_);
    slot.read = std::move(read);
    slot.done = true;
    changed_.notify_all();
  }
}

FileRead FileWorkers::Take(size_t index, FileLineSink& sink,
                           LineCounter* counter) {
  Slot& slot = *slots_[index];
  std::unique_lock lock(mutex_);
  taking_ = index;
  changed_.notify_all();
  for (;;) {
    changed_.wait_for(lock, kDeadlinePoll,
                      [&slot] { return slot.done || !slot.batches.empty(); });
    if (!slot.batches.empty()) {
      Batch batch = std::move(slot.batches.front());
      slot.batches.pop_front();
      slot.pending_bytes -= batch.bytes.size();
      changed_.notify_all();
      lock.unlock();
      for (const Batch::Line& line : batch.lines) {
        std::string_view text(batch.bytes.data() + line.offset, line.size);
        if (line.first) {
          sink.First(text, line.taken);
        } else if (sink.WantsLines()) {
          sink.Selected(text);
        }
      }
      lock.lock();
      continue;
    }
    if (slot.done) break;
    if (deadline_.Passed()) {
      const LogFileRef& file = files_[index].file;
      return {true, LogFileName(request_.log_type, file.period, file.day), {},
              false};
    }
  }
  if (counter != nullptr) counter->Add(slot.counter);
  return slot.read;
}

}  // namespace kvo
