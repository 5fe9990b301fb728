#include "app/window/window_platform.h"

#include <QProgressBar>
#include <QString>
#include <QWidget>
#include <algorithm>

#include "app/window/core_text.h"
#include "app/window/dialogs.h"
#include "app/window/fProgress.h"

namespace glossator {

WindowPlatform::WindowPlatform(QWidget& main_window, TfrmProgress& progress, Dialogs& dialogs)
    : main_window_(main_window), progress_(progress), dialogs_(dialogs) {}

namespace {

// The size of a window with its frame. The window system tells a window's frame only once it
// has decorated the window, which for a dialog shown a moment ago may not have happened yet;
// the frame of `decorated`, a window of the same program, then stands in for it.
QSize FrameSize(const QWidget& window, const QWidget& decorated) {
  QSize frame = window.frameGeometry().size();
  if (frame != window.size()) return frame;
  return window.size() + (decorated.frameGeometry().size() - decorated.size());
}

}  // namespace

void WindowPlatform::ShowProgress(TGlosParser* parser, int maximum) {
  progress_.Parser = parser;
  progress_.prg->setMaximum(maximum);
  progress_.prg->setValue(0);
  progress_.show();
  progress_.move(CentredOn(main_window_.frameGeometry(), FrameSize(progress_, main_window_)));
}

bool WindowPlatform::UpdateProgress(std::string_view header, std::string_view detail, bool step) {
  return progress_.UpdateProgress(FromCore(header), FromCore(detail), step);
}

void WindowPlatform::FinishProgress() {
  progress_.prg->setValue(progress_.prg->maximum());
  CloseProgress();
}

void WindowPlatform::CloseProgress() {
  progress_.hide();
  // The parser goes with the run; the dialog must not keep it.
  progress_.Parser = nullptr;
}

void WindowPlatform::ShowInformation(std::string_view text) {
  dialogs_.Information(&main_window_, MessageText(text));
}

void WindowPlatform::ShowMessage(std::string_view text) {
  dialogs_.Message(&main_window_, MessageText(text));
}

void WindowPlatform::ReportWarning(const Warning& warning) {
  warnings_.push_back(warning);
  if (!warning.box.empty()) ShowMessage(warning.box);
}

QString WarningList(const std::vector<Warning>& warnings) {
  QString list;
  for (const Warning& warning : warnings) {
    std::string line = FormatWarning(warning);
    std::replace(line.begin(), line.end(), '\n', ' ');
    list += FromCore(line) + "\n";
  }
  return list;
}

void WindowPlatform::SetBusy(bool busy) {
  if (busy) {
    main_window_.setCursor(Qt::WaitCursor);
  } else {
    main_window_.unsetCursor();
  }
}

}  // namespace glossator
