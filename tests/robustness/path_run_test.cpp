// The real program run on PATH arguments, each kind compared page for page with the run of the
// selection file that lists the same units; the option errors; saving the selection.
#include "program_run.h"

namespace glossator {
namespace {

using namespace testing_run;

const fs::path kData = fs::path(GLOSSATOR_TEST_DATA) / "unitlist";

class PathRunTest : public ProgramTest {
 protected:
  // The units every kind of PATH is made from: real LCL units, with an include file and a text
  // beside them, and a few small units under the names the project files use.
  void SetUp() override {
    ProgramTest::SetUp();
    fs::copy(kData / "lcl", dir_ / "lcl", fs::copy_options::recursive);
    fs::copy(kData / "projects", dir_ / "projects", fs::copy_options::recursive);
    Put("projects/frmfilebrowser.pas", SmallUnit("frmFileBrowser", "TFileBrowser"));
    Put("projects/regidefilebrowser.pp", SmallUnit("RegIdeFileBrowser", "TRegistrar"));
    Put("projects/testlazstoragememcase1.pas", SmallUnit("TestCase1", "TStorageCase"));
    Put("delphi/Project.dpr",
        "program Project;\r\n{$R *.res}\r\nuses\r\n  Forms,\r\n  Main in 'src\\Main.pas' "
        "{Form1},\r\n"
        "  { Old in 'old.pas', }\r\n  Tools in '../lcl/rubberband.pas';\r\n{$R extra.res}\r\n"
        "begin\r\nend.\r\n");
    Put("delphi/src/Main.pas", SmallUnit("Main", "TMainForm"));
    Put("delphi/Pack.dpk",
        "package Pack;\n{$R *.res}\nrequires rtl;\ncontains\n  Beside,\n  // Gone in 'gone.pas',\n"
        "  Extra in 'src/extra.pas';\nend.\n");
    Put("delphi/Beside.pas", SmallUnit("Beside", "TBeside"));
    Put("delphi/src/extra.pas", SmallUnit("Extra", "TExtra"));
  }

  void Put(const std::string& name, const std::string& text) { WriteAll(dir_ / name, text); }

  std::string Abs(const std::string& name) const { return (dir_ / name).lexically_normal(); }

