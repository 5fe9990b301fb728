#include "html/generation_run.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/errors.h"
#include "base/file_system.h"
#include "base/ordered_pool.h"
#include "base/platform.h"
#include "html/json_export.h"
#include "html/page_writer.h"
#include "html/pages.h"
#include "html/paths.h"
#include "html/pictures.h"
#include "html/selection.h"
#include "html/site/site.h"
#include "html/site/site_index.h"
#include "html/site_run.h"
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uXMLparser.h"
#include "parser/cGlossator.h"

namespace glossator {

namespace {

// Keeps `value` until the process ends, never destroying it: the system takes its memory back
// at once. The holder is reachable from a static, so leak checkers do not count it as lost.
template <typename T>
void LeaveUntilExit(T&& value) {
  static auto* left = new std::vector<std::shared_ptr<void>>();
  left->push_back(std::make_shared<std::decay_t<T>>(std::forward<T>(value)));
}

// The checks of the selection that need no parsing, in order. Returns false when the run must
// not go on. A batch run has no fields to look at, so its messages also name the path they
// refused.
bool CheckInputs(const Selection& s, Platform& platform, const RunSettings& settings,
                 FileSystem& files) {
  auto refuse = [&](std::string text, const std::string& path) {
    if (!settings.interactive) text += ": " + path;
    platform.ShowInformation(text);
    return false;
  };
  if (s.files.empty()) {
    platform.ShowInformation("No source files selected");
    // A batch run writes the empty set all the same.
    if (settings.interactive) return false;
  }
  if (s.out_dir.empty()) {
    platform.ShowInformation("No output directory selected");
    return false;
  }
  FileKind out_dir = files.KindOf(s.out_dir);
  if (out_dir != FileKind::kDirectory &&
      !(settings.create_out_dir && out_dir == FileKind::kMissing)) {
    return refuse("No valid output directory selected", s.out_dir);
  }
  // The files to copy must be regular files: a pipe or a device would give no page.
  if (!s.desc_file.empty() && files.KindOf(s.desc_file) != FileKind::kRegular) {
    return refuse("No valid description file selected", s.desc_file);
  }
  if (!s.desc_file.empty() && ToLowerAscii(FileNameOf(s.desc_file)) == "index.html") {
    return refuse("Description file may not be named INDEX.HTML", s.desc_file);
  }
  if (!s.menubar_file.empty() && files.KindOf(s.menubar_file) != FileKind::kRegular) {
    return refuse("No valid menubar file selected", s.menubar_file);
  }
  return true;
}

// Whether the run writes a file of this name into the output folder.
bool RunWritesFile(const DocTreeReader& tree, const std::string& name, bool default_description) {
  for (std::string_view fixed :
       {"index.html", "menuebar.html", "legend.html", "index-unit.html", "index-class.html",
        "index-function.html", "index-constant.html"}) {
    if (name == fixed) return true;
  }
  if (default_description && name == "description.html") return true;
  for (const Picture& picture : Pictures()) {
    if (name == picture.file_name) return true;
  }
  return WritesUnitStepPage(tree, name);
}

// The checks of what the run copies into the output folder, once the names of its pages are
// known: a copy never replaces a page of the run, and never a file of the user's that is no HTML
// page. The message names both files.
bool CheckCopies(const Selection& s, const std::string& out_dir, const DocTreeReader& tree,
                 Platform& platform, FileSystem& files) {
  auto refuse = [&](const std::string& text) {
    platform.ShowInformation(text);
    return false;
  };
  bool default_description = s.desc_file.empty();
  if (!s.desc_file.empty()) {
    std::string name = FileNameOf(s.desc_file);
    std::string target = out_dir + name;
    if (RunWritesFile(tree, name, default_description)) {
      return refuse("Description file '" + s.desc_file + "' has the name of the page " + name +
                    " that this run writes; rename it or write the documentation elsewhere");
    }
    bool lies_there =
        !LiesInAnotherDirectory(s.desc_file, out_dir) || files.SameFile(s.desc_file, target);
    std::string lower = ToLowerAscii(name);
    if (!lies_there && files.KindOf(target) != FileKind::kMissing &&
        !(lower.ends_with(".html") || lower.ends_with(".htm"))) {
      return refuse("Description file '" + s.desc_file + "' would replace '" + target +
                    "', which is no HTML page; rename it or write the documentation elsewhere");
    }
  }
  if (!s.menubar_file.empty() && !LiesInAnotherDirectory(s.menubar_file, out_dir)) {
    std::string name = FileNameOf(s.menubar_file);
    if (name != "menuebar.html" && RunWritesFile(tree, name, default_description)) {
      return refuse("Menu bar file '" + s.menubar_file + "' has the name of the page " + name +
                    " that this run writes; rename it or write the documentation elsewhere");
    }
  }
  return true;
}

// Copies unless `to` is the same file under another spelling of its path. A copy that fails
// is passed over.
void CopyUnlessSame(FileSystem& files, const std::string& from, const std::string& to) {
  if (!files.SameFile(from, to)) files.CopyFile(from, to);
}

// Passes everything on to `files`, counting the HTML pages written (a page written twice once)
// and those whose bytes changed. A run may write a million pages, so the pages are kept as
// hashes of their paths, counted once the run has written them all.
class PageCounter : public FileSystem {
 public:
  explicit PageCounter(FileSystem& files) : files_(files) {}

