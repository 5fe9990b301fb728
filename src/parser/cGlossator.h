#ifndef GLOSSATOR_PARSER_CGLOSSATOR_H_
#define GLOSSATOR_PARSER_CGLOSSATOR_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/doc_tree.h"
#include "parser/file_parse.h"

namespace glossator {

class DocTree;
class FileSystem;
class ParseObserver;
class TXMLTree;

// The parser of one run: reads the listed unit files into the documentation tree, sorts it and
// builds its indexes, and hands the finished, frozen tree (a DocTree) to the page writers. One
// instance serves one run; ParseUnits is called once.
class TGlosParser {
 public:
  // `observer` receives the progress calls and the warnings; `files` is where the units are read
  // from (the machine's file system when null). Neither is owned; the observer may be null (then
  // the run never cancels and shows nothing).
  explicit TGlosParser(ParseObserver* observer = nullptr, FileSystem* files = nullptr);
  ~TGlosParser();
  TGlosParser(const TGlosParser&) = delete;
  TGlosParser& operator=(const TGlosParser&) = delete;

  bool ParsePrivate = false;  // also record the members of private sections
  ReaderKind Reader = ReaderKind::kLines;
  ReaderOptions Pascal;     // the Pascal reader's settings
  bool BuildTree = true;    // build the documentation tree (the frame pages, the dump, coverage)
  bool KeepModels = false;  // keep the model of each unit (the site, the JSON export)
  // With KeepModels: called on the calling thread of ParseUnits as each unit's model joins the
  // models, in list order, with the models so far (the new one last). Room for every file is
  // made first, so the models stay where they are until TakeModels, which moves them whole.
  std::function<void(std::vector<DocUnit>&)> ModelJoined;
  // Files skipped with a warning when they are no unit; see ParseSettings::skippable.
  std::unordered_set<std::string> SkippableFiles;
  bool Cancelled = false;  // set when the user cancels; never reset
  // Threads that load and scan the files; 0 means DefaultJobs(), 1 the run's own thread only.
  // Any number gives the same tree, progress calls and warnings in the same order.
  int Jobs = 0;

  // The tree: while parsing, after a cancel or an error as far as the run got, after a completed
  // run the finished one. Null before ParseUnits.
  const TXMLTree* Tree() const;
  // The finished tree of a completed run, with its queries; null otherwise.
  const DocTree* Result() const { return result_.get(); }
  std::unique_ptr<DocTree> TakeResult() { return std::move(result_); }
  // The models of the units read, in list order, after a completed run with KeepModels.
  std::vector<DocUnit> TakeModels() { return std::move(models_); }
  // Every include file the units read, once each, in the order first read.
  const std::vector<std::string>& IncludedFiles() const { return included_; }
  // The file a unit item of Tree() was read from, as listed.
  std::string SourceFile(const TXMLNode* unit) const;

  // The progress bar's maximum for a run over `files`: the steps the generation run makes,
  // 5 per file + 6. The parse steps 4 times per file and twice after the last, then generation
  // steps once per index page (4) and once per unit, so a completed run ends with a full bar.
  static int CountSteps(const std::vector<std::string>& files);

  // Parses every file in list order, then sorts the tree and builds the four indexes. Returns
  // early with Cancelled set when a progress call answers "stop". Errors (a file that cannot be
  // opened, a scan past the last line) propagate as GlosError naming the file being read.
  //
  // With more than one job the files are loaded and scanned on a pool of threads, each into a
  // tree of its own, and joined to the run's tree in list order on the calling thread, which
  // makes every progress call and warning of a file at the point where a run on one thread
  // makes it. A cancel or an error leaves the tree exactly as that run would.
  void ParseUnits(const std::vector<std::string>& files);

 private:
  // Sorts the units below "parsedUnits" by name.
  void SortTree();
  // The four indexes, each built on a tree of its own (at once on threads with jobs > 1) and
  // then moved under the root in their order.
  void BuildIndexes(int jobs);

  ParseObserver* observer_;  // not owned
  FileSystem& files_;
  std::unique_ptr<TXMLTree> tree_;
  std::unique_ptr<ParseTarget> target_;  // while parsing, and after a cancel or an error
  std::unique_ptr<DocTree> result_;
  std::vector<DocUnit> models_;
  std::vector<std::string> included_;
};

// The number of jobs a run uses when it is not told: GLOSSATOR_JOBS when that holds a number from
// 1 to 1024, otherwise the machine's cores (1 when they cannot be counted).
int DefaultJobs();
// GLOSSATOR_JOBS as read: `jobs` 0 when it is unset or refused, `error` saying why it was refused.
struct JobsSetting {
  int jobs = 0;
  std::string error;
};
JobsSetting JobsFromEnvironment();

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_CGLOSSATOR_H_
