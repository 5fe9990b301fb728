#include "app/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "app/command_line.h"
#include "app/console_platform.h"
#include "app/selection_file.h"
#include "app/unit_list.h"
#include "html/generation_run.h"
#include "base/errors.h"
#include "parser/cGlossator.h"
#include "base/platform.h"

namespace glossator {

namespace fs = std::filesystem;

namespace {

std::string Absolute(const std::string& path) {
  if (path.empty()) return path;
  return fs::absolute(path).lexically_normal().string();
}

void Say(const std::string& line) { std::fprintf(stderr, "glossator: %s\n", line.c_str()); }

// The output folder named by "-o", with its parents; missing folders of a selection file are
// left to the run's own check.
bool MakeOutputFolder(const CommandLineParameters& parameters, const Selection& selection) {
  if (!parameters.output_dir || selection.out_dir.empty()) return true;
  std::error_code error;
  fs::create_directories(selection.out_dir, error);
  if (!error) return true;
  Say("cannot create output folder '" + *parameters.output_dir + "': " + error.message());
  return false;
}

// "glossator: 3 units, 5 classes, 12 routines, 4 constants; 14 pages written in 0.02 s; no
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
         count(report.pages, "page", "pages") + " written in " + time + "; " +
         (warnings == 0 ? std::string("no warnings") : count(warnings, "warning", "warnings"));
}

int RunParsedCommandLine(const CommandLineParameters& parameters) {
  Selection selection;
  BatchOptions options = OptionsOf(parameters);
  ConsolePlatform platform(stderr, !parameters.quiet && isatty(fileno(stderr)) != 0);
  if (parameters.paths.empty()) {
    if (!parameters.project_file.empty()) {
      if (std::string reason = UnreadableSelection(parameters.project_file); !reason.empty()) {
        Say("cannot read selection file '" + parameters.project_file + "': " + reason);
        return kExitRejected;
      }
      for (const Warning& warning : SelectionKeyWarnings(parameters.project_file)) {
        platform.ReportWarning(warning);
      }
    }
    selection = ApplyCommandLine(parameters);
    if (!parameters.project_file.empty()) LoadSelection(parameters.project_file, selection);
    ApplyRunOptions(parameters, selection);
  } else {
    UnitList units;
    try {
      units = ExpandPaths(parameters.paths);
    } catch (const PathError& error) {
      Say(error.what());
      return kExitRejected;
    }
    for (const std::string& warning : units.warnings) {
      std::fprintf(stderr, "%s\n", warning.c_str());
    }
    options.earlier_warnings = static_cast<int>(units.warnings.size());
    selection = PathSelection(parameters, units);
  }
  if (!parameters.save_selection.empty()) {
    try {
      SaveSelection(parameters.save_selection, selection);
    } catch (const GlosError& error) {
      Say(error.Describe());
      return kExitError;
    }
  }
  if (parameters.no_run) return kExitCompleted;
  if (std::string refusal = DumpRefusal(selection); !refusal.empty()) {
    Say(refusal);
    return kExitRejected;
  }
  if (!MakeOutputFolder(parameters, selection)) return kExitError;
  ConsolePlatform::CatchInterrupt();
  return RunSelection(selection, platform, options);
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
}

Selection ApplyCommandLine(const CommandLineParameters& parameters) {
  Selection selection;
  selection.debug_mode = parameters.debug_mode;
  if (!parameters.project_file.empty()) {
    bool debug = selection.debug_mode;
    LoadSelection(parameters.project_file, selection);
    selection.debug_mode = debug;
  }
  ApplyRunOptions(parameters, selection);
  return selection;
}

Selection PathSelection(const CommandLineParameters& parameters, const UnitList& units) {
  Selection selection = units.settings.value_or(Selection());
  selection.files = units.files;
  if (parameters.debug_mode) selection.debug_mode = true;
  ApplyRunOptions(parameters, selection);
  return selection;
}

BatchOptions OptionsOf(const CommandLineParameters& parameters) {
  BatchOptions options;
  options.quiet = parameters.quiet;
  options.strict = parameters.strict;
  options.coverage = parameters.coverage;
  options.fail_under = parameters.fail_under;
  return options;
}

std::string UnreadableSelection(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  close(fd);
  return "";
}

int RunBatch(const CommandLineParameters& parameters, Selection& selection,
             ConsolePlatform& platform) {
  if (!parameters.project_file.empty()) {
    if (std::string reason = UnreadableSelection(parameters.project_file); !reason.empty()) {
      platform.ShowMessage("cannot read selection file '" + parameters.project_file +
                           "': " + reason);
      return kExitRejected;
    }
    // The second reading keeps the file's own debug flag.
    LoadSelection(parameters.project_file, selection);
  }
  ApplyRunOptions(parameters, selection);
  return RunSelection(selection, platform, OptionsOf(parameters));
}

int RunSelection(Selection& selection, ConsolePlatform& platform, const BatchOptions& options) {
  auto start = std::chrono::steady_clock::now();
  RunReport report;
  report.measure_coverage = options.coverage || options.fail_under;
  try {
    switch (RunGeneration(selection, platform, /*interactive=*/false, &report)) {
      case RunOutcome::kCompleted:
        break;
      case RunOutcome::kCancelled:
        return ConsolePlatform::CancelStatus();
      case RunOutcome::kRejected:
        return kExitRejected;
    }
  } catch (const GlosError& error) {
    platform.ShowMessage(error.Describe());
    return kExitError;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int warnings = options.earlier_warnings + static_cast<int>(platform.Warnings().size());

  int status = kExitCompleted;
  if (report.failed_pages > 0 || (options.strict && warnings > 0)) status = kExitIncomplete;
  if (options.coverage || options.fail_under) {
    if (options.coverage) {
      std::fputs(CoverageTable(report.coverage).c_str(), stdout);
      std::fflush(stdout);
    }
    double percent = TotalCoverage(report.coverage).Percent();
    if (options.fail_under && percent < *options.fail_under) {
      char text[96];
      std::snprintf(text, sizeof text, "%.1f%% documented, less than the %g%% asked for", percent,
                    *options.fail_under);
      platform.ShowMessage(text);
      status = kExitIncomplete;
    }
  }
  if (!options.quiet) platform.ShowMessage(SummaryLine(report, seconds, warnings));
  return status;
}

std::string DumpRefusal(const Selection& selection) {
  if (!selection.debug_mode || !selection.dump_file.empty()) return "";
  fs::path folder = fs::path(TGlosParser::DumpPath()).parent_path();
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
  } catch (const std::exception& error) {
    Say(error.what());
    return kExitError;
  }
}

}  // namespace glossator
