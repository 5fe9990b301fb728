// What the program tells the user about odd input, as a user sees it: the real program on small
// units, each warning checked for its file, line and text, and the exit statuses, the summary
// line, --quiet, --strict, --coverage and --fail-under.
#include <algorithm>

#include "html/html_fixture.h"
#include "program_run.h"

namespace glossator {
namespace {

using namespace testing_run;

class DiagnosticsTest : public ProgramTest {
 protected:
  std::string Src(const std::string& name) const { return (dir_ / "src" / name).string(); }

  // Runs the program on the units `names` (written before) with `options` in front.
  Outcome RunUnits(const std::vector<std::string>& names,
                   std::vector<std::string> options = {"--style=frames", "--reader=lines", "-o",
                                                       "out"}) {
    for (const std::string& name : names) options.push_back(Src(name));
    return RunArguments(options);
  }
};

TEST_F(DiagnosticsTest, WarningsNameFileLineAndWhatWentWrong) {
  Unit("notes.pas", CrLf({"{ Licence. }", "", "{ Notes:", "  this unit is fine }", "unit Real;",
                          "interface", "implementation", "end."}));
  Unit("first.pas", CrLf({"unit Same;", "interface", "type", "  TOne = class", "  end;",
                          "implementation", "end."}));
  Unit("second.pas", CrLf({"unit Same;", "interface", "type", "  TTwo = class", "  end;",
                           "implementation", "end."}));
  Unit("a.pas", CrLf({"unit A;", "interface", "type", "  TShared = class", "  public",
                      "    Property OnKeyDown;", "  end;", "implementation", "end."}));
  Unit("b.pas", CrLf({"unit B;", "interface", "type", "  TShared = class", "  end;",
                      "implementation", "end."}));
  Unit("lib.pas", CrLf({"{ A library. }", "library Tools;", "{ unit Tools; }", "type",
                        "  TX = class", "  end;", "implementation", "end."}));
  const struct {
    std::vector<std::string> units;
    std::string warnings;
  } cases[] = {
      {{"notes.pas"},
       Src("notes.pas") + ":4: warning: unit name 'unit is fine ' read from a line that is not " +
           "the unit heading; the heading is on line 5\n"},
      {{"first.pas", "second.pas"},
       Src("second.pas") + ": warning: unit 'Same' is also read from " + Src("first.pas") +
           "; the page Same.html shows that one, and the classes of this file get no pages\n"},
      {{"a.pas", "b.pas"},
       Src("a.pas") + ":6: warning: field without a type in class TShared: Property OnKeyDown;\n" +
           Src("a.pas") + ": warning: class 'TShared' of " + Src("a.pas") +
           " gets no page: TShared.html holds class 'TShared' of " + Src("b.pas") + "\n"},
      // The name comes from the comment line, and the file is no unit at all.
      {{"lib.pas"},
       Src("lib.pas") + ":2: warning: the file is a library, not a unit; its unit " +
           "name 'unit Tools; ' was read from line 3\n"},
  };
  for (const auto& c : cases) {
    fs::remove_all(dir_ / "out");
    Outcome outcome = RunUnits(c.units);
    EXPECT_EQ(outcome.status, 0) << c.units[0];
    EXPECT_EQ(outcome.errors, c.warnings) << c.units[0];
    int count = static_cast<int>(std::count(c.warnings.begin(), c.warnings.end(), '\n'));
    EXPECT_TRUE(outcome.summary.ends_with("; " + std::to_string(count) +
                                          (count == 1 ? " warning" : " warnings")))
        << outcome.summary;
    // The pages are what they were: the clash leaves the page of b.pas, written last.
    if (c.units[0] == "a.pas") {
      EXPECT_NE(ReadAll(dir_ / "out" / "TShared.html").find("<A HREF=B.html>B</A>"),
                std::string::npos);
    }
  }
}

TEST_F(DiagnosticsTest, FileThatIsNoUnitEndsASelectionRunAndIsSkippedInAFolderRun) {
  Unit("tool.pas", CrLf({"program Tool;", "uses Real;", "begin", "end."}));
  Unit("none.pas", CrLf({"// nothing but a comment"}));
  Unit("alpha.pas", SmallUnit("Alpha", "TAlpha"));
  // A selection file's list must hold units only: the first that is none ends the run, and the
  // message says why.
  Outcome program = RunOn({Src("tool.pas")});
  EXPECT_EQ(program.status, 1);
  EXPECT_EQ(program.errors, "glossator: " + Src("tool.pas") +
                                ": List index out of bounds (4) (the file is a program, not a "
                                "unit)\n");
  Outcome none = RunOn({Src("none.pas")});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.errors, "glossator: " + Src("none.pas") +
                             ": List index out of bounds (1) (the file has no unit heading)\n");
  EXPECT_EQ(none.summary, "");
  // Files found in a folder: each file that is no unit is skipped with a warning, on any number
  // of threads, and the others are documented.
  for (const char* jobs : {"1", "2", "3"}) {
    Outcome threaded = RunArguments(
        {"--style=frames", "--reader=lines", "-j", jobs, "-o", "out", (dir_ / "src").string()});
    EXPECT_EQ(threaded.status, 0) << jobs;
    EXPECT_EQ(threaded.errors,
              Src("none.pas") + ": warning: the file has no unit heading; skipped\n" +
                  Src("tool.pas") + ":1: warning: the file is a program, not a unit; skipped\n")
        << jobs;
    EXPECT_TRUE(threaded.summary.starts_with("glossator: 1 unit, 1 class,")) << threaded.summary;
  }
}

TEST_F(DiagnosticsTest, IgnoredSelectionKeysAreNamedWithTheirLines) {
  std::string unit = Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string();
  WriteAll(dir_ / "sel.gls",
           "[FILES]\r\nFile0=" + unit + "\r\nFile00=" + unit + "\r\nFiel3=" + unit +
               "\r\nfile0=other.pas\r\nFile1=\r\n[SETUP]\r\nOutputDir=" + (dir_ / "out").string() +
               "\r\nOutputDri=elsewhere\r\n");
  std::string gls = (dir_ / "sel.gls").string();
  Outcome outcome = RunArguments({"-p", gls, "-b"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.errors,
            gls +
                ":3: warning: key 'File00' in [FILES] ignored: the files are listed as File0, "
                "File1, ... (no leading zeros)\n" +
                gls + ":4: warning: key 'Fiel3' in [FILES] ignored: the files are listed as " +
                "File0, File1, ... (no leading zeros)\n" + gls +
                ":5: warning: key 'file0' ignored: it is given before, on line 2\n" + gls +
                ":6: warning: key 'File1' ignored: it names no file\n" + gls +
                ":9: warning: key 'OutputDri' in [SETUP] ignored: the settings are OutputDir, " +
                "DescriptFile, MenubarFile, ParsePrivate, DebugMode, Reader and Style\n");
  EXPECT_TRUE(fs::exists(dir_ / "out" / "TAlpha.html"));
  // A selection given as a PATH reports the same keys.
  Outcome as_path = RunArguments({gls});
  EXPECT_EQ(as_path.errors, outcome.errors);
}

TEST_F(DiagnosticsTest, ExitStatusSummaryQuietAndStrict) {
  Unit("alpha.pas", SmallUnit("Alpha", "TAlpha"));
  Unit("typeless.pas", CrLf({"unit Typeless;", "interface", "type", "  TT = class", "  public",
                             "    Property Tag;", "  end;", "implementation", "end."}));
  const struct {
    std::vector<std::string> options;
    std::vector<std::string> units;
    int status;
    bool summary;
  } cases[] = {
      {{"--style=frames", "--reader=lines", "-o", "out"}, {"alpha.pas"}, 0, true},
      {{"--style=frames", "--reader=lines", "-o", "out", "--strict"}, {"alpha.pas"}, 0, true},
      {{"--style=frames", "--reader=lines", "-o", "out"}, {"typeless.pas"}, 0, true},
      {{"--style=frames", "--reader=lines", "-o", "out", "--strict"}, {"typeless.pas"}, 3, true},
      {{"--style=frames", "--reader=lines", "-q", "-o", "out", "--strict"},
       {"typeless.pas"},
       3,
       false},
      {{"--style=frames", "--reader=lines", "--quiet", "-o", "out"}, {"alpha.pas"}, 0, false},
  };
  for (const auto& c : cases) {
    Outcome outcome = RunUnits(c.units, c.options);
    EXPECT_EQ(outcome.status, c.status) << c.options.back() << " " << c.units[0];
    EXPECT_EQ(!outcome.summary.empty(), c.summary) << c.options.back() << " " << c.units[0];
    // Warnings stay even when quiet.
    EXPECT_EQ(outcome.errors.find("warning: field without a type") != std::string::npos,
              c.units[0] == "typeless.pas");
  }
  Outcome outcome = RunUnits({"alpha.pas", "typeless.pas"});
  EXPECT_TRUE(outcome.summary.starts_with(
      "glossator: 2 units, 2 classes, 1 routine, 1 constant; 12 pages written ("))
      << outcome.summary;
  EXPECT_TRUE(outcome.summary.ends_with(" s; 1 warning")) << outcome.summary;
}

TEST_F(DiagnosticsTest, CoverageTableAndFailUnder) {
  // Alpha documents all four of its items; Half its class and one of its two members, 2 of 5.
  Unit("alpha.pas", SmallUnit("Alpha", "TAlpha"));
  Unit("half.pas",
       CrLf({"unit Half;", "interface", "type", "  {** Documented. }", "  THalf = class",
             "  public", "    {** Runs. }", "    procedure Run;", "    procedure Stop;", "  end;",
             "function Bare: Integer;", "const", "  Limit = 1;", "implementation", "end."}));
  fs::path table = dir_ / "table.txt";
  std::string command = "cd " + Quoted(dir_.string()) +
                        " && " GLOSSATOR_BINARY_DIR "/glossator -q -o out --coverage " +
                        Quoted(Src("alpha.pas")) + " " + Quoted(Src("half.pas")) + " >" +
                        Quoted(table.string());
  ASSERT_EQ(std::system(("sh -c " + Quoted(command)).c_str()), 0);
  EXPECT_EQ(ReadAll(table),
            "unit   classes  members  routines  constants  documented\n"
            "Alpha      1/1      1/1       1/1        1/1      100.0%\n"
            "Half       1/1      1/2       0/1        0/1       40.0%\n"
            "total      2/2      2/3       1/2        1/2       66.7%\n");

  const struct {
    const char* threshold;
    int status;
    const char* errors;
  } cases[] = {
      {"66", 0, ""},
      // The share shown is cut, never rounded up to what was asked for.
      {"66.7", 3, "glossator: 66.66% documented (6 of 9), less than the 66.7% asked for\n"},
      {"80%", 3, "glossator: 66.66% documented (6 of 9), less than the 80% asked for\n"},
  };
  for (const auto& c : cases) {
    Outcome outcome =
        RunUnits({"alpha.pas", "half.pas"}, {"--style=frames", "--reader=lines", "-q", "-o", "out",
                                             std::string("--fail-under=") + c.threshold});
    EXPECT_EQ(outcome.status, c.status) << c.threshold;
    EXPECT_EQ(outcome.errors, c.errors) << c.threshold;
  }
  for (const char* wrong : {"abc", "101", "-1", "", " 50", "50 ", "+5", "1e1"}) {
    Outcome outcome = RunUnits(
        {"alpha.pas"}, {"--style=frames", "--reader=lines", "-o", "out", "--fail-under", wrong});
    EXPECT_EQ(outcome.status, 2) << wrong;
    EXPECT_EQ(outcome.errors, "glossator: invalid argument '" + std::string(wrong) +
                                  "' for '--fail-under' (a percentage, 0 to 100)\n"
                                  "Try 'glossator --help' for more information.\n");
  }
}

}  // namespace
}  // namespace glossator
