#include "html/generation_run.h"

#include <mutex>
#include <string>
#include <unordered_set>

#include "html/pages.h"
#include "html/paths.h"
#include "html/pictures.h"
#include "html/selection.h"
#include "model/file_system.h"
#include "model/text_rules.h"
#include "parser/cGlossator.h"
#include "parser/platform.h"

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
    std::lock_guard<std::mutex> lock(mutex_);
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
  std::mutex mutex_;  // pages may be written from another thread than the run's
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

  RunGuard guard(platform);
  platform.SetBusy(true);
  {
    TGlosParser parser(&platform);
    parser.ParsePrivate = selection.parse_private;
    parser.DebugMode = selection.debug_mode;
    parser.DumpFile = selection.dump_file;
    platform.ShowProgress(&parser, TGlosParser::CountSteps(selection.files));
    guard.ProgressShown(true);

    parser.ParseUnits(selection.files);
    if (parser.Cancelled) return Cancelled(platform, guard);
    for (const Warning& warning : PageNameClashes(parser)) platform.ReportWarning(warning);
    report->units = parser.ParsedUnitCount();
    report->classes = parser.ClassCount();
    report->routines = parser.FunctionCount();
    report->constants = parser.ConstantCount();
    report->coverage = MeasureCoverage(parser);

    PageContext context{parser, out_dir,
                        [&platform, report](const Warning& warning) {
                          ++report->failed_pages;
                          platform.ReportWarning(warning);
                        },
                        files};
    struct IndexStep {
      const char* header;
      const char* detail;
      IndexKind kind;
    };
    const IndexStep index_steps[] = {{"Generating HTML", "unit index", IndexKind::kUnits},
                                     {"", "class index", IndexKind::kClasses},
                                     {"", "function index", IndexKind::kFunctions},
                                     {"", "constant index", IndexKind::kConstants}};
    for (const IndexStep& step : index_steps) {
      if (!platform.UpdateProgress(step.header, step.detail, true)) {
        return Cancelled(platform, guard);
      }
      WritePage(files, out_dir, IndexFileName(step.kind), IndexPage(parser, step.kind));
    }
    for (int i = 0; i < parser.UnitCount(); ++i) {
      // Appended rather than "#" + text: GCC 12 warns falsely (-Wrestrict) on the latter.
      std::string detail = "#";
      detail += std::to_string(i + 1);
      if (!platform.UpdateProgress("Generating class file", detail, true)) {
        return Cancelled(platform, guard);
      }
      WriteUnitPages(context, i);
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
