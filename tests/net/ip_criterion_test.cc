#include "net/ip_criterion.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "base/runtime_error.h"
#include "net/ipv4.h"
#include "support/scoped_locale.h"

namespace kvo {
namespace {

// The verdict of the predicates themselves, for an active criterion.
bool GeneralVerdict(std::string_view ip1, std::string_view ip2, bool subnet,
                    std::string_view column) {
  if (column.empty()) return InetAddr(ip1) == InetAddr("0.0.0.0");
  if (ip2.empty()) return InetAddr(ip1) == InetAddr(column);
  if (!subnet) return IsIpInRange(ip1, ip2, column);
  try {
    return IsIpInSubnet(ip1, ip2, column);
  } catch (const RuntimeError&) {
    return true;
  }
}

struct Case {
  const char* ip1;
  const char* ip2;
  bool subnet;
  const char* column;
  bool expected;  // in the C locale
};

const Case kCases[] = {
    // A single address, as text or as the number inet_addr reads.
    {"82.165.3.17", "", false, "82.165.3.17", true},
    {"82.165.3.17", "", false, "82.165.3.18", false},
    {"82.165.17.17", "", false, "82.165.021.17", true},  // octal 17
    {"82.165.3.17", "", false, "82.165.3.17 junk", true},
    {"0x52.0245.3.17", "", false, "82.165.3.17", true},
    {"bad", "", false, "255.255.255.255", true},
    {"bad", "", false, "nonsense", true},
    {"82.165.3.17", "", false, "", false},
    {"0.0.0.0", "", false, "", true},
    {"0", "10.0.0.9", false, "", true},
    // A range, inclusive, read in fixed point.
    {"10.0.0.1", "10.0.0.9", false, "10.0.0.1", true},
    {"10.0.0.1", "10.0.0.9", false, "10.0.0.9", true},
    {"10.0.0.1", "10.0.0.9", false, "10.0.0.10", false},
    {"10.0.0.1", "10.0.0.9", false, "10.0.0.05", true},  // decimal here
    {"10.0.0.1", "10.0.0.9", false, " 10.0.0.5 ", true},
    {"10.0.0.1", "10.0.0.9", false, "10.0.0.x", false},
    {"10.0.0.9", "10.0.0.1", false, "10.0.0.5", false},
    {"0.0.0.0", "255.255.255.255", false, "255.255.255.255", true},
    {"0.0.0.0", "255.255.255.255", false, "255.255.255.256", false},
    {"10.0.0.1.5", "10.0.0.2.5", false, "10.0.0.1", false},
    {"10.0.0.1.5", "10.0.0.2.5", false, "10.0.0.2", true},
    {"10.0.0.1.5", "10.0.0.2.5", false, "10.0.0.2.5", true},
    {"-5.0.0.0", "0.0.0.1.5", false, "0.0.0.1", true},
    {"-5.0.0.0", "0.0.0.1.5", false, "0.0.0.2", false},
    {"1.2.3.4", "9999.0.0.0", false, "255.255.255.255", true},
    {"10.0.0", "10.0.0.9", false, "10.0.0.5", false},
    {"10.0.0.1", "x", false, "10.0.0.5", false},
    // A network and its mask; a text the test cannot read keeps the line.
    {"192.168.1.0", "255.255.255.0", true, "192.168.1.77", true},
    {"192.168.1.0", "255.255.255.0", true, "192.168.2.77", false},
    {"192.168.1.5", "255.255.255.0", true, "192.168.1.5", false},
    {"192.168.1.0", "255.255.255.0", true, "192.168.1.77.5", true},
    {"192.168.1.0", "255.255.255.0", true, "192.168.1", true},
    {"192.168.1.0", "255.255.255.0", true, "192.168.x.1", true},
    {"192.168.1.0", "255.255.255", true, "10.0.0.1", true},
    {"192.168.1.0", "-1.-1.-1.-256", true, "192.168.1.77", true},
    {"192.168.1.0", " 255 .255.255.0.0", true, "192.168.1.77", true},
    {"bad", "255.255.255.255", true, "255.255.255.255", true},
    {"bad", "255.255.255.255", true, "255.255.255.254", false},
    {"0.0.0.0", "0.0.0.0", true, "", true},
    {"10.0.0.0", "255.0.0.0", true, "", false},
};

TEST(IpCriterionTest, DecidesAsThePredicates) {
  kvo::test::ScopedLocale locale(LC_NUMERIC);
  // A decimal comma changes what the range and subnet tests read.
  for (const char* name : {"C", "de_DE.UTF-8"}) {
    if (!locale.Use(name)) continue;
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(name) + ": \"" + c.ip1 + "\" \"" + c.ip2 +
                   (c.subnet ? "\" subnet \"" : "\" \"") + c.column + "\"");
      const IpCriterion criterion =
          IpCriterion::Compile(c.ip1, c.ip2, c.subnet);
      EXPECT_TRUE(criterion.active());
      const bool general = GeneralVerdict(c.ip1, c.ip2, c.subnet, c.column);
      EXPECT_EQ(criterion.Takes(c.column), general);
      if (std::string_view(name) == "C") {
        EXPECT_EQ(general, c.expected);
      }
    }
  }
  EXPECT_FALSE(IpCriterion::Compile("", "10.0.0.1", true).active());
}

}  // namespace
}  // namespace kvo
