#ifndef KVO_TESTS_E2E_E2E_SUPPORT_H_
#define KVO_TESTS_E2E_E2E_SUPPORT_H_

// Requests to the built program and what the tests read from its responses.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace kvo::test {

using Params = std::vector<std::pair<std::string, std::string>>;
using Env = std::map<std::string, std::string>;

// Form encoding: everything but letters and digits as a percent escape.
inline std::string FormEncode(const Params& params) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const auto& [name, value] : params) {
    if (!out.empty()) out += '&';
    out += name + "=";
    for (unsigned char c : value) {
      if (std::isalnum(c)) {
        out += static_cast<char>(c);
      } else {
        out += {'%', kHex[c >> 4], kHex[c & 15]};
      }
    }
  }
  return out;
}

// The CGI variables of a request from the usual form page; the log root
// admits every folder unless `extra` says otherwise.
inline Env CgiEnv(const Env& extra = {}) {
  Env env = {{"LC_ALL", "C"},
             {"KVO_LOG_ROOT", "/"},
             {"REQUEST_METHOD", "GET"},
             {"SCRIPT_NAME", "/cgi-bin/KvoViewLog"},
             {"HTTP_REFERER", "http://intranet/kvo/form.htm"}};
  for (const auto& [name, value] : extra) env[name] = value;
  return env;
}

inline ProgramResult Get(const Params& params, const Env& extra = {}) {
  Env env = CgiEnv(extra);
  env["QUERY_STRING"] = FormEncode(params);
  ProgramResult result = RunProgram(ViewerExecutable(), env);
  EXPECT_EQ(result.err, "");
  return result;
}

inline ProgramResult Post(const Params& params, const Env& extra = {}) {
  std::string body = FormEncode(params);
  Env env = CgiEnv(extra);
  env["REQUEST_METHOD"] = "POST";
  env["CONTENT_LENGTH"] = std::to_string(body.size());
  ProgramResult result = RunProgram(ViewerExecutable(), env, body);
  EXPECT_EQ(result.err, "");
  return result;
}

// The parameters of a valid request for March 2024 in `folder`; `extra`
// replaces the value of a parameter of the same name, or is appended.
inline Params MarchRequest(const std::string& folder,
                           const Params& extra = {}) {
  Params params = {{"Log", "Incoming"},    {"LogFilePath", folder},
                   {"DateLoDay", "1"},     {"DateLoMonth", "3"},
                   {"DateLoYear", "2024"}, {"DateHiDay", "31"},
                   {"DateHiMonth", "3"},   {"DateHiYear", "2024"}};
  for (const auto& [name, value] : extra) {
    auto same = std::find_if(params.begin(), params.end(),
                             [&](const auto& p) { return p.first == name; });
    if (same == params.end()) {
      params.emplace_back(name, value);
    } else {
      same->second = value;
    }
  }
  return params;
}

// The lines strictly between the first line `from` and the next line `to`;
// empty when `from` is missing.
inline std::vector<std::string> LinesBetween(const std::string& response,
                                             const std::string& from,
                                             const std::string& to) {
  std::vector<std::string> lines = SplitCrLf(response);
  auto begin = std::find(lines.begin(), lines.end(), from);
  if (begin == lines.end()) return {};
  auto end = std::find(begin + 1, lines.end(), to);
  return std::vector<std::string>(begin + 1, end);
}

inline std::vector<std::string> CriteriaLines(const std::string& response) {
  return LinesBetween(response, "<P class=\"Criteria\">", "</P>");
}

inline std::vector<std::string> ErrorBlockLines(const std::string& response) {
  return LinesBetween(response, "<P class=\"CriteriaError\">", "</p>");
}

inline size_t CountLines(const std::string& response, const std::string& line) {
  std::vector<std::string> lines = SplitCrLf(response);
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

inline std::string AccountName() {
  const passwd* entry = getpwuid(geteuid());
  return entry ? entry->pw_name : "";
}

inline void ReplaceAll(std::string& text, const std::string& from,
                       const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// Compares `response` with tests/golden/`name`, which holds it with LF line
// ends, "@LOGDIR@" for `folder` and "@ACCOUNT@" for the account name.
// KVO_UPDATE_GOLDEN=1 rewrites the file instead (review it before keeping).
inline void ExpectGolden(const std::string& response, const std::string& name,
                         const std::string& folder) {
  SCOPED_TRACE("golden " + name);
  std::string text = response;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
            static_cast<long>(SplitCrLf(text).size()))
      << "a line does not end in CR LF";
  ReplaceAll(text, "\r\n", "\n");
  ReplaceAll(text, folder, "@LOGDIR@");
  ReplaceAll(text, "Logged in as: " + AccountName(), "Logged in as: @ACCOUNT@");
  std::string path = std::string(KVO_SOURCE_DIR) + "/tests/golden/" + name;
  if (const char* update = std::getenv("KVO_UPDATE_GOLDEN");
      update && std::string(update) == "1") {
    WriteFile(path, text);
    return;
  }
  EXPECT_EQ(text, ReadFile(path));
}

// An incoming log for March 2024 (title line without the address heading),
// lines on 1, 2, 5 and 6 March.
inline void WriteIncomingMarch(const std::string& folder) {
  WriteFile(folder + "/Incoming2024-03.txt",
            "Date\tPOP3 account\tFrom\tTo\tCc\tRouted to\tRule\tSubject\tSize"
            "\r\n"
            "01.03.2024 08:15:00\tinfo/sales\talice@example.com\t"
            "bob@example.org\t\tbob\tr1\tQuarterly <report>\t1536\t"
            "192.168.1.20\r\n"
            "02.03.2024 09:00:00\tinfo\tcarol@example.net\tdave@example.org\t"
            "eve@example.org\tdave\tr2\tLunch & more\t512\t10.0.0.5\r\n"
            "05.03.2024 23:59:59\tinfo/sales\talice@example.com\t"
            "frank@example.org\t\tfrank\tr1\tInvoice\t5000000\t192.168.1.77"
            "\r\n"
            "06.03.2024 00:00:00\tinfo\talice@example.com\tbob@example.org\t\t"
            "bob\tr1\tLate\t100\t192.168.1.20\r\n");
}

}  // namespace kvo::test

#endif  // KVO_TESTS_E2E_E2E_SUPPORT_H_
