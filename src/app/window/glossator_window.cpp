// The desktop program: the main window with its progress dialog. The program "glossator" starts
// it with its own arguments when they ask for no batch run; given "-b" directly, it makes the
// batch run itself, without creating any window or needing a display.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
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

// SIGTERM and SIGHUP reach the event loop through a pipe: a signal handler may do no more
// than write a byte.
int g_signal_pipe[2] = {-1, -1};

extern "C" void OnTerminate(int signal_number) {
  char byte = static_cast<char>(signal_number);
  if (write(g_signal_pipe[1], &byte, 1) < 0) {
    // Nothing to do: a full pipe already holds a signal to handle.
  }
}

void CatchTermination() {
  if (pipe2(g_signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action = {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  for (int signal_number : {SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
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
  // Told to end: a run going on is cancelled as by its Cancel button, without boxes, and the
  // window closes; the exit status is 128 + the signal, as in batch mode.
  int terminated_by = 0;
  CatchTermination();
  QSocketNotifier terminate(g_signal_pipe[0], QSocketNotifier::Read);
  QObject::connect(&terminate, &QSocketNotifier::activated, [&] {
    char byte = 0;
    if (read(g_signal_pipe[0], &byte, 1) == 1 && terminated_by == 0) terminated_by = byte;
    dialogs.SetClosing();
    if (frmProgress.Parser != nullptr) frmProgress.Button1Click();
    QApplication::quit();
  });
  frmMain.show();
  int status = QApplication::exec();
  return terminated_by != 0 ? 128 + terminated_by : status;
}
