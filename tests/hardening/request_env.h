#ifndef KVO_TESTS_HARDENING_REQUEST_ENV_H_
#define KVO_TESTS_HARDENING_REQUEST_ENV_H_

#include <map>
#include <string>

namespace kvo::test {

// The environment of a GET request for the incoming log of `folder`, March
// 2024, as a web server would set it; `query` is appended to the query string.
inline std::map<std::string, std::string> MarchRequest(
    const std::string& folder, const std::string& query = "") {
  return {{"LC_ALL", "C"},
          {"KVO_LOG_ROOT", folder},
          {"REQUEST_METHOD", "GET"},
          {"SCRIPT_NAME", "/cgi-bin/KvoViewLog"},
          {"QUERY_STRING", "Log=Incoming&LogFilePath=" + folder +
                               "&DateLoDay=1&DateLoMonth=3&DateLoYear=2024"
                               "&DateHiDay=31&DateHiMonth=3&DateHiYear=2024" +
                               query}};
}

// A data line of the incoming log dated in March 2024.
inline std::string IncomingLine(
    int day, const std::string& subject,
    const std::string& from = "someone@example.com") {
  std::string dd = (day < 10 ? "0" : "") + std::to_string(day);
  return dd + ".03.2024 10:00:00\tpop.example.com/jdoe\t" + from +
         "\tjdoe@example.com\t\tjdoe@corp.local\trule\t" + subject +
         "\t2048\t10.1.2.3\r\n";
}

inline const std::string kIncomingTitle =
    "Date\tPOP3 account\tFrom\tTo\tCc\tRouted to\tRule\tSubject\tSize\r\n";

inline const std::string kAboutLinePrefix = "<P class=\"About\">";

}  // namespace kvo::test

#endif  // KVO_TESTS_HARDENING_REQUEST_ENV_H_
