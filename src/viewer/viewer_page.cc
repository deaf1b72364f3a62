#include "viewer/viewer_page.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/date.h"
#include "base/numbers.h"
#include "base/recovery.h"
#include "base/text_case.h"
#include "gateway/response.h"
#include "answer/answer_summary.h"
#include "html/html.h"
#include "util/version.h"
#include "viewer/data_answer.h"
#include "viewer/html_listing.h"
#include "viewer/list_log.h"
#include "logread/listing.h"
#include "viewer/page_request.h"
#include "viewer/validate.h"

namespace kvo {

namespace {

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

// Bytes outside 0x20..0x7E as %XX: a browser drops a TAB or a line end
// inside a URL, which would join "/" and "/host" into "//host".
std::string PercentEncodeUnprintable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte <= 0x7E) {
      out += c;
    } else {
      out += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return out;
}

void WriteHead(const CgiContext& context) {
  SendLine(context, "HTTP/1.0 200 OK");
  SendLine(context, "Content-type: text/html; charset=windows-1252\r\n");
  SendLine(context, "<HTML><HEAD>");
  SendLine(context, "<TITLE>VELMORA Quillbox Logfile viewer</TITLE>");
  SendLine(context, StyleSheetLink(context.http_referer));
  SendLine(context, "</HEAD>");
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

// Writes the heading and the criteria block. An unusable IP criterion is
// reported in the error block and dropped from `r`, so that the listing runs
// without it.
// A date of the criteria block, with its time of day when one was given.
std::string DateShown(Date day, const std::optional<int32_t>& time) {
  std::string text = FormatShortDate(day);
  if (time) text += " " + TimeOfDayText(*time);
  return text;
}

void WriteCriteria(const CgiContext& context, PageRequest& r,
                   const Validation& v) {
  TryStep([&] {
    SendLine(context,
             "<Center><H2>VELMORA <em>Quillbox</em> Logfile viewer - " +
                 EncodeHtml(r.log) + " mail</H2></Center>");
  });
  SendLine(context, "<hr>");
  SendLine(context, "<H4>Selection criteria:</H4>");
  SendLine(context, "<P class=\"Criteria\">");
  TryStep([&] {
    SendLine(context, "First date: " + DateShown(*r.first_date, v.time_lo) + ", ");
  });
  TryStep([&] {
    SendLine(context, "Last date: " + DateShown(*r.last_date, v.time_hi) + "<br>");
  });
  WriteSelectionLine(context, "POP3 account selection: ", r.pop3_account);
  WriteSelectionLine(context, "'From' address selection: ", r.from);
  WriteSelectionLine(context, "'To' and 'Cc' address selection: ", r.to);
  WriteSelectionLine(context, "'Routed to' selection: ", r.routed);
  WriteSelectionLine(context, "Message subject selection: ", r.subject);
  WriteSizeLine(context, v.size_mini, v.size_maxi);
  if (!r.ip_address.empty()) {
    IpCriterionCheck ip = CheckIpCriterion(r);
    if (!ip.shown.empty()) SendLine(context, ip.shown);
    if (!ip.rejected.message.empty()) {
      r.error_text += ip.rejected.message;
      r.error_text += "<br>\r\n";
      r.ip_address.clear();
    }
    SendLine(context, "<br>");
  }
  SendLine(context, "</P>");
  std::string block = CriteriaErrorBlock(r.error_text);
  if (!block.empty()) SendLine(context, block);
}

// The listing, written as its rows are found, then the line end that closes
// it as one page line.
void WriteListing(const CgiContext& context, const ListingRequest& request,
                  RowOrder order) {
  HtmlListing html(request.log_type, context.StdOutHandle,
                   request.max_lines >= 0);
  ListingOutcome outcome;
  if (!TryStep([&] { outcome = ListLog(request, order, html); })) return;
  html.Finish(outcome, request, context.facts.account_name);
  SendLine(context, "");
}

}  // namespace

std::string StyleSheetLink(std::string_view referer) {
  return "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
         EncodeHtml(PercentEncodeUnprintable(UrlDirectory(UrlPath(referer))) +
                    "/KvoViewLog.css") +
         "\">";
}

std::string AboutLine(std::string_view executable_file_name) {
  std::string name =
      std::filesystem::path(executable_file_name).stem().string();
  return "<P class=\"About\">" + FoldCase(name) + ".exe version " +
         GetVersionText() + "</p>";
}

void ShowViewerPage(const CgiContext& context) {
  // A program may ask for the listing as data instead of the page. Reading
  // the parameter may fail: the page then meets the same failure below.
  std::optional<AnswerFormat> format;
  TryStep([&] { format = AnswerFormatOf(GetFieldValue(context, "Format")); });
  if (format && *format != AnswerFormat::kHtml) {
    ShowDataAnswer(context, *format);
    return;
  }
  WriteHead(context);
  PageRequest r = ReadPageRequest(context);

  // From here on a failing step is skipped and the page goes on.
  const Validation v = ValidatePageRequest(context, r);
  if (!v.ok()) {
    TryStep([&] {
      SendLine(context, InvalidParametersText(context.ScriptName, r, v));
    });
    return;
  }

  WriteCriteria(context, r, v);
  WriteListing(context, ListingOf(context, r, v), v.order);
  TryStep(
      [&] { SendLine(context, AboutLine(context.facts.executable_name)); });
}

}  // namespace kvo
