#ifndef KVO_TESTFORM_READ_LISTING_H_
#define KVO_TESTFORM_READ_LISTING_H_

// What the developer window's Read button does, apart from the window: the
// fixed listing, the folder it reads, and the text that the text box shows.
// Kept free of the window toolkit so that tests run without a display.

#include <cstddef>
#include <optional>
#include <string>

#include "base/date.h"
#include "base/runtime_error.h"
#include "base/windows1252.h"
#include "logread/log_file_read.h"
#include "viewer/list_log.h"

namespace kvo {

// The folder read when neither the command line nor the environment names
// one: where the sample logs of a build are generated.
inline constexpr char kTestFormDefaultFolder[] = "build/sample-logs";
inline constexpr char kTestFormFolderVariable[] = "KVO_TEST_FORM_FOLDER";

// The log folder of the window: `argument` (the first command-line
// argument), else `variable` (the value of KVO_TEST_FORM_FOLDER), else
// kTestFormDefaultFolder. Null or empty counts as not given.
inline std::string TestFormFolder(const char* argument, const char* variable) {
  if (argument != nullptr && *argument != '\0') return argument;
  if (variable != nullptr && *variable != '\0') return variable;
  return kTestFormDefaultFolder;
}

// The Read button's listing of `folder`: the incoming log from 1 to 5 April
// 1999, no selection, at most 100 lines. A RuntimeError from the listing
// reaches the caller.
inline std::string ReadListing(const std::string& folder) {
  return ListLog(LogIncoming, folder, MakeDate(1999, 4, 1),
                 MakeDate(1999, 4, 5), "", "", "", "", "", 0, 0, "", false, "",
                 100);
}

using ListingFunction = std::string (*)(const std::string& folder);

// A click on Read: `text` becomes `listing(folder)`. A RuntimeError from the
// listing leaves `text` as it was and is returned, so that a window callback
// never has to let it pass; null when the text was replaced.
inline std::optional<RuntimeError> ReadIntoText(
    const std::string& folder, std::string& text,
    ListingFunction listing = ReadListing) {
  try {
    text = listing(folder);
  } catch (const RuntimeError& error) {
    return error;
  }
  return std::nullopt;
}

// `listing` as the text box shows it: the toolkit's text is UTF-8 with line
// feeds, the listing is Windows-1252 with CR LF line ends. A CR that does not
// precede a LF stays.
inline std::string TextBoxText(const std::string& listing) {
  std::string out;
  out.reserve(listing.size());
  for (std::size_t i = 0; i < listing.size(); ++i) {
    const auto byte = static_cast<unsigned char>(listing[i]);
    if (byte == '\r' && i + 1 < listing.size() && listing[i + 1] == '\n') {
      continue;
    }
    AppendUtf8(Windows1252ToUnicode(byte), out);
  }
  return out;
}

}  // namespace kvo

#endif  // KVO_TESTFORM_READ_LISTING_H_
