#include "html/generation_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "base/errors.h"
#include "base/file_system.h"
#include "html/html_fixture.h"
#include "html/pictures.h"
#include "html/selection.h"
#include "parser/cGlossator.h"
#include "support/fake_platform.h"
#include "support/files.h"
#include "support/recording_file_system.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

namespace fs = std::filesystem;

std::string UnitSource(const std::string& name, const std::string& cls) {
  return CrLf({"{** Unit " + name + ". }", "unit " + name + ";", "interface", "type",
               cls + " = class", "public", "procedure Run;", "end;",
               "function " + name + "Value: Integer;", "const", "K" + name + " = 1;",
               "implementation", "end."});
}

// A run with only the settings these tests vary.
RunOutcome RunOnce(const Selection& selection, Platform& platform, bool interactive,
                   FileSystem& files = SystemFileSystem()) {
  RunSettings settings;
  settings.interactive = interactive;
  return RunGeneration(selection, platform, settings, files).outcome;
}

class GenerationRunTest : public testing::Test {
 protected:
  void SetUp() override {
    out_dir_ = folder_.Dir() + "out";
    fs::create_directories(out_dir_);
    selection_.out_dir = out_dir_;
  }
  std::string AddUnit(const std::string& name, const std::string& cls) {
    std::string path = folder_.Write("src/" + name + ".pas", UnitSource(name, cls));
    selection_.files.push_back(path);
    return path;
  }
  std::string Out(const std::string& name) const { return out_dir_ + "/" + name; }
  bool Written(const std::string& name) const { return fs::exists(Out(name)); }
  std::string ReadOut(const std::string& name) const { return folder_.Read("out/" + name); }

  TempFolder folder_;
  std::string out_dir_;
  Selection selection_;
  FakePlatform platform_;
};

TEST_F(GenerationRunTest, CompleteRunWritesTheWholeSetInOrder) {
  AddUnit("Alpha", "TAlpha");
  AddUnit("Beta", "TBeta");
  ASSERT_EQ(RunOnce(selection_, platform_, /*interactive=*/false), RunOutcome::kCompleted);
  EXPECT_EQ(OutputFolder(selection_), out_dir_ + "/");
  for (const char* page :
       {"description.html", "index-unit.html", "index-class.html", "index-function.html",
        "index-constant.html", "Alpha.html", "TAlpha.html", "Beta.html", "TBeta.html",
        "menuebar.html", "index.html", "legend.html"}) {
    EXPECT_TRUE(Written(page)) << page;
  }
  for (const Picture& picture : Pictures()) {
    EXPECT_EQ(ReadOut(std::string(picture.file_name)), picture.bytes) << picture.file_name;
  }
  EXPECT_EQ(ReadOut("description.html"),
            CrLf({"<HTML><CENTER><H1>Description</H1></CENTER></HTML>"}));
  EXPECT_NE(ReadOut("index.html").find("<FRAME SRC=description.html NAME=main>"),
            std::string::npos);
  // Bar: the parse takes 4 per file + 2, generation 4 + one per unit, and the maximum is
  // exactly that many steps, so the bar is full when the last step is taken.
  int steps = 0;
  for (const auto& call : platform_.progress) steps += call.step ? 1 : 0;
  EXPECT_EQ(steps, 4 * 2 + 2 + 4 + 2);
  EXPECT_EQ(platform_.shown_maximum, steps);
  EXPECT_EQ(platform_.finish_count, 1);
  std::vector<std::string> generation;
  for (const auto& call : platform_.progress) {
    if (call.step && (call.header.empty() || call.header.rfind("Generating", 0) == 0)) {
      generation.push_back(call.header + "|" + call.detail);
    }
  }
  EXPECT_EQ(generation,
            (std::vector<std::string>{"Generating HTML|unit index", "|class index",
                                      "|function index", "|constant index",
                                      "Generating class file|#1", "Generating class file|#2"}));
  EXPECT_EQ(platform_.busy, (std::vector<bool>{true, false}));
}

