#ifndef GLOSSATOR_APP_BATCH_H_
#define GLOSSATOR_APP_BATCH_H_

#include <string>

#include "html/selection.h"

namespace glossator {

class Platform;
struct CommandLineParameters;

// Exit statuses of a batch run.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitError = 1;     // an error ended the run (reported on standard error)
inline constexpr int kExitRejected = 2;  // an input check failed; nothing was written
inline constexpr int kExitCancelled = 130;  // after Ctrl-C; 128 + the signal in general

// The selection the command line starts with: the file named by "-p" loaded (when there is one),
// with the debug flag of "-d" kept over the file's. Without "-p" the selection is empty.
Selection ApplyCommandLine(const CommandLineParameters& parameters);

// Batch mode: loads the selection file again, this time taking its debug flag, and runs it
// without interaction. Returns the exit status; errors are reported through the platform.
int RunBatch(const CommandLineParameters& parameters, Selection& selection, Platform& platform);

// What the programs do without a window: "--help", "--version", or the batch run with progress
// and messages on standard error and Ctrl-C as Cancel. Returns the exit status.
// REQUIRES: parameters.help, parameters.version or parameters.batch.
int RunWithoutWindow(const CommandLineParameters& parameters);

}  // namespace glossator

#endif  // GLOSSATOR_APP_BATCH_H_
