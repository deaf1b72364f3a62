#ifndef KVO_UTIL_VERSION_H_
#define KVO_UTIL_VERSION_H_

#include <cstdint>
#include <string>

namespace kvo {

// The program's version record.
struct VersionRecord {
  int16_t major;
  int16_t minor;
  int16_t revision;
};

// This program's record (1.20.0, from the build's project version).
VersionRecord ProgramVersion();

// "1.20" for 1.20.0; the minor with at least two digits; revision 1 to 26
// as a letter a to z ("1.20c"), a larger one as ".27".
std::string FormatVersionText(VersionRecord version);

// FormatVersionText of ProgramVersion().
std::string GetVersionText();

// The running executable's file name without folder (basename of
// /proc/self/exe); the empty text when it cannot be read.
std::string ExecutableFileName();

}  // namespace kvo

#endif  // KVO_UTIL_VERSION_H_
