// The developer window: `KvoTestForm [log-folder]`. Without an argument the
// folder comes from KVO_TEST_FORM_FOLDER, else it is build/sample-logs.

#include <FL/Fl.H>

#include <clocale>
#include <cstdlib>

#include "testform/form1.h"
#include "testform/read_listing.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  // The toolkit's own options (-display, -geometry) are not read: the only
  // argument is the folder, and DISPLAY names the screen.
  kvo::Form1 form(kvo::TestFormFolder(
      argc > 1 ? argv[1] : nullptr, std::getenv(kvo::kTestFormFolderVariable)));
  form.Show();
  return Fl::run();
}
