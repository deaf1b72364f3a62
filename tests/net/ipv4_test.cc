#include "net/ipv4.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace kvo {
namespace {

using namespace std::string_literals;

TEST(IsValidIpAddressTest, Valid) {
  const char* cases[] = {"192.168.1.1", "0.0.0.0",      "255.255.255.255",
                         "01.002.3.4",  " 1 . 2 .3. 4", "10.0.0.1 "};
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(IsValidIpAddress(text));
  }
}

TEST(IsValidIpAddressTest, Invalid) {
  const char* cases[] = {"256.1.1.1", "-1.0.0.0", "1.2.3",    "1.2.3.4.5",
                         "1..2.3",    "a.b.c.d",  "",         "70000.1.1.1",
                         "1.2.3.",    ".1.2.3",   "1.2.3.4.", "1.2.3.x",
                         "1.2.3.256", "..."};
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(IsValidIpAddress(text));
  }
}

TEST(IsIpInSubnetTest, MasksTheAddressOnly) {
  struct Case {
    const char* network;
    const char* mask;
    const char* address;
    bool expected;
  };
  const Case cases[] = {
      {"192.168.1.0", "255.255.255.0", "192.168.1.77", true},
      {"192.168.1.0", "255.255.255.0", "192.168.2.77", false},
      {"192.168.1.5", "255.255.255.0", "192.168.1.5", false},
      {"192.168.0.0", "255.255.0.0", "192.168.200.1", true},
      {"010.0.0.0", "255.0.0.0", "8.1.2.3", true},
      {"010.0.0.0", "255.0.0.0", "10.1.2.3", false},
      {"0.0.0.0", "0.0.0.0", "1.2.3.4", true},
      {"bad", "255.255.255.255", "255.255.255.255", true},
      {"bad", "255.255.255.0", "255.255.255.255", false},
      {"bad", "255.255.255.255", "1.2.3.4", false},
      {"10.0.0.0", "255.0.0.0", " 10 . 9 . 9 . 9 ", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.network) + " " + c.mask + " " + c.address);
    EXPECT_EQ(IsIpInSubnet(c.network, c.mask, c.address), c.expected);
  }
}

TEST(IsIpInSubnetTest, ErrorsGoToTheCaller) {
  struct Case {
    const char* mask;
    const char* address;
    int32_t number;
  };
  const Case cases[] = {
      {"255.255.255.0", "1.2.3", 9},
      {"255.255.255.0", "", 9},
      {"255.255.0", "1.2.3.4", 9},
      {"", "1.2.3.4", 9},
      {"255.255.255.0", "a.2.3.4", 13},
      {"255.255.255.0", "1.2.3.4.5.6", 13},  // the fourth piece is "4.5.6"
      {"255.x.255.0", "1.2.3.4", 13},
      {"255.255.255.0", "1.2.3.4294967296", 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mask) + " / " + c.address);
    EXPECT_RUNTIME_ERROR(IsIpInSubnet("1.2.3.0", c.mask, c.address), c.number);
  }
}

TEST(IsIpInRangeTest, InclusiveNumericComparison) {
  struct Case {
    const char* low;
    const char* high;
    const char* address;
    bool expected;
  };
  const Case cases[] = {
      {"10.0.0.1", "10.0.0.9", "10.0.0.1", true},
      {"10.0.0.1", "10.0.0.9", "10.0.0.9", true},
      {"10.0.0.1", "10.0.0.9", "10.0.0.5", true},
      {"10.0.0.1", "10.0.0.9", "10.0.0.10", false},
      {"10.0.0.1", "10.0.0.9", "10.0.0.0", false},
      {"10.0.0.0", "10.255.255.255", "9.255.255.255", false},
      {"10.0.0.9", "10.0.0.1", "10.0.0.5", false},
      {"1.2.3.4", "255.255.255.255", "1.2.3.4", true},
      {"1.2.3.5", "255.255.255.255", "1.2.3.4", false},
      {"0.0.0.0", "255.255.255.255", "255.255.255.255", true},
      {"1.2.3.255", "1.2.4.255", "1.2.3.300", true},
      {"1.2.3.0", "1.2.3.1", "1.2.3.0.5", true},  // a fraction stays weighted
      {"10.0.0.1", "10.0.0.9", "10.0.0", false},
      {"10.0.0.1", "10.0.0.9", "10.0.0.x", false},
      {"10.0.0.1", "10.0.0.9", "", false},
      {"10.0.0", "10.0.0.9", "10.0.0.5", false},
      // 100000000 * 256^3 leaves the fixed-point range.
      {"100000000.0.0.0", "100000000.0.0.1", "100000000.0.0.0", false},
      {"1000000.0.0.0", "1000000.0.0.1", "1000000.0.0.0", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.low) + " " + c.high + " " + c.address);
    EXPECT_EQ(IsIpInRange(c.low, c.high, c.address), c.expected);
  }
}

TEST(InetAddrTest, PosixRules) {
  struct Case {
    std::string text;
    uint32_t expected;  // host order
  };
  const Case cases[] = {
      {"1.2.3.4", 0x01020304u},
      {"010.0.0.1", 0x08000001u},
      {"0x0a.0.0.1", 0x0a000001u},
      {"255.255.255.255", 0xffffffffu},
      {"1.2.3.x", 0xffffffffu},
      {"", 0xffffffffu},
      {"1.2.3.4\0junk"s, 0xffffffffu},
      {std::string(100, '0') + "1.2.3.4", 0x01020304u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ntohl(InetAddr(c.text)), c.expected);
  }
}

// An empty column may be a view without any data pointer (found by fuzzing).
TEST(InetAddrTest, ViewWithoutData) {
  const std::string_view nothing;
  EXPECT_EQ(InetAddr(nothing), 0xffffffffu);
  EXPECT_FALSE(IsValidIpAddress(nothing));
  EXPECT_FALSE(IsIpInRange(nothing, nothing, nothing));
}

}  // namespace
}  // namespace kvo
