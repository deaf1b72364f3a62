// Log file contents and criteria through the reader: it must never crash,
// never loop, give columns within the log's layout, decide each line as the
// selection rules written out plainly here do, and list the same lines
// whether or not it passes over lines that cannot be taken.
//
// Input: a header of criteria up to the first NUL, fields separated by \x01:
// flags, POP3, From, To, Routed, Subject, minimum size, maximum size, first
// address, second address; after the NUL, the file's contents.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "base/date_parse.h"
#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text_case.h"
#include "base/wildcard.h"
#include "net/ipv4.h"
#include "logread/log_file_read.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/kvo-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) abort();
    return std::string(made);
  }();
  return folder;
}

std::vector<std::string> Fields(std::string_view header) {
  std::vector<std::string> fields;
  for (;;) {
    size_t cut = header.find('\x01');
    fields.emplace_back(header.substr(0, cut));
    if (cut == std::string_view::npos) break;
    header.remove_prefix(cut + 1);
  }
  fields.resize(10);
  return fields;
}

int32_t Size(const std::string& text) {
  kvo::NumberOr<int32_t> size = kvo::ConvertStrictInt32(text);
  return size.ok() ? size.value() : 0;
}

// Whether the "contains" pattern of `criterion` matches `text`; an empty or
// malformed criterion excludes nothing.
bool Contains(const std::string& criterion, const std::string& text) {
  if (criterion.empty()) return true;
  try {
    return kvo::WildcardPattern::Containing(criterion).Matches(text);
  } catch (const kvo::RuntimeError&) {
    return true;
  }
}

// The selection of one line as its rules read, on the joined texts and with
// the general conversions: what every fast path must agree with.
bool PlainlyTaken(const kvo::C_LogFileRead& r, const kvo::LogLineColumns& c,
                  bool incoming) {
  using std::string;
  if (!r.P_datStart) return true;
  auto date = kvo::ParseDateTime(c[1], kvo::LocaleDayMonthOrder());
  if (!date) return r.P_fTitle;
  if (*date < *r.P_datStart || *date >= *r.P_datEnd + 1) return false;
  if (incoming && !r.P_strPOP3AccountSel.empty() &&
      !kvo::EqualsIgnoreCase(c[2], r.P_strPOP3AccountSel)) {
    return false;
  }
  const string from(c[incoming ? 3 : 2]);
  const string to = incoming ? string(c[4]) + " " + string(c[5]) : string(c[3]);
  const string subject(c[incoming ? 7 : 4]);
  if (!Contains(r.P_strFromSel, from) || !Contains(r.P_strToSel, to)) {
    return false;
  }
  if (incoming && !Contains(r.P_strRoutedSel, string(c[6]) + subject)) {
    return false;
  }
  if (!Contains(r.P_strSubjectSel, subject)) return false;
  if (r.P_lngSizeMini > 0 || r.P_lngSizeMaxi > 0) {
    kvo::NumberOr<double> read = kvo::ConvertPrefix(c[incoming ? 8 : 5]);
    kvo::NumberOr<int32_t> bytes = kvo::ConvertRoundInt32(read.value());
    if (read.ok() && bytes.ok()) {
      int32_t kb = bytes.value() / 1024;
      if (r.P_lngSizeMini > 0 && kb < r.P_lngSizeMini) return false;
      if (r.P_lngSizeMaxi > 0 && kb > r.P_lngSizeMaxi) return false;
    }
  }
  if (!incoming || r.P_strIpAddr1.empty()) return true;
  const std::string_view address = c[9];
  if (address.empty()) {
    return kvo::InetAddr(r.P_strIpAddr1) == kvo::InetAddr("0.0.0.0");
  }
  if (r.P_strIpAddr2.empty()) {
    return kvo::InetAddr(r.P_strIpAddr1) == kvo::InetAddr(address);
  }
  if (!r.P_fSubnet) {
    return kvo::IsIpInRange(r.P_strIpAddr1, r.P_strIpAddr2, address);
  }
  try {
    return kvo::IsIpInSubnet(r.P_strIpAddr1, r.P_strIpAddr2, address);
  } catch (const kvo::RuntimeError&) {
    return true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\0');
  if (cut == std::string_view::npos) return 0;
  std::vector<std::string> f = Fields(input.substr(0, cut));
  std::string_view contents = input.substr(cut + 1);
  unsigned flags = f[0].empty() ? 0 : static_cast<unsigned char>(f[0][0]);

  kvo::C_LogFileRead reader;
  reader.P_strPathName = Folder();
  reader.P_LogType((flags & 1) ? kvo::LogOutgoing : kvo::LogIncoming);
  reader.P_LogPeriod = kvo::PeriodMonthly;
  reader.P_datRef = kvo::MakeDate(2024, 3, 1);
  std::string path = Folder() + ((flags & 1) ? "/Outgoing2024-03.txt"
                                             : "/Incoming2024-03.txt");
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(contents.data(), static_cast<std::streamsize>(contents.size()));

  if (!(flags & 2)) {
    reader.P_datStart = kvo::MakeDate(2024, 3, 1);
    reader.P_datEnd = kvo::MakeDate(2024, 3, 31);
  }
  reader.P_strPOP3AccountSel = f[1];
  reader.P_strFromSel = f[2];
  reader.P_strToSel = f[3];
  reader.P_strRoutedSel = f[4];
  reader.P_strSubjectSel = f[5];
  reader.P_lngSizeMini = Size(f[6]);
  reader.P_lngSizeMaxi = Size(f[7]);
  reader.P_strIpAddr1 = f[8];
  reader.P_strIpAddr2 = f[9];
  reader.P_fSubnet = (flags & 4) != 0;

  // Every line the listing would render, read one line at a time and then
  // through the path that passes over lines that cannot be taken: the two
  // must agree.
  std::vector<std::string> listed[2];
  for (int pass = 0; pass < 2; ++pass) {
    reader.P_fTitle = (flags & 8) != 0;
    reader.P_Open(true);
    if (!reader.P_Open()) __builtin_trap();
    bool eof = false;
    size_t lines = 0;
    for (;;) {
      auto columns =
          pass == 0 ? reader.M_GetNextLine(eof) : reader.NextCandidateLine(eof);
      if (!columns) break;
      if (columns->size() != reader.P_intColumns()) __builtin_trap();
      if (pass == 0 &&
          reader.P_fTakeIt() != PlainlyTaken(reader, *columns, !(flags & 1))) {
        __builtin_trap();
      }
      if (reader.P_fTakeIt() || reader.P_fTitle) {
        std::string row;
        for (int i = 1; i <= columns->size(); ++i) {
          row.append((*columns)[i]).push_back('\t');
        }
        listed[pass].push_back(row);
      }
      reader.P_fTitle = false;
      if (eof || ++lines > contents.size() + 1) break;
    }
    reader.P_Open(false);
  }
  if (listed[0] != listed[1]) __builtin_trap();
  return 0;
}
