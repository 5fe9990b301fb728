// One real source, read in depth: the constructs that a reader working on lines gets wrong in
// real libraries (tests/data/pascal/regressions.pas). And sources no reader can make sense of,
// which must still give a unit, warnings and the declarations that can be read.
#include <gtest/gtest.h>

#include <string>

#include "pascal/reader_support.h"
#include "support/files.h"

namespace glossator {
namespace {

TEST(Regressions, ReadTheRealLibraryFaultsRight) {
  const std::string path = std::string(GLOSSATOR_TEST_DATA) + "/pascal/regressions.pas";
  const std::string text = ReadAll(path);
  ASSERT_FALSE(text.empty());
  ReadResult result = ReadPascalUnit(path, text, {}, SystemFileSystem());
  ASSERT_TRUE(result.unit) << result.not_a_unit;
  const DocUnit& unit = *result.unit;
  EXPECT_EQ(unit.name, "Regressions");  // not the name in the comment above
  EXPECT_EQ(unit.line, 8);
  EXPECT_EQ(unit.comment, "Regression unit.");
  EXPECT_EQ(unit.uses, (std::vector<std::string>{"Classes", "SysUtils", "BaseUnix"}));
  EXPECT_TRUE(result.warnings.empty()) << WarningTexts(result)[0];

  ASSERT_EQ(
      Outline(unit.items),
      (std::vector<std::string>{"procedure-type TProc", "class EReadError", "class TBuffer",
                                "class TPlatformThing", "record TKeeper", "routine FreeBuffer"}));
  const DocItem& proc = unit.items[0];
  EXPECT_EQ(proc.declaration, "TProc = procedure(AKey: Word);");
  EXPECT_EQ(proc.comment, "A procedural type, not a routine.");
  EXPECT_EQ(unit.items[1].declaration, "EReadError = class(Exception);");
  EXPECT_EQ(unit.items[1].ancestors, std::vector<std::string>{"Exception"});
  EXPECT_FALSE(unit.items[1].forward);

  const DocItem& buffer = unit.items[2];
  EXPECT_EQ(buffer.comment, "A class with an \"end;\" in a comment.");
  EXPECT_EQ(buffer.line, 28);
  ASSERT_EQ(Outline(buffer.members),
            (std::vector<std::string>{"field FSize", "field FData", "field FOnChange",
                                      "constructor Create", "method Clear", "property Size",
                                      "property OnChange"}));
  const auto& m = buffer.members;
  EXPECT_EQ(m[0].visibility, "private");
  EXPECT_EQ(m[1].declaration, "FData: record Used, Free: Integer; end;");
  EXPECT_EQ(m[3].visibility, "public");
  EXPECT_EQ(m[3].declaration, "constructor Create(ASize: Integer; AOwner: TComponent);");
  EXPECT_EQ(m[3].comment, "Creates a buffer.");
  EXPECT_EQ(m[4].declaration, "procedure Clear(Unused: Integer);");
  EXPECT_EQ(m[4].long_comment, "Clears it.\r\n  @param Unused nothing");
  EXPECT_EQ(m[5].declaration, "property Size: Integer read FSize write FSize;");
  EXPECT_EQ(m[5].line, 46);
  EXPECT_EQ(m[5].comment, "A property over three lines.");

  // Only the branch of {$IFDEF FPC}.
  const DocItem& thing = unit.items[3];
  EXPECT_EQ(thing.comment, "The reader's branch.");
  EXPECT_EQ(Outline(thing.members), std::vector<std::string>{"method ForFpc"});

  const DocItem& keeper = unit.items[4];
  EXPECT_EQ(keeper.comment, "Documented the XML way.\r\n@param AValue what to keep");
  EXPECT_TRUE(keeper.members[1].class_member);
  EXPECT_EQ(unit.items[5].comment, "Frees the buffer.");
  for (const DocItem& item : unit.items) EXPECT_EQ(item.file, path) << item.name;
}

TEST(Regressions, PlainCommentsCountOnlyWhenAsked) {
  const std::string path = std::string(GLOSSATOR_TEST_DATA) + "/pascal/regressions.pas";
  ReaderOptions any;
  any.comments = CommentMode::kAny;
  ReadResult result = ReadPascalUnit(path, ReadAll(path), any, SystemFileSystem());
  ASSERT_TRUE(result.unit);
  const DocItem& buffer = result.unit->items[2];
  EXPECT_EQ(buffer.members[0].comment,
            "This comment holds a line that reads\r\n      end;\r\n      as if the class ended "
            "here.");
  EXPECT_EQ(buffer.members[2].comment, "");  // a "//" comment behind the field is no back comment
}

TEST(Robustness, SkipsWhatItCannotReadAndDocumentsTheRest) {
  ReadResult result = ReadSource(
      "unit Broken;\n"
      "interface\n"
      "type\n"
      "  TGood1 = Integer;\n"
      "  TBad = set of ;\n"                            // 5: no base type
      "  TRec = record A: Integer; ) B: Byte; end;\n"  // 6: a stray ")" in a record
      "  TGood2 = (a, b);\n"
      "const\n"
      "  C1 = ;\n"  // 9: no value
      "  C2 = 2;\n"
      "procedure Good3;\n"
      "var V: ;\n"  // 12: no type
      "function Good4: Integer;\n"
      "implementation\n"
      "end.\n");
  ASSERT_TRUE(result.unit);
  EXPECT_EQ(Outline(result.unit->items),
            (std::vector<std::string>{"alias TGood1", "record TRec", "enum TGood2", "constant C2",
                                      "routine Good3", "routine Good4"}));
  EXPECT_EQ(Outline(result.unit->items[1].members), std::vector<std::string>{"field A"});
  std::vector<int> lines;
  for (const Warning& warning : result.warnings) {
    EXPECT_EQ(warning.kind, "pascal-syntax");
    EXPECT_EQ(warning.file, "src/u.pas");
    lines.push_back(warning.line);
  }
  EXPECT_EQ(lines, (std::vector<int>{5, 6, 9, 12}));
}

TEST(Robustness, TellsWhyAFileIsNoUnit) {
  struct Case {
    const char* source;
    const char* why;
  } cases[] = {
      {"program P; begin end.", "the file is a program, not a unit"},
      {"{ unit X; } library L; exports F; end.", "the file is a library, not a unit"},
      {"package Pkg; requires rtl; end.", "the file is a package, not a unit"},
      {"procedure Stray; begin end;", "the file has no unit heading"},
      {"", "the file has no unit heading"},
      {"unit ;", "the file has no unit heading"},
  };
  for (const Case& c : cases) {
    ReadResult result = ReadSource(c.source);
    EXPECT_FALSE(result.unit.has_value()) << c.source;
    EXPECT_EQ(result.not_a_unit, c.why) << c.source;
  }
}

TEST(Robustness, SurvivesHostileShapes) {
  // Each is read to its end without a crash and gives a unit; nesting deeper than the parser
  // follows gets a warning.
  auto repeated = [](const char* part, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) s += part;
    return s;
  };
  const std::string deep_records =
      "unit U; interface type T = " + repeated("record a: ", 5000) + "Integer; implementation end.";
  const std::string deep_classes =
      "unit U; interface type " + repeated("T = class type ", 5000) + "implementation end.";
  const std::string deep_variants = "unit U; interface type T = record case Boolean of " +
                                    repeated("True: (case Boolean of ", 5000) +
                                    "implementation end.";
  const std::string open_parens =
      "unit U; interface const X = " + std::string(100000, '(') + "; implementation end.";
  const std::string many_ends =
      "unit U; interface " + repeated("end; ", 20000) + "implementation end.";
  const std::string unclosed = "unit U; interface type T = class { never closed";
  const std::string nested_begin =
      "unit U; interface implementation procedure P; " + repeated("begin ", 50000) + "end.";
  for (const std::string& source : {deep_records, deep_classes, deep_variants, open_parens,
                                    many_ends, unclosed, nested_begin}) {
    ReadResult result = ReadSource(source);
    EXPECT_TRUE(result.unit.has_value()) << source.substr(0, 60);
  }
  for (const std::string& source : {deep_classes, deep_variants}) {
    ReadResult deep = ReadSource(source);
    ASSERT_FALSE(deep.warnings.empty());
    EXPECT_NE(deep.warnings[0].text.find("nested too deeply"), std::string::npos);
  }
}

}  // namespace
}  // namespace glossator
