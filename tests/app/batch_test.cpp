// Batch mode as a user runs it: the real program on selection files, and the pieces behind it.
#include "app/batch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "app/command_line.h"
#include "app/console_platform.h"
#include "html/generation_run.h"
#include "html/pictures.h"
#include "parser/cGlossator.h"
#include "robustness/program_run.h"
#include "support/fake_platform.h"
#include "support/files.h"
#include "support/selection_text.h"

namespace glossator {
namespace {

namespace fs = std::filesystem;

using Result = testing_run::Outcome;

class BatchTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("batch_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A selection file with the given units and settings; returns its path.
  std::string Selection(const std::vector<std::string>& files, const std::string& out_dir,
                        const std::string& desc = "", bool parse_private = false,
                        bool debug = false) {
    fs::path path = dir_ / "selection.gls";
    WriteAll(path, SelectionText(files, out_dir, desc, parse_private, debug));
    return path.string();
  }

  Result Run(const std::string& arguments) {
    std::string errors = (dir_ / "stderr.txt").string();
    std::string command = std::string(GLOSSATOR_BINARY_DIR) + "/glossator " + arguments + " 2>" +
                          errors + " >/dev/null";
    int status = std::system(command.c_str());
    return testing_run::SplitSummary(WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(errors));
  }

  std::set<std::string> Written() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "out")) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  fs::path dir_;
};

TEST_F(BatchTest, WholeRunMatchesTheExpectedSetByteForByte) {
  fs::path golden = fs::path(GLOSSATOR_TEST_DATA) / "golden";
  std::string gls =
      Selection({(golden / "src/collections.pas").string(), (golden / "src/streams.pas").string()},
                (dir_ / "out").string(), (golden / "src/intro.html").string(),
                /*parse_private=*/true);
  Result result = Run("-p " + gls + " -b");
  ASSERT_EQ(result.status, 0) << result.errors;
  std::set<std::string> expected;
  for (const auto& entry : fs::directory_iterator(golden / "expected")) {
    std::string name = entry.path().filename().string();
    expected.insert(name);
    EXPECT_EQ(ReadAll(dir_ / "out" / name), ReadAll(entry.path())) << name;
  }
  for (const Picture& picture : Pictures()) expected.emplace(picture.file_name);
  EXPECT_EQ(Written(), expected);
}

TEST_F(BatchTest, ExitStatusAndMessages) {
  std::string unit = (dir_ / "u.pas").string();
  WriteAll(unit, "unit U;\r\ninterface\r\nimplementation\r\n");

  // A failed check: status 2, the message, nothing written.
  Result rejected = Run("-p " + Selection({unit}, (dir_ / "missing").string()) + " -b");
  EXPECT_EQ(rejected.status, kExitRejected);
  EXPECT_EQ(rejected.errors,
            "glossator: No valid output directory selected: " + (dir_ / "missing").string() + "\n");
  Result no_folder = Run("-p " + Selection({unit}, "") + " -b");
  EXPECT_EQ(no_folder.status, kExitRejected);
  EXPECT_EQ(no_folder.errors, "glossator: No output directory selected\n");
  EXPECT_FALSE(fs::exists("/description.html"));  // an empty folder never becomes "/"
  EXPECT_TRUE(Written().empty());

  // An empty file list only warns.
  Result empty = Run("-p " + Selection({}, (dir_ / "out").string()) + " -b");
  EXPECT_EQ(empty.status, kExitCompleted);
  EXPECT_EQ(empty.errors, "glossator: No source files selected\n");
  EXPECT_TRUE(Written().count("index.html"));

  // An error that ends the run: status 1 and a message naming the file.
  std::string gone = (dir_ / "gone.pas").string();
  Result failed = Run("-p " + Selection({unit, gone}, (dir_ / "out").string()) + " -b");
  EXPECT_EQ(failed.status, kExitError);
  EXPECT_EQ(failed.errors, "glossator: Cannot open file " + gone + "\n");
  std::string unclosed = (dir_ / "unclosed.pas").string();
  WriteAll(unclosed, "unit V;\r\n{** open\r\nprocedure P;\r\n");
  Result index_error = Run("-p " + Selection({unclosed}, (dir_ / "out").string()) + " -b");
  EXPECT_EQ(index_error.status, kExitError);
  EXPECT_EQ(index_error.errors, "glossator: " + unclosed + ": List index out of bounds (3)\n");
}