  bool ReadFile(const std::string& path, std::string& bytes) override {
    return files_.ReadFile(path, bytes);
  }
  FileKind KindOf(const std::string& path) override { return files_.KindOf(path); }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    return files_.ListFolder(path);
  }
  bool WriteFile(const std::string& path, std::string_view bytes) override {
    bool changed = files_.WriteFile(path, bytes);
    if (!path.ends_with(".html")) return changed;
    uint64_t hash = std::hash<std::string>()(path);
    written_.push_back(hash);
    if (changed) changed_.push_back(hash);
    return changed;
  }
  void MakeFolders(const std::string& path) override { files_.MakeFolders(path); }
  bool CopyFile(const std::string& from, const std::string& to) override {
    return files_.CopyFile(from, to);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return files_.SameFile(a, b);
  }
  void RemoveStaleTemporaries(const std::string& folder) override {
    files_.RemoveStaleTemporaries(folder);
  }

  // Puts the counts into `report`.
  void Count(RunReport& report) {
    report.pages = Distinct(written_);
    report.changed_pages = Distinct(changed_);
  }

 private:
  static int Distinct(std::vector<uint64_t>& hashes) {
    std::sort(hashes.begin(), hashes.end());
    return static_cast<int>(std::unique(hashes.begin(), hashes.end()) - hashes.begin());
  }

  FileSystem& files_;
  std::vector<uint64_t> written_;
  std::vector<uint64_t> changed_;
};

// Closes the progress display and restores the cursor when a run ends early.
class RunGuard {
 public:
  explicit RunGuard(Platform& platform) : platform_(platform) {}
  ~RunGuard() {
    if (!armed_) return;
    if (progress_shown_) platform_.CloseProgress();
    platform_.SetBusy(false);
  }
  void ProgressShown(bool shown) { progress_shown_ = shown; }
  void Disarm() { armed_ = false; }

