#ifndef GLOSSATOR_BASE_PLATFORM_H_
#define GLOSSATOR_BASE_PLATFORM_H_

#include <string>
#include <string_view>

#include "base/warning.h"

namespace glossator {

class TGlosParser;

// Where parsing reports: the progress calls and the warnings, the only calls a parse makes. The
// parse threads record them, and the run replays them in list order to its own observer.
class ParseObserver {
 public:
  virtual ~ParseObserver() = default;

  // Shows `header` unless it is empty, always replaces the detail line, advances the bar by one
  // when `step` is set, lets pending events run, and answers whether to go on: false once the
  // user has cancelled.
  virtual bool UpdateProgress(std::string_view header, std::string_view detail, bool step) = 0;
  // A warning about the input (see Warning); the run goes on.
  virtual void ReportWarning(const Warning& warning) = 0;
};

// The progress display of a run. The desktop window shows its progress dialog, batch mode a
// line on standard error, tests record the calls.
class Progress : public ParseObserver {
 public:
  // Progress display. A run shows it with the parser whose Cancelled flag the Cancel button sets
  // (not owned; valid until CloseProgress) and the bar's maximum, position 0.
  virtual void ShowProgress(TGlosParser* parser, int maximum) = 0;
  // Sets the bar to its maximum and closes the display (end of a complete run).
  virtual void FinishProgress() = 0;
  // Closes the display without finishing it (after a cancel or an error).
  virtual void CloseProgress() = 0;
};

// Everything a run needs from the program that hosts it: the progress display, messages to the
// user and the busy cursor. What only the window offers (asking, the browser, the editor) stays
// in the window.
class Platform : public Progress {
 public:
  // An information message with a single OK button.
  virtual void ShowInformation(std::string_view text) = 0;
  // A plain message box.
  virtual void ShowMessage(std::string_view text) = 0;
  // The hourglass while a run works; false restores the normal cursor.
  virtual void SetBusy(bool busy) = 0;
};

}  // namespace glossator

#endif  // GLOSSATOR_BASE_PLATFORM_H_
