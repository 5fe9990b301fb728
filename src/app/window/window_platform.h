#ifndef GLOSSATOR_APP_WINDOW_WINDOW_PLATFORM_H_
#define GLOSSATOR_APP_WINDOW_WINDOW_PLATFORM_H_

#include <vector>

#include "base/platform.h"

class QString;
class QWidget;

namespace glossator {

class Dialogs;
class TfrmProgress;

// The platform of a run started from the window: progress in the progress dialog, message boxes
// over the main window, the busy cursor on it. Holds references only; everything it names
// outlives the run.
class WindowPlatform : public Platform {
 public:
  WindowPlatform(QWidget& main_window, TfrmProgress& progress, Dialogs& dialogs);

  void ShowProgress(TGlosParser* parser, int maximum) override;
  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override;
  void FinishProgress() override;
  void CloseProgress() override;
  void ShowInformation(std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  void SetBusy(bool busy) override;
  // Shows the warning's own box, if it has one, and keeps the warning for the "Ready" question.
  void ReportWarning(const Warning& warning) override;

  const std::vector<Warning>& Warnings() const { return warnings_; }

 private:
  QWidget& main_window_;
  TfrmProgress& progress_;
  Dialogs& dialogs_;
  std::vector<Warning> warnings_;
};

// The warnings of a run as the details of the "Ready" question: one "FILE:LINE: warning: TEXT"
// line each; empty when there are none.
QString WarningList(const std::vector<Warning>& warnings);

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_WINDOW_PLATFORM_H_
