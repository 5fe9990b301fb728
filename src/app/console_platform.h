#ifndef GLOSSATOR_APP_CONSOLE_PLATFORM_H_
#define GLOSSATOR_APP_CONSOLE_PLATFORM_H_

#include <cstdio>
#include <string>
#include <vector>

#include "base/platform.h"

namespace glossator {

// Batch mode's platform: no window and no display. Progress is one line on standard error,
// redrawn in place when standard error is a terminal (and not shown otherwise); message boxes
// become lines on standard error; Ctrl-C works as the Cancel button.
class ConsolePlatform : public Platform {
 public:
  // `out` is where progress and messages go (standard error); not owned. `terminal` says
  // whether to draw the progress line.
  ConsolePlatform(std::FILE* out, bool terminal);
  // Uses standard error, drawing progress when it is a terminal.
  ConsolePlatform();

  // From now on SIGINT, SIGTERM and SIGHUP cancel the run at its next progress call; a second
  // one of the same kind ends the program as usual. SIGPIPE is ignored: a closed standard error
  // only loses the messages.
  static void CatchInterrupt();
  // Whether an interrupt arrived (also settable by tests).
  static bool Interrupted();
  static void SetInterrupted(bool interrupted);
  // The exit status of a cancelled run: 128 + the signal that cancelled it (130 for Ctrl-C,
  // 143 for SIGTERM, 129 for SIGHUP).
  static int CancelStatus();

  void ShowProgress(TGlosParser* parser, int maximum) override;
  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override;
  void FinishProgress() override;
  void CloseProgress() override;
  void ShowInformation(std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  void SetBusy(bool busy) override;
  // Prints "FILE:LINE: warning: TEXT" and counts it.
  void ReportWarning(const Warning& warning) override;

  // The warnings so far, in the order they came.
  const std::vector<Warning>& Warnings() const { return warnings_; }

 private:
  void Draw();
  void ClearLine();
  void Say(std::string_view text);
  void Print(std::string line);

  std::FILE* out_;
  bool terminal_;
  bool drawn_ = false;
  std::string header_;
  std::string detail_;
  int position_ = 0;
  int maximum_ = 100;
  std::vector<Warning> warnings_;
};

}  // namespace glossator

#endif  // GLOSSATOR_APP_CONSOLE_PLATFORM_H_
