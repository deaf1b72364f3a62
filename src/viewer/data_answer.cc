#include "viewer/data_answer.h"

#include <chrono>
#include <string>
#include <vector>

#include "answer/answer_summary.h"
#include "answer/csv.h"
#include "answer/csv_listing.h"
#include "answer/json_listing.h"
#include "answer/json_writer.h"
#include "base/runtime_error.h"
#include "logread/log_naming.h"
#include "viewer/list_log.h"
#include "viewer/page_request.h"

namespace kvo {
namespace {

struct Status {
  int code;
  std::string_view reason;
};
constexpr Status kOk{200, "OK"};
constexpr Status kBadRequest{400, "Bad Request"};
constexpr Status kInternalError{500, "Internal Server Error"};

// The status line, the same status as a header for servers that take only
// that, the content type and any further header lines.
void WriteHead(const CgiContext& context, Status status, AnswerFormat format,
               std::string_view more = {}) {
  const std::string code = std::to_string(status.code);
  std::string head = "HTTP/1.0 " + code + " " + std::string(status.reason) +
                     "\r\nStatus: " + code + " " + std::string(status.reason) +
                     "\r\nContent-type: ";
  head += format == AnswerFormat::kJson ? "application/json; charset=utf-8"
                                        : "text/csv; charset=utf-8";
  head += "\r\n";
  head += more;
  head += "\r\n";
  context.StdOutHandle->Write(head);
}

// Everything that makes the request unusable, with the field it is about.
std::vector<Finding> Problems(const PageRequest& r, const Validation& v) {
  std::vector<Finding> problems;
  for (const auto& [field, message] : r.date_messages) {
    problems.push_back({field, message});
  }
  problems.insert(problems.end(), v.findings.begin(), v.findings.end());
  IpCriterionCheck ip = CheckIpCriterion(r);
  if (!ip.rejected.message.empty()) problems.push_back(ip.rejected);
  return problems;
}

// A JSON object {"error": ..., "messages" or "message": ...}, or for CSV
// the same as comment lines.
void WriteError(const CgiContext& context, Status status, AnswerFormat format,
                std::string_view error, const std::vector<Finding>& problems,
                std::string_view message) {
  WriteHead(context, status, format);
  std::string body;
  if (format == AnswerFormat::kCsv) {
    body = "# " + std::string(error) + "\r\n";
    for (const Finding& problem : problems) {
      body += "# ";
      AppendCsvRecord(body, {problem.field, problem.message});
    }
    if (!message.empty()) {
      body += "# ";
      AppendCsvRecord(body, {message});
    }
    context.StdOutHandle->Write(body);
    return;
  }
  JsonWriter json(body);
  json.BeginObject();
  json.StringMember("error", error);
  if (!message.empty()) {
    json.StringMember("message", message);
  } else {
    json.Key("messages");
    json.BeginArray();
    for (const Finding& problem : problems) {
      json.BeginObject();
      json.StringOrNullMember("field", problem.field);
      json.StringMember("text", problem.message);
      json.EndObject();
    }
    json.EndArray();
  }
  json.EndObject();
  body += '\n';
  context.StdOutHandle->Write(body);
}

std::string_view OrderName(RowOrder order) {
  switch (order) {
    case RowOrder::kNewest:
      return "newest";
    case RowOrder::kLargest:
      return "largest";
    case RowOrder::kDate:
      break;
  }
  return "date";
}

AnswerSummary SummaryOf(const ListingRequest& request, const Validation& v) {
  AnswerSummary summary;
  summary.log_type = request.log_type;
  summary.log = LogTypeName(request.log_type);
  summary.first_day = request.first_day;
  summary.last_day = request.last_day;
  summary.time_lo = v.time_lo;
  summary.time_hi = v.time_hi;
  summary.criteria = request.criteria;
  summary.offset = request.offset;
  summary.limit = request.max_lines;
  summary.order = OrderName(v.order);
  return summary;
}

// The listing of a valid request.
void WriteListing(const CgiContext& context, AnswerFormat format,
                  ListingRequest request, const Validation& v) {
  const Clock::TimePoint started =
      context.clock != nullptr ? context.clock->Now() : Clock::TimePoint();
  ByteSink& out = *context.StdOutHandle;
  if (format == AnswerFormat::kJson) {
    request.count_all = true;  // the total and the days count every line
    WriteHead(context, kOk, format);
    const AnswerSummary summary = SummaryOf(request, v);
    JsonListing json(out, summary);
    const ListingOutcome outcome = ListLog(request, v.order, json);
    const auto elapsed =
        context.clock != nullptr ? context.clock->Now() - started
                                 : Clock::TimePoint::duration();
    json.Finish(
        outcome,
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    return;
  }
  const std::string file_name =
      std::string(LogTypeName(request.log_type)) + "_" +
      FormatYmd(request.first_day) + "_" + FormatYmd(request.last_day) + ".csv";
  WriteHead(context, kOk, format,
            "Content-Disposition: attachment; filename=\"" + file_name +
                "\"\r\n");
  CsvListing csv(out, request.log_type);
  const ListingOutcome outcome = ListLog(request, v.order, csv);
  csv.Finish(outcome, request);
}

}  // namespace

void ShowDataAnswer(const CgiContext& context, AnswerFormat format) {
  try {
    const PageRequest r = ReadPageRequest(context);
    const Validation v = ValidatePageRequest(context, r);
    const std::vector<Finding> problems = Problems(r, v);
    if (!problems.empty()) {
      WriteError(context, kBadRequest, format, "invalid parameters", problems,
                 {});
      return;
    }
    WriteListing(context, format, ListingOf(context, r, v), v);
  } catch (const RuntimeError& error) {
    // What was written goes where the output allows it, as for the page.
    context.StdOutHandle->Rewind();
    WriteError(context, kInternalError, format, "internal error", {},
               ErrorPageText(error.number(), error.description()));
    context.StdOutHandle->TruncateHere();
  }
}

}  // namespace kvo