 private:
  Platform& platform_;
  bool armed_ = true;
  bool progress_shown_ = false;
};

RunOutcome Cancelled(Platform& platform, RunGuard& guard) {
  guard.Disarm();
  platform.CloseProgress();
  platform.ShowInformation("Operation cancled");
  platform.SetBusy(false);
  return RunOutcome::kCancelled;
}

// The progress call of each page step: the four index pages, then one per unit.
struct StepText {
  std::string header;
  std::string detail;
};

StepText StepTextOf(int step) {
  switch (step) {
    case 0:
      return {"Generating HTML", "unit index"};
    case 1:
      return {"", "class index"};
    case 2:
      return {"", "function index"};
    case 3:
      return {"", "constant index"};
  }
  // Appended rather than "#" + text: GCC 12 warns falsely (-Wrestrict) on the latter.
  std::string detail = "#";
  detail += std::to_string(step - 3);
  return {"Generating class file", detail};
}

// Never throws: an error that is no page's own ends the run when the step is written.
PageBatch RenderStep(const DocTreeReader& tree, const std::string& out_dir, int step) {
  constexpr IndexKind kKinds[] = {IndexKind::kUnits, IndexKind::kClasses, IndexKind::kFunctions,
                                  IndexKind::kConstants};
  try {
    if (step < 4) return RenderIndexPage(tree, out_dir, kKinds[step]);
    return RenderUnitPages(tree, out_dir, step - 4, 0);
  } catch (...) {
    PageBatch failed;
    failed.pages.emplace_back().error = std::current_exception();
    return failed;
  }
}

// Step `step`, made ahead on the pool or made now. Running out of memory names the step's page.
PageBatch TakeStep(std::optional<OrderedPool<PageBatch>>& renderers, const DocTreeReader& tree,
                   const std::string& out_dir, int step) {
  try {
    return renderers ? renderers->Take(step) : RenderStep(tree, out_dir, step);
  } catch (const std::bad_alloc&) {
    OutOfMemoryError error;
    error.SetFile(step < 4 ? "the index pages"
                           : out_dir + std::string(tree.UnitName(step - 4)) + ".html");
    throw error;
  }
}

// The index pages and the unit pages with their class pages, each step after its progress call.
// With more than one job the steps are rendered ahead on a pool of threads (rendering has no
// effect) while this thread writes them, in order: calls, warnings and files keep the order of
// a run on one thread. A unit with many classes is rendered a part at a time, the parts after
// the first on this thread as they are written, so that the pages of one unit are never all
// held at once. Class pages that could not be written are counted in `failed_pages`. Returns
// false when a progress call answers "stop"; the steps after it are not written.
bool WritePageSteps(const DocTreeReader& tree, const std::string& out_dir, Platform& platform,
                    FileSystem& files, int jobs, int& failed_pages) {
  auto report = [&platform, &failed_pages](const Warning& warning) {
    if (warning.kind == "class-page") ++failed_pages;
    platform.ReportWarning(warning);
  };
  int steps = 4 + tree.UnitCount();
  std::optional<OrderedPool<PageBatch>> renderers;
  if (jobs > 1) {
    // This thread renders too whenever the step it is to write next is not ready.
    renderers.emplace(steps, jobs - 1, 4 * static_cast<size_t>(jobs), [&](size_t step) {
      return RenderStep(tree, out_dir, static_cast<int>(step));
    });
  }
  for (int step = 0; step < steps; ++step) {
    StepText text = StepTextOf(step);
    if (!platform.UpdateProgress(text.header, text.detail, true)) return false;
    PageBatch batch = TakeStep(renderers, tree, out_dir, step);
    for (;;) {
      WriteBatch(files, batch);
      FinishBatch(batch, report);
      if (batch.next_class < 0) break;
      batch = RenderUnitPages(tree, out_dir, step - 4, batch.next_class);
    }
  }
  return true;
}

// The tree dump, into its file or onto standard output ("-").
void WriteDump(const TXMLTree& tree, const std::string& dump_file, const RunSettings& settings,
               FileSystem& files) {
  std::string xml = tree.XmlText();
  if (dump_file == "-" && settings.standard_output) {
    settings.standard_output(xml);
  } else {
    files.WriteFile(dump_file, xml);
  }
}

// The files after the pages: the menu bar, the frameset, the pictures, the description and the
// legend.
void WriteFixedFiles(const Selection& selection, const std::string& out_dir, FileSystem& files) {
  std::string description = selection.desc_file;
  if (description.empty()) {
    description = out_dir + "description.html";
    PageText page;
    page.Line({kDefaultDescription});
    WritePage(files, out_dir, "description.html", page);
  }
  if (selection.menubar_file.empty()) {
    WritePage(files, out_dir, "menuebar.html", MenuBarPage());
  } else {
    // The frameset loads "menuebar.html"; a custom menu bar of any other name, in the output
    // folder or elsewhere, is copied there.
    CopyUnlessSame(files, selection.menubar_file, out_dir + "menuebar.html");
  }
  WritePage(files, out_dir, "index.html", FramesetPage(FileNameOf(description)));
  for (const Picture& picture : Pictures()) {
    files.WriteFile(PagePath(out_dir, picture.file_name), picture.bytes);
  }
  if (LiesInAnotherDirectory(description, out_dir)) {
    CopyUnlessSame(files, description, out_dir + FileNameOf(description));
  }
  WritePage(files, out_dir, "legend.html", LegendPage(selection.parse_private));
}

}  // namespace

std::string OutputFolder(const Selection& selection) {
  std::string out_dir = selection.out_dir;
  if (!out_dir.empty() && out_dir.back() != '/') out_dir += '/';
  return out_dir;
}

RunResult RunGeneration(const Selection& selection, Platform& platform,
                        const RunSettings& settings) {
  return RunGeneration(selection, platform, settings, SystemFileSystem());
}

