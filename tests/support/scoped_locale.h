#ifndef KVO_TESTS_SUPPORT_SCOPED_LOCALE_H_
#define KVO_TESTS_SUPPORT_SCOPED_LOCALE_H_

#include <clocale>
#include <initializer_list>
#include <string>

namespace kvo::test {

// Switches one locale category for the length of a test and restores it.
class ScopedLocale {
 public:
  explicit ScopedLocale(int category)
      : category_(category), saved_(std::setlocale(category, nullptr)) {}
  ~ScopedLocale() { std::setlocale(category_, saved_.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  // False when the locale is not installed.
  bool Use(const char* name) {
    return std::setlocale(category_, name) != nullptr;
  }
  // The first of `names` that is installed; false when none is.
  bool UseAny(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (Use(name)) return true;
    }
    return false;
  }

 private:
  int category_;
  std::string saved_;
};

}  // namespace kvo::test

#endif  // KVO_TESTS_SUPPORT_SCOPED_LOCALE_H_
