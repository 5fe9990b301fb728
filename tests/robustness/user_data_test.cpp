// Nothing of the user's is lost: the real program, run as a careless user or an attacker would,
// on each way of losing data that a run once had. Each case says what the run must answer (exit
// status, the message) and what it must leave as it was (the user's files, an earlier set).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "app/self_path.h"
#include "program_run.h"

namespace glossator {
namespace {

using namespace testing_run;

// One way to lose data: the files to make, the arguments, and what must come of it.
struct DataCase {
  const char* name;
  // Makes the files (paths relative to the scratch folder) and returns the arguments.
  std::function<std::vector<std::string>(const fs::path& dir)> setup;
  int status;
  // A part of what the program writes on standard error; the whole of it must hold this.
  std::string message;
  // Files that must keep their bytes (relative to the scratch folder); the output folder of a
  // refused run must also keep its bytes.
  std::vector<std::string> kept;
};

constexpr const char* kShapes =
    "unit Shapes;\r\ninterface\r\ntype\r\n  TShape = class\r\n  end;\r\nimplementation\r\nend.\r\n";
constexpr const char* kDrawing =
    "unit Drawing;\r\ninterface\r\nprocedure Draw;\r\nimplementation\r\nend.\r\n";

void Put(const fs::path& dir, const std::string& name, const std::string& bytes) {
  WriteAll(dir / name, bytes);
}

// The sources most cases document: s/shapes.pas and s/drawing.pas.
void PutSources(const fs::path& dir) {
  Put(dir, "s/shapes.pas", kShapes);
  Put(dir, "s/drawing.pas", kDrawing);
}

const DataCase kCases[] = {
    {"dump over a source",
     [](const fs::path& d) {
       PutSources(d);
       return std::vector<std::string>{"--style=frames", "--reader=lines", "-o", "s/doc",
                                       "--dump",         "s/shapes.pas",   "s/"};
     },
     2,
     "option '--dump' may not write",
     {"s/shapes.pas"}},
    {"dump over a file that is no dump",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "notes.txt", "my notes\n");
       return std::vector<std::string>{"--style=frames", "--reader=lines", "-o", "doc",
                                       "--dump",         "notes.txt",      "s/"};
     },
     2,
     "it exists and is not a tree dump of this program",
     {"notes.txt"}},
    {"description named like a page of the run, in the output folder",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "d/legend.html", "<p>my legend</p>");
       return std::vector<std::string>{
           "--style=frames", "--reader=lines", "--description", "d/legend.html", "-o", "d", "s/"};
     },
     2,
     "has the name of the page legend.html that this run writes",
     {"d/legend.html"}},
    {"menu bar named like a unit page, in the output folder",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "d/Shapes.html", "<p>my menu</p>");
       return std::vector<std::string>{
           "--style=frames", "--reader=lines", "--menubar", "d/Shapes.html", "-o", "d", "s/"};
     },
     2,
     "has the name of the page Shapes.html that this run writes",
     {"d/Shapes.html"}},
    {"description named like a unit page, elsewhere",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "other/Shapes.html", "<p>intro</p>");
       return std::vector<std::string>{"--style=frames",
                                       "--reader=lines",
                                       "--description",
                                       "other/Shapes.html",
                                       "-o",
                                       "d",
                                       "s/"};
     },
     2,
     "has the name of the page Shapes.html",
     {"other/Shapes.html"}},
    {"description copied over a source",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "notes/shapes.pas", "not pascal at all");
       return std::vector<std::string>{"--style=frames", "--reader=lines",   "-o", "s",
                                       "--description",  "notes/shapes.pas", "s"};
     },
     2,
     "which is no HTML page",
     {"s/shapes.pas", "notes/shapes.pas"}},
    {"description copied over a README",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "s/README", "read me");
       Put(d, "notes/README", "<p>notes</p>");
       return std::vector<std::string>{"--style=frames", "--reader=lines", "-o", "s",
                                       "--description",  "notes/README",   "s"};
     },
     2,
     "which is no HTML page",
     {"s/README"}},
    {"selection saved over a source",
     [](const fs::path& d) {
       PutSources(d);
       return std::vector<std::string>{
           "--save-selection", "s/drawing.pas", "--no-run", "-o", "doc", "s/"};
     },
     2,
     "option '--save-selection' may not write",
     {"s/drawing.pas"}},
    {"selection saved over a picture",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "pic.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
       return std::vector<std::string>{
           "--save-selection", "pic.png", "--no-run", "-o", "doc", "s/"};
     },
     2,
     "it exists and is not a selection file",
     {"pic.png"}},
    {"selection file that cannot be read",
     [](const fs::path& d) {
       PutSources(d);
       Put(d, "doc/index-unit.html", "earlier set\r\n");
       mkfifo((d / "pipe.gls").c_str(), 0600);
       return std::vector<std::string>{"--style=frames", "--reader=lines", "-o", "doc", "pipe.gls"};
     },
     2,
     "cannot read selection file",
     {"doc/index-unit.html"}},
    {"refused run creates no output folders",
     [](const fs::path& d) {
       PutSources(d);
       return std::vector<std::string>{"--style=frames", "--reader=lines", "-o", "new/deep/doc",
                                       "--dump",         "s/shapes.pas",   "s/"};
     },
     2,
     "may not write",
     {}},
    {"no-run without a file to save",
     [](const fs::path& d) {
       PutSources(d);
       return std::vector<std::string>{"--no-run", "-o", "doc", "s/"};
     },
     2,
     "option '--no-run' needs '--save-selection FILE'",
     {}},
    {"empty dump file name",
     [](const fs::path& d) {
       PutSources(d);
       return std::vector<std::string>{"--dump=", "-o", "doc", "s/"};
     },
     2,
     "invalid argument '' for '--dump'",
     {}},
};