  // Runs `path_args`, then the selection file listing `units`, and compares what they wrote.
  void ExpectSameAsSelectionRun(const std::vector<std::string>& path_args,
                                const std::vector<std::string>& units,
                                const std::string& expected_warnings) {
    const std::string label = path_args.front();
    fs::remove_all(dir_ / "by-path");
    fs::remove_all(dir_ / "by-selection");
    std::vector<std::string> args = {"--style=frames", "--reader=lines", "-o", "by-path/doc",
                                     "--private"};
    args.insert(args.end(), path_args.begin(), path_args.end());
    Outcome by_path = RunArguments(args);

    fs::create_directories(dir_ / "by-selection");
    WriteAll(dir_ / "equal.gls", SelectionText(units, Abs("by-selection"), "", true));
    Outcome by_selection = RunSelection(dir_ / "equal.gls");

    ASSERT_EQ(by_path.status, 0) << label << by_path.errors;
    EXPECT_EQ(by_selection.status, 0) << label << by_selection.errors;
    EXPECT_EQ(by_path.errors, expected_warnings + by_selection.errors) << label;
    std::map<std::string, std::string> pages = Snapshot(dir_ / "by-path/doc");
    EXPECT_EQ(pages, Snapshot(dir_ / "by-selection")) << label;
    EXPECT_GE(pages.size(), FixedPages().size() + units.size()) << label;  // a page per unit
  }
};

TEST_F(PathRunTest, EachKindOfPathRunsLikeItsSelectionFile) {
  ExpectSameAsSelectionRun({"lcl/"},
                           {Abs("lcl/lclversion.pas"), Abs("lcl/rubberband.pas"),
                            Abs("lcl/widgetset/wsdesigner.pp"), Abs("lcl/widgetset/wstoolwin.pp")},
                           "");
  ExpectSameAsSelectionRun(
      {"projects/idefilebrowser.lpk"},
      {Abs("projects/frmfilebrowser.pas"), Abs("projects/regidefilebrowser.pp")},
      "projects/idefilebrowser.lpk:40: warning: 'frmconfigfilebrowser.pp' not found; skipped\n");
  ExpectSameAsSelectionRun({"projects/TestLazStorageMem.lpi"},
                           {Abs("projects/testlazstoragememcase1.pas")}, "");
  ExpectSameAsSelectionRun(
      {"delphi/Project.dpr"}, {Abs("delphi/src/Main.pas"), Abs("lcl/rubberband.pas")},
      "delphi/Project.dpr:4: warning: unit 'Forms' not found beside the project; skipped\n");
  ExpectSameAsSelectionRun({"delphi/Pack.dpk"},
                           {Abs("delphi/Beside.pas"), Abs("delphi/src/extra.pas")}, "");
  // Several PATHs of different kinds, a unit named twice documented once.
  ExpectSameAsSelectionRun(
      {"delphi/Pack.dpk", "lcl/lclversion.pas", "delphi/Beside.pas"},
      {Abs("delphi/Beside.pas"), Abs("delphi/src/extra.pas"), Abs("lcl/lclversion.pas")}, "");
}

TEST_F(PathRunTest, SavedSelectionRoundTrips) {
  // --no-run only writes the file: no output folder appears.
  Outcome saved =
      RunArguments({"--style=frames", "--reader=lines", "--save-selection", "saved.gls", "--no-run",
                    "-o", "doc", "--description", "lcl/widgetset/README.txt", "delphi/Pack.dpk"});
  ASSERT_EQ(saved.status, 0) << saved.errors;
  EXPECT_FALSE(fs::exists(dir_ / "doc"));
  std::string text = ReadAll(dir_ / "saved.gls");
  EXPECT_EQ(text, "[FILES]\r\nFile0=" + Abs("delphi/Beside.pas") + "\r\nFile1=" +
                      Abs("delphi/src/extra.pas") + "\r\n[SETUP]\r\nOutputDir=" + Abs("doc") +
                      "\r\nDescriptFile=" + Abs("lcl/widgetset/README.txt") +
                      "\r\nMenubarFile=\r\nParsePrivate=0\r\nDebugMode=0\r\n");

  // The saved file as a PATH is the same run as "-p FILE -b" (which leaves making the output
  // folder to the user), and saving it again gives the same file.
  fs::create_directories(dir_ / "doc");
  Outcome as_path = RunArguments({"saved.gls", "--save-selection", "again.gls"});
  ASSERT_EQ(as_path.status, 0) << as_path.errors;
  EXPECT_EQ(ReadAll(dir_ / "again.gls"), text);
  std::map<std::string, std::string> pages = Snapshot(dir_ / "doc");
  fs::remove_all(dir_ / "doc");
  fs::create_directories(dir_ / "doc");
  Outcome as_selection = RunSelection(dir_ / "saved.gls");
  ASSERT_EQ(as_selection.status, 0) << as_selection.errors;
  EXPECT_EQ(Snapshot(dir_ / "doc"), pages);
  EXPECT_EQ(pages.count("README.txt"), 1u);  // the description page was copied
}

TEST_F(PathRunTest, DumpGoesWhereItIsNamed) {
  Outcome run = RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "--dump",
                              "trees/tree.xml", "delphi/Beside.pas"});
  EXPECT_EQ(run.status, 1);  // the folder of the dump file is not made
  EXPECT_EQ(run.errors, "glossator: Cannot create file " + Abs("trees/tree.xml") + "\n");
  fs::create_directories(dir_ / "trees");
  run = RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "--dump", "trees/tree.xml",
                      "delphi/Beside.pas"});
  ASSERT_EQ(run.status, 0) << run.errors;
  std::string dump = ReadAll(dir_ / "trees/tree.xml");
  EXPECT_NE(dump.find("<unitFileName>\r\n        Beside.pas\r\n"), std::string::npos) << dump;
}

TEST_F(PathRunTest, RefusedArgumentsWriteNothing) {
  const std::string kTry = "Try 'glossator --help' for more information.\n";
  struct Case {
    std::vector<std::string> args;
    std::string errors;
  };
  const Case cases[] = {
      {{"-x", "lcl"}, "glossator: unrecognized option '-x'\n" + kTry},
      {{"--style=frames", "--reader=lines", "-o", "doc", "lcl", "--outptu=doc"},
       "glossator: unrecognized option '--outptu=doc'\n" + kTry},
      {{"lcl", "-o"}, "glossator: option requires an argument -- 'o'\n" + kTry},
      {{"lcl", "--dump"}, "glossator: option '--dump' requires an argument\n" + kTry},
      {{"-p", "x.gls", "lcl"},
       "glossator: -p cannot be used together with PATH arguments\n" + kTry},
      {{"--style=frames", "--reader=lines", "-o", "doc", "lcl", "missing.pas"},
       "glossator: cannot access 'missing.pas': No such file or directory\n"},
      // Without an output folder the run's own check refuses it, as for a selection file.
      {{"lcl"}, "glossator: No output directory selected\n"},
  };
  std::map<std::string, std::string> before = Snapshot(dir_);
  before.erase("stderr.txt");
  for (const Case& c : cases) {
    Outcome outcome = RunArguments(c.args);
    EXPECT_EQ(outcome.status, 2) << c.args.front();
    EXPECT_EQ(outcome.errors, c.errors) << c.args.front();
    std::map<std::string, std::string> after = Snapshot(dir_);
    after.erase("stderr.txt");
    EXPECT_EQ(after, before) << c.args.front();
  }
}

}  // namespace
}  // namespace glossator
