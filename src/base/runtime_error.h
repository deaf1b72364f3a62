#ifndef KVO_BASE_RUNTIME_ERROR_H_
#define KVO_BASE_RUNTIME_ERROR_H_

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kvo {

// Numbers of the run-time errors that this program raises or relies on.
inline constexpr int32_t kErrInvalidArgument = 5;
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrOutOfMemory = 7;
inline constexpr int32_t kErrSubscript = 9;
inline constexpr int32_t kErrTypeMismatch = 13;
inline constexpr int32_t kErrInvalidPattern = 93;

// Numbers of the errors that opening a log file reports.
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrPermissionDenied = 70;
inline constexpr int32_t kErrPathFileAccess = 75;
inline constexpr int32_t kErrPathNotFound = 76;

// The program's one run-time error: a number, the source that raised it and a
// description. Where an error is handled is stated by each caller.
class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int32_t number, std::string source, std::string description);
  // An error with the standard description of `number` (see DescriptionOf).
  explicit RuntimeError(int32_t number, std::string source = "KvoViewLog");

  int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
};

// What the internal-error page shows of an error: "Overflow Error Number =  6"
// (the number has a sign position, a blank before a non-negative one).
std::string ErrorPageText(int32_t number, const std::string& description);

// "Invalid procedure call or argument" for 5, "Overflow" for 6,
// "Subscript out of range" for 9, "Type mismatch" for 13, else
// "Application-defined or object-defined error".
std::string DescriptionOf(int32_t number);

}  // namespace kvo

#endif  // KVO_BASE_RUNTIME_ERROR_H_
