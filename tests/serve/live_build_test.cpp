// The live preview's builds against whole runs: after each edit of a small library (a comment,
// an include file, a rename, a removed class, a new and a removed unit, an include file that
// appears), the folder holds byte for byte what `glossator -o DIR` writes, for both styles and
// both readers; and a comment edit writes only the page that shows the comment.
#include "app/serve/live_build.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/serve/serve_platform.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

namespace fs = std::filesystem;

const char kGeometry[] =
    "{** Points and canvases. }\n"
    "unit Geometry;\n"
    "interface\n"
    "type\n"
    "  {** A point of the plane. }\n"
    "  TPoint = record\n"
    "    X, Y: Double;\n"
    "  end;\n"
    "  {** Where shapes are drawn. }\n"
    "  TCanvas = class(TObject)\n"
    "  public\n"
    "    {** Draws a line. }\n"
    "    procedure Line(const A, B: TPoint);\n"
    "  end;\n"
    "implementation\n"
    "end.\n";

const char kShapes[] =
    "{** Plane shapes. @see Geometry }\n"
    "unit Shapes;\n"
    "interface\n"
    "uses Geometry;\n"
    "type\n"
    "  {** The base of every shape. }\n"
    "  TShape = class(TObject)\n"
    "  public\n"
    "    {** Horizontal position. }\n"
    "    X: Double;\n"
    "    {$I shapes.inc}\n"
    "  end;\n"
    "  {** A round shape. }\n"
    "  TCircle = class(TShape)\n"
    "  public\n"
    "    {** The radius. }\n"
    "    Radius: Double;\n"
    "  end;\n"
    "implementation\n"
    "end.\n";

const char kShapesInc[] =
    "    {** Paints the shape on @link(TCanvas). }\n"
    "    procedure Paint(Canvas: TCanvas); virtual;\n";

const char kDrawing[] =
    "{** Drawings of many shapes. }\n"
    "unit Drawing;\n"
    "interface\n"
    "uses Shapes, Geometry;\n"
    "type\n"
    "  {** A drawing. @see TCircle }\n"
    "  TDrawing = class(TShape)\n"
    "  public\n"
    "    {** Adds a circle. }\n"
    "    function AddCircle(const At: TPoint): TCircle;\n"
    "  end;\n"
    "implementation\n"
    "end.\n";

// Every file below a folder, by its path relative to it.
std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = ReadAll(entry.path());
    }
  }
  return files;
}

class LiveBuildTest : public testing::TestWithParam<std::vector<std::string>> {
 protected:
  void SetUp() override {
    folder_.Write("src/geometry.pas", kGeometry);
    folder_.Write("src/shapes.pas", kShapes);
    folder_.Write("src/shapes.inc", kShapesInc);
    folder_.Write("src/drawing.pas", kDrawing);
  }

  // The command line of both: the test's options, the output folder, the source folder.
  CommandLineParameters Command(const std::string& out_dir, bool serve) {
    std::vector<std::string> args;
    if (serve) args.push_back("serve");
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    args.insert(args.end(), {"-o", out_dir, folder_.Path("src")});
    CommandLineParameters parameters = ParseCommandLine(args);
    EXPECT_EQ(parameters.error, "");
    return parameters;
  }

  // The folder of a whole run of the same command line, made anew.
  std::map<std::string, std::string> WholeRun() {
    std::string out_dir = folder_.Path("whole/docs");
    fs::remove_all(folder_.Path("whole"));
    CommandLineParameters parameters = Command(out_dir, false);
    BatchPlan plan = PlanBatchRun(parameters);
    RunSettings settings;
    settings.create_out_dir = true;
    settings.skippable_files = plan.skippable_files;
    settings.source_root = SourceRoot(parameters, plan.selection);
    FakePlatform platform;
    EXPECT_EQ(RunGeneration(plan.selection, platform, settings).outcome, RunOutcome::kCompleted);
    return FilesIn(out_dir);
  }

  // Writes the file and rebuilds with it as changed.
  BuildReport Edit(LiveBuild& build, const std::string& name, const std::string& text) {
    folder_.Write(name, text);
    return build.Rebuild({NormalPath(folder_.Path(name))}, platform_);
  }

  void ExpectWholeRun(const std::string& after) {
    std::map<std::string, std::string> live = FilesIn(folder_.Path("live/docs"));
    std::map<std::string, std::string> whole = WholeRun();
    std::vector<std::string> differ;
    for (const auto& [name, bytes] : whole) {
      if (live.count(name) == 0 || live[name] != bytes) differ.push_back(name);
    }
    for (const auto& [name, bytes] : live) {
      if (whole.count(name) == 0) differ.push_back(name + " (not written by a run)");
    }
    EXPECT_EQ(differ, std::vector<std::string>()) << "after " << after;
  }

