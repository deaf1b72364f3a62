#include "viewer/html_listing.h"

#include "html/html.h"

namespace kvo {
namespace {

std::string LimitNotice(int32_t max_lines) {
  return "<H4>Incomplete listing. Maximum line count of " +
         std::to_string(max_lines) + " exceeded.</H4>\r\n";
}

std::string TimeNotice(int seconds) {
  return "<H4>Listing stopped after " + std::to_string(seconds) +
         " seconds. Narrow the date interval or the selection.</H4>\r\n";
}

// The name of a damaged file and why; both come from the file system, the
// folder from the request, so both are encoded.
std::string DamagedNotice(const FileReport& file) {
  return "<H4>Log file damaged: " + EncodeHtml(file.name) + " (" +
         EncodeHtml(file.error.text) + ").</H4>\r\n";
}

// The folder comes from the request, so the file name is encoded like every
// request text the page shows.
std::string ErrorNotice(const ListingOutcome& outcome,
                        const std::string& account_name) {
  return "<H4>Error accessing log file: " +
         EncodeHtml(outcome.first_failure_file) + "<br>\r\nError: " +
         EncodeHtml(outcome.first_failure.text) + " (" +
         std::to_string(outcome.first_failure.number) +
         ").<br>\r\nCGI program Logged in as: " + account_name + "</H4>\r\n";
}

}  // namespace

HtmlListing::HtmlListing(E_LogType log_type, ByteSink* out, bool shows_title)
    : log_type_(log_type), out_(out), shows_title_(shows_title) {}

void HtmlListing::FileOpened() {
  if (table_open_) return;
  table_open_ = true;
  out_.text() += kTableOpening;
}

void HtmlListing::Title(const ListedLine& line) {
  if (!shows_title_) return;
  AppendTableRow(out_.text(), log_type_, line.columns, true);
  out_.FlushWhenFull();
}

void HtmlListing::Row(const ListedLine& line) {
  AppendTableRow(out_.text(), log_type_, line.columns, false);
  out_.FlushWhenFull();
}

void HtmlListing::Finish(const ListingOutcome& outcome,
                         const ListingRequest& request,
                         const std::function<std::string()>& account_name) {
  std::string& text = out_.text();
  if (!outcome.any_opened) {
    text += ErrorNotice(outcome, account_name());
  } else {
    text += kTableClosing;
    for (const FileReport& file : outcome.damaged) text += DamagedNotice(file);
    if (outcome.stopped == ListingStop::kTimeLimit) {
      text += TimeNotice(request.time_limit_seconds);
    } else if (outcome.truncated) {
      text += LimitNotice(request.max_lines);
    }
  }
  table_open_ = false;
  out_.Flush();
}

}  // namespace kvo
