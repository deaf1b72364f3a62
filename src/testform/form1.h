#ifndef KVO_TESTFORM_FORM1_H_
#define KVO_TESTFORM_FORM1_H_

// The developer window: one button that runs the fixed listing of
// ReadListing and shows its HTML text. The CGI program never opens it.

#include <FL/Fl_Text_Buffer.H>

#include <memory>
#include <string>

class Fl_Button;
class Fl_Text_Editor;
class Fl_Widget;
class Fl_Window;

namespace kvo {

class Form1 {
 public:
  // Builds the window, not yet shown, reading the logs of `log_folder`.
  explicit Form1(std::string log_folder);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Shows the window where the window system places new windows.
  void Show();

 private:
  static void CmdReadClick(Fl_Widget* button, void* form);
  static void WindowClose(Fl_Widget* window, void* form);
  void ReadClick() noexcept;

  std::string log_folder_;
  // Declared before the window: the text box detaches from it when destroyed.
  Fl_Text_Buffer text1_buffer_;
  std::unique_ptr<Fl_Window> window_;  // owns Text1 and cmdRead
  Fl_Text_Editor* text1_ = nullptr;
  Fl_Button* cmd_read_ = nullptr;
};

}  // namespace kvo

#endif  // KVO_TESTFORM_FORM1_H_
