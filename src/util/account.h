#ifndef KVO_UTIL_ACCOUNT_H_
#define KVO_UTIL_ACCOUNT_H_

#include <string>

namespace kvo {

// The name of the account the program runs under (the effective user), at
// most 127 characters. When it cannot be found, "error: N" goes to standard
// error (never waiting for anyone) and the result is the empty text.
std::string GetAccountName();

}  // namespace kvo

#endif  // KVO_UTIL_ACCOUNT_H_
