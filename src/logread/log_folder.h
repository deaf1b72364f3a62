#ifndef KVO_LOGREAD_LOG_FOLDER_H_
#define KVO_LOGREAD_LOG_FOLDER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/unique_fd.h"

struct stat;

namespace kvo {

// Why a log file could not be opened, as the page reports it: 53 "File not
// found" (the folder exists, the file does not), 76 "Path not found", 70
// "Permission denied", 75 "Path/File access error: " and the system's text.
struct OpenError {
  int32_t number = 0;
  std::string text;
};

// The error of a failed open with `error` (an errno value); a missing file
// is told from a missing folder by `folder_exists`.
OpenError OpenErrorOf(int error, bool folder_exists);

// The folder of the log files, opened once: every log file is opened
// relative to it, so that replacing the folder by a link during a listing
// reaches nothing new. Only regular files are opened, and opening never
// blocks; a log file that is a symbolic link is followed only where it leads
// inside the root.
class LogFolder {
 public:
  // Opens the folder `path` ("" is the file system's root). `root`: the
  // folder inside which a linked log file must lie; empty means `path`.
  LogFolder(const std::string& path, const std::string& root);
  LogFolder(const LogFolder&) = delete;
  LogFolder& operator=(const LogFolder&) = delete;

  const std::string& path() const { return path_; }
  // Whether the folder itself could be opened, and if not, the error that
  // opening any of its files gives.
  bool is_open() const { return dir_.valid(); }
  OpenError error() const { return OpenErrorOf(open_error_, false); }

  // The log file `name` of the folder, opened for reading, or why not.
  struct Opened {
    UniqueFd fd;  // not valid after a failure
    OpenError error;
  };
  Opened OpenFile(std::string_view name) const;

  // An entry of the folder: its name, and whether the folder says it is a
  // regular file (a link or an unknown kind is not).
  struct Entry {
    std::string name;
    bool regular = false;
    bool operator<(const Entry& other) const { return name < other.name; }
  };
  // The folder's entries, sorted by name; null when the folder cannot be
  // read (then every name has to be tried).
  std::optional<std::vector<Entry>> ListEntries() const;

  // Whether the regular file `name` can be opened for reading, asked
  // without opening it.
  bool CanRead(const std::string& name) const;

  // The size of the file `name` where it is (or leads to) a regular file;
  // null otherwise.
  std::optional<uint64_t> RegularFileSize(const std::string& name) const;

 private:
  bool LeadsInsideRoot(int fd) const;
  // OpenFile for a name that is a symbolic link, and for one that was
  // looked at (its kind in `probed`).
  Opened OpenLinked(const std::string& file) const;
  Opened OpenRegular(const std::string& file, const struct stat& probed) const;

  std::string path_;
  std::string resolved_root_;  // empty: the folder is its own root
  UniqueFd dir_;
  int open_error_ = 0;  // errno of opening the folder
};

// A log file opened for reading: its plain form, or where that is missing,
// its gzipped form ("<name>.gz"). After a failure, the error of the plain
// name.
struct OpenedLog {
  UniqueFd fd;       // not valid after a failure
  std::string name;  // the name opened, or tried
  bool gzipped = false;
  OpenError error;
};
OpenedLog OpenLogFile(const LogFolder& folder, const std::string& name);

// True when `path` lies in the folder `root` or below it. What exists of
// `path` is resolved (links and ".." followed), the rest taken as written
// with "." and ".." applied to it; `root` must exist. A root of "/" holds
// every folder.
bool IsPathInsideRoot(const std::string& path, const std::string& root);

}  // namespace kvo

#endif  // KVO_LOGREAD_LOG_FOLDER_H_