RunResult RunGeneration(const Selection& selection, Platform& platform, const RunSettings& settings,
                        FileSystem& output) {
  RunResult result;
  RunReport& report = result.report;
  PageCounter files(output);
  if (!CheckInputs(selection, platform, settings, files)) return result;
  const std::string out_dir = OutputFolder(selection);
  const bool site = selection.style == OutputStyle::kSite;

  int jobs = selection.jobs > 0 ? selection.jobs : DefaultJobs();
  RunGuard guard(platform);
  platform.SetBusy(true);
  TGlosParser parser(&platform, &output);
  parser.ParsePrivate = selection.parse_private;
  parser.SkippableFiles = settings.skippable_files;
  parser.Jobs = jobs;
  parser.Reader = selection.reader;
  parser.Pascal = selection.pascal;
  parser.KeepModels = site || !selection.json_file.empty();
  // The site reads the models alone; the tree is made for the frame pages, the dump and the
  // coverage table.
  parser.BuildTree = !site || selection.debug_mode || settings.measure_coverage;
  // The site's tables grow as each unit is read, beside the threads that read the next ones,
  // from the unit as the site shows it.
  std::unique_ptr<SiteIndex> site_index;
  if (site) {
    site_index = std::make_unique<SiteIndex>(selection.parse_private);
    parser.ModelJoined = [&](std::vector<DocUnit>& models) { site_index->AddUnit(models); };
  }
  platform.ShowProgress(&parser, TGlosParser::CountSteps(selection.files));
  guard.ProgressShown(true);

  WhileDoing("reading the units", [&] { parser.ParseUnits(selection.files); });
  if (parser.Cancelled) {
    result.outcome = Cancelled(platform, guard);
    return result;
  }
  result.included = parser.IncludedFiles();
  std::unique_ptr<DocTree> tree = parser.TakeResult();
  std::vector<DocUnit> units = parser.TakeModels();
  if (!site && !WhileDoing("checking the page names", [&] {
        return CheckCopies(selection, out_dir, *tree, platform, files);
      })) {
    return result;
  }
  std::optional<SiteOptions> site_options;
  if (site) {
    site_options = SiteOptionsOf(selection, out_dir, settings.source_root, files);
  }

  // Every check has passed: from here on the run writes.
  if (settings.create_out_dir) files.MakeFolders(out_dir);
  if (settings.before_writing) settings.before_writing();
  files.RemoveStaleTemporaries(out_dir);
  if (selection.debug_mode && !selection.dump_file.empty()) {
    WhileDoing("writing the tree dump",
               [&] { WriteDump(tree->Tree(), selection.dump_file, settings, files); });
  }
  if (!selection.json_file.empty()) {
    WhileDoing("writing the JSON file",
               [&] { files.WriteFile(selection.json_file, UnitsToJson(units)); });
  }
  if (settings.measure_coverage) {
    report.coverage = WhileDoing("measuring the coverage", [&] { return MeasureCoverage(*tree); });
  }

  bool completed = false;
  if (site) {
    ItemCounts counts = CountItems(units);
    report.units = static_cast<int>(units.size());
    report.classes = counts.classes;
    report.routines = counts.routines;
    report.constants = counts.constants;
    completed =
        WriteSite(units, *site_options, out_dir, platform, files, jobs, std::move(site_index));
  } else {
    WhileDoing("checking the page names", [&] {
      for (const Warning& warning : PageNameClashes(*tree, selection.desc_file.empty())) {
        platform.ReportWarning(warning);
      }
    });
    report.units = tree->ParsedUnitCount();
    report.classes = tree->ClassCount();
    report.routines = tree->FunctionCount();
    report.constants = tree->ConstantCount();
    completed = WritePageSteps(*tree, out_dir, platform, files, jobs, report.failed_pages);
  }
  if (!completed) {
    files.Count(report);
    result.outcome = Cancelled(platform, guard);
    return result;
  }
  platform.FinishProgress();
  guard.ProgressShown(false);
  if (settings.process_ends_after) {
    LeaveUntilExit(std::move(tree));
    LeaveUntilExit(std::move(units));
  }
  tree.reset();

  if (!site) {
    WhileDoing("writing the frameset", [&] { WriteFixedFiles(selection, out_dir, files); });
  }
  files.Count(report);
  guard.Disarm();
  platform.SetBusy(false);
  result.outcome = RunOutcome::kCompleted;
  return result;
}

}  // namespace glossator
