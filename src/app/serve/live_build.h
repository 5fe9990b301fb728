#ifndef GLOSSATOR_APP_SERVE_LIVE_BUILD_H_
#define GLOSSATOR_APP_SERVE_LIVE_BUILD_H_

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/serve/hashed_output.h"
#include "app/serve/site_folder.h"
#include "app/serve/unit_reading.h"
#include "html/generation_run.h"
#include "html/site/site.h"

namespace glossator {

class Platform;

// What one build of the live preview did.
struct BuildReport {
  bool all_files = false;  // every file was rendered again
  FolderChange change;     // file names relative to the output folder
  // The files read (as listed), and their warnings and errors: what the page overlay shows.
  std::vector<std::string> read;
  std::vector<Warning> problems;
  // An error kept the last state: the folder is not what a run would make of the inputs now.
  bool failed = false;
};

// What the live preview watches: absolute paths, lexically normal.
struct WatchedInputs {
  std::set<std::string> files;    // units, include files, description, menu bar, selection and
                                  // project files
  std::set<std::string> trees;    // folders searched for units, with every folder below
  std::set<std::string> folders;  // folders where a new include file may be found
  // Include files that were not found, by name as written, in lower case, without folders and
  // extension: a new file of that name may be the one.
  std::set<std::string> missing;
};

// The documentation set of a live preview, kept in memory and written anew as little as a save
// requires: the site is kept as its unit models and tables, and a change reads only the files
// that changed and the units that include them, renders only the files whose text may change and
// writes only those whose bytes did. The frame set, which reads a sorted and indexed tree of the
// whole set, is made by a whole run, which writes only the files whose bytes changed. Either way
// the folder then holds what a run of the same command line into an empty folder writes, with
// `glossator -o DIR PATH...`.
class LiveBuild {
 public:
  // The command line of `glossator serve`, with the output folder (absolute) set.
  explicit LiveBuild(CommandLineParameters parameters);
  ~LiveBuild();
  LiveBuild(const LiveBuild&) = delete;
  LiveBuild& operator=(const LiveBuild&) = delete;

  // Plans the run as a batch run does, reads every unit and writes every file. Throws
  // RefusedRun when the arguments are refused and GlosError when a unit cannot be read (as a
  // batch run stops).
  BuildReport BuildAll(Platform& platform);

  // After the files or folders `changed` (absolute, lexically normal) changed, created, removed
  // or renamed: plans again when the set of units or the settings may differ, reads the units
  // that changed or include a file that did, and writes what changed. An error (a unit that
  // cannot be read, a PATH that is gone) keeps the last state and is reported in `problems`.
  BuildReport Rebuild(const std::vector<std::string>& changed, Platform& platform);

  WatchedInputs Inputs() const;
  // Changes whenever what Inputs() gives may have changed.
  uint64_t InputsVersion() const { return inputs_version_; }
  const Selection& GetSelection() const { return plan_.selection; }

 private:
  // What a change asks for.
  struct Work {
    bool plan = false;       // the set of units or the settings may differ
    bool input = false;      // an input changed (the frame set reads them all again)
    std::set<size_t> units;  // listed files to read again
  };
  Work Classify(const std::vector<std::string>& changed) const;
  // Makes the tables anew from the listed files as read (in list order) and writes every file.
  void BuildSite(Platform& platform, std::vector<ReadUnit> read, BuildReport& report);
  void RebuildSite(const Work& work, Platform& platform, BuildReport& report);
  // Reads the set anew after its list of files changed, keeping the files read already that
  // `work` does not name.
  void ReadNewSet(BatchPlan plan, const Work& work, Platform& platform, BuildReport& report);
  // A whole run of the frame set; the warnings of the files `shown` (all: empty) are problems.
  void RunFrames(Platform& platform, const std::set<std::string>& shown, BuildReport& report);
  // Reads the listed files `which`, reporting their warnings and errors to `platform` and into
  // the report (read, problems, failed).
  std::vector<ReadUnit> Read(const std::vector<size_t>& which, Platform& platform,
                             BuildReport& report);
  void NoteInputs();
  // Notes which PATHs are folders, after each plan.
  void NotePathFolders();
  ParseSettings Settings() const;
  int Jobs() const;

  CommandLineParameters parameters_;
  BatchPlan plan_;
  RunSettings settings_;
  std::string out_dir_;  // ends in "/"
  // The site: the listed files as read, the models of those that are units, in list order, and
  // the tables.
  std::vector<ReadUnit> read_;
  std::vector<DocUnit> units_;
  std::vector<int> unit_of_file_;  // listed file => its unit in units_, -1 for none
  std::unique_ptr<Site> site_;
  std::unique_ptr<SiteFolder> folder_;
  // The frame set: the output of its runs, and what they read.
  HashedOutput frames_output_;
  std::vector<std::string> frames_included_;
  std::set<std::string> frames_missing_;  // as `missing_`, from the whole run's warnings
  // The inputs: absolute path => the listed files that read it (a unit reads itself); the name
  // of an include file not found (as MissingInclude gives it) => the listed files that want it.
  std::unordered_map<std::string, std::vector<size_t>> readers_;
  std::unordered_map<std::string, std::vector<size_t>> missing_;
  // The PATHs that are folders, absolute and lexically normal: looked at once per plan, not per
  // change (a set of thousands of files as PATHs cost as many stat calls per save).
  std::vector<std::string> path_folders_;
  uint64_t inputs_version_ = 0;
};

// `path` absolute and lexically normal ("a/../b" => "/cwd/b").
std::string NormalPath(const std::string& path);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_LIVE_BUILD_H_
