// Gathering an editor's save into one rebuild, and which changes matter at all.
#include "app/serve/change_batch.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace glossator {
namespace {

using std::chrono::milliseconds;

TEST(ChangeBatch, DueAfterTheQuietWindowOrTheLongestWait) {
  struct Case {
    const char* label;
    std::vector<int> changes;  // ms after the start
    int due;                   // ms after the start
  };
  const Case cases[] = {
      {"one change", {0}, 8},
      {"a save: temporary file, rename, chmod", {0, 1, 2}, 10},
      {"a pause longer than the window", {0, 9}, 8},
      {"a stream of changes", {0, 5, 10, 15, 20, 25, 30, 35}, 40},
  };
  for (const Case& c : cases) {
    ChangeBatch batch(milliseconds(8), milliseconds(40));
    ChangeBatch::Clock::time_point start{};
    int due = -1;
    for (int t = 0; t <= 100 && due < 0; ++t) {
      auto now = start + milliseconds(t);
      for (int change : c.changes) {
        if (change == t) batch.Add(now, "/src/a.pas");
      }
      if (!batch.Empty() && batch.Wait(now) == ChangeBatch::Clock::duration::zero()) due = t;
    }
    EXPECT_EQ(due, c.due) << c.label;
  }
}

TEST(ChangeBatch, TakesEachPathOnceInTheOrderFirstChanged) {
  ChangeBatch batch(milliseconds(8), milliseconds(40));
  EXPECT_TRUE(batch.Empty());
  EXPECT_EQ(batch.Wait({}), ChangeBatch::Clock::duration::max());
  for (const char* path : {"/b.pas", "/a.pas", "/b.pas", "/c.inc", "/a.pas"}) batch.Add({}, path);
  EXPECT_EQ(batch.Take(), (std::vector<std::string>{"/b.pas", "/a.pas", "/c.inc"}));
  EXPECT_TRUE(batch.Empty());
  batch.Add({}, "/b.pas");
  EXPECT_EQ(batch.Take(), (std::vector<std::string>{"/b.pas"}));
}

TEST(WatchedInputs, FoldersAndTheChangesThatMatter) {
  TempFolder folder;
  std::string root = folder.Root().string();
  folder.Write("src/a.pas", "unit a;");
  folder.Write("src/sub/b.pp", "unit b;");
  folder.Write("src/notes.txt", "");
  folder.Write("inc/shapes.inc", "");
  WatchedInputs inputs;
  inputs.files = {root + "/src/a.pas", root + "/src/sub/b.pp", root + "/inc/shapes.inc",
                  root + "/project.lpk"};
  inputs.trees = {root + "/src", root + "/src/sub"};
  inputs.folders = {root + "/inc"};
  inputs.missing = {"colors"};
  EXPECT_EQ(FoldersToWatch(inputs),
            (std::set<std::string>{root, root + "/inc", root + "/src", root + "/src/sub"}));

  const std::pair<std::string, bool> cases[] = {
      {"/src/a.pas", true},         // an input
      {"/inc/shapes.inc", true},    // an include file
      {"/project.lpk", true},       // a project file
      {"/src/new.PAS", true},       // a new unit in a tree, any case
      {"/src/sub", true},           // a folder of a tree
      {"/src/gone.txt", true},      // something removed from a tree: maybe a folder
      {"/src/notes.txt", false},    // neither unit nor folder
      {"/src/a.pas~", false},       // an editor's backup
      {"/inc/other.inc", false},    // not read by any unit
      {"/inc/Colors.inc", true},    // the name of an include file not found
      {"/elsewhere/x.pas", false},  // outside the trees
  };
  for (const auto& [path, matters] : cases) {
    if (path == "/src/a.pas~") folder.Write("src/a.pas~", "");
    EXPECT_EQ(Matters(inputs, root + path), matters) << path;
  }
}

}  // namespace
}  // namespace glossator
