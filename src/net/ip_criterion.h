#ifndef KVO_NET_IP_CRITERION_H_
#define KVO_NET_IP_CRITERION_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace kvo {

// The address criterion of a listing, read once from its texts so that each
// line's address column costs a few integer operations. Its verdicts are
// those of the predicates of net/ipv4.h over the same texts: a column
// written as a canonical dotted quad is decided by precomputed numbers, any
// other column by those predicates themselves.
class IpCriterion {
 public:
  // No criterion: inactive, takes every line.
  IpCriterion() = default;

  // The criterion of the three texts as the reader holds them, whether
  // validated or not: inactive when `ip1` is empty; a single address when
  // `ip2` is empty; else the range ip1..ip2, or the network ip1 with the
  // mask ip2 when `subnet`. Numbers are read with the locale's decimal
  // separator in force now, which must stay so while the criterion is used.
  static IpCriterion Compile(std::string_view ip1, std::string_view ip2,
                             bool subnet);

  bool active() const { return kind_ != Kind::kNone; }

  // Whether a line with this address column passes. An empty column passes
  // when ip1 reads as 0.0.0.0; a column the subnet test cannot read passes
  // (it does not exclude the line); a column the range test cannot read
  // does not.
  bool Takes(std::string_view address_column) const;

 private:
  enum class Kind { kNone, kSingle, kRange, kSubnet };
  // A canonical quad q passes when low <= (q & mask) <= high.
  struct QuadTest {
    uint32_t mask = 0;
    uint32_t low = 1;  // none passes: q & 0 is below 1
    uint32_t high = 0;
  };

  static QuadTest RangeQuads(std::string_view low, std::string_view high);
  static QuadTest SubnetQuads(uint32_t network, std::string_view mask);
  bool TakesOther(std::string_view address_column) const;

  Kind kind_ = Kind::kNone;
  std::string ip1_;  // the texts, for columns that are not canonical quads
  std::string ip2_;
  bool takes_empty_ = true;
  bool quads_by_number_ = false;  // whether quad_test_ decides canonical quads
  QuadTest quad_test_;
};

}  // namespace kvo

#endif  // KVO_NET_IP_CRITERION_H_
