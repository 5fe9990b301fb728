#include "app/batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>

#include "app/command_line.h"
#include "app/console_platform.h"
#include "app/ini_file.h"
#include "app/selection_file.h"
#include "app/unit_list.h"
#include "base/errors.h"
#include "base/text_file.h"
#include "html/generation_run.h"
#include "parser/cGlossator.h"

namespace glossator {

namespace fs = std::filesystem;

namespace {

std::string Absolute(const std::string& path) {
  if (path.empty() || path == "-") return path;
  return fs::absolute(path).lexically_normal().string();
}

void Say(const std::string& line) { std::fprintf(stderr, "glossator: %s\n", line.c_str()); }

// "3 units, 5 classes, 12 routines, 4 constants; 14 pages written (2 changed) in 0.02 s; no
// warnings".
std::string SummaryLine(const RunReport& report, double seconds, int warnings) {
  auto count = [](int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", seconds);
  return count(report.units, "unit", "units") + ", " + count(report.classes, "class", "classes") +
         ", " + count(report.routines, "routine", "routines") + ", " +
         count(report.constants, "constant", "constants") + "; " +
         count(report.pages, "page", "pages") + " written (" +
         std::to_string(report.changed_pages) + " changed) in " + time + "; " +
         (warnings == 0 ? std::string("no warnings") : count(warnings, "warning", "warnings"));
}

// "99.96% documented (2999 of 3000), less than the 100% asked for". The share is cut, never
// rounded up, so that it never shows as much as was asked for.
std::string FailUnderMessage(const Coverage& total, double asked) {
  Coverage::Share share = total.Overall();
  double percent = total.Percent();
  double shown = std::floor(percent * 100) / 100;
  char text[160];
  std::snprintf(text, sizeof text, "%.2f%% documented (%d of %d), less than the %g%% asked for",
                shown, share.documented, share.all, asked);
  return text;
}

bool SameFileAs(const struct stat& target, const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && st.st_dev == target.st_dev &&
         st.st_ino == target.st_ino;
}

// What the run names about its inputs, for the refusal: "a source of the run".
std::string InputRole(const struct stat& target, const Selection& selection,
                      const std::vector<std::string>& inputs) {
  for (const std::string& unit : selection.files) {
    if (SameFileAs(target, unit)) return "a source of the run";
  }
  if (SameFileAs(target, selection.desc_file)) return "the description file of the run";
  if (SameFileAs(target, selection.menubar_file)) return "the menu bar file of the run";
  for (const std::string& input : inputs) {
    if (SameFileAs(target, input)) return "a selection or project file of the run";
  }
  return "";
}

// A tree dump this program wrote: its first two lines.
bool IsTreeDump(std::string_view bytes) {
  return bytes.starts_with("<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<root>\r\n");
}

// A selection file: text that the INI layer reads whole, with keys in [FILES] and [SETUP] only.
bool IsSelectionText(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  IniFile ini("");
  ini.LoadText(bytes);
  if (ini.StrayLines() != 0) return false;
  for (const std::string& section : ini.SectionNames()) {
    if (section != "files" && section != "setup") return false;
  }
  return true;
}

}  // namespace

std::string SourceRoot(const CommandLineParameters& parameters, const Selection& selection) {
  std::error_code error;
  if (!parameters.paths.empty()) {
    fs::path first = fs::absolute(parameters.paths.front()).lexically_normal();
    return (fs::is_directory(first, error) ? first : first.parent_path()).string();
  }
  if (selection.files.empty()) return "";
  return fs::absolute(selection.files.front()).lexically_normal().parent_path().string();
}

namespace {

// Writes the tree dump onto standard output ("--dump -").
void WriteStandardOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

int RunParsedCommandLine(const CommandLineParameters& parameters) {
  ConsolePlatform platform(stderr, !parameters.quiet && isatty(fileno(stderr)) != 0);
  if (parameters.jobs == 0) {
    if (JobsSetting setting = JobsFromEnvironment(); !setting.error.empty()) Say(setting.error);
  }
  BatchPlan plan;
  try {
    plan = WhileDoing("reading the arguments", [&] { return PlanBatchRun(parameters); });
  } catch (const RefusedRun& refusal) {
    Say(refusal.what());
    return kExitRejected;
  }
  for (const Warning& warning : plan.warnings) platform.ReportWarning(warning);
  if (parameters.no_run) {
    try {
      SaveSelection(parameters.save_selection, plan.selection);
    } catch (const GlosError& error) {
      Say(error.Describe());
      return kExitError;
    }
    return kExitCompleted;
  }
  RunSettings settings;
  settings.create_out_dir = parameters.output_dir.has_value();
  settings.skippable_files = plan.skippable_files;
  settings.standard_output = WriteStandardOutput;
  settings.source_root = SourceRoot(parameters, plan.selection);
  if (!parameters.save_selection.empty()) {
    settings.before_writing = [&] { SaveSelection(parameters.save_selection, plan.selection); };
  }
  ConsolePlatform::CatchInterrupt();
  return RunSelection(plan.selection, platform, OptionsOf(parameters), std::move(settings));
}

}  // namespace

void ApplyRunOptions(const CommandLineParameters& parameters, Selection& selection) {
  if (parameters.output_dir) selection.out_dir = Absolute(*parameters.output_dir);
  if (parameters.description_file) selection.desc_file = Absolute(*parameters.description_file);
  if (parameters.menubar_file) selection.menubar_file = Absolute(*parameters.menubar_file);
  if (parameters.parse_private) selection.parse_private = true;
  if (parameters.jobs > 0) selection.jobs = parameters.jobs;
  if (!parameters.dump_file.empty()) {
    selection.debug_mode = true;
    selection.dump_file = Absolute(parameters.dump_file);
  }
  if (parameters.reader) {
    selection.reader = *parameters.reader == "pascal" ? ReaderKind::kPascal : ReaderKind::kLines;
  }
  if (parameters.style) {
    selection.style = *parameters.style == "site" ? OutputStyle::kSite : OutputStyle::kFrames;
  }
  if (!parameters.json_file.empty()) selection.json_file = Absolute(parameters.json_file);
  ReaderOptions& pascal = selection.pascal;
  for (const std::string& define : parameters.defines) pascal.defines.push_back(define);
  for (const std::string& folder : parameters.include_dirs) {
    pascal.include_dirs.push_back(Absolute(folder));
  }
  if (parameters.compiler) {
    pascal.compiler = *parameters.compiler == "delphi" ? CompilerMode::kDelphi : CompilerMode::kFpc;
  }
  if (parameters.comments) {
    pascal.comments = *parameters.comments == "any" ? CommentMode::kAny : CommentMode::kDocOnly;
  }
  if (parameters.title) selection.title = *parameters.title;
  if (!parameters.source_url.empty()) selection.source_url = parameters.source_url;
}

Selection ApplyCommandLine(const CommandLineParameters& parameters) {
  Selection selection;
  if (!parameters.project_file.empty() && UnreadableSelection(parameters.project_file).empty()) {
    LoadSelection(parameters.project_file, selection);
  }
  selection.debug_mode = parameters.debug_mode;
  ApplyRunOptions(parameters, selection);
  return selection;
}

BatchPlan PlanBatchRun(const CommandLineParameters& parameters) {
  BatchPlan plan;
  Selection& selection = plan.selection;
  if (parameters.paths.empty()) {
    selection.debug_mode = parameters.debug_mode;
    if (!parameters.project_file.empty()) {
      // Batch mode takes the file's own debug flag.
      try {
        SelectionFileContents contents = ReadSelectionFile(parameters.project_file);
        selection = std::move(contents.selection);
        plan.warnings = std::move(contents.warnings);
      } catch (const SelectionFileError& error) {
        throw RefusedRun(error.what());
      }
      plan.inputs.push_back(parameters.project_file);
    }
  } else {
    UnitList units;
    try {
      units = ExpandPaths(parameters.paths);
    } catch (const PathError& error) {
      throw RefusedRun(error.what());
    }
    // Files, folders and projects are documented as a site by the Pascal reader; a selection
    // file keeps what it says (the frame set by the line rules unless its keys say otherwise).
    if (units.settings) {
      selection = std::move(*units.settings);
    } else {
      selection.reader = ReaderKind::kPascal;
      selection.style = OutputStyle::kSite;
    }
    selection.files = std::move(units.files);
    if (parameters.debug_mode) selection.debug_mode = true;
    plan.warnings = std::move(units.warnings);
    plan.inputs = std::move(units.inputs);
    plan.skippable_files = std::move(units.found);
  }
  ApplyRunOptions(parameters, selection);
  if (selection.style == OutputStyle::kSite && !selection.menubar_file.empty()) {
    plan.warnings.push_back({selection.menubar_file,
                             0,
                             "menu-bar",
                             "a menu bar belongs to the frame set (--style=frames); the site "
                             "has its own and leaves this one out",
                             {}});
  }

  if (selection.debug_mode && selection.dump_file.empty()) {
    if (std::string refusal = DumpRefusal(selection); !refusal.empty()) throw RefusedRun(refusal);
    selection.dump_file = DumpPath();
  }
  if (selection.debug_mode && selection.dump_file != "-") {
    std::string refusal = OutputFileRefusal("--dump", selection.dump_file, WrittenFile::kTreeDump,
                                            selection, plan.inputs);
    if (!refusal.empty()) throw RefusedRun(refusal);
  }
  if (!selection.json_file.empty()) {
    std::string refusal = OutputFileRefusal("--json", selection.json_file, WrittenFile::kJson,
                                            selection, plan.inputs);
    if (!refusal.empty()) throw RefusedRun(refusal);
  }
  if (!parameters.save_selection.empty()) {
    std::string refusal = OutputFileRefusal("--save-selection", parameters.save_selection,
                                            WrittenFile::kSelectionFile, selection, plan.inputs);
    if (!refusal.empty()) throw RefusedRun(refusal);
  }
  return plan;
}

std::string OutputFileRefusal(const std::string& option, const std::string& file, WrittenFile kind,
                              const Selection& selection, const std::vector<std::string>& inputs) {
  auto refuse = [&](const std::string& why) {
    return "option '" + option + "' may not write '" + file + "': " + why;
  };
  if (file.empty()) return refuse("no file named");
  struct stat target;
  if (stat(file.c_str(), &target) != 0) return "";  // a new file; a missing folder fails later
  if (std::string role = InputRole(target, selection, inputs); !role.empty()) {
    return refuse("it is " + role);
  }
  if (S_ISDIR(target.st_mode)) return refuse("it is a folder");
  if (!S_ISREG(target.st_mode)) return refuse("it is not a regular file");
  std::string bytes;
  if (!ReadRegularFile(file, bytes)) return refuse("it cannot be read to see what it holds");
  if (bytes.empty()) return "";
  if (kind == WrittenFile::kTreeDump) {
    return IsTreeDump(bytes) ? "" : refuse("it exists and is not a tree dump of this program");
  }
  if (kind == WrittenFile::kJson) {
    return bytes.starts_with("{\"units\":[") ? ""
                                             : refuse(
                                                   "it exists and is not a JSON export of "
                                                   "this program");
  }
  return IsSelectionText(bytes) ? "" : refuse("it exists and is not a selection file");
}

BatchOptions OptionsOf(const CommandLineParameters& parameters) {
  BatchOptions options;
  options.quiet = parameters.quiet;
  options.strict = parameters.strict;
  options.coverage = parameters.coverage;
  options.fail_under = parameters.fail_under;
  return options;
}

int RunSelection(const Selection& selection, ConsolePlatform& platform, const BatchOptions& options,
                 RunSettings settings) {
  auto start = std::chrono::steady_clock::now();
  settings.interactive = false;
  settings.process_ends_after = true;
  settings.measure_coverage = options.coverage || options.fail_under;
  RunResult result;
  try {
    result = RunGeneration(selection, platform, settings);
  } catch (const GlosError& error) {
    platform.ShowMessage(error.Describe());
    return kExitError;
  } catch (const std::bad_alloc&) {
    platform.ShowMessage(OutOfMemoryError().what());
    return kExitError;
  }
  switch (result.outcome) {
    case RunOutcome::kCompleted:
      break;
    case RunOutcome::kCancelled:
      return ConsolePlatform::CancelStatus();
    case RunOutcome::kRejected:
      return kExitRejected;
  }
  const RunReport& report = result.report;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int warnings = options.earlier_warnings + static_cast<int>(platform.Warnings().size());

  int status = kExitCompleted;
  if (report.failed_pages > 0 || (options.strict && warnings > 0)) status = kExitIncomplete;
  if (options.coverage || options.fail_under) {
    if (options.coverage) {
      std::fputs(CoverageTable(report.coverage).c_str(), stdout);
      std::fflush(stdout);
    }
    Coverage total = TotalCoverage(report.coverage);
    if (options.fail_under && total.Percent() < *options.fail_under) {
      platform.ShowMessage(FailUnderMessage(total, *options.fail_under));
      status = kExitIncomplete;
    }
  }
  if (!options.quiet) platform.ShowMessage(SummaryLine(report, seconds, warnings));
  return status;
}

std::string DumpPath() {
  std::error_code error;
  fs::path exe = fs::read_symlink("/proc/self/exe", error);
  std::string folder = error ? std::string(".") : exe.parent_path().string();
  return folder + "/glosdata.xml";
}

std::string DumpRefusal(const Selection& selection) {
  if (!selection.debug_mode || !selection.dump_file.empty()) return "";
  fs::path folder = fs::path(DumpPath()).parent_path();
  // The installed layouts: PREFIX/bin/glossator, PREFIX/libexec/glossator/glossator-window.
  std::string parent = folder.parent_path().filename().string();
  bool installed = folder.filename() == "bin" || parent == "libexec" || parent == "lib";
  if (!installed && access(folder.c_str(), W_OK) == 0) return "";
  return "the tree dump cannot be written beside the program in " + folder.string() +
         "; name its file with --dump FILE";
}

int RunWithoutWindow(const CommandLineParameters& parameters) {
  if (!parameters.error.empty()) {
    Say(parameters.error);
    std::fprintf(stderr, "%s\n", kTryHelp);
    return kExitRejected;
  }
  if (parameters.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (parameters.version) {
    std::printf("glossator %s\n", GLOSSATOR_VERSION);
    return 0;
  }
  try {
    return RunParsedCommandLine(parameters);
  } catch (const std::bad_alloc&) {
    Say(OutOfMemoryError().what());
    return kExitError;
  } catch (const std::exception& error) {
    Say(error.what());
    return kExitError;
  }
}

}  // namespace glossator
