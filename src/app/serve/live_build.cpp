#include "app/serve/live_build.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/serve/serve_platform.h"
#include "base/errors.h"
#include "base/file_system.h"
#include "html/site_run.h"
#include "model/text_rules.h"
#include "parser/cGlossator.h"

namespace glossator {

namespace fs = std::filesystem;

namespace {

// Whether two selections document alike but for their files.
bool SameSettings(const Selection& a, const Selection& b) {
  const ReaderOptions& p = a.pascal;
  const ReaderOptions& q = b.pascal;
  return a.out_dir == b.out_dir && a.desc_file == b.desc_file && a.menubar_file == b.menubar_file &&
         a.parse_private == b.parse_private && a.debug_mode == b.debug_mode &&
         a.dump_file == b.dump_file && a.jobs == b.jobs && a.reader == b.reader &&
         a.style == b.style && a.json_file == b.json_file && a.title == b.title &&
         a.source_url == b.source_url && p.compiler == q.compiler && p.defines == q.defines &&
         p.include_dirs == q.include_dirs && p.comments == q.comments;
}

bool IsUnitFileName(const std::string& path) {
  std::string extension = ToLowerAscii(fs::path(path).extension().string());
  return extension == ".pas" || extension == ".pp";
}

// "include file ../inc/Foo.inc not found" => "foo"; empty for any other warning.
std::string MissingInclude(const Warning& warning) {
  constexpr std::string_view kFront = "include file ";
  constexpr std::string_view kBack = " not found";
  std::string_view text = warning.text;
  if (warning.kind != "pascal-include" || !text.starts_with(kFront) || !text.ends_with(kBack)) {
    return {};
  }
  std::string name(text.substr(kFront.size(), text.size() - kFront.size() - kBack.size()));
  std::replace(name.begin(), name.end(), '\\', '/');
  return ToLowerAscii(fs::path(name).stem().string());
}

// Whether a file read again read the same include files and missed the same ones as before:
// then what is watched, and who reads what, stays as it was.
bool SameInputs(const ReadUnit& before, const ReadUnit& now) {
  if (before.included != now.included) return false;
  std::vector<std::string> missed_before, missed_now;
  for (const Warning& warning : before.warnings) missed_before.push_back(MissingInclude(warning));
  for (const Warning& warning : now.warnings) missed_now.push_back(MissingInclude(warning));
  std::erase(missed_before, std::string());
  std::erase(missed_now, std::string());
  return missed_before == missed_now;
}

std::string Relative(const std::string& path, const std::string& out_dir) {
  return path.starts_with(out_dir) ? path.substr(out_dir.size()) : path;
}

// Passes everything on, keeping the warnings and messages of a whole run of the frame set.
class RecordingPlatform : public Platform {
 public:
  explicit RecordingPlatform(Platform& platform) : platform_(platform) {}
  void ShowProgress(TGlosParser* parser, int maximum) override {
    platform_.ShowProgress(parser, maximum);
  }
  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override {
    return platform_.UpdateProgress(header, detail, step);
  }
  void FinishProgress() override { platform_.FinishProgress(); }
  void CloseProgress() override { platform_.CloseProgress(); }
  void ShowInformation(std::string_view text) override {
    warnings.push_back(Warning{"", 0, "error", std::string(text), {}});
    platform_.ShowInformation(text);
  }
  void ShowMessage(std::string_view text) override {
    warnings.push_back(Warning{"", 0, "error", std::string(text), {}});
    platform_.ShowMessage(text);
  }
  void SetBusy(bool busy) override { platform_.SetBusy(busy); }
  void ReportWarning(const Warning& warning) override {
    warnings.push_back(warning);
    platform_.ReportWarning(warning);
  }

  std::vector<Warning> warnings;

