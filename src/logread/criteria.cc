#include "logread/criteria.h"

#include <cmath>

#include "base/runtime_error.h"

namespace kvo {
namespace {

// A moment as whole seconds since day 0: the Date column holds whole
// seconds, and so do the interval's bounds.
int64_t Seconds(Date date) { return std::llround(date * 86400.0); }

// The "contains" pattern of a non-empty criterion that compiles.
std::optional<WildcardPattern> Compile(const std::string& criterion) {
  if (criterion.empty()) return std::nullopt;
  try {
    return WildcardPattern::Containing(criterion);
  } catch (const RuntimeError&) {
    return std::nullopt;  // malformed: the test is skipped
  }
}

// The longest criterion text that a taken line must hold: a whole-column
// POP3 account, or a literal From, To or Subject. Not the To criterion of the
// incoming log when it has a blank (its text is To, " ", Cc, so a match may
// span both), nor the Routed criterion (Routed to and Subject joined).
std::string_view ChooseRequiredLiteral(const CriteriaTexts& texts,
                                       const ColumnMap& map) {
  std::string_view best;
  auto consider = [&best](std::string_view text, bool eligible) {
    if (eligible && text.size() > best.size()) best = text;
  };
  consider(texts.pop3_account, map.pop3_account > 0);
  consider(texts.from, map.from > 0 && WildcardPattern::IsLiteral(texts.from));
  consider(texts.to,
           map.to > 0 && WildcardPattern::IsLiteral(texts.to) &&
               (map.cc == 0 || texts.to.find(' ') == std::string::npos));
  consider(texts.subject,
           map.subject > 0 && WildcardPattern::IsLiteral(texts.subject));
  return best;
}

}  // namespace

Criteria::Criteria(const CriteriaTexts& texts, const LogLayout& layout)
    : texts_(texts), map_(layout.map) {
  if (texts.start) start_second_ = Seconds(*texts.start);
  if (texts.end) end_second_ = Seconds(*texts.end);
  if (map_.from > 0) from_ = Compile(texts.from);
  if (map_.to > 0) to_ = Compile(texts.to);
  if (map_.routed > 0) routed_ = Compile(texts.routed);
  if (map_.subject > 0) subject_ = Compile(texts.subject);
  std::string_view best = ChooseRequiredLiteral(texts, map_);
  if (!best.empty()) required_.emplace(best);
}

bool Criteria::InInterval(Date date) const {
  if (!selects()) return true;
  const int64_t second = Seconds(date);
  return second >= start_second_ && (!end_second_ || second < *end_second_);
}

}  // namespace kvo
