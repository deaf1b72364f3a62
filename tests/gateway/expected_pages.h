#ifndef KVO_TESTS_GATEWAY_EXPECTED_PAGES_H_
#define KVO_TESTS_GATEWAY_EXPECTED_PAGES_H_

#include <string>

namespace kvo::test {

// The bytes of the internal-error page for `script` (as it appears, already
// encoded) and `description`.
inline std::string ErrorPage(const std::string& script,
                             const std::string& description) {
  return "HTTP/1.0 500 Internal Error\r\n"
         "Content-type: text/html; charset=windows-1252\r\n\r\n"
         "<HTML><HEAD>\r\n"
         "<TITLE>Error in " +
         script +
         "</TITLE>\r\n"
         "<H1>Error in " +
         script +
         "</H1>\r\n"
         "</HEAD>\r\n"
         "<BODY>\r\n"
         "The following internal error has occurred:\r\n"
         "<PRE>" +
         description +
         "</PRE>\r\n"
         "<I>Please</I> note what you were doing when this problem occurred, "
         "\r\n"
         "so we can identify and correct it. Write down the Web page you were "
         "\r\n"
         "using, any data you may have entered into a form or search box, \r\n"
         "and anything else that may help us duplicate the problem.\r\n"
         "</BODY></HTML>\r\n";
}

// How every viewer response begins.
inline constexpr char kPageStart[] =
    "HTTP/1.0 200 OK\r\nContent-type: text/html; charset=windows-1252\r\n\r\n"
    "<HTML><HEAD>\r\n";

}  // namespace kvo::test

#endif  // KVO_TESTS_GATEWAY_EXPECTED_PAGES_H_