void PrintTo(const DataCase& c, std::ostream* out) { *out << c.name; }

class UserDataTest : public ProgramTest, public ::testing::WithParamInterface<DataCase> {};

TEST_P(UserDataTest, RefusedBeforeAnythingIsWritten) {
  const DataCase& c = GetParam();
  std::vector<std::string> args = c.setup(dir_);
  fs::remove_all(dir_ / "out");
  std::map<std::string, std::string> before = Snapshot(dir_);
  Outcome outcome = RunArguments(args);
  EXPECT_EQ(outcome.status, c.status) << outcome.errors;
  EXPECT_NE(outcome.errors.find(c.message), std::string::npos) << outcome.errors;
  std::map<std::string, std::string> after = Snapshot(dir_);
  before.erase("stderr.txt");
  after.erase("stderr.txt");
  for (const std::string& kept : c.kept) EXPECT_EQ(after[kept], before[kept]) << kept;
  // A refused run writes nothing at all, and makes no folder.
  EXPECT_EQ(after, before);
  EXPECT_FALSE(fs::exists(dir_ / "new"));
}

INSTANTIATE_TEST_SUITE_P(Cases, UserDataTest, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
});

class CarefulRunTest : public ProgramTest {};

TEST_F(CarefulRunTest, WhatARunMayWriteOverIsWritten) {
  PutSources(dir_);
  // An earlier dump and a selection file of this program, and an empty file, may be replaced.
  Put(dir_, "old.xml", "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<root>\r\n</root>\r\n");
  Put(dir_, "old.gls", "[FILES]\r\nFile0=/x.pas\r\n; a comment\r\n[SETUP]\r\nOutputDir=/y\r\n");
  Put(dir_, "empty", "");
  Outcome outcome = RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "--dump",
                                  "old.xml", "--save-selection", "old.gls", "s/"});
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_NE(ReadAll(dir_ / "old.xml").find("<TShape>"), std::string::npos);
  EXPECT_NE(ReadAll(dir_ / "old.gls").find("shapes.pas"), std::string::npos);
  EXPECT_TRUE(outcome.summary.find("pages written (") != std::string::npos) << outcome.summary;
  // The same again: nothing changes on disk.
  Outcome again =
      RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "--dump", "old.xml", "s/"});
  EXPECT_NE(again.summary.find(" pages written (0 changed) "), std::string::npos) << again.summary;
  // "-" is standard output: no file of that name.
  EXPECT_EQ(
      RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "--dump", "-", "s/"}).status,
      0);
  EXPECT_FALSE(fs::exists(dir_ / "-"));
  EXPECT_EQ(RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "--dump", "empty", "s/"})
                .status,
            0);
}

