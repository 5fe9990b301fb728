#ifndef GLOSSATOR_TESTS_ROBUSTNESS_PROGRAM_RUN_H_
#define GLOSSATOR_TESTS_ROBUSTNESS_PROGRAM_RUN_H_

// Helpers for tests that run the real program in batch mode on files made for the test, the way
// a user does, and then look at what it left on disk.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "html/pictures.h"
#include "support/files.h"
#include "support/selection_text.h"
#include "support/temp_folder.h"

namespace glossator {
namespace testing_run {

namespace fs = std::filesystem;

// Every regular file below `dir` (relative name => bytes); symbolic links are not followed.
inline std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_symlink() && entry.is_regular_file()) {
      files[fs::relative(entry.path(), dir).string()] = ReadAll(entry.path());
    }
  }
  return files;
}

struct Outcome {
  int status;           // exit status; -1 when the program did not exit normally
  std::string errors;   // what it wrote on standard error, but the summary line
  std::string summary;  // the summary line of a completed run, without its line end
};

// Splits the summary line ("glossator: 2 units, ... written in 0.01 s; no warnings"), whose time
// differs from run to run, off what the program wrote on standard error.
inline Outcome SplitSummary(int status, const std::string& errors) {
  static const std::regex kSummary(
      "(^|\n)(glossator: [0-9]+ units?, [^\n]* written \\([0-9]+ changed\\) in [0-9.]+ s; "
      "[^\n]*)\n");
  std::smatch match;
  if (!std::regex_search(errors, match, kSummary)) return {status, errors, ""};
  std::string rest = errors.substr(0, static_cast<size_t>(match.position(2))) +
                     errors.substr(static_cast<size_t>(match.position(0) + match.length(0)));
  return {status, rest, match[2].str()};
}

inline std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// A scratch folder per test with an empty out/ in it, removed afterwards.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_ / "out"); }

  fs::path Unit(const std::string& name, const std::string& text) {
    fs::path path = dir_ / "src" / name;
    WriteAll(path, text);
    return path;
  }

  // Runs "glossator -p SELECTION -b" on a selection of `files` into `out_dir` (default: out/).
  // `prefix` is shell text put in front of the program, such as "ulimit -f 8;".
  Outcome RunOn(const std::vector<std::string>& files, std::string out_dir = "",
                const std::string& prefix = "") {
    if (out_dir.empty()) out_dir = (dir_ / "out").string();
    fs::path selection = dir_ / "selection.gls";
    WriteAll(selection, SelectionText(files, out_dir));
    return RunSelection(selection, prefix);
  }

  Outcome RunSelection(const fs::path& selection, const std::string& prefix = "") {
    return RunArguments({"-p", selection.string(), "-b"}, prefix);
  }

  // Runs the program with these arguments from the scratch folder; standard output is dropped.
  Outcome RunArguments(const std::vector<std::string>& args, const std::string& prefix = "",
                       const std::string& program = GLOSSATOR_BINARY_DIR "/glossator") {
    fs::path errors = dir_ / "stderr.txt";
    std::string command = "cd " + Quoted(dir_.string()) + " && " + prefix;
    // The outer time limit turns a hang into a failure instead of a stuck suite.
    command += " exec timeout 120 " + Quoted(program);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    command += " >/dev/null 2>" + Quoted(errors.string());
    int status = std::system(("sh -c " + Quoted(command)).c_str());
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    EXPECT_NE(code, 124) << "the run did not end within its time limit";
    return SplitSummary(code, ReadAll(errors));
  }

  TempFolder folder_;
  fs::path dir_ = folder_.Root();
};

// The pages and pictures every completed run writes, whatever it documents.
inline const std::vector<std::string>& FixedPages() {
  static const std::vector<std::string> pages = [] {
    std::vector<std::string> names = {
        "description.html",    "index-unit.html", "index-class.html", "index-function.html",
        "index-constant.html", "menuebar.html",   "index.html"};
    for (const Picture& picture : Pictures()) names.emplace_back(picture.file_name);
    names.emplace_back("legend.html");
    return names;
  }();
  return pages;
}

// A small unit with a class, a routine and a constant, all documented.
inline std::string SmallUnit(const std::string& unit, const std::string& cls) {
  return "{** The unit " + unit + ". }\r\nunit " + unit +
         ";\r\n\r\ninterface\r\n\r\ntype\r\n  {** The class " + cls + ". }\r\n  " + cls +
         " = class(TObject)\r\n  public\r\n    {** Runs it. }\r\n    procedure Run;\r\n  "
         "end;\r\n\r\n"
         "{** Makes one. }\r\nfunction Make" +
         cls + "(Size: Integer): " + cls + ";\r\n\r\nconst\r\n  {** The limit. }\r\n  Limit" + cls +
         " = 10;\r\n\r\nimplementation\r\n\r\nend.\r\n";
}

}  // namespace testing_run
}  // namespace glossator

#endif  // GLOSSATOR_TESTS_ROBUSTNESS_PROGRAM_RUN_H_