  TempFolder folder_;
  ServePlatform platform_{nullptr};
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST_P(LiveBuildTest, EveryEditLeavesWhatAWholeRunWrites) {
  LiveBuild build(Command(folder_.Path("live/docs"), true));
  BuildReport first = build.BuildAll(platform_);
  EXPECT_FALSE(first.failed);
  ExpectWholeRun("the first build");
  const bool site = build.GetSelection().style == OutputStyle::kSite;
  const bool pascal = build.GetSelection().reader == ReaderKind::kPascal;

  BuildReport comment = Edit(build, "src/shapes.pas",
                             Replace(kShapes, "Horizontal position.", "Where it stands across."));
  ExpectWholeRun("a comment edit");
  if (site) {
    EXPECT_EQ(comment.change.written, std::vector<std::string>{"Shapes.TShape.html"});
  }
  BuildReport same = Edit(build, "src/shapes.pas",
                          Replace(kShapes, "Horizontal position.", "Where it stands across."));
  EXPECT_EQ(same.change.written, std::vector<std::string>()) << "a save without a change";

  if (pascal) {
    Edit(build, "src/shapes.inc", std::string(kShapesInc) + "    procedure Hide;\n");
    ExpectWholeRun("a method added in an include file");
  }
  std::string drawing = Replace(kDrawing, "TDrawing = class(TShape)", "TPicture = class(TCircle)");
  Edit(build, "src/drawing.pas", drawing);
  ExpectWholeRun("a class renamed and given another ancestor");

  std::string shapes = Replace(kShapes, "  {** A round shape. }\n  TCircle = class(TShape)\n",
                               "  {** A round shape. }\n  TRound = class(TShape)\n");
  Edit(build, "src/shapes.pas", shapes);
  ExpectWholeRun("the ancestor of a class of another unit renamed");

  Edit(build, "src/extra.pas",
       "unit Extra;\ninterface\ntype\n  {** More. }\n  TExtra = class(TRound)\n  end;\n"
       "implementation\nend.\n");
  ExpectWholeRun("a unit added");
  fs::remove(folder_.Path("src/geometry.pas"));
  build.Rebuild({NormalPath(folder_.Path("src/geometry.pas"))}, platform_);
  ExpectWholeRun("a unit removed");
  folder_.Write("src/geometry.pas", kGeometry);
  build.Rebuild({NormalPath(folder_.Path("src/geometry.pas"))}, platform_);
  ExpectWholeRun("the unit back");

  if (pascal) {
    // An include file that is not there yet, then is.
    Edit(build, "src/geometry.pas",
         Replace(kGeometry, "  TCanvas = class", "  {$I colors.inc}\n  TCanvas = class"));
    ExpectWholeRun("a missing include file");
    BuildReport found = Edit(build, "src/colors.inc", "  {** A color. }\n  TColor = Integer;\n");
    EXPECT_NE(std::find(found.read.begin(), found.read.end(), folder_.Path("src/geometry.pas")),
              found.read.end());
    ExpectWholeRun("the include file written");
  }

  // A unit that cannot be read keeps the last pages, and says why.
  fs::remove(folder_.Path("src/drawing.pas"));
  fs::create_directory(folder_.Path("src/drawing.pas"));
  auto before = FilesIn(folder_.Path("live/docs"));
  BuildReport broken = build.Rebuild({NormalPath(folder_.Path("src/drawing.pas"))}, platform_);
  EXPECT_TRUE(broken.failed);
  ASSERT_FALSE(broken.problems.empty());
  if (site) {
    EXPECT_EQ(FilesIn(folder_.Path("live/docs")), before);
  }
  fs::remove(folder_.Path("src/drawing.pas"));
  Edit(build, "src/drawing.pas", drawing);
  ExpectWholeRun("the unit readable again");
}

INSTANTIATE_TEST_SUITE_P(
    StylesAndReaders, LiveBuildTest,
    testing::Values(std::vector<std::string>{"--style=site", "--reader=pascal"},
                    std::vector<std::string>{"--style=site", "--reader=lines", "--private"},
                    std::vector<std::string>{"--style=frames", "--reader=pascal"},
                    std::vector<std::string>{"--style=site", "--reader=pascal",
                                             "--source-url=https://x.org/{path}#L{line}"}));

}  // namespace
}  // namespace glossator