TEST_F(CarefulRunTest, SameFileThroughTwoPathsIsDocumentedOnce) {
  PutSources(dir_);
  fs::create_directory_symlink(dir_ / "s", dir_ / "link");
  Outcome outcome = RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "s", "link"});
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_NE(outcome.errors.find("reached 2 times, also as"), std::string::npos) << outcome.errors;
  EXPECT_TRUE(outcome.summary.starts_with("glossator: 2 units,")) << outcome.summary;
  EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 2);  // two files

  // A selection file that lists a file three times: one warning, one unit.
  std::string shapes = (dir_ / "s/shapes.pas").string();
  Put(dir_, "thrice.gls", SelectionText({shapes, shapes, shapes}, (dir_ / "doc").string()));
  Outcome listed = RunArguments({"thrice.gls"});
  ASSERT_EQ(listed.status, 0) << listed.errors;
  EXPECT_EQ(listed.errors, shapes + ": warning: reached 3 times; documented once\n");
  EXPECT_TRUE(listed.summary.starts_with("glossator: 1 unit,")) << listed.summary;
}

TEST_F(CarefulRunTest, MenuBarInTheOutputFolderIsCopiedAndADescriptionUnitIsWarned) {
  PutSources(dir_);
  Put(dir_, "s/description.pas", "unit description;\r\ninterface\r\nimplementation\r\nend.\r\n");
  Put(dir_, "doc/mymenu.html", "<p>my menu</p>");
  Outcome outcome = RunArguments(
      {"--style=frames", "--reader=lines", "-o", "doc", "--menubar", "doc/mymenu.html", "s"});
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(ReadAll(dir_ / "doc/menuebar.html"), "<p>my menu</p>");
  EXPECT_EQ(ReadAll(dir_ / "doc/description.html"),
            "<HTML><CENTER><H1>Description</H1></CENTER></HTML>\r\n");
  EXPECT_NE(outcome.errors.find("unit 'description' of " + (dir_ / "s/description.pas").string() +
                                " gets no page: description.html holds the page "
                                "description.html"),
            std::string::npos)
      << outcome.errors;
}

