#include "gateway/form_data.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kvo {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

Fields AsPairs(const std::vector<FormField>& fields) {
  Fields pairs;
  for (const FormField& field : fields)
    pairs.emplace_back(field.Name, field.Value);
  return pairs;
}

TEST(SplitFormDataTest, SplitsAndDecodes) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::string data;
    Fields expected;
  };
  const Case cases[] = {
      {"two fields",
       "Log=Incoming&LogFilePath=C%3A%5Clogs",
       {{"Log", "Incoming"}, {"LogFilePath", "C:\\logs"}}},
      {"plus first, decoded plus stays", "a=1+2%2B3", {{"a", "1 2+3"}}},
      {"two escapes", "a=%41%42", {{"a", "AB"}}},
      {"decoded percent not decoded again", "a=%2541", {{"a", "%41"}}},
      {"hex stops at G, G removed", "a=%4G", {{"a", "\x04"s}}},
      {"no hex digit gives code 0", "a=%G4", {{"a", "\0"s}}},
      {"percent at the end", "a=50%", {{"a", "50\0"s}}},
      {"one digit at the end", "a=%4", {{"a", "\x04"s}}},
      {"lower-case hex and high codes", "a=%e9%FF", {{"a", "\xe9\xff"s}}},
      {"plus inside an escape is a blank", "a=%+4", {{"a", "\x04"s}}},
      {"name without value before", "flag&Log=x", {{"flag&Log", "x"}}},
      {"more = than names", "a=b=c&d=e", {{"a", "b=c"}, {"d", "e"}, {"", ""}}},
      {"name not decoded", "Max%4Cines=5", {{"Max%4Cines", "5"}}},
      {"empty name and value", "=&=", {{"", ""}, {"", ""}}},
      {"empty data", "", {}},
      {"no =", "abc&def", {}},
      {"trailing &", "a=1&", {{"a", "1"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AsPairs(SplitFormData(c.data)), c.expected);
  }
}

// Neither many fields nor many escapes may make the split quadratic; with
// sanitizers a quadratic split of these would take minutes.
TEST(SplitFormDataTest, LargeInputsStayLinear) {
  std::string many_fields;
  for (int i = 0; i < 200000; ++i) many_fields += "a=1&";
  EXPECT_EQ(SplitFormData(many_fields).size(), 200000u);

  std::string escapes = "v=";
  for (int i = 0; i < 300000; ++i) escapes += "%41";
  std::vector<FormField> fields = SplitFormData(escapes);
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0].Value, std::string(300000, 'A'));
}

}  // namespace
}  // namespace kvo