// The site of a run with threads (its names sorted beside the tables, its pages rendered ahead)
// has the same files and bytes as the site of a run on one thread.
TEST_F(GenerationRunTest, SiteIsTheSameOnOneThreadAndOnThree) {
  for (int u = 0; u < 12; ++u) {
    std::string name = "U" + std::to_string(u);
    std::string base = u == 0 ? "TObject" : "TC" + std::to_string(u - 1);
    std::string path = folder_.Write(
        "src/" + name + ".pas",
        "unit " + name + ";\ninterface\n" +
            (u == 0 ? "" : "uses U" + std::to_string(u - 1) + ";\n") + "type\n  TC" +
            std::to_string(u) + " = class(" + base + ")\n  public\n" +
            "    procedure Run; virtual;\n    procedure Step" + std::to_string(u) + "(A: " + base +
            ");\n    property Count: Integer;\n  end;\n" + "  TE" + std::to_string(u) + " = (e" +
            std::to_string(u) + "a, e" + std::to_string(u) + "b);\nfunction Make" + name + ": TC" +
            std::to_string(u) + ";\nimplementation\nend.\n");
    selection_.files.push_back(path);
  }
  selection_.style = OutputStyle::kSite;
  selection_.reader = ReaderKind::kPascal;
  selection_.title = "Lib";  // not the folder's name, which differs
  std::map<std::string, std::string> sites[2];
  for (int run = 0; run < 2; ++run) {
    selection_.jobs = run == 0 ? 1 : 3;
    selection_.out_dir = out_dir_ + std::to_string(run);
    fs::create_directories(selection_.out_dir);
    ASSERT_EQ(RunOnce(selection_, platform_, false), RunOutcome::kCompleted);
    for (const auto& file : fs::directory_iterator(selection_.out_dir)) {
      sites[run][file.path().filename()] = ReadAll(file.path());
    }
  }
  EXPECT_GT(sites[0].size(), 40u);
  ASSERT_EQ(sites[0].size(), sites[1].size());
  for (const auto& [name, bytes] : sites[0]) EXPECT_TRUE(sites[1][name] == bytes) << name;
  EXPECT_NE(sites[0]["U11.TC11.html"].find("U10.TC10.html#Step10"), std::string::npos)
      << "inherited members link to their class";
}

struct CheckCase {
  const char* label;
  std::function<void(Selection&, TempFolder&)> setup;
  std::string message;
};

TEST_F(GenerationRunTest, InputChecksStopBeforeAnythingIsWritten) {
  const CheckCase cases[] = {
      {"no files", [](Selection& s, TempFolder&) { s.files.clear(); }, "No source files selected"},
      {"no output folder", [](Selection& s, TempFolder&) { s.out_dir.clear(); },
       "No output directory selected"},
      {"missing output folder",
       [](Selection& s, TempFolder& f) { s.out_dir = f.Dir() + "nowhere"; },
       "No valid output directory selected"},
      {"missing description",
       [](Selection& s, TempFolder& f) { s.desc_file = f.Dir() + "none.html"; },
       "No valid description file selected"},
      {"description named index.html",
       [](Selection& s, TempFolder& f) { s.desc_file = f.Write("d/Index.HTML", "x"); },
       "Description file may not be named INDEX.HTML"},
  };
  AddUnit("Alpha", "TAlpha");
  for (const CheckCase& c : cases) {
    for (bool interactive : {true, false}) {
      Selection selection = selection_;
      c.setup(selection, folder_);
      FakePlatform platform;
      RunOutcome outcome = RunOnce(selection, platform, interactive);
      // A batch run has no fields to look at: its message also names the path refused.
      std::string message = c.message;
      if (!interactive && (message.starts_with("No valid") || message.starts_with("Description"))) {
        message += ": " + (message.find("output") != std::string::npos ? selection.out_dir
                                                                       : selection.desc_file);
      }
      EXPECT_EQ(platform.information, (std::vector<std::string>{message})) << c.label;
      bool batch_goes_on = !interactive && std::string(c.label) == "no files";
      EXPECT_EQ(outcome, batch_goes_on ? RunOutcome::kCompleted : RunOutcome::kRejected) << c.label;
      EXPECT_EQ(Written("index.html"), batch_goes_on) << c.label;
      EXPECT_EQ(Written("description.html"), batch_goes_on) << c.label;
      fs::remove_all(out_dir_);
      fs::create_directories(out_dir_);
    }
  }
}

