#ifndef GLOSSATOR_PARSER_PLATFORM_H_
#define GLOSSATOR_PARSER_PLATFORM_H_

#include <string>
#include <string_view>

namespace glossator {

class TGlosParser;

// The services a run needs from the program that hosts it. The desktop window implements them
// with its progress dialog and message boxes, batch mode with standard error, tests with fakes
// that record what was asked.
class Platform {
 public:
  virtual ~Platform() = default;

  // Progress display. A run shows it with the parser whose Cancelled flag the Cancel button sets
  // (not owned; valid until CloseProgress) and the bar's maximum, position 0.
  virtual void ShowProgress(TGlosParser* parser, int maximum) = 0;
  // Shows `header` unless it is empty, always replaces the detail line, advances the bar by one
  // when `step` is set, lets pending events run, and answers whether to go on: false once the
  // user has cancelled.
  virtual bool UpdateProgress(std::string_view header, std::string_view detail, bool step) = 0;
  // Sets the bar to its maximum and closes the display (end of a complete run).
  virtual void FinishProgress() = 0;
  // Closes the display without finishing it (after a cancel or an error).
  virtual void CloseProgress() = 0;

  // An information message with a single OK button.
  virtual void ShowInformation(std::string_view text) = 0;
  // A plain message box.
  virtual void ShowMessage(std::string_view text) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(std::string_view question) = 0;
  // The hourglass while a run works; false restores the normal cursor.
  virtual void SetBusy(bool busy) = 0;
  // Opens a page in the default browser, without waiting for it.
  virtual void OpenInBrowser(const std::string& path) = 0;
  // Starts the user's text editor on a file, without waiting for it.
  virtual void StartEditor(const std::string& path) = 0;
};

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_PLATFORM_H_
