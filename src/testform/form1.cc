#include "testform/form1.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/Fl_Window.H>

#include <cstdio>
#include <exception>
#include <utility>

#include "testform/read_listing.h"

namespace kvo {
namespace {

// The layout is kept in twips, at 15 twips to the pixel.
constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) { return twips / kTwipsPerPixel; }

static_assert(Px(6990) == 466 && Px(5310) == 354);
static_assert(Px(6675) == 445 && Px(4035) == 269);

// About the size of a dialog's default font.
constexpr int kTextSize = 12;

int LeaveTextBox(int /*key*/, Fl_Text_Editor* /*editor*/) { return 0; }

}  // namespace

Form1::Form1(std::string log_folder) : log_folder_(std::move(log_folder)) {
  window_ = std::make_unique<Fl_Window>(Px(6990), Px(5310), "Form1");
  window_->callback(WindowClose, this);

  // Children join the window in tab order: Text1, then cmdRead.
  text1_ = new Fl_Text_Editor(Px(180), Px(180), Px(6675), Px(4035));
  text1_->buffer(&text1_buffer_);
  text1_->textsize(kTextSize);
  text1_->wrap_mode(Fl_Text_Display::WRAP_AT_BOUNDS, 0);
  text1_->scrollbar_align(FL_ALIGN_RIGHT);
  // Tab leaves the text box for the next control instead of inserting a tab:
  // a key that the editor does not use goes on to the window's navigation.
  text1_->add_key_binding(FL_Tab, 0, LeaveTextBox);
  text1_->add_key_binding(FL_Tab, FL_SHIFT, LeaveTextBox);
  text1_buffer_.text("Text1");

  cmd_read_ = new Fl_Button(Px(1320), Px(4620), Px(1875), Px(375), "Read");
  cmd_read_->labelsize(kTextSize);
  cmd_read_->callback(CmdReadClick, this);

  window_->end();
}

Form1::~Form1() = default;

void Form1::Show() { window_->show(); }

void Form1::CmdReadClick(Fl_Widget* /*button*/, void* form) {
  static_cast<Form1*>(form)->ReadClick();
}

// A form closes from its close box only, not on Escape.
void Form1::WindowClose(Fl_Widget* window, void* /*form*/) {
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  window->hide();
}

// Nothing may leave a window callback: a failed listing leaves Text1 as it
// was and is told on standard error.
void Form1::ReadClick() noexcept {
  try {
    std::string listing;
    if (auto error = ReadIntoText(log_folder_, listing)) {
      std::fprintf(stderr, "Form1: error %d: %s\n",
                   static_cast<int>(error->number()),
                   error->description().c_str());
      return;
    }
    text1_buffer_.text(TextBoxText(listing).c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "Form1: %s\n", error.what());
  }
}

}  // namespace kvo