TEST_F(GenerationRunTest, EmptyBatchRunWritesTheEmptySet) {
  ASSERT_EQ(RunOnce(selection_, platform_, false), RunOutcome::kCompleted);
  EXPECT_EQ(ReadOut("index-unit.html"),
            CrLf({"<HTML>", "<H2>Unit Index</H2>", "<dl>", "</dl></HTML>"}));
  EXPECT_TRUE(Written("legend.html"));
  EXPECT_EQ(platform_.shown_maximum, 6);
}

TEST_F(GenerationRunTest, DescriptionAndMenuBarCopies) {
  AddUnit("Alpha", "TAlpha");
  selection_.desc_file = folder_.Write("docs/Intro.HTML", "<p>intro</p>");
  selection_.menubar_file = folder_.Write("docs/bar.html", "<p>bar</p>");
  ASSERT_EQ(RunOnce(selection_, platform_, false), RunOutcome::kCompleted);
  EXPECT_EQ(ReadOut("Intro.HTML"), "<p>intro</p>");
  EXPECT_EQ(ReadOut("menuebar.html"), "<p>bar</p>");
  EXPECT_FALSE(Written("description.html"));
  EXPECT_NE(ReadOut("index.html").find("<FRAME SRC=Intro.HTML NAME=main>"), std::string::npos);

  // A description that already lies in the output folder is not copied; a menu bar there under
  // another name is copied to "menuebar.html", the name the frameset loads.
  TempFolder other("_inside");
  Selection inside = selection_;
  inside.out_dir = other.Dir();
  inside.desc_file = other.Write("INDEX.htm", "<p>accepted</p>");
  inside.menubar_file = other.Write("mybar.html", "<p>mine</p>");
  ASSERT_EQ(RunOnce(inside, platform_, false), RunOutcome::kCompleted);
  EXPECT_EQ(other.Read("menuebar.html"), "<p>mine</p>");
  EXPECT_EQ(other.Read("mybar.html"), "<p>mine</p>");
  EXPECT_EQ(other.Read("INDEX.htm"), "<p>accepted</p>");
  EXPECT_NE(other.Read("index.html").find("<FRAME SRC=INDEX.htm NAME=main>"), std::string::npos);

  // The same file under another spelling of its path is not copied onto itself.
  Selection spelled = inside;
  spelled.menubar_file = other.Write("menuebar.html", "<p>self</p>");
  spelled.menubar_file = other.Dir() + "./menuebar.html";
  spelled.desc_file = other.Dir() + "./INDEX.htm";
  ASSERT_EQ(RunOnce(spelled, platform_, false), RunOutcome::kCompleted);
  EXPECT_EQ(other.Read("menuebar.html"), "<p>self</p>");
  EXPECT_EQ(other.Read("INDEX.htm"), "<p>accepted</p>");
}

TEST_F(GenerationRunTest, ParseErrorWritesNothing) {
  std::string bad = AddUnit("Bad", "TBad");
  folder_.Write("src/Bad.pas", CrLf({"unit Bad;", "{** never closed", "procedure P;"}));
  folder_.Write("out/description.html", "old");
  EXPECT_THROW(RunOnce(selection_, platform_, false), ListIndexError);
  // The run writes only once it has read every unit.
  EXPECT_EQ(ReadOut("description.html"), "old");
  EXPECT_FALSE(Written("index-unit.html"));
  EXPECT_EQ(platform_.close_count, 1);                          // progress closed
  EXPECT_EQ(platform_.busy, (std::vector<bool>{true, false}));  // cursor restored
}

