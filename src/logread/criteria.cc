#include "logread/criteria.h"

#include <vector>

#include "base/date_parse.h"
#include "base/rare_literal.h"
#include "base/runtime_error.h"

namespace kvo {
namespace {

// The "contains" pattern of a non-empty criterion that compiles.
std::optional<WildcardPattern> Compile(const std::string& criterion) {
  if (criterion.empty()) return std::nullopt;
  try {
    return WildcardPattern::Containing(criterion);
  } catch (const RuntimeError&) {
    return std::nullopt;  // malformed: the test is skipped
  }
}

// A literal too common to pass over many lines costs more to search for than
// it saves.
constexpr size_t kMinRarity = 12;

// The rarest text that a taken line must hold, as it stands in the line: a
// whole-column POP3 account, or a literal run of the From, To or Subject
// pattern. Not a run of the incoming log's To criterion that holds a blank
// (its text is To, " ", Cc, so a match may span both), nor any of the
// Routed criterion (Routed to and Subject joined without a separator).
std::string_view ChooseRequiredLiteral(const CriteriaTexts& texts,
                                       const ColumnMap& map,
                                       const WildcardPattern* from,
                                       const WildcardPattern* to,
                                       const WildcardPattern* subject) {
  std::vector<std::string_view> candidates;
  if (map.pop3_account > 0 && !texts.pop3_account.empty()) {
    candidates.push_back(texts.pop3_account);
  }
  for (const WildcardPattern* pattern : {from, subject}) {
    if (pattern == nullptr) continue;
    for (std::string_view run : pattern->RequiredLiterals()) {
      candidates.push_back(run);
    }
  }
  if (to != nullptr) {
    for (std::string_view run : to->RequiredLiterals()) {
      if (map.cc == 0 || run.find(' ') == std::string_view::npos) {
        candidates.push_back(run);
      }
    }
  }
  std::string_view best = RarestLiteral(candidates);
  return LiteralRarity(best) >= kMinRarity ? best : std::string_view();
}

}  // namespace

Criteria::Criteria(const CriteriaTexts& texts, const LogLayout& layout)
    : texts_(texts), map_(layout.map) {
  if (texts.start) start_second_ = SecondsOf(*texts.start);
  if (texts.end) end_second_ = SecondsOf(*texts.end);
  if (map_.from > 0) from_ = Compile(texts.from);
  if (map_.to > 0) to_ = Compile(texts.to);
  if (map_.routed > 0) routed_ = Compile(texts.routed);
  if (map_.subject > 0) subject_ = Compile(texts.subject);
  if (map_.ip_address > 0) {
    ip_ = IpCriterion::Compile(texts.ip_address1, texts.ip_address2,
                               texts.subnet);
  }
  std::string_view best =
      ChooseRequiredLiteral(texts, map_, from(), to(), subject());
  if (!best.empty()) required_.emplace(best);
}


}  // namespace kvo
