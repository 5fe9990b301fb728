#include "app/batch.h"

#include <cstdio>
#include <exception>

#include "app/command_line.h"
#include "app/console_platform.h"
#include "app/selection_file.h"
#include "html/generation_run.h"
#include "model/errors.h"
#include "parser/platform.h"

namespace glossator {

Selection ApplyCommandLine(const CommandLineParameters& parameters) {
  Selection selection;
  selection.debug_mode = parameters.debug_mode;
  if (!parameters.project_file.empty()) {
    bool debug = selection.debug_mode;
    LoadSelection(parameters.project_file, selection);
    selection.debug_mode = debug;
  }
  return selection;
}

int RunBatch(const CommandLineParameters& parameters, Selection& selection, Platform& platform) {
  // The second reading keeps the file's own debug flag.
  if (!parameters.project_file.empty()) LoadSelection(parameters.project_file, selection);
  try {
    switch (RunGeneration(selection, platform, /*interactive=*/false)) {
      case RunOutcome::kCompleted:
        return kExitCompleted;
      case RunOutcome::kCancelled:
        return ConsolePlatform::CancelStatus();
      case RunOutcome::kRejected:
        return kExitRejected;
    }
  } catch (const GlosError& error) {
    platform.ShowMessage(error.Describe());
  }
  return kExitError;
}

int RunWithoutWindow(const CommandLineParameters& parameters) {
  if (parameters.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (parameters.version) {
    std::printf("glossator %s\n", GLOSSATOR_VERSION);
    return 0;
  }
  try {
    Selection selection = ApplyCommandLine(parameters);
    ConsolePlatform platform;
    ConsolePlatform::CatchInterrupt();
    return RunBatch(parameters, selection, platform);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "glossator: %s\n", error.what());
    return kExitError;
  }
}

}  // namespace glossator
