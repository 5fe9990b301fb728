#ifndef GLOSSATOR_APP_SERVE_SERVE_PLATFORM_H_
#define GLOSSATOR_APP_SERVE_SERVE_PLATFORM_H_

#include <cstdio>
#include <string>
#include <vector>

#include "base/platform.h"

namespace glossator {

// The live preview's platform: messages and warnings as lines on a stream (standard error), the
// warnings also kept for the page overlay; no progress display, no cancel.
class ServePlatform : public Platform {
 public:
  // `out` is not owned; null prints nothing.
  explicit ServePlatform(std::FILE* out) : out_(out) {}

  void ShowProgress(TGlosParser*, int) override {}
  bool UpdateProgress(std::string_view, std::string_view, bool) override { return true; }
  void FinishProgress() override {}
  void CloseProgress() override {}
  void ShowInformation(std::string_view text) override { ShowMessage(text); }
  void ShowMessage(std::string_view text) override;
  void SetBusy(bool) override {}
  // Prints "FILE:LINE: warning: TEXT" and keeps it.
  void ReportWarning(const Warning& warning) override;

  // The warnings since the last call, in order; the messages are among them with kind "message".
  std::vector<Warning> TakeWarnings() { return std::move(warnings_); }

 private:
  std::FILE* out_;
  std::vector<Warning> warnings_;
};

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_SERVE_PLATFORM_H_
