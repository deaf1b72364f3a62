#include "logread/log_folder.h"

#include <dirent.h>
#include <sys/syscall.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/runtime_error.h"
#include "logread/log_naming.h"

namespace kvo {
namespace {

constexpr char kAccessErrorPrefix[] = "Path/File access error: ";

// realpath of an existing path; empty when it cannot be resolved.
std::string Resolved(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(
      ::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

// Where an open descriptor leads, from /proc; empty when that is unknown.
std::string PathOfFd(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[PATH_MAX];
  ssize_t length = ::readlink(link, target, sizeof target);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return {};
  return std::string(target, static_cast<size_t>(length));
}

bool IsInside(const std::string& path, const std::string& root) {
  if (root == "/" || path == root) return true;
  return path.size() > root.size() && path.starts_with(root) &&
         path[root.size()] == '/';
}

// `path` with "." and ".." applied and repeated slashes collapsed; an
// absolute path stays absolute.
std::string Normalized(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t slash = std::min(path.find('/', pos), path.size());
    std::string_view part = path.substr(pos, slash - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = slash + 1;
  }
  std::string out;
  for (std::string_view part : parts) out.append("/").append(part);
  return out.empty() ? "/" : out;
}

}  // namespace

OpenError OpenErrorOf(int error, bool folder_exists) {
  switch (error) {
    case ENOENT:
      if (folder_exists) return {kErrFileNotFound, "File not found"};
      [[fallthrough]];
    case ENOTDIR:
      return {kErrPathNotFound, "Path not found"};
    case EACCES:
    case EPERM:
      return {kErrPermissionDenied, "Permission denied"};
    default:
      return {kErrPathFileAccess,
              std::string(kAccessErrorPrefix) + std::strerror(error)};
  }
}

LogFolder::LogFolder(const std::string& path, const std::string& root)
    : path_(path) {
  // A NUL inside the name would open a shorter name than the one shown.
  if (path.find('\0') != std::string::npos) {
    open_error_ = EINVAL;
    return;
  }
  // O_PATH: searching the folder needs no read permission, as with a path.
  dir_ = UniqueFd(::open(path.empty() ? "/" : path.c_str(),
                         O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!dir_.valid()) {
    open_error_ = errno;
    return;
  }
  if (root.empty() || root == path) return;  // the folder is the root
  // The folder was judged by its path before; what was opened must be it,
  // not a link put in its place since.
  resolved_root_ = Resolved(root);
  const std::string opened = PathOfFd(dir_.get());
  if (resolved_root_.empty() ||
      (!opened.empty() && !IsInside(opened, resolved_root_))) {
    dir_.Reset();
    open_error_ = EACCES;
  }
}

LogFolder::Opened LogFolder::OpenFile(std::string_view name) const {
  Opened opened;
  const std::string file(name);
  if (!is_open()) {
    opened.error = error();
    return opened;
  }
  if (file.find('\0') != std::string::npos || file.find('/') != file.npos) {
    opened.error = OpenErrorOf(EINVAL, true);
    return opened;
  }
  // Looked at without opening it for reading first: a FIFO would block, a
  // device might act on being opened. What the name is comes first; a link
  // is looked at where it leads.
  struct stat probed;
  if (::fstatat(dir_.get(), file.c_str(), &probed, AT_SYMLINK_NOFOLLOW) != 0) {
    opened.error = OpenErrorOf(errno, true);
    return opened;
  }
  if (S_ISLNK(probed.st_mode)) return OpenLinked(file);
  return OpenRegular(file, probed);
}

LogFolder::Opened LogFolder::OpenLinked(const std::string& file) const {
  Opened opened;
  UniqueFd probe(::openat(dir_.get(), file.c_str(), O_PATH | O_CLOEXEC));
  struct stat probed;
  if (!probe.valid() || ::fstat(probe.get(), &probed) != 0) {
    opened.error = OpenErrorOf(errno, true);
    return opened;
  }
  if (S_ISREG(probed.st_mode) && !LeadsInsideRoot(probe.get())) {
    opened.error = {kErrPathFileAccess,
                    std::string(kAccessErrorPrefix) +
                        "Link leads outside the log folder root"};
    return opened;
  }
  return OpenRegular(file, probed);
}

LogFolder::Opened LogFolder::OpenRegular(const std::string& file,
                                         const struct stat& probed) const {
  Opened opened;
  if (S_ISDIR(probed.st_mode)) {
    opened.error = OpenErrorOf(EISDIR, true);
    return opened;
  }
  if (!S_ISREG(probed.st_mode)) {
    opened.error = {kErrPathFileAccess,
                    std::string(kAccessErrorPrefix) + "Not a regular file"};
    return opened;
  }
  UniqueFd fd(::openat(dir_.get(), file.c_str(),
                       O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat read_one;
  if (!fd.valid() || ::fstat(fd.get(), &read_one) != 0) {
    opened.error = OpenErrorOf(errno, true);
    return opened;
  }
  // Replaced since it was looked at: not the file that was judged.
  if (read_one.st_dev != probed.st_dev || read_one.st_ino != probed.st_ino) {
    opened.error = OpenErrorOf(ENOENT, true);
    return opened;
  }
  opened.fd = std::move(fd);
  return opened;
}

bool LogFolder::LeadsInsideRoot(int fd) const {
  // Where the folder is its own root, the root is where it was opened.
  const std::string root =
      resolved_root_.empty() ? PathOfFd(dir_.get()) : resolved_root_;
  const std::string target = PathOfFd(fd);
  return !root.empty() && !target.empty() && IsInside(target, root);
}

bool LogFolder::CanRead(const std::string& name) const {
  return is_open() &&
         ::faccessat(dir_.get(), name.c_str(), R_OK, AT_EACCESS) == 0;
}

std::optional<uint64_t> LogFolder::RegularFileSize(
    const std::string& name) const {
  struct stat info;
  if (!is_open() || ::fstatat(dir_.get(), name.c_str(), &info, 0) != 0 ||
      !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return static_cast<uint64_t>(info.st_size);
}

std::optional<std::vector<LogFolder::Entry>> LogFolder::ListEntries() const {
  if (!is_open()) return std::nullopt;
  UniqueFd fd(::openat(dir_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  std::vector<Entry> entries;
  // Small: a larger one only touches more fresh stack pages; a large folder
  // takes a few more calls.
  alignas(8) char buffer[4096];
  for (;;) {
    const long got = ::syscall(SYS_getdents64, fd.get(), buffer, sizeof buffer);
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    for (long at = 0; at < got;) {
      // struct linux_dirent64: inode, offset, record length, type, name.
      const char* record = buffer + at;
      uint16_t length;
      std::memcpy(&length, record + 16, sizeof length);
      const auto type = static_cast<unsigned char>(record[18]);
      entries.push_back({record + 19, type == DT_REG});
      at += length;
    }
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

OpenedLog OpenLogFile(const LogFolder& folder, const std::string& name) {
  OpenedLog log;
  log.name = name;
  LogFolder::Opened opened = folder.OpenFile(name);
  if (opened.fd.valid()) {
    log.fd = std::move(opened.fd);
    return log;
  }
  log.error = opened.error;
  if (opened.error.number != kErrFileNotFound) return log;
  const std::string gzipped = name + std::string(kGzipSuffix);
  LogFolder::Opened packed = folder.OpenFile(gzipped);
  if (packed.fd.valid()) {
    log.fd = std::move(packed.fd);
    log.name = gzipped;
    log.gzipped = true;
    log.error = {};
  } else if (packed.error.number != kErrFileNotFound) {
    log.name = gzipped;
    log.error = packed.error;
  }
  return log;
}

bool IsPathInsideRoot(const std::string& path, const std::string& root) {
  std::string resolved_root = Resolved(root);
  if (resolved_root.empty() || path.find('\0') != std::string::npos) {
    return false;
  }
  // The longest leading part of the path that exists is resolved; what
  // follows it is taken as written.
  std::string absolute = path.starts_with('/') ? path : Resolved(".") + "/" + path;
  std::string existing = absolute;
  std::string rest;
  std::string resolved;
  for (;;) {
    resolved = Resolved(existing);
    if (!resolved.empty()) break;
    size_t slash = existing.find_last_of('/');
    if (slash == std::string::npos) return false;
    rest = existing.substr(slash) + rest;
    existing = slash == 0 ? "/" : existing.substr(0, slash);
  }
  return IsInside(Normalized(resolved + rest), resolved_root);
}

}  // namespace kvo
