#include "app/batch.h"

#include "app/command_line.h"
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
        return kExitCancelled;
      case RunOutcome::kRejected:
        return kExitRejected;
    }
  } catch (const GlosError& error) {
    platform.ShowMessage(error.Describe());
  }
  return kExitError;
}

}  // namespace glossator
