#include "viewer/viewer_page.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/date.h"
#include "base/numbers.h"
#include "base/recovery.h"
#include "base/text_case.h"
#include "gateway/response.h"
#include "html/html.h"
#include "net/ipv4.h"
#include "util/version.h"
#include "viewer/list_log.h"
#include "viewer/validate.h"

namespace kvo {

namespace {

// The request as the page reads it, before and after validation.
struct PageRequest {
  std::string log;
  std::string log_file_path;
  std::optional<Date> first_date;
  std::optional<Date> last_date;
  bool last_date_empty = false;
  std::string pop3_account;
  std::string from;
  std::string to;
  std::string routed;
  std::string subject;
  std::string size_mini_text;
  std::string size_maxi_text;
  std::string ip_address;
  bool subnet = false;
  std::string ip_address2;
  int32_t max_lines = 100;
  std::string error_text;  // messages, each ending in "<br>" CR LF
  E_LogType log_type = LogIncoming;
  std::optional<int32_t> size_mini;
  std::optional<int32_t> size_maxi;
};

bool IsSlash(char c) { return c == '/' || c == '\\'; }

// The length of a leading "scheme:" of `url`, 0 when there is none.
size_t SchemeLength(std::string_view url) {
  if (url.empty() || !std::isalpha(static_cast<unsigned char>(url[0]))) {
    return 0;
  }
  for (size_t i = 1; i < url.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(url[i]);
    if (c == ':') return i + 1;
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return 0;
  }
  return 0;
}

// The path of `url`. Browsers read a leading "//" or "\\" as a host, so a
// leading run of slashes becomes one.
std::string_view UrlPath(std::string_view url) {
  url = url.substr(0, url.find_first_of("?#"));
  url.remove_prefix(SchemeLength(url));
  if (url.size() >= 2 && IsSlash(url[0]) && IsSlash(url[1])) {
    size_t path_start = url.find_first_of("/\\", 2);
    url.remove_prefix(path_start == std::string_view::npos ? url.size()
                                                           : path_start);
  }
  while (url.size() >= 2 && IsSlash(url[0]) && IsSlash(url[1])) {
    url.remove_prefix(1);
  }
  return url;
}

void WriteHead(const CgiContext& context) {
  SendLine(context, "HTTP/1.0 200 OK");
  SendLine(context, "Content-type: text/html\r\n");
  SendLine(context, "<HTML><HEAD>");
  SendLine(context, "<TITLE>VELMORA Quillbox Logfile viewer</TITLE>");
  SendLine(context, StyleSheetLink(context.http_referer));
  SendLine(context, "</HEAD>");
}

// Reads the parameters up to the IP criterion; a RuntimeError leaves the page.
PageRequest ReadRequest(const CgiContext& context) {
  auto field = [&context](std::string_view name) {
    return GetFieldValue(context, name);
  };
  PageRequest r;
  r.log = field("Log");
  r.log_file_path = field("LogFilePath");
  bool ignored = false;
  r.first_date = ValidateDate(field("DateLoDay"), field("DateLoMonth"),
                              field("DateLoYear"), ignored, r.error_text);
  r.last_date =
      ValidateDate(field("DateHiDay"), field("DateHiMonth"),
                   field("DateHiYear"), r.last_date_empty, r.error_text);
  r.pop3_account = field("POP3AccountSelection");
  if (EqualsIgnoreCase(r.pop3_account, "none")) r.pop3_account.clear();
  r.from = field("FromSelection");
  r.to = field("ToSelection");
  r.routed = field("RoutedSelection");
  r.subject = field("SubjectSelection");
  r.size_mini_text = field("SizeMini");
  r.size_maxi_text = field("SizeMaxi");
  r.ip_address = field("IpAddress");
  r.subnet = EqualsIgnoreCase(field("GrpSubnetOrIpRange"), "subnet");
  r.ip_address2 = field("IpAddress2OrSubnetMask");
  return r;
}

void WriteSelectionLine(const CgiContext& context, std::string_view label,
                        const std::string& selection) {
  if (selection.empty()) return;
  SendLine(context, std::string(label) + EncodeHtml(selection) + " <br>");
}

void WriteSizeLine(const CgiContext& context, int32_t mini, int32_t maxi) {
  std::string line = "Message size selection: ";
  if (mini > 0 && maxi > 0) {
    line += "between " + std::to_string(mini) + " and " + std::to_string(maxi) +
            " kb <br>";
  } else if (mini > 0) {
    line += "greater than " + std::to_string(mini) + " kb <br>";
  } else if (maxi > 0) {
    line += "less than " + std::to_string(maxi) + "kb <br>";
  } else {
    return;
  }
  SendLine(context, line);
}

// Shows the IP criterion, or appends why it is unusable to the error text and
// drops it, so that the listing runs without it.
void CheckIpCriterion(const CgiContext& context, PageRequest& r) {
  auto reject = [&r](std::string_view message) {
    r.error_text += message;
    r.error_text += "<br>\r\n";
    r.ip_address.clear();
  };
  std::string ip1 = EncodeHtml(r.ip_address);
  std::string ip2 = EncodeHtml(r.ip_address2);
  if (!IsValidIpAddress(r.ip_address)) {
    reject("IP Address selection: You did not enter a valid IP Address.");
  } else if (r.ip_address2.empty()) {
    SendLine(context, "IP Address selection: " + ip1);
  } else if (!IsValidIpAddress(r.ip_address2)) {
    reject(r.subnet
               ? "IP subnet: You did not enter a valid subnet mask."
               : "IP Address range: You did not enter a valid 2nd IP Address.");
  } else if (r.subnet) {
    SendLine(context, "IP Subnet selection: " + ip1 + ", subnet mask: " + ip2);
  } else if (IsIpInRange(r.ip_address, "255.255.255.255", r.ip_address2)) {
    SendLine(context, "IP Address range: " + ip1 + " to " + ip2);
  } else {
    reject("IP Address range: Invalid.");
  }
}

void WriteCriteria(const CgiContext& context, PageRequest& r) {
  TryStep([&] {
    SendLine(context,
             "<Center><H2>VELMORA <em>Quillbox</em> Logfile viewer - " +
                 EncodeHtml(r.log) + " mail</H2></Center>");
  });
  SendLine(context, "<hr>");
  SendLine(context, "<H4>Selection criteria:</H4>");
  SendLine(context, "<P class=\"Criteria\">");
  TryStep([&] {
    SendLine(context, "First date: " + FormatShortDate(*r.first_date) + ", ");
  });
  TryStep([&] {
    SendLine(context, "Last date: " + FormatShortDate(*r.last_date) + "<br>");
  });
  WriteSelectionLine(context, "POP3 account selection: ", r.pop3_account);
  WriteSelectionLine(context, "'From' address selection: ", r.from);
  WriteSelectionLine(context, "'To' and 'Cc' address selection: ", r.to);
  WriteSelectionLine(context, "'Routed to' selection: ", r.routed);
  WriteSelectionLine(context, "Message subject selection: ", r.subject);
  WriteSizeLine(context, r.size_mini.value_or(0), r.size_maxi.value_or(0));
  if (!r.ip_address.empty()) {
    TryStep([&] { CheckIpCriterion(context, r); });
    SendLine(context, "<br>");
  }
  SendLine(context, "</P>");
  std::string block = CriteriaErrorBlock(r.error_text);
  if (!block.empty()) SendLine(context, block);
}

void WriteListing(const CgiContext& context, const PageRequest& r) {
  std::string listing;
  bool listed = TryStep([&] {
    listing = ListLog(r.log_type, r.log_file_path, *r.first_date, *r.last_date,
                      r.pop3_account, r.from, r.to, r.routed, r.subject,
                      r.size_mini.value_or(0), r.size_maxi.value_or(0),
                      r.ip_address, r.subnet, r.ip_address2, r.max_lines);
  });
  if (listed) SendLine(context, listing);
}

}  // namespace

std::string StyleSheetLink(std::string_view referer) {
  return "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
         EncodeHtml(UrlDirectory(UrlPath(referer)) + "/KvoViewLog.css") + "\">";
}

std::string AboutLine(std::string_view executable_file_name) {
  std::string name =
      std::filesystem::path(executable_file_name).stem().string();
  return "<P class=\"About\">" + FoldCase(name) + ".exe version " +
         GetVersionText() + "</p>";
}

void ShowViewerPage(const CgiContext& context) {
  WriteHead(context);
  PageRequest r = ReadRequest(context);

  // From here on a failing step is skipped and the page goes on.
  TryStep([&] {
    r.max_lines = 100;
    r.max_lines = StrictToInt32(GetFieldValue(context, "MaxLines"));
  });
  if (!r.last_date && r.last_date_empty) r.last_date = r.first_date;
  bool valid = false;
  TryStep([&] {
    valid = ValidateParameters(context, r.log, r.log_type, r.log_file_path,
                               r.first_date, r.last_date, r.size_mini_text,
                               r.size_maxi_text, r.size_mini, r.size_maxi,
                               r.error_text);
  });
  if (!valid) return;

  WriteCriteria(context, r);
  WriteListing(context, r);
  TryStep([&] { SendLine(context, AboutLine(ExecutableFileName())); });
}

}  // namespace kvo
