#include "answer/json_listing.h"

#include <cstdio>

#include "answer/csv.h"

namespace kvo {
namespace {


std::string TimeText(const std::optional<int32_t>& seconds) {
  return seconds ? TimeOfDayText(*seconds) : std::string();
}

void WriteCriteria(JsonWriter& json, const CriteriaTexts& c) {
  json.BeginObject();
  json.StringMember("pop3_account", c.pop3_account);
  json.StringMember("from", c.from);
  json.StringMember("to", c.to);
  json.StringMember("routed", c.routed);
  json.StringMember("subject", c.subject);
  json.NumberMember("size_min_kb", c.size_mini);
  json.NumberMember("size_max_kb", c.size_maxi);
  json.Key("ip");
  if (c.ip_address1.empty()) {
    json.Null();
  } else {
    json.BeginObject();
    json.StringMember("kind", c.ip_address2.empty() ? "single"
                              : c.subnet            ? "subnet"
                                                    : "range");
    json.StringMember("address", c.ip_address1);
    json.StringOrNullMember("second", c.ip_address2);
    json.EndObject();
  }
  json.EndObject();
}

std::string_view StatusText(FileStatus status) {
  switch (status) {
    case FileStatus::kRead:
      return "read";
    case FileStatus::kMissing:
      return "missing";
    case FileStatus::kError:
      return "error";
  }
  return "error";
}

void WriteFiles(JsonWriter& json, const std::vector<FileReport>& files) {
  json.BeginArray();
  for (const FileReport& file : files) {
    json.BeginObject();
    json.StringMember("name", file.name);
    if (!file.last_name.empty()) json.StringMember("last", file.last_name);
    json.StringMember("status", StatusText(file.status));
    json.StringOrNullMember("error", file.error.text);
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace

std::string TimeOfDayText(int32_t seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600,
                seconds / 60 % 60, seconds % 60);
  return text;
}

JsonListing::JsonListing(ByteSink& out, const AnswerSummary& summary)
    : out_(&out), summary_(summary), json_(out_.text()) {
  json_.BeginObject();
  json_.StringMember("log", summary.log);
  json_.Key("interval");
  json_.BeginObject();
  json_.StringMember("first", FormatYmd(summary.first_day));
  json_.StringMember("last", FormatYmd(summary.last_day));
  json_.StringOrNullMember("time_lo", TimeText(summary.time_lo));
  json_.StringOrNullMember("time_hi", TimeText(summary.time_hi));
  json_.EndObject();
  json_.Key("criteria");
  WriteCriteria(json_, summary.criteria);
}

void JsonListing::Title(const ListedLine& line) { BeginRows(line.text); }

void JsonListing::Row(const ListedLine& line) {
  BeginRows({});
  json_.BeginArray();
  for (std::string_view field : SplitFields(line.text)) json_.String(field);
  json_.EndArray();
  out_.FlushWhenFull();
}

void JsonListing::BeginRows(std::string_view title) {
  if (rows_begun_) return;
  rows_begun_ = true;
  json_.Key("columns");
  json_.BeginArray();
  if (!title.empty()) {
    for (std::string_view field : TitleFields(summary_.log_type, title)) {
      json_.String(field);
    }
  }
  json_.EndArray();
  json_.Key("rows");
  json_.BeginArray();
}

void JsonListing::RowsDone() {
  EndRows();
  out_.Flush();
}

void JsonListing::EndRows() {
  if (rows_ended_) return;
  rows_ended_ = true;
  BeginRows({});
  json_.EndArray();
  json_.NumberMember("offset", summary_.offset);
  json_.NumberMember("limit", summary_.limit);
  json_.StringMember("order", summary_.order);
}

void JsonListing::Finish(const ListingOutcome& outcome, int64_t elapsed_ms) {
  EndRows();
  json_.NumberMember("total", outcome.total);
  json_.Key("truncated");
  json_.Bool(outcome.truncated);
  json_.Key("days");
  json_.BeginArray();
  for (const DayCount& day : outcome.days) {
    json_.BeginObject();
    json_.StringMember("date", FormatYmd(day.day));
    json_.NumberMember("count", day.count);
    json_.NumberMember("bytes", day.bytes);
    json_.EndObject();
  }
  json_.EndArray();
  json_.Key("files");
  WriteFiles(json_, outcome.files);
  json_.StringOrNullMember("stopped",
                           outcome.stopped == ListingStop::kTimeLimit
                               ? "time limit"
                           : !outcome.damaged.empty() ? "read error"
                                                      : "");
  json_.NumberMember("elapsed_ms", elapsed_ms);
  json_.EndObject();
  out_.text() += '\n';
  out_.Flush();
}

}  // namespace kvo