TEST_F(GenerationRunTest, CancelAtEachKindOfProgressCall) {
  AddUnit("Alpha", "TAlpha");
  AddUnit("Beta", "TBeta");
  AddUnit("Gamma", "TGamma");
  FakePlatform counting;
  ASSERT_EQ(RunOnce(selection_, counting, false), RunOutcome::kCompleted);
  std::vector<FakePlatform::Call> calls = counting.progress;
  for (size_t n = 1; n <= calls.size(); ++n) {
    fs::remove_all(out_dir_);
    fs::create_directories(out_dir_);
    Selection selection = selection_;
    FakePlatform platform;
    platform.cancel_at = static_cast<int>(n);
    ASSERT_EQ(RunOnce(selection, platform, true), RunOutcome::kCancelled) << n;
    EXPECT_EQ(platform.information, (std::vector<std::string>{"Operation cancled"})) << n;
    // Nothing is asked after the cancel, except that a pass that noticed it (a call without a
    // step) returns to the parse run, whose next call answers "stop" as well.
    EXPECT_EQ(platform.progress.size(), calls[n - 1].step ? n : n + 1) << n;
    EXPECT_FALSE(Written("index.html")) << n;
    EXPECT_FALSE(Written("menuebar.html")) << n;
    EXPECT_FALSE(Written("legend.html")) << n;
    EXPECT_FALSE(Written("public.gif")) << n;
    EXPECT_EQ(platform.busy.back(), false) << n;
    const FakePlatform::Call& last = calls[n - 1];
    if (last.header == "Generating class file" && last.detail == "#3") {
      // Units 1 and 2 with their classes, and nothing of unit 3.
      for (const char* page : {"Alpha.html", "TAlpha.html", "Beta.html", "TBeta.html"}) {
        EXPECT_TRUE(Written(page)) << page;
      }
      EXPECT_FALSE(Written("Gamma.html"));
      EXPECT_FALSE(Written("TGamma.html"));
    }
    if (last.detail == "class index") {
      EXPECT_TRUE(Written("index-unit.html"));
      EXPECT_FALSE(Written("index-class.html"));
    }
  }
}

TEST_F(GenerationRunTest, ClassPageErrorsAreGuardedOnePageAtATime) {
  AddUnit("Alpha", "TAlpha");
  folder_.Write("src/Slash.pas", CrLf({"unit Slash;", "interface", "type", "A/B = class", "end;",
                                       "TAfter = class", "end;", "implementation"}));
  selection_.files.push_back(folder_.Path("src/Slash.pas"));
  fs::create_directories(Out("TAlpha.html"));  // a directory in the way of a class page
  ASSERT_EQ(RunOnce(selection_, platform_, false), RunOutcome::kCompleted);
  ASSERT_EQ(platform_.warnings.size(), 2u);
  EXPECT_EQ(FormatWarning(platform_.warnings[0]),
            folder_.Path("src/Alpha.pas") + ": warning: page of class TAlpha not written: " +
                "Cannot create file " + Out("TAlpha.html") + ": Is a directory");
  EXPECT_EQ(
      FormatWarning(platform_.warnings[1]),
      folder_.Path("src/Slash.pas") + ": warning: page of class A/B not written: the name holds /");
  EXPECT_EQ(platform_.warnings[1].box,
            "Error while generating html-files\n\nA/B: the name holds /");
  EXPECT_TRUE(Written("TAfter.html"));
  EXPECT_FALSE(fs::exists(folder_.Dir() + "out/A"));
  EXPECT_TRUE(Written("legend.html"));
}

