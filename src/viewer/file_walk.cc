#include "viewer/file_walk.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "logread/log_naming.h"

namespace kvo {
namespace {

using MonthKey = int;  // year * 12 + month - 1

MonthKey MonthOf(Date day) {
  CivilDate civil = ToCivil(day);
  return civil.year * 12 + civil.month - 1;
}

Date FirstDayOf(MonthKey month) { return MakeDate(month / 12, month % 12 + 1, 1); }

// The files of a log type that the folder holds, by period.
struct PresentFiles {
  std::vector<MonthKey> months;  // sorted
  std::vector<Date> days;        // sorted
  // Plain monthly files that the folder calls regular: asking whether they
  // can be read is enough, they need not be opened to find out.
  std::vector<MonthKey> regular_months;  // sorted
};

PresentFiles FilesOf(E_LogType type,
                     const std::vector<LogFolder::Entry>& entries) {
  PresentFiles present;
  for (const LogFolder::Entry& entry : entries) {
    std::optional<LogFileNameParts> parts = ParseLogFileName(type, entry.name);
    if (!parts) continue;
    if (parts->period == PeriodMonthly) {
      present.months.push_back(MonthOf(parts->day));
      if (entry.regular && !parts->gzipped) {
        present.regular_months.push_back(MonthOf(parts->day));
      }
    } else {
      present.days.push_back(parts->day);
    }
  }
  // A file and its gzipped form count once.
  std::sort(present.months.begin(), present.months.end());
  present.months.erase(
      std::unique(present.months.begin(), present.months.end()),
      present.months.end());
  std::sort(present.days.begin(), present.days.end());
  present.days.erase(std::unique(present.days.begin(), present.days.end()),
                     present.days.end());
  return present;
}

bool SameError(const OpenError& a, const OpenError& b) {
  return a.number == b.number && a.text == b.text;
}

class PlanBuilder {
 public:
  PlanBuilder(E_LogType type, const LogFolder& folder)
      : type_(type), folder_(folder) {}

  void Read(LogFileRef file, std::optional<uint64_t> size = {}) {
    plan_.steps.push_back({WalkStep::Kind::kRead, file, file, {}, size});
  }
  // Files tried one after the other, first..last, that failed with `error`.
  void Fail(LogFileRef first, LogFileRef last, const OpenError& error) {
    if (!plan_.steps.empty()) {
      WalkStep& previous = plan_.steps.back();
      if (previous.kind == WalkStep::Kind::kFailed &&
          SameError(previous.error, error)) {
        previous.last = last;
        return;
      }
    }
    plan_.steps.push_back({WalkStep::Kind::kFailed, first, last, error, {}});
  }
  // Whether the regular file of `file` can be read, asked without opening.
  bool CanRead(LogFileRef file) {
    return folder_.CanRead(LogFileName(type_, file.period, file.day));
  }
  // Opens the file to see whether it can be read; null when it can.
  std::optional<OpenError> Probe(LogFileRef file) {
    OpenedLog log =
        OpenLogFile(folder_, LogFileName(type_, file.period, file.day));
    if (log.fd.valid()) return std::nullopt;
    return log.error;
  }
  WalkPlan& plan() { return plan_; }

 private:
  E_LogType type_;
  const LogFolder& folder_;
  WalkPlan plan_;
};

const OpenError kNotFound = OpenErrorOf(ENOENT, true);

// The month of `first`..`last` (days of one month) where the folder's files
// are known.
void PlanKnownMonth(PlanBuilder& builder, const PresentFiles& present,
                    Date first, Date last) {
  const LogFileRef monthly{PeriodMonthly, first};
  const MonthKey month = MonthOf(first);
  if (std::binary_search(present.regular_months.begin(),
                         present.regular_months.end(), month) &&
      builder.CanRead(monthly)) {
    builder.Read(monthly);
    return;
  }
  if (std::binary_search(present.months.begin(), present.months.end(),
                         month)) {
    std::optional<OpenError> error = builder.Probe(monthly);
    if (!error) {
      builder.Read(monthly);
      return;
    }
    builder.Fail(monthly, monthly, *error);
  } else {
    builder.Fail(monthly, monthly, kNotFound);
  }
  Date next = first;  // the first day not yet planned
  for (auto day = std::lower_bound(present.days.begin(), present.days.end(),
                                   first);
       day != present.days.end() && *day <= last; ++day) {
    if (*day > next) {
      builder.Fail({PeriodDaily, next}, {PeriodDaily, AddDays(*day, -1)},
                   kNotFound);
    }
    builder.Read({PeriodDaily, *day});
    next = AddDays(*day, 1);
  }
  if (next <= last) {
    builder.Fail({PeriodDaily, next}, {PeriodDaily, last}, kNotFound);
  }
}

// The same where every name has to be tried; false once the deadline passed.
bool PlanProbedMonth(PlanBuilder& builder, Date first, Date last,
                     const Deadline& deadline) {
  const LogFileRef monthly{PeriodMonthly, first};
  std::optional<OpenError> error = builder.Probe(monthly);
  if (!error) {
    builder.Read(monthly);
    return true;
  }
  builder.Fail(monthly, monthly, *error);
  for (Date day = first; day <= last; day = AddDays(day, 1)) {
    if (deadline.Passed()) return false;
    const LogFileRef daily{PeriodDaily, day};
    if (std::optional<OpenError> failed = builder.Probe(daily)) {
      builder.Fail(daily, daily, *failed);
    } else {
      builder.Read(daily);
    }
  }
  return true;
}

}  // namespace

WalkPlan PlanWalk(E_LogType type, Date first, Date last,
                  const LogFolder& folder, const Deadline& deadline) {
  PlanBuilder builder(type, folder);
  if (!folder.is_open()) {
    // Every file would fail alike: the monthly file of the first day first,
    // the daily file of the last day last.
    builder.Fail({PeriodMonthly, first}, {PeriodDaily, last},
                 folder.error());
    return std::move(builder.plan());
  }
  // Within one month, its plain monthly file alone answers, as a rule:
  // looking at it costs less than listing the folder.
  if (MonthOf(first) == MonthOf(last)) {
    const std::string name = LogFileName(type, PeriodMonthly, first);
    if (std::optional<uint64_t> size = folder.RegularFileSize(name);
        size && folder.CanRead(name)) {
      builder.Read({PeriodMonthly, first}, size);
      return std::move(builder.plan());
    }
  }
  std::optional<std::vector<LogFolder::Entry>> entries = folder.ListEntries();
  std::optional<PresentFiles> present;
  if (entries) present = FilesOf(type, *entries);
  const MonthKey last_month = MonthOf(last);
  for (MonthKey month = MonthOf(first); month <= last_month; ++month) {
    const Date month_first = std::max(first, FirstDayOf(month));
    const Date month_last =
        month == last_month ? last : AddDays(FirstDayOf(month + 1), -1);
    if (present) {
      PlanKnownMonth(builder, *present, month_first, month_last);
    } else if (!PlanProbedMonth(builder, month_first, month_last, deadline)) {
      builder.plan().stopped = true;
      break;
    }
  }
  return std::move(builder.plan());
}

}  // namespace kvo
