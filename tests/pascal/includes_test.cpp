// Include files: where they are found, what is read from them, and the limits.
#include <gtest/gtest.h>

#include "pascal/reader_support.h"

namespace glossator {
namespace {

TEST(Includes, AreFoundInTheFoldersInOrderWithoutCaseAndExtension) {
  struct Case {
    const char* directive;
    std::vector<std::pair<std::string, std::string>> files;  // path, constant it declares
    const char* found;                                       // "" when none is
  } cases[] = {
      // The including file's folder first, then the unit's, then the -I folders in order.
      {"{$I a.inc}",
       {{"src/sub/a.inc", "S"}, {"src/a.inc", "U"}, {"inc1/a.inc", "I"}},
       "src/a.inc"},
      {"{$I a.inc}", {{"inc2/a.inc", "J"}, {"inc1/a.inc", "I"}}, "inc1/a.inc"},
      {"{$INCLUDE a.inc}", {{"inc2/a.inc", "J"}}, "inc2/a.inc"},
      // Without case when the exact name is missing, the exact one first.
      {"{$I Lcl_Defines.INC}", {{"src/lcl_defines.inc", "L"}}, "src/lcl_defines.inc"},
      {"{$I a.inc}", {{"src/A.INC", "X"}, {"inc1/a.inc", "I"}}, "src/A.INC"},
      // Without an extension: as written, then .inc, .pp, .pas.
      {"{$I part}", {{"src/part.pp", "P"}, {"src/part.inc", "I"}}, "src/part.inc"},
      {"{$I part}", {{"src/part.pas", "P"}}, "src/part.pas"},
      {"{$I part}", {{"src/part", "W"}, {"src/part.inc", "I"}}, "src/part"},
      // Folders in the name, with either slash; quoted names.
      {"{$I sub\\b.inc}", {{"src/sub/b.inc", "B"}}, "src/sub/b.inc"},
      {"{$I 'with space.inc'}", {{"src/with space.inc", "W"}}, "src/with space.inc"},
      {"{$I missing.inc}", {{"src/other.inc", "O"}}, ""},
  };
  for (const Case& c : cases) {
    MemoryFileSystem files;
    for (const auto& [path, name] : c.files) files.Add(path, "const " + name + " = 1;");
    ReaderOptions options;
    options.include_dirs = {"inc1", "inc2/"};
    ReadResult result = ReadSource(UnitWith(c.directive), options, &files);
    std::vector<std::string> expected;
    if (*c.found != 0) expected.push_back(c.found);
    EXPECT_EQ(result.included, expected) << c.directive;
    if (*c.found != 0) {
      auto items = ItemsOf(result);
      ASSERT_EQ(items.size(), 1u) << c.directive;
      EXPECT_EQ(items[0].file, c.found);
    } else {
      EXPECT_EQ(
          WarningTexts(result),
          std::vector<std::string>{"src/u.pas:3: warning: include file missing.inc not found"});
    }
  }
  // Below the interface a missing include file costs only comments above bodies: no warning.
  {
    MemoryFileSystem files;
    ReadResult result = ReadSource(UnitWith("const A = 1;\n", "{$I body.inc}\n"), {}, &files);
    EXPECT_TRUE(WarningTexts(result).empty());
    EXPECT_EQ(ItemsOf(result).size(), 1u);
  }
}

TEST(Includes, GiveTheirItemsTheirOwnFileLineDefinesAndNesting) {
  MemoryFileSystem files;
  files.Add("src/inc/types.inc",
            "{$DEFINE FROM_INC}\n"
            "type\n"
            "  {** In the include. }\n"
            "  TInc = Integer;\n"
            "{$I more.inc}\n");
  files.Add("src/inc/more.inc", "\n  TMore = (a, b);\n");
  files.Add("src/more.inc", "TWrong = Byte;");
  ReadResult result = ReadSource(UnitWith("{$I inc/types.inc}\n"
                                          "{$IFDEF FROM_INC}\nconst After = 1;\n{$ENDIF}"),
                                 {}, &files);
  auto items = ItemsOf(result);
  ASSERT_EQ(Outline(items),
            (std::vector<std::string>{"alias TInc", "enum TMore", "constant After"}));
  EXPECT_EQ(items[0].file, "src/inc/types.inc");
  EXPECT_EQ(items[0].line, 4);
  EXPECT_EQ(items[0].comment, "In the include.");
  // The nested include is found in the including file's folder before the unit's.
  EXPECT_EQ(items[1].file, "src/inc/more.inc");
  EXPECT_EQ(items[1].line, 2);
  EXPECT_EQ(items[2].file, "src/u.pas");
  EXPECT_EQ(items[2].line, 5);
  EXPECT_EQ(result.included, (std::vector<std::string>{"src/inc/types.inc", "src/inc/more.inc"}));
  EXPECT_TRUE(result.warnings.empty()) << WarningTexts(result)[0];
}

TEST(Includes, StopAtSelfInclusionAndDepthAndSkipCompilerTexts) {
  MemoryFileSystem files;
  files.Add("src/self.inc", "const A = 1;\n{$I self.inc}\n");
  files.Add("src/twice.inc", "{$I self.inc}\n");
  // A chain deeper than the limit: each file includes the next.
  for (int i = 0; i < 40; ++i) {
    files.Add("src/c" + std::to_string(i) + ".inc", "{$I c" + std::to_string(i + 1) + ".inc}");
  }
  ReadResult result = ReadSource(UnitWith("{$I self.inc}\n{$I twice.inc}\n{$I c0.inc}\n"
                                          "const Built = {$I %DATE%};"),
                                 {}, &files);
  auto items = ItemsOf(result);
  ASSERT_EQ(Outline(items),
            (std::vector<std::string>{"constant A", "constant A", "constant Built"}));
  EXPECT_EQ(items[2].value, "%DATE%");
  std::vector<std::string> texts = WarningTexts(result);
  ASSERT_EQ(texts.size(), 3u);
  // Warned once for the file, though it includes itself twice.
  EXPECT_EQ(texts[0],
            "src/self.inc:2: warning: include file src/self.inc includes itself; skipped");
  EXPECT_NE(texts[1].find("not read: too many nested or included files"), std::string::npos);
  EXPECT_EQ(texts[2], "src/u.pas:6: warning: {$I %DATE%} inserts a compiler text; read as %DATE%");
  // Each file is read once per inclusion; the chain stops at the depth limit.
  EXPECT_EQ(files.Reads("src/self.inc"), 2);
  EXPECT_EQ(files.Reads("src/c40.inc"), 0);
}

}  // namespace
}  // namespace glossator
