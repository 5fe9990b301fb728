#ifndef GLOSSATOR_APP_BATCH_H_
#define GLOSSATOR_APP_BATCH_H_

#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/warning.h"
#include "html/selection.h"

namespace glossator {

class ConsolePlatform;
struct CommandLineParameters;
struct RunSettings;

// Exit statuses of a batch run.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitError = 1;        // an error ended the run (reported on standard error)
inline constexpr int kExitRejected = 2;     // the arguments or an input check refused the run
inline constexpr int kExitIncomplete = 3;   // completed, but a page failed (or --strict, ...)
inline constexpr int kExitCancelled = 130;  // after Ctrl-C; 128 + the signal in general

// A command line that cannot be run as asked; the message names what was refused. Exit status 2.
class RefusedRun : public std::runtime_error {
 public:
  explicit RefusedRun(const std::string& message) : std::runtime_error(message) {}
};

// The selection the window starts with: the file named by "-p" loaded (when there is one and it
// can be read), with the debug flag of "-d" kept over the file's, then the run options (see
// ApplyRunOptions). Without "-p" the selection holds only what the options give.
Selection ApplyCommandLine(const CommandLineParameters& parameters);

// Lets the options "--output", "--private", "--description", "--menubar", "--dump" and "-j"
// replace what the selection holds. Paths are made absolute, so that a saved selection works
// from any folder; "--dump" also switches debug mode on.
void ApplyRunOptions(const CommandLineParameters& parameters, Selection& selection);

// What a batch run does, as the command line and the files it names ask: built before anything
// is written, every file read once.
struct BatchPlan {
  Selection selection;
  // The files the run reads beside its units, description and menu bar: the selection and
  // project files. No option may write over any of them.
  std::vector<std::string> inputs;
  std::vector<Warning> warnings;  // found while reading the arguments' files, in order
  // The files the run skips with a warning when they are no units (UnitList::found).
  std::unordered_set<std::string> skippable_files;
};
// Throws RefusedRun (a PATH or the "-p" file that cannot be read, a file an option may not write
// over).
BatchPlan PlanBatchRun(const CommandLineParameters& parameters);

// The folder the site's source links start from: the first PATH's folder (the PATH itself when
// it is a folder), or the first unit's folder.
std::string SourceRoot(const CommandLineParameters& parameters, const Selection& selection);

// What a batch run reports beside its pages, from the command line.
struct BatchOptions {
  bool quiet = false;                // no summary line
  bool strict = false;               // any warning gives kExitIncomplete
  bool coverage = false;             // print the coverage table on standard output
  std::optional<double> fail_under;  // a smaller total share gives kExitIncomplete
  int earlier_warnings = 0;          // warnings printed before the run (the unit list's)
};
BatchOptions OptionsOf(const CommandLineParameters& parameters);

// The one run of a batch selection, without interaction: the run, then the coverage table and
// the summary line as `options` ask. Returns the exit status.
int RunSelection(const Selection& selection, ConsolePlatform& platform, const BatchOptions& options,
                 RunSettings settings);

// Where the debug dump goes when no file is named: "glosdata.xml" in the folder of the program's
// own executable.
std::string DumpPath();

// Why the run may not write its debug dump, or empty text. The dump goes beside the program
// unless "--dump" names a file, and an installed program never writes beside itself: that is
// refused when the program's folder cannot be written or is where an installation puts it (a
// folder named "bin", or one inside "libexec" or "lib"). In the build folder it is allowed.
std::string DumpRefusal(const Selection& selection);

// The kinds of file an option writes, for OutputFileRefusal.
enum class WrittenFile { kTreeDump, kSelectionFile, kJson };

// Why `option` may not write `file`, or empty text: it is one of the run's inputs (`inputs`, the
// selection's units, description and menu bar), or it exists and is not what the option writes
// (a tree dump of this program; a selection file: an INI file with only [FILES] and [SETUP]
// keys; a JSON export of this program), or it is no regular file. An empty file may always be
// written.
std::string OutputFileRefusal(const std::string& option, const std::string& file, WrittenFile kind,
                              const Selection& selection, const std::vector<std::string>& inputs);

// What the programs do without a window: "--help", "--version", or the batch run with progress
// and messages on standard error and Ctrl-C as Cancel. Returns the exit status; refused
// arguments give kExitRejected with their message on standard error.
// REQUIRES: parameters.help, parameters.version, WantsBatchRun(parameters) or an error.
int RunWithoutWindow(const CommandLineParameters& parameters);

}  // namespace glossator

#endif  // GLOSSATOR_APP_BATCH_H_
