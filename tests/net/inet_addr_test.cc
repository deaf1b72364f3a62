#include "net/inet_addr.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvo {
namespace {

using namespace std::string_literals;

// Each text as the C library reads it.
TEST(InetAddrTest, ReadsAsTheCLibrary) {
  const std::string zeros(40, '0');
  const std::vector<std::string> cases[] = {
      // Parts and the range of the last one.
      {"82.165.3.17", "0.0.0.0", "255.255.255.255", "1.2.3", "1.2", "1",
       "1.16777215", "1.16777216", "1.2.65535", "1.2.65536", "4294967295",
       "4294967296", "18446744073709551616", "256.1", "1.2.3.256"},
      // Bases.
      {"0x1.0X2.0xa.0xFF", "0x", "0x.1.2.3", "0xg", "1.2.3.0x", "0x0x1", "07",
       "08", "00", "0400", "010.0.0.1", "1.2.3.08", "01.02.03.0377",
       zeros + "10.1.1.1", "0x" + zeros + "1.2.3.4"},
      // White space ends an address.
      {"1.2.3.4 junk", "1.2.3.4\tx", "1.2.3.4\vx", "1.2.3.4\fx", "1.2.3.4\rx",
       "1.2.3.4\n", "1 .2", "1. 2", " 1.2.3.4", "1.2.3.4\xa0", "1.2.3.4\x85"},
      // Not a part.
      {"+1.2.3.4", "-1.2.3.4", "1..2", ".1.2.3", "1.2.3.", "1.2.3.4.",
       "1.2.3.4.5", "1e2", "1.2.3.4e", "", "1,2,3,4", "x"},
  };
  for (const std::vector<std::string>& group : cases) {
    for (const std::string& text : group) {
      SCOPED_TRACE("\"" + text + "\"");
      EXPECT_EQ(InetAddr(text), ::inet_addr(text.c_str()));
    }
  }
  EXPECT_EQ(InetAddr("1.2.3.4 \0"s), INADDR_NONE);  // a NUL is never read
}

}  // namespace
}  // namespace kvo
