#include "util/account.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace kvo {
namespace {

TEST(GetAccountNameTest, NameOfTheEffectiveUser) {
  // Without an entry for the user the result is the empty text.
  const passwd* entry = getpwuid(geteuid());
  std::string expected =
      entry == nullptr ? "" : std::string(entry->pw_name).substr(0, 127);
  EXPECT_EQ(GetAccountName(), expected);
}

}  // namespace
}  // namespace kvo
