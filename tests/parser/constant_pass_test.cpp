#include <gtest/gtest.h>

#include "parser/pascal_source.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {
namespace {

struct ConstantRun {
  explicit ConstantRun(const std::string& source) {
    parser.SetSource(source);
    tree.SetRoot(std::make_unique<TXMLNode>("constants"));
    parser.ParseConstants(tree.Root());
  }
  std::vector<std::string> Names() const { return ChildNames(tree.Root()); }
  std::string ValueOf(size_t i) const { return Value(tree.Root()->Child(i), "constValue"); }
  std::string CommentOf(size_t i) const { return Value(tree.Root()->Child(i), "constComment"); }

  UnitScan parser;
  TXMLTree tree;
};

TEST(ConstantPass, RecordsNameValueAndCommentUntilALineWithoutEquals) {
  ConstantRun run(Source({"unit Geometry;", "interface", "const", "{** Largest shape count. }",
                          "MaxShapes = 100;", "", "Names: array[0..1] of string = (", "'a', 'b');",
                          "Pi2 = 6.28;", "implementation", "end."}));
  ASSERT_EQ(run.Names(), (std::vector<std::string>{"MaxShapes", "Names: array[0..1] of string"}));
  EXPECT_EQ(run.ValueOf(0), " 100");
  EXPECT_EQ(run.CommentOf(0), "Largest shape count.");
  EXPECT_EQ(run.ValueOf(1), " (");
  EXPECT_EQ(run.CommentOf(1), "");
  EXPECT_EQ(ChildNames(run.tree.Root()->Child(0)),
            (std::vector<std::string>{"constValue", "constComment"}));
}

struct ConstCase {
  const char* label;
  std::vector<std::string> lines;  // after "unit U;", "interface"
  std::vector<std::string> names;
  std::vector<std::string> values;
};

TEST(ConstantPass, SectionsNamesAndValues) {
  const ConstCase cases[] = {
      {"constant on the keyword's line is lost", {"const A = 1;", "B = 2;"}, {"B"}, {" 2"}},
      {"typed constant", {"const", "Max: Integer = 10;"}, {"Max: Integer"}, {" 10"}},
      {"cut at the first semicolon", {"const", "S = 'a;b';"}, {"S"}, {" 'a"}},
      {"trailing comment dropped", {"const", "X = 1; // one"}, {"X"}, {" 1"}},
      {"no semicolon: the whole rest", {"const", "X = 1"}, {"X"}, {" 1"}},
      {"comment line with = is a constant",
       {"const", "{ a = b }", "X = 1;"},
       {"{ a", "X"},
       {" b }", " 1"}},
      {"blank and comment lines keep the section",
       {"const", "A = 1;", "", "// note", "B = 2;"},
       {"A", "B"},
       {" 1", " 2"}},
      {"two sections, type ends the first",
       {"const", "A = 1;", "type", "T = Integer;", "CONST", "B = 2;"},
       {"A", "B"},
       {" 1", " 2"}},
      {"a line without = ends the section", {"const", "A = 1;", "var", "B = 2;"}, {"A"}, {" 1"}},
  };
  for (const ConstCase& c : cases) {
    std::string source = Source({"unit U;", "interface"});
    for (const std::string& line : c.lines) source += line + "\r\n";
    source += "implementation\r\n";
    ConstantRun run(source);
    EXPECT_EQ(run.Names(), c.names) << c.label;
    for (size_t i = 0; i < c.values.size() && i < run.Names().size(); ++i) {
      EXPECT_EQ(run.ValueOf(i), c.values[i]) << c.label;
    }
  }
}

TEST(ConstantPass, ScanStopsAtImplementationUnlessCapitalised) {
  ConstantRun lower(Source({"unit U;", "implementation", "const", "A = 1;"}));
  EXPECT_TRUE(lower.Names().empty());
  ConstantRun capital(Source({"unit U;", "Implementation", "const", "A = 1;", "end."}));
  EXPECT_EQ(capital.Names(), (std::vector<std::string>{"A"}));
}

TEST(ConstantPass, ConstructorInAClassBodyOpensASection) {
  ConstantRun run(Source({"unit U;", "interface", "type", "TA = class;", "constructor Create;",
                          "X = 1;", "implementation"}));
  // "class;" holds a ";": no jump; the constructor line then opens a section.
  EXPECT_EQ(run.Names(), (std::vector<std::string>{"X"}));
}

TEST(ConstantPass, SectionAtTheEndOfTheFile) {
  ConstantRun run(Source({"unit U;", "const", "A = 1;"}));
  EXPECT_EQ(run.Names(), (std::vector<std::string>{"A"}));
  ConstantRun keyword_last(Source({"unit U;", "const"}));
  EXPECT_TRUE(keyword_last.Names().empty());
}

}  // namespace
}  // namespace glossator