 private:
  Platform& platform_;
};

}  // namespace

std::string NormalPath(const std::string& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  std::string normal = (error ? fs::path(path) : absolute).lexically_normal().string();
  if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

LiveBuild::LiveBuild(CommandLineParameters parameters)
    : parameters_(std::move(parameters)), frames_output_(SystemFileSystem()) {}

LiveBuild::~LiveBuild() = default;

int LiveBuild::Jobs() const {
  return plan_.selection.jobs > 0 ? plan_.selection.jobs : DefaultJobs();
}

ParseSettings LiveBuild::Settings() const {
  ParseSettings settings;
  settings.reader = plan_.selection.reader;
  settings.pascal = plan_.selection.pascal;
  settings.want_tree = false;
  settings.want_models = true;
  settings.parse_private = plan_.selection.parse_private;
  settings.skippable = plan_.skippable_files;
  return settings;
}

void LiveBuild::NotePathFolders() {
  ++inputs_version_;
  path_folders_.clear();
  std::error_code error;
  for (const std::string& path : parameters_.paths) {
    if (fs::is_directory(path, error)) path_folders_.push_back(NormalPath(path));
  }
}

BuildReport LiveBuild::BuildAll(Platform& platform) {
  plan_ = PlanBatchRun(parameters_);
  NotePathFolders();
  for (const Warning& warning : plan_.warnings) platform.ReportWarning(warning);
  settings_ = RunSettings();
  settings_.create_out_dir = true;
  settings_.skippable_files = plan_.skippable_files;
  settings_.source_root = SourceRoot(parameters_, plan_.selection);
  out_dir_ = OutputFolder(plan_.selection);
  site_.reset();
  units_.clear();
  read_.clear();
  BuildReport report;
  if (plan_.selection.style == OutputStyle::kFrames) {
    RunFrames(platform, {}, report);
    return report;
  }
  std::vector<size_t> all(plan_.selection.files.size());
  for (size_t k = 0; k < all.size(); ++k) all[k] = k;
  std::vector<ReadUnit> read = Read(all, platform, report);
  // As a run, the first file that cannot be read ends the build.
  for (const ReadUnit& unit : read) {
    if (!unit.error.empty()) throw GlosError(unit.error);
  }
  BuildSite(platform, std::move(read), report);
  return report;
}

std::vector<ReadUnit> LiveBuild::Read(const std::vector<size_t>& which, Platform& platform,
                                      BuildReport& report) {
  std::vector<std::string> paths;
  for (size_t k : which) paths.push_back(plan_.selection.files[k]);
  std::vector<ReadUnit> read = ReadUnits(paths, Settings(), SystemFileSystem(), Jobs());
  for (const ReadUnit& unit : read) {
    report.read.push_back(unit.path);
    for (const Warning& warning : unit.warnings) {
      platform.ReportWarning(warning);
      report.problems.push_back(warning);
    }
    if (unit.error.empty()) continue;
    platform.ShowMessage(unit.error);
    report.problems.push_back(Warning{unit.path, 0, "error", unit.error, {}});
    report.failed = true;
  }
  return read;
}

void LiveBuild::BuildSite(Platform& platform, std::vector<ReadUnit> read, BuildReport& report) {
  // The tables view the models: they go first.
  site_.reset();
  units_.clear();
  unit_of_file_.assign(read.size(), -1);
  for (size_t k = 0; k < read.size(); ++k) {
    if (!read[k].model) continue;
    unit_of_file_[k] = static_cast<int>(units_.size());
    units_.push_back(std::move(*read[k].model));
    read[k].model.reset();
  }
  read_ = std::move(read);
  FileSystem& files = SystemFileSystem();
  SiteOptions options = SiteOptionsOf(plan_.selection, out_dir_, settings_.source_root, files);
  files.MakeFolders(out_dir_);
  files.RemoveStaleTemporaries(out_dir_);
  options.threads = Jobs();
  site_ = std::make_unique<Site>(units_, std::move(options));
  for (const Warning& warning : site_->Warnings()) platform.ReportWarning(warning);
  if (!folder_) folder_ = std::make_unique<SiteFolder>(out_dir_);
  report.change = folder_->WriteAll(*site_, Jobs());
  report.all_files = true;
  NoteInputs();
}

void LiveBuild::RunFrames(Platform& platform, const std::set<std::string>& shown,
                          BuildReport& report) {
  RecordingPlatform recording(platform);
  frames_output_.BeginRun();
  RunResult result;
  try {
    result = RunGeneration(plan_.selection, recording, settings_, frames_output_);
  } catch (...) {
    std::vector<std::string> written, removed;
    frames_output_.EndRun(written, removed);
    throw;
  }
  std::vector<std::string> written, removed;
  frames_output_.EndRun(written, removed);
  for (const std::string& path : written) report.change.written.push_back(Relative(path, out_dir_));
  for (const std::string& path : removed) report.change.removed.push_back(Relative(path, out_dir_));
  report.all_files = true;
  report.read = plan_.selection.files;
  for (const Warning& warning : recording.warnings) {
    if (shown.empty() || shown.count(NormalPath(warning.file)) != 0) {
      report.problems.push_back(warning);
    }
  }
  if (result.outcome != RunOutcome::kCompleted) {
    report.failed = true;
    return;
  }
  frames_included_ = std::move(result.included);
  frames_missing_.clear();
  for (const Warning& warning : recording.warnings) {
    std::string name = MissingInclude(warning);
    if (!name.empty()) frames_missing_.insert(name);
  }
  NoteInputs();
}

void LiveBuild::NoteInputs() {
  ++inputs_version_;
  readers_.clear();
  missing_.clear();
  const std::vector<std::string>& files = plan_.selection.files;
  for (size_t k = 0; k < files.size(); ++k) {
    readers_[NormalPath(files[k])].push_back(k);
    if (k >= read_.size()) continue;
    for (const std::string& included : read_[k].included) {
      readers_[NormalPath(included)].push_back(k);
    }
    for (const Warning& warning : read_[k].warnings) {
      std::string name = MissingInclude(warning);
      if (!name.empty()) missing_[name].push_back(k);
    }
  }
  // The frame set knows its include files only as a whole.
  for (const std::string& included : frames_included_) readers_[NormalPath(included)];
  for (const std::string& name : frames_missing_) missing_[name];
}

WatchedInputs LiveBuild::Inputs() const {
  WatchedInputs inputs;
  for (const auto& [path, readers] : readers_) inputs.files.insert(path);
  for (const std::string& input : plan_.inputs) inputs.files.insert(NormalPath(input));
  const Selection& s = plan_.selection;
  for (const std::string& file : {s.desc_file, s.menubar_file}) {
    if (!file.empty()) inputs.files.insert(NormalPath(file));
  }
  std::error_code error;
  for (const std::string& root : path_folders_) {
    inputs.trees.insert(root);
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
      if (it->is_directory(error)) inputs.trees.insert(NormalPath(it->path().string()));
    }
  }
  for (const std::string& folder : s.pascal.include_dirs) inputs.folders.insert(NormalPath(folder));
  for (const auto& [name, readers] : missing_) inputs.missing.insert(name);
  return inputs;
}

LiveBuild::Work LiveBuild::Classify(const std::vector<std::string>& changed) const {
  Work work;
  std::set<std::string> inputs;
  for (const std::string& input : plan_.inputs) inputs.insert(NormalPath(input));
  const Selection& s = plan_.selection;
  for (const std::string& file : {s.desc_file, s.menubar_file}) {
    if (!file.empty()) inputs.insert(NormalPath(file));
  }
  std::vector<std::string> trees;
  for (const std::string& folder : path_folders_) trees.push_back(folder + "/");
  std::error_code error;
  for (const std::string& path : changed) {
    if (inputs.count(path) != 0) work.plan = true;
    bool exists = fs::exists(path, error);
    auto readers = readers_.find(path);
    if (readers != readers_.end()) {
      work.input = true;
      work.units.insert(readers->second.begin(), readers->second.end());
      // A unit that is gone (deleted, renamed away) leaves the set.
      if (!exists && !readers->second.empty() && NormalPath(s.files[readers->second[0]]) == path) {
        work.plan = true;
      }
    } else {
      // In a folder of units, a new unit file or a folder that came or went.
      for (const std::string& tree : trees) {
        if (!path.starts_with(tree)) continue;
        if (IsUnitFileName(path) || fs::is_directory(path, error) || !exists) work.plan = true;
      }
    }
    auto missing = missing_.find(ToLowerAscii(fs::path(path).stem().string()));
    if (exists && missing != missing_.end()) {
      work.input = true;
      work.units.insert(missing->second.begin(), missing->second.end());
    }
    work.input = work.input || work.plan;
  }
  return work;
}

BuildReport LiveBuild::Rebuild(const std::vector<std::string>& changed, Platform& platform) {
  BuildReport report;
  Work work = Classify(changed);
  if (!work.input) return report;
  try {
    BatchPlan plan;
    if (work.plan) {
      try {
        plan = PlanBatchRun(parameters_);
      } catch (const RefusedRun& refusal) {
        report.failed = true;
        report.problems.push_back(Warning{"", 0, "error", refusal.what(), {}});
        platform.ShowMessage(refusal.what());
        return report;
      }
      NotePathFolders();
      if (!SameSettings(plan.selection, plan_.selection)) return BuildAll(platform);
    }
    if (plan_.selection.style == OutputStyle::kFrames) {
      if (work.plan) plan_ = std::move(plan);
      std::set<std::string> shown(changed.begin(), changed.end());
      for (size_t k : work.units) shown.insert(NormalPath(plan_.selection.files[k]));
      RunFrames(platform, shown, report);
    } else if (work.plan && plan.selection.files != plan_.selection.files) {
      ReadNewSet(std::move(plan), work, platform, report);
    } else {
      if (work.plan) plan_ = std::move(plan);
      RebuildSite(work, platform, report);
    }
  } catch (const GlosError& error) {
    report.failed = true;
    report.problems.push_back(Warning{error.File(), 0, "error", error.Describe(), {}});
    platform.ShowMessage(error.Describe());
  }
  return report;
}

void LiveBuild::ReadNewSet(BatchPlan plan, const Work& work, Platform& platform,
                           BuildReport& report) {
  std::unordered_map<std::string, size_t> before;
  for (size_t k = 0; k < plan_.selection.files.size(); ++k) {
    if (work.units.count(k) == 0) before[plan_.selection.files[k]] = k;
  }
  std::vector<ReadUnit> all(plan.selection.files.size());
  std::vector<size_t> fresh;
  for (size_t k = 0; k < all.size(); ++k) {
    auto it = before.find(plan.selection.files[k]);
    if (it == before.end()) {
      fresh.push_back(k);
      continue;
    }
    all[k] = std::move(read_[it->second]);
    int u = unit_of_file_[it->second];
    if (u >= 0) all[k].model = std::move(units_[static_cast<size_t>(u)]);
  }
  site_.reset();
  plan_ = std::move(plan);
  std::vector<ReadUnit> read = Read(fresh, platform, report);
  for (size_t i = 0; i < fresh.size(); ++i) all[fresh[i]] = std::move(read[i]);
  // A file that cannot be read is left out until it can be.
  if (report.failed) {
    for (ReadUnit& unit : all) {
      if (!unit.error.empty()) unit.model.reset();
    }
  }
  BuildSite(platform, std::move(all), report);
}

void LiveBuild::RebuildSite(const Work& work, Platform& platform, BuildReport& report) {
  std::vector<size_t> which(work.units.begin(), work.units.end());
  std::vector<ReadUnit> read = Read(which, platform, report);
  bool units_changed = false;
  for (size_t i = 0; i < which.size(); ++i) {
    if (!read[i].error.empty()) continue;
    units_changed = units_changed || read[i].model.has_value() != (unit_of_file_[which[i]] >= 0);
  }
  if (units_changed) {
    // A file became a unit or stopped being one: another set of units.
    std::vector<ReadUnit> all = std::move(read_);
    for (size_t k = 0; k < all.size(); ++k) {
      if (unit_of_file_[k] >= 0) all[k].model = std::move(units_[unit_of_file_[k]]);
    }
    for (size_t i = 0; i < which.size(); ++i) {
      if (read[i].error.empty()) all[which[i]] = std::move(read[i]);
    }
    BuildSite(platform, std::move(all), report);
    return;
  }
  // A file that cannot be read keeps its last model: the overlay shows why the page is stale.
  std::vector<Site::UnitUpdate> updates;
  bool same_inputs = true;
  for (size_t i = 0; i < which.size(); ++i) {
    if (!read[i].error.empty()) continue;
    size_t k = which[i];
    same_inputs = same_inputs && SameInputs(read_[k], read[i]);
    if (read[i].model) {
      updates.push_back(site_->ReplaceUnit(units_, static_cast<size_t>(unit_of_file_[k]),
                                           std::move(*read[i].model)));
      read[i].model.reset();
    }
    read_[k] = std::move(read[i]);
  }
  report.change = folder_->Update(*site_, updates, Jobs());
  for (const Site::UnitUpdate& update : updates) report.all_files |= update.all_files;
  // Noting the inputs anew goes through every file and include file of the set: only when a
  // file read other include files than before.
  if (!same_inputs) NoteInputs();
}

}  // namespace glossator
