#include "answer/json_listing.h"

#include <cstdio>

#include "answer/csv.h"

namespace kvo {
namespace {

constexpr size_t kFlushBytes = 64 * 1024;

void WriteOptionalTime(JsonWriter& json, std::string_view key,
                       const std::optional<int32_t>& seconds) {
  json.Key(key);
  if (seconds) {
    json.String(TimeOfDayText(*seconds));
  } else {
    json.Null();
  }
}

void WriteCriteria(JsonWriter& json, const CriteriaTexts& c) {
  json.BeginObject();
  json.Key("pop3_account");
  json.String(c.pop3_account);
  json.Key("from");
  json.String(c.from);
  json.Key("to");
  json.String(c.to);
  json.Key("routed");
  json.String(c.routed);
  json.Key("subject");
  json.String(c.subject);
  json.Key("size_min_kb");
  json.Number(c.size_mini);
  json.Key("size_max_kb");
  json.Number(c.size_maxi);
  json.Key("ip");
  if (c.ip_address1.empty()) {
    json.Null();
  } else {
    json.BeginObject();
    json.Key("kind");
    json.String(c.ip_address2.empty() ? "single"
                : c.subnet            ? "subnet"
                                      : "range");
    json.Key("address");
    json.String(c.ip_address1);
    json.Key("second");
    if (c.ip_address2.empty()) {
      json.Null();
    } else {
      json.String(c.ip_address2);
    }
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
    json.Key("name");
    json.String(file.name);
    if (!file.last_name.empty()) {
      json.Key("last");
      json.String(file.last_name);
    }
    json.Key("status");
    json.String(StatusText(file.status));
    json.Key("error");
    if (file.error.text.empty()) {
      json.Null();
    } else {
      json.String(file.error.text);
    }
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
    : out_(out), summary_(summary), json_(text_) {
  json_.BeginObject();
  json_.Key("log");
  json_.String(summary.log);
  json_.Key("interval");
  json_.BeginObject();
  json_.Key("first");
  json_.String(FormatYmd(summary.first_day));
  json_.Key("last");
  json_.String(FormatYmd(summary.last_day));
  WriteOptionalTime(json_, "time_lo", summary.time_lo);
  WriteOptionalTime(json_, "time_hi", summary.time_hi);
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
  FlushWhenFull();
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

void JsonListing::Finish(const ListingOutcome& outcome, int64_t elapsed_ms) {
  BeginRows({});
  json_.EndArray();
  json_.Key("offset");
  json_.Number(summary_.offset);
  json_.Key("limit");
  json_.Number(summary_.limit);
  json_.Key("order");
  json_.String(summary_.order);
  json_.Key("total");
  json_.Number(outcome.total);
  json_.Key("truncated");
  json_.Bool(outcome.truncated);
  json_.Key("days");
  json_.BeginArray();
  for (const DayCount& day : outcome.days) {
    json_.BeginObject();
    json_.Key("date");
    json_.String(FormatYmd(day.day));
    json_.Key("count");
    json_.Number(day.count);
    json_.Key("bytes");
    json_.Number(day.bytes);
    json_.EndObject();
  }
  json_.EndArray();
  json_.Key("files");
  WriteFiles(json_, outcome.files);
  json_.Key("stopped");
  if (outcome.stopped == ListingStop::kTimeLimit) {
    json_.String("time limit");
  } else if (!outcome.damaged.empty()) {
    json_.String("read error");
  } else {
    json_.Null();
  }
  json_.Key("elapsed_ms");
  json_.Number(elapsed_ms);
  json_.EndObject();
  text_ += '\n';
  out_.Write(text_);
  text_.clear();
}

void JsonListing::FlushWhenFull() {
  if (text_.size() < kFlushBytes) return;
  out_.Write(text_);
  text_.clear();
}

}  // namespace kvo
