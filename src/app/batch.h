#ifndef GLOSSATOR_APP_BATCH_H_
#define GLOSSATOR_APP_BATCH_H_

#include <optional>
#include <string>

#include "html/selection.h"

namespace glossator {

class ConsolePlatform;
struct CommandLineParameters;
struct UnitList;

// Exit statuses of a batch run.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitError = 1;        // an error ended the run (reported on standard error)
inline constexpr int kExitRejected = 2;     // the arguments or an input check refused the run
inline constexpr int kExitIncomplete = 3;   // completed, but a page failed (or --strict, ...)
inline constexpr int kExitCancelled = 130;  // after Ctrl-C; 128 + the signal in general

// The selection the command line starts with: the file named by "-p" loaded (when there is one),
// with the debug flag of "-d" kept over the file's, then the run options (see ApplyRunOptions).
// Without "-p" the selection holds only what the options give.
Selection ApplyCommandLine(const CommandLineParameters& parameters);

// Lets the options "--output", "--private", "--description", "--menubar" and "--dump" replace
// what the selection holds. Paths are made absolute, so that a saved selection works from any
// folder; "--dump" also switches debug mode on.
void ApplyRunOptions(const CommandLineParameters& parameters, Selection& selection);

// The selection of a run on PATHs: the expanded unit list, the settings of the last selection
// file among the PATHs (if any), then "-d" and the run options.
Selection PathSelection(const CommandLineParameters& parameters, const UnitList& units);

// What a batch run reports beside its pages, from the command line.
struct BatchOptions {
  bool quiet = false;                // no summary line
  bool strict = false;               // any warning gives kExitIncomplete
  bool coverage = false;             // print the coverage table on standard output
  std::optional<double> fail_under;  // a smaller total share gives kExitIncomplete
  int earlier_warnings = 0;          // warnings printed before the run (the unit list's)
};
BatchOptions OptionsOf(const CommandLineParameters& parameters);

// Batch mode: loads the selection file again, this time taking its debug flag, applies the run
// options and runs it without interaction. Returns the exit status; errors are reported through
// the platform. A selection file that cannot be read is refused (kExitRejected).
int RunBatch(const CommandLineParameters& parameters, Selection& selection,
             ConsolePlatform& platform);

// The one run of a batch selection, without interaction: the run, then the coverage table and
// the summary line as `options` ask. Returns the exit status.
int RunSelection(Selection& selection, ConsolePlatform& platform, const BatchOptions& options = {});

// Why the selection file at `path` cannot be loaded ("No such file or directory", "not a
// regular file"), or empty text when it can.
std::string UnreadableSelection(const std::string& path);

// Why the run may not write its debug dump, or empty text. The dump goes beside the program
// unless "--dump" names a file, and an installed program never writes beside itself: that is
// refused when the program's folder cannot be written or is where an installation puts it (a
// folder named "bin", or one inside "libexec" or "lib"). In the build folder it is allowed.
std::string DumpRefusal(const Selection& selection);

// What the programs do without a window: "--help", "--version", or the batch run with progress
// and messages on standard error and Ctrl-C as Cancel. Returns the exit status; refused
// arguments give kExitRejected with their message on standard error.
// REQUIRES: parameters.help, parameters.version, WantsBatchRun(parameters) or an error.
int RunWithoutWindow(const CommandLineParameters& parameters);

}  // namespace glossator

#endif  // GLOSSATOR_APP_BATCH_H_
