#ifndef GLOSSATOR_HTML_GENERATION_RUN_H_
#define GLOSSATOR_HTML_GENERATION_RUN_H_

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/coverage.h"

namespace glossator {

class FileSystem;
class Platform;
struct Selection;

enum class RunOutcome {
  kCompleted,  // the whole documentation set was written
  kCancelled,  // the user cancelled; what was written before stays
  kRejected,   // an input check failed; nothing was written
};

// How a run is made, beside what it documents.
struct RunSettings {
  // A run the user started with "Run!": a failed check stops it. A batch run makes the same
  // checks and reports them, but an empty file list only warns (the empty set is written).
  bool interactive = false;
  bool measure_coverage = false;  // fill RunReport::coverage (it reads the whole tree again)
  // The output folder is made, with its parents, once every check has passed ("-o"); otherwise
  // a missing output folder is refused.
  bool create_out_dir = false;
  // Listed files that are skipped with a warning when they are no units (those found in folders
  // and project files); any other file that is no unit ends the run as the line rules have it.
  std::unordered_set<std::string> skippable_files;
  // Called once every check has passed, right before the run writes its first file (batch mode
  // saves its selection file there). What it throws ends the run.
  std::function<void()> before_writing;
  // Receives the tree dump when the selection names "-" as the dump file (standard output).
  std::function<void(std::string_view)> standard_output;
  // The process ends right after this run (the command line's one run): a completed run leaves
  // the units it read to the system instead of freeing them piece by piece, which on a large
  // set takes tens of milliseconds for nothing.
  bool process_ends_after = false;
  // The folder the site's source links are relative to: the first PATH's folder. Empty: the
  // links hold the files' paths as listed.
  std::string source_root;
};

// What a run read and wrote. Filled as far as the run got.
struct RunReport {
  int units = 0;
  int classes = 0;
  int routines = 0;
  int constants = 0;
  int pages = 0;          // HTML pages written (those already holding their bytes included)
  int changed_pages = 0;  // of those, the pages whose bytes changed on disk
  int failed_pages = 0;   // class pages that could not be written
  std::vector<Coverage> coverage;  // per parsed unit; empty unless measured
};

struct RunResult {
  RunOutcome outcome = RunOutcome::kRejected;
  RunReport report;
  std::vector<std::string> included;  // the include files the units read (Pascal reader)
};

// One generation run: checks the selection, parses every listed unit, checks that nothing the
// run copies would replace a page or a user's file, and only then writes the whole documentation
// set into the output folder, reporting through `platform`. A refused run writes nothing.
//
// The output folder is `selection.out_dir` with a "/" added when it has none. Errors that end the
// run (a file that cannot be read or written, the parser's index error) propagate as GlosError,
// after the progress display is closed and the cursor restored; what was written before them
// stays. Every check, copy and write of the output goes through `output` (tests record them there).
RunResult RunGeneration(const Selection& selection, Platform& platform, const RunSettings& settings,
                        FileSystem& output);
RunResult RunGeneration(const Selection& selection, Platform& platform,
                        const RunSettings& settings);

// The output folder as a run writes into it: the text with a final "/".
std::string OutputFolder(const Selection& selection);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_GENERATION_RUN_H_
