#include "util/version.h"

#include <unistd.h>

#include <climits>

namespace kvo {

VersionRecord ProgramVersion() {
  return VersionRecord{KVO_VERSION_MAJOR, KVO_VERSION_MINOR, KVO_VERSION_PATCH};
}

std::string FormatVersionText(VersionRecord version) {
  std::string text = std::to_string(version.major) + ".";
  if (version.minor >= 0 && version.minor < 10) text += '0';
  text += std::to_string(version.minor);
  if (version.revision == 0) return text;
  if (version.revision >= 1 && version.revision <= 26) {
    text += static_cast<char>('a' - 1 + version.revision);
    return text;
  }
  return text + "." + std::to_string(version.revision);
}

std::string GetVersionText() { return FormatVersionText(ProgramVersion()); }

std::string ExecutableFileName() {
  char path[PATH_MAX];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0) return std::string();
  std::string_view full(path, static_cast<size_t>(length));
  size_t slash = full.rfind('/');
  return std::string(slash == std::string_view::npos ? full
                                                     : full.substr(slash + 1));
}

}  // namespace kvo