TEST_F(BatchTest, HelpVersionAndNoWindow) {
  Result help = Run("--help");
  EXPECT_EQ(help.status, 0);
  Result version = Run("--version");
  EXPECT_EQ(version.status, 0);
}

TEST_F(BatchTest, DebugFlagComesFromTheSelectionFileInBatchMode) {
  std::string unit = (dir_ / "u.pas").string();
  WriteAll(unit, "unit U;\r\ninterface\r\nimplementation\r\n");
  fs::path dump = fs::path(GLOSSATOR_BINARY_DIR) / "glosdata.xml";
  fs::remove(dump);
  ASSERT_EQ(Run("-d -p " + Selection({unit}, (dir_ / "out").string()) + " -b").status, 0);
  EXPECT_FALSE(fs::exists(dump));  // "-d" has no effect in batch mode
  ASSERT_EQ(Run("-p " + Selection({unit}, (dir_ / "out").string(), "", false, true) + " -b").status,
            0);
  EXPECT_TRUE(fs::exists(dump));
  EXPECT_NE(ReadAll(dump).find("<unitFileName>\r\n        u.pas\r\n"), std::string::npos);
  fs::remove(dump);
}

TEST_F(BatchTest, ApplyCommandLineKeepsTheSwitchOverTheFile) {
  std::string with_debug = Selection({"a.pas"}, "/x", "", false, true);
  CommandLineParameters parameters;
  parameters.project_file = with_debug;
  EXPECT_FALSE(ApplyCommandLine(parameters).debug_mode);  // without "-d" the flag stays off
  std::string without_debug = Selection({"a.pas"}, "/x", "", false, false);
  parameters.project_file = without_debug;
  parameters.debug_mode = true;
  glossator::Selection loaded = ApplyCommandLine(parameters);
  EXPECT_TRUE(loaded.debug_mode);
  EXPECT_EQ(loaded.files, (std::vector<std::string>{"a.pas"}));
  EXPECT_TRUE(ApplyCommandLine(CommandLineParameters{}).files.empty());
}

TEST_F(BatchTest, InterruptCancelsTheRun) {
  std::string unit = (dir_ / "u.pas").string();
  WriteAll(unit, "unit U;\r\ninterface\r\nimplementation\r\n");
  CommandLineParameters parameters;
  parameters.project_file = Selection({unit}, (dir_ / "out").string());
  std::FILE* errors = std::tmpfile();
  ConsolePlatform platform(errors, /*terminal=*/false);
  BatchPlan plan = PlanBatchRun(parameters);
  ConsolePlatform::SetInterrupted(true);
  int status = RunSelection(plan.selection, platform, OptionsOf(parameters), RunSettings());
  ConsolePlatform::SetInterrupted(false);
  EXPECT_EQ(status, kExitCancelled);
  std::rewind(errors);
  char text[256] = {};
  size_t got = std::fread(text, 1, sizeof text - 1, errors);
  std::fclose(errors);
  EXPECT_EQ(std::string(text, got), "glossator: Operation cancled\n");
  EXPECT_FALSE(Written().count("index-unit.html"));
}

TEST(ConsolePlatform, DrawsProgressOnlyOnATerminal) {
  std::FILE* quiet_out = std::tmpfile();
  ConsolePlatform quiet(quiet_out, false);
  quiet.ShowProgress(nullptr, 10);
  EXPECT_TRUE(quiet.UpdateProgress("Parsing unit in a.pas", "", true));
  quiet.FinishProgress();
  EXPECT_EQ(std::ftell(quiet_out), 0);
  std::fclose(quiet_out);

  std::FILE* shown_out = std::tmpfile();
  ConsolePlatform shown(shown_out, true);
  shown.ShowProgress(nullptr, 4);
  shown.UpdateProgress("Generating HTML", "unit index", true);
  shown.ShowMessage("TShape");
  shown.CloseProgress();
  std::rewind(shown_out);
  char text[1024] = {};
  std::string out(text, std::fread(text, 1, sizeof text - 1, shown_out));
  std::fclose(shown_out);
  EXPECT_NE(out.find("Generating HTML unit index [#####...............] 25%"), std::string::npos)
      << out;
  // A message clears the line, stands on its own line, and the bar is drawn again.
  EXPECT_NE(out.find("\r\033[Kglossator: TShape\n\r\033[KGenerating HTML"), std::string::npos)
      << out;
  EXPECT_EQ(out.substr(out.size() - 4), "\r\033[K");
}

}  // namespace
}  // namespace glossator