// Makes `depth` folders named `part`, each inside the one before, below the folder `at`; made
// one at a time from the one above, since their whole path is longer than the system takes.
void MakeDeep(int at, const std::string& part, int depth) {
  if (depth == 0) return;
  ASSERT_EQ(mkdirat(at, part.c_str(), 0755), 0);
  int inner = openat(at, part.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(inner, 0);
  MakeDeep(inner, part, depth - 1);
  close(inner);
}

void RemoveDeep(int at, const std::string& part) {
  int inner = openat(at, part.c_str(), O_RDONLY | O_DIRECTORY);
  if (inner < 0) return;
  RemoveDeep(inner, part);
  close(inner);
  unlinkat(at, part.c_str(), AT_REMOVEDIR);
}

TEST_F(CarefulRunTest, PathsTooLongToOpenAreNamed) {
  PutSources(dir_);
  const std::string part(200, 'd');
  int top = open((dir_ / "s").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(top, 0);
  MakeDeep(top, part, 24);  // 24 x 201 bytes: beyond the 4,096 a path may have
  Outcome outcome =
      RunArguments({"--style=frames", "--reader=lines", "--strict", "-o", "doc", "s"});
  RemoveDeep(top, part);
  close(top);
  EXPECT_NE(outcome.errors.find("bytes; skipped"), std::string::npos) << outcome.errors;
  EXPECT_EQ(outcome.status, 3);  // a warning, with --strict
  EXPECT_TRUE(outcome.summary.starts_with("glossator: 2 units,")) << outcome.summary;
}

// The sanitizers reserve terabytes of address space for their shadow memory: a program built
// with them does not start under a limit on its address space at all.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kAddressSpaceIsLimitable = false;
#else
constexpr bool kAddressSpaceIsLimitable = true;
#endif

TEST_F(CarefulRunTest, ThreadsThatCannotStartLeaveTheWorkToTheOthers) {
  if (!kAddressSpaceIsLimitable) GTEST_SKIP() << "a sanitizer build cannot run under ulimit -v";
  for (int i = 0; i < 12; ++i) {
    Put(dir_, "s/u" + std::to_string(i) + ".pas", SmallUnit("U" + std::to_string(i), "TU"));
  }
  Outcome one = RunArguments({"--style=frames", "--reader=lines", "-j", "1", "-o", "one", "s"});
  ASSERT_EQ(one.status, 0) << one.errors;
  // Eight threads' stacks do not fit in this address space: some threads never start.
  Outcome limited = RunArguments(
      {"--style=frames", "--reader=lines", "-j", "8", "-o", "eight", "s"}, "ulimit -v 120000;");
  EXPECT_EQ(limited.status, 0) << limited.errors;
  EXPECT_EQ(Snapshot(dir_ / "eight"), Snapshot(dir_ / "one"));
  // Too little memory for the run: it ends with status 1 and says where.
  Outcome starved =
      RunArguments({"--style=frames", "--reader=lines", "-o", "starved", "s"}, "ulimit -v 45000;");
  if (starved.status != 0) {
    EXPECT_EQ(starved.status, 1) << starved.errors;
    EXPECT_NE(starved.errors.find("Out of memory"), std::string::npos) << starved.errors;
  }
}

TEST_F(CarefulRunTest, LongAncestorChainsShowTheirTop) {
  std::string unit = "unit Chain;\r\ninterface\r\ntype\r\n  TC0 = class\r\n  end;\r\n";
  for (int i = 1; i <= 100; ++i) {
    unit += "  TC" + std::to_string(i) + " = class(TC" + std::to_string(i - 1) + ")\r\n  end;\r\n";
  }
  Put(dir_, "s/chain.pas", unit + "implementation\r\nend.\r\n");
  Outcome outcome = RunArguments({"--style=frames", "--reader=lines", "-o", "doc", "s"});
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  std::string page = ReadAll(dir_ / "doc/TC100.html");
  // 101 ancestors (TObject included): the 64 nearest, and a line for the other 37.
  EXPECT_NE(page.find("(37 more ancestors)"), std::string::npos);
  EXPECT_EQ(std::count(page.begin(), page.end(), '|'), 65);
  EXPECT_NE(page.find("<A HREF=TC36.html>TC36</A>"), std::string::npos);
  EXPECT_EQ(page.find("<A HREF=TC35.html>"), std::string::npos);
  // A chain of 2,000 fits in a few hundred MB of address space (it once took 22 GB).
  std::string long_unit = "unit Long;\r\ninterface\r\ntype\r\n  TL0 = class\r\n  end;\r\n";
  for (int i = 1; i <= 2000; ++i) {
    long_unit +=
        "  TL" + std::to_string(i) + " = class(TL" + std::to_string(i - 1) + ")\r\n  end;\r\n";
  }
  Put(dir_, "long/long.pas", long_unit + "implementation\r\nend.\r\n");
  if (kAddressSpaceIsLimitable) {
    Outcome bounded = RunArguments(
        {"--style=frames", "--reader=lines", "-q", "-o", "long-doc", "long"}, "ulimit -v 300000;");
    EXPECT_EQ(bounded.status, 0) << bounded.errors;
    EXPECT_NE(ReadAll(dir_ / "long-doc/TL2000.html").find("(1937 more ancestors)"),
              std::string::npos);
  }
  // A chain of 64 or fewer is drawn whole, as ever.
  std::string short_page = ReadAll(dir_ / "doc/TC63.html");
  EXPECT_EQ(short_page.find("more ancestors"), std::string::npos);
  EXPECT_NE(short_page.find("<A HREF=TObject.html>TObject</A>"), std::string::npos);
}

TEST(SelfPathTest, OnlyTheRunningProgramIsStartedAgain) {
  std::string self = RunningProgramPath();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(IsRunningProgram(self));
  // A copy of the program is another file, as is one standing where a deleted program was.
  TempFolder folder;
  fs::path copy = folder.Root() / "glossator (deleted)";
  fs::copy_file(self, copy);
  EXPECT_FALSE(IsRunningProgram(copy.string()));
  EXPECT_FALSE(IsRunningProgram((folder.Root() / "missing").string()));
  EXPECT_FALSE(IsRunningProgram(""));
}

}  // namespace
}  // namespace glossator
