#ifndef GLOSSATOR_HTML_GENERATION_RUN_H_
#define GLOSSATOR_HTML_GENERATION_RUN_H_

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

// What a run read and wrote, for the summary of a batch run. Filled as far as the run got.
struct RunReport {
  int units = 0;
  int classes = 0;
  int routines = 0;
  int constants = 0;
  int pages = 0;         // HTML pages written (those already holding their bytes included)
  int failed_pages = 0;  // class pages that could not be written
  // Set by the caller that wants `coverage`: measuring it reads every item of the tree once
  // more, which a run that does not show it need not pay for.
  bool measure_coverage = false;
  std::vector<Coverage> coverage;  // per parsed unit; empty unless measured
};

// One generation run: checks the selection, parses every listed unit and writes the whole
// documentation set into the output folder, reporting through `platform`.
//
// `interactive` is a run the user started with "Run!": a failed check stops it. A batch run
// makes the same checks and reports them, but an empty file list only warns (the empty set is
// written).
//
// The output folder text gets its trailing "/" in `selection` itself, so that the window shows
// it and a later save stores it. Errors that end the run (a file that cannot be read or written,
// the parser's index error) propagate as GlosError, after the progress display is closed and the
// cursor restored; what was written before them stays.
//
// Every check, copy and write of the output goes through `files` (tests record them there).
// `report`, unless null, receives the counts.
RunOutcome RunGeneration(Selection& selection, Platform& platform, bool interactive,
                         FileSystem& files, RunReport* report = nullptr);
RunOutcome RunGeneration(Selection& selection, Platform& platform, bool interactive,
                         RunReport* report = nullptr);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_GENERATION_RUN_H_
