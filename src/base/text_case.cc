#include "base/text_case.h"

#include "base/fold_table.h"

namespace kvo {

using internal::Fold;
using internal::kFoldTable;

unsigned char FoldCase(unsigned char c) { return kFoldTable[c]; }

std::string FoldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(Fold(c));
  return folded;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

}  // namespace kvo
