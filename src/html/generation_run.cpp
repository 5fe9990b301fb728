#include "html/generation_run.h"

#include <optional>
#include <string>
#include <unordered_set>

#include "html/page_writer.h"
#include "html/pages.h"
#include "html/paths.h"
#include "html/pictures.h"
#include "html/selection.h"
#include "base/file_system.h"
#include "base/ordered_pool.h"
#include "model/text_rules.h"
#include "parser/cGlossator.h"
#include "base/platform.h"

namespace glossator {

namespace {

// The checks of the selection, in order. Returns false when the run must not go on. A batch run
// has no fields to look at, so its messages also name the path they refused.
bool CheckInputs(const Selection& s, Platform& platform, bool interactive, FileSystem& files) {
  auto refuse = [&](std::string text, const std::string& path) {
    if (!interactive) text += ": " + path;
    platform.ShowInformation(text);
    return false;
  };
  if (s.files.empty()) {
    platform.ShowInformation("No source files selected");
    // A batch run writes the empty set all the same.
    if (interactive) return false;
  }
  if (s.out_dir.empty()) {
    platform.ShowInformation("No output directory selected");
    return false;
  }
  if (files.KindOf(s.out_dir) != FileKind::kDirectory) {
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

// Copies unless `to` is the same file under another spelling of its path. A copy that fails
// is passed over.
void CopyUnlessSame(FileSystem& files, const std::string& from, const std::string& to) {
  if (!files.SameFile(from, to)) files.CopyFile(from, to);
}

// Passes everything on to `files`, counting the HTML pages written (a page written twice once).
class PageCounter : public FileSystem {
 public:
  PageCounter(FileSystem& files, int& pages) : files_(files), pages_(pages) {}

  bool ReadFile(const std::string& path, std::string& bytes) override {
    return files_.ReadFile(path, bytes);
  }
  FileKind KindOf(const std::string& path) override { return files_.KindOf(path); }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    return files_.ListFolder(path);
  }
  void WriteFile(const std::string& path, std::string_view bytes) override {
    files_.WriteFile(path, bytes);
    if (!path.ends_with(".html")) return;
    if (written_.insert(path).second) pages_ = static_cast<int>(written_.size());
  }
  bool CopyFile(const std::string& from, const std::string& to) override {
    return files_.CopyFile(from, to);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return files_.SameFile(a, b);
  }
  void RemoveStaleTemporaries(const std::string& folder) override {
    files_.RemoveStaleTemporaries(folder);
  }

 private:
  FileSystem& files_;
  int& pages_;
  std::unordered_set<std::string> written_;
};

// Closes the progress display and restores the cursor when a run ends by an error.
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
    return RenderUnitPages(tree, out_dir, step - 4);
  } catch (...) {
    PageBatch failed;
    failed.pages.emplace_back().error = std::current_exception();
    return failed;
  }
}

// The index pages and the unit pages with their class pages, each step after its progress call.
// With more than one job the steps are rendered ahead on a pool of threads (rendering has no
// effect) while this thread writes them, in order: calls, warnings and files keep the order of
// a run on one thread. Class pages that could not be written are counted in `failed_pages`.
// Returns false when a progress call answers "stop"; the steps after it are not written.
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
    PageBatch batch = renderers ? renderers->Take(step) : RenderStep(tree, out_dir, step);
    WriteBatch(files, batch);
    FinishBatch(batch, report);
  }
  return true;
}

}  // namespace

RunOutcome RunGeneration(Selection& selection, Platform& platform, bool interactive,
                         RunReport* report) {
  return RunGeneration(selection, platform, interactive, SystemFileSystem(), report);
}

RunOutcome RunGeneration(Selection& selection, Platform& platform, bool interactive,
                         FileSystem& output, RunReport* report) {
  RunReport unused;
  if (report == nullptr) report = &unused;
  PageCounter files(output, report->pages);
  if (!CheckInputs(selection, platform, interactive, files)) return RunOutcome::kRejected;
  if (selection.out_dir.back() != '/') selection.out_dir += '/';
  const std::string& out_dir = selection.out_dir;
  files.RemoveStaleTemporaries(out_dir);

  std::string description = selection.desc_file;
  if (description.empty()) {
    description = out_dir + "description.html";
    PageText page;
    page.Line({kDefaultDescription});
    WritePage(files, out_dir, "description.html", page);
  }

  int jobs = selection.jobs > 0 ? selection.jobs : DefaultJobs();
  RunGuard guard(platform);
  platform.SetBusy(true);
  {
    TGlosParser parser(&platform);
    parser.ParsePrivate = selection.parse_private;
    parser.DebugMode = selection.debug_mode;
    parser.DumpFile = selection.dump_file;
    parser.Jobs = jobs;
    platform.ShowProgress(&parser, TGlosParser::CountSteps(selection.files));
    guard.ProgressShown(true);

    parser.ParseUnits(selection.files);
    if (parser.Cancelled) return Cancelled(platform, guard);
    for (const Warning& warning : PageNameClashes(parser)) platform.ReportWarning(warning);
    report->units = parser.ParsedUnitCount();
    report->classes = parser.ClassCount();
    report->routines = parser.FunctionCount();
    report->constants = parser.ConstantCount();
    if (report->measure_coverage) report->coverage = MeasureCoverage(parser);

    if (!WritePageSteps(parser, out_dir, platform, files, jobs, report->failed_pages)) {
      return Cancelled(platform, guard);
    }
    platform.FinishProgress();
    guard.ProgressShown(false);
  }

  if (selection.menubar_file.empty()) {
    WritePage(files, out_dir, "menuebar.html", MenuBarPage());
  } else if (LiesInAnotherDirectory(selection.menubar_file, out_dir)) {
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
  guard.Disarm();
  platform.SetBusy(false);
  return RunOutcome::kCompleted;
}

}  // namespace glossator
