#ifndef GLOSSATOR_TESTS_SUPPORT_FAKE_PLATFORM_H_
#define GLOSSATOR_TESTS_SUPPORT_FAKE_PLATFORM_H_

#include <string>
#include <vector>

#include "base/platform.h"

namespace glossator {

// Records every call a run makes and can answer "cancel" at the n-th progress call.
class FakePlatform : public Platform {
 public:
  struct Call {
    std::string header;
    std::string detail;
    bool step;
  };

  // Progress calls are counted from 1; 0 never cancels.
  int cancel_at = 0;

  std::vector<Call> progress;
  std::vector<std::string> information;
  std::vector<std::string> messages;
  std::vector<Warning> warnings;
  int shown_maximum = -1;
  int show_count = 0;
  int finish_count = 0;
  int close_count = 0;
  std::vector<bool> busy;

  void ShowProgress(TGlosParser*, int maximum) override {
    shown_maximum = maximum;
    ++show_count;
  }
  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override {
    progress.push_back({std::string(header), std::string(detail), step});
    return cancel_at == 0 || static_cast<int>(progress.size()) < cancel_at;
  }
  void FinishProgress() override { ++finish_count; }
  void CloseProgress() override { ++close_count; }
  void ShowInformation(std::string_view text) override { information.emplace_back(text); }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void SetBusy(bool on) override { busy.push_back(on); }
  void ReportWarning(const Warning& warning) override { warnings.push_back(warning); }

  std::vector<std::string> Headers() const {
    std::vector<std::string> out;
    for (const Call& call : progress) out.push_back(call.header);
    return out;
  }
};

// Records the progress calls and warnings in one log as well, so that tests compare their
// interleaving too (a run on threads must make them in the order of a run on one).
class LoggingPlatform : public FakePlatform {
 public:
  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override {
    log.push_back("progress|" + std::string(header) + "|" + std::string(detail) + "|" +
                  (step ? "step" : "-"));
    return FakePlatform::UpdateProgress(header, detail, step);
  }
  void ReportWarning(const Warning& warning) override {
    log.push_back("warning|" + FormatWarning(warning) + "|" + warning.kind + "|" + warning.box);
    FakePlatform::ReportWarning(warning);
  }
  std::vector<std::string> log;
};

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SUPPORT_FAKE_PLATFORM_H_