TEST_F(GenerationRunTest, UnitPageThatCannotBeWrittenEndsTheRun) {
  folder_.Write("src/odd.pas", CrLf({"unit ../Escape;", "interface", "implementation"}));
  selection_.files.push_back(folder_.Path("src/odd.pas"));
  try {
    RunOnce(selection_, platform_, false);
    FAIL();
  } catch (const FileCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + out_dir_ + "/../Escape.html");
  }
  EXPECT_FALSE(fs::exists(folder_.Dir() + "Escape.html"));
  EXPECT_TRUE(Written("index-unit.html"));  // written before stays
  EXPECT_FALSE(Written("index.html"));
  EXPECT_EQ(platform_.close_count, 1);
}

TEST_F(GenerationRunTest, LegendFollowsIncludePrivate) {
  AddUnit("Alpha", "TAlpha");
  selection_.parse_private = true;
  ASSERT_EQ(RunOnce(selection_, platform_, false), RunOutcome::kCompleted);
  EXPECT_NE(ReadOut("legend.html").find("private.gif"), std::string::npos);
}

// The whole set of the golden units as the run writes it: every file once, in the order of the
// run's steps (indexes, each unit page followed by its classes' pages sorted by name, menu bar,
// frameset, pictures, the description copy, legend), each with the bytes of the golden pages.
TEST_F(GenerationRunTest, WritesTheGoldenSetInItsOrderWithItsBytes) {
  const std::string golden = GLOSSATOR_TEST_DATA "/golden/";
  selection_.files = {golden + "src/collections.pas", golden + "src/streams.pas"};
  selection_.desc_file = golden + "src/intro.html";
  selection_.parse_private = true;
  RecordingFileSystem files;

  ASSERT_EQ(RunOnce(selection_, platform_, /*interactive=*/false, files), RunOutcome::kCompleted);

  std::vector<std::string> expected = {
      "index-unit.html",  "index-class.html", "index-function.html", "index-constant.html",
      "Collections.html", "TContainer.html",  "TItemList.html",      "Streams.html",
      "TFileReader.html", "TItemReader.html", "menuebar.html",       "index.html"};
  for (const Picture& picture : Pictures()) expected.emplace_back(picture.file_name);
  expected.insert(expected.end(), {"intro.html", "legend.html"});
  std::vector<std::string> written;
  for (const auto& [path, bytes] : files.Writes()) {
    ASSERT_EQ(path.rfind(out_dir_ + "/", 0), 0u) << path << " lies outside the output folder";
    std::string name = path.substr(out_dir_.size() + 1);
    written.push_back(name);
    if (name.ends_with(".html")) {
      EXPECT_TRUE(bytes == ReadAll(golden + "expected/" + name))
          << name << " differs from the golden page";
    }
  }
  EXPECT_EQ(written, expected);
  EXPECT_EQ(files.Cleaned(), std::vector<std::string>{out_dir_ + "/"});
  EXPECT_TRUE(fs::is_empty(out_dir_)) << "a write went past the file system";
}

// A second run over the same input finds every file holding its bytes already and leaves each
// as it is: same inode, same modification time.
TEST_F(GenerationRunTest, SecondRunLeavesUnchangedFilesAlone) {
  AddUnit("Alpha", "TAlpha");
  AddUnit("Beta", "TBeta");
  auto stamps = [this] {
    std::map<std::string, std::pair<ino_t, long long>> result;
    for (const auto& entry : fs::directory_iterator(out_dir_)) {
      struct stat st;
      stat(entry.path().c_str(), &st);
      result[entry.path().filename().string()] = {
          st.st_ino, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
    }
    return result;
  };
  ASSERT_EQ(RunOnce(selection_, platform_, false), RunOutcome::kCompleted);
  auto first = stamps();
  ASSERT_EQ(first.size(), 12u + Pictures().size());

  ASSERT_EQ(RunOnce(selection_, platform_, false), RunOutcome::kCompleted);

  EXPECT_EQ(stamps(), first);
}

}  // namespace
}  // namespace glossator
