// The desktop program: the main window with its progress dialog. The program "glossator" starts
// it with its own arguments when they ask for no batch run; given "-b" directly, it makes the
// batch run itself, without creating any window or needing a display.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/window/desktop.h"
#include "app/window/dialogs.h"
#include "app/window/fProgress.h"
#include "app/window/main.h"

namespace {

// Whether the window has a display to appear on: an X or Wayland one, or a platform chosen
// explicitly (offscreen, for one).
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace glossator;
  CommandLineParameters parameters =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (WantsBatchRun(parameters) || parameters.help || parameters.version ||
      !parameters.error.empty()) {
    return RunWithoutWindow(parameters);
  }
  if (!HasDisplay()) {
    std::fputs(
        "glossator: no display for the window; document units with 'glossator -o DIR PATH...'\n",
        stderr);
    return kExitRejected;
  }

  // Start-up in this order: the application, the main window, the hidden progress dialog, then
  // the command line's selection, then the event loop until the main window closes.
  QApplication application(argc, argv);
  QApplication::setApplicationName("Glossator");
  QtDialogs dialogs;
  SystemDesktop desktop;
  TfrmMain frmMain(dialogs, desktop);
  TfrmProgress frmProgress(&frmMain);
  frmMain.SetProgressDialog(&frmProgress);
  try {
    frmMain.ApplyCommandLine(parameters);
  } catch (const std::exception& error) {
    dialogs.Error(&frmMain, QString::fromLocal8Bit(error.what()));
  }
  frmMain.show();
  return QApplication::exec();
}
