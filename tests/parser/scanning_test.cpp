#include <gtest/gtest.h>

#include "base/errors.h"
#include "parser/pascal_source.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {
namespace {

// The lines of the shapes example: a two-line unit comment, the heading, a one-line comment
// above a function.
std::string ShapesExample() {
  return Source({"{** Shapes and their areas.", "    Second line. }", "unit Shapes;", "",
                 "interface", "", "{** The area of a circle. }", "",
                 "function CircleArea(R: Double): Double;"});
}

TEST(Scanning, FindsTheHeadingAndDocCommentsOfASmallUnit) {
  UnitScan p;
  p.SetSource(ShapesExample());
  EXPECT_EQ(p.SkipComments(0), 2);
  EXPECT_EQ(p.FindLine("unit", 0), 2);
  EXPECT_EQ(p.FindCommentStart(2), 0);
  EXPECT_EQ(p.GetDocComment(0), "Shapes and their areas.\r\n    Second line.");
  EXPECT_EQ(p.FindCommentStart(8), 6);
  EXPECT_EQ(p.GetDocComment(6), "The area of a circle.");
  int i = 8;
  EXPECT_EQ(p.ReadDeclaration(i, false), "function CircleArea(R: Double): Double;");
  EXPECT_EQ(i, 8);
  EXPECT_EQ(p.SkipComments(3), 3);
}

struct SkipCase {
  const char* label;
  std::string source;
  int start;
  int result;
};

TEST(Scanning, SkipComments) {
  const SkipCase cases[] = {
      {"blank line between comment blocks stops", Source({"{ a }", "", "{ b }", "x"}), 0, 1},
      {"line comments", Source({"// a", "  // b", "x"}), 0, 2},
      {"comment then code on the same line is skipped whole", Source({"{ a } x := 1;", "y"}), 0, 1},
      {"open brace comment over lines", Source({"{ a", "b", "c }", "x"}), 0, 3},
      {"parenthesis comment", Source({"(* a", "*)", "x"}), 0, 2},
      {"comment after code is not seen", Source({"x { a", "b }"}), 0, 0},
      {"// inside an open comment closes it when it holds the closer",
       Source({"{ a", "// b }", "x"}), 0, 2},
      {"{ inside (* replaces the closer", Source({"(* a", "{ b", "*)", "c }", "x"}), 0, 4},
      {"directive", Source({"{$mode objfpc}", "unit A;"}), 0, 1},
      {"start inside", Source({"x", "// c", "y"}), 1, 2},
  };
  for (const SkipCase& c : cases) {
    UnitScan p;
    p.SetSource(c.source);
    EXPECT_EQ(p.SkipComments(c.start), c.result) << c.label;
  }
}

TEST(Scanning, SkipComments_RunningToTheEndRaisesIndexError) {
  UnitScan p;
  p.SetSource(Source({"unit A;", "{ never closed", "still open"}));
  try {
    p.SkipComments(1);
    FAIL();
  } catch (const ListIndexError& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (3)");
  }
  p.SetSource(Source({"// only a comment"}));
  EXPECT_THROW(p.SkipComments(0), ListIndexError);
}

TEST(Scanning, FindLine) {
  UnitScan p;
  p.SetSource(Source({"// header", "unit A;", "{ the word type here }", "x"}));
  EXPECT_EQ(p.FindLine("unit", 0), 1);
  EXPECT_EQ(p.FindLine("UNIT", 0), 1);     // case ignored
  EXPECT_EQ(p.FindLine("type", 0), 2);     // later comment lines are searched
  EXPECT_EQ(p.FindLine("missing", 0), 3);  // the last line when nothing matches
  EXPECT_EQ(p.FindLine("x", 3), 3);
  UnitScan empty;
  empty.SetSource("");
  EXPECT_THROW(empty.FindLine("unit", 0), ListIndexError);
}

struct CommentCase {
  const char* label;
  std::string source;
  int declaration;  // the line documented
  std::string comment;
};

TEST(Scanning, CommentAbove) {
  const CommentCase cases[] = {
      {"one-line comment", Source({"{** Draws it. }", "procedure Draw;"}), 1, "Draws it."},
      {"blank lines between", Source({"{** Draws it. }", "", "  ", "procedure Draw;"}), 3,
       "Draws it."},
      {"three lines", Source({"{** one", "two", "three }", "procedure Draw;"}), 3,
       "one\r\ntwo\r\nthree"},
      {"blank after the closing brace", Source({"{** Draws", "it. } ", "procedure Draw;"}), 2, ""},
      {"blank after the brace of a one-line comment",
       Source({"{** Draws it. } ", "procedure Draw;"}), 1, "Draws it."},
      {"plain brace comment", Source({"{ Draws it. }", "procedure Draw;"}), 1, ""},
      {"line comment", Source({"// Draws it.", "procedure Draw;"}), 1, ""},
      {"brace pair inside the body", Source({"{** one", "{two}", "three }", "procedure Draw;"}), 3,
       ""},
      {"text before {** and after }", Source({"x {** core } y", "procedure Draw;"}), 1, "core"},
      {"empty comment", Source({"{**}", "procedure Draw;"}), 1, ""},
      {"no comment", Source({"var X: Integer;", "procedure Draw;"}), 1, ""},
      {"nearest line itself opens", Source({"{** opens here", "procedure Draw; }"}), 1,
       "opens here\r\nprocedure Draw;"},
      {"second closing brace", Source({"{** a } }", "procedure Draw;"}), 1, "a"},
  };
  for (const CommentCase& c : cases) {
    UnitScan p;
    p.SetSource(c.source);
    EXPECT_EQ(p.CommentAbove(c.declaration), c.comment) << c.label;
  }
}

TEST(Scanning, FindCommentStart_Boundaries) {
  UnitScan p;
  p.SetSource(Source({"", "", "x"}));
  EXPECT_EQ(p.FindCommentStart(0), -1);
  EXPECT_EQ(p.FindCommentStart(2), 0);  // line 0 is never tested for blankness
  EXPECT_THROW(p.GetDocComment(-1), ListIndexError);
  p.SetSource(Source({"{** never closed", "procedure A;"}));
  EXPECT_THROW(p.CommentAbove(1), ListIndexError);
}

struct DeclarationCase {
  const char* label;
  std::string source;
  bool force;
  std::string text;
  int last;
};

TEST(Scanning, ReadDeclaration) {
  const DeclarationCase cases[] = {
      {"one line", Source({"  procedure A(X: Integer);  "}), false, "procedure A(X: Integer);", 0},
      {"continuation keeps its blanks", Source({"procedure A(X: Integer;", "  Y: Integer);"}),
       false, "procedure A(X: Integer;  Y: Integer);", 1},
      {"stops when the parameter list closes", Source({"function A(X: Integer", "): Integer", ";"}),
       false, "function A(X: Integer): Integer", 1},
      {"no parenthesis: up to the semicolon", Source({"property P", "  read F;"}), false,
       "property P  read F;", 1},
      {"never closed: to the last line", Source({"procedure A(", "X", "Y"}), false,
       "procedure A(XY", 2},
      {"capitalised keyword is not gathered", Source({"Procedure A(", "X);"}), false,
       "Procedure A(", 0},
      {"forced gathering", Source({"A, B:", " Integer;"}), true, "A, B: Integer;", 1},
      {"not a member line", Source({"x := 1;", "y"}), false, "x := 1;", 0},
  };
  for (const DeclarationCase& c : cases) {
    UnitScan p;
    p.SetSource(c.source);
    int i = 0;
    EXPECT_EQ(p.ReadDeclaration(i, c.force), c.text) << c.label;
    EXPECT_EQ(i, c.last) << c.label;
  }
}

TEST(Scanning, StripDirectives) {
  const std::pair<std::string, std::string> cases[] = {
      {"procedure Paint; override;", "procedure Paint;"},
      {"function Count: Integer; overload; virtual;", "function Count: Integer;"},
      {"procedure Free; virtual; overload;", "procedure Free; virtual;"},
      {"procedure Run; virtual; abstract;", "procedure Run; virtual; abstract;"},
      {"procedure A", "procedure A;"},
      {"procedure A; OVERRIDE ;", "procedure A;"},
      {"procedure A; override; override;", "procedure A; override;"},
      {"Overload;", ""},
      // The pieces run out: no failure, the empty text.
      {"override;", ""},
      {"Virtual;", ""},
      {"virtual; override;", ""},
      {"", ""},
      // Empty pieces count as pieces, and only the last piece is ever a directive.
      {";", ";"},
      {"a;;", "a;;"},
      {"a;;override", "a;;"},
      // Each directive is tried once, in the order override, virtual, overload.
      {";override;virtual", ";override;"},
      {"override;a", "override;a;"},
  };
  for (const auto& [heading, result] : cases) {
    EXPECT_EQ(StripDirectives(heading), result) << "'" << heading << "'";
  }
}

TEST(Scanning, PosOfAny) {
  EXPECT_EQ(PosOfAny({"b", "a"}, "abc", true), 2u);  // the first listed word, not the leftmost
  EXPECT_EQ(PosOfAny({"B"}, "abc", true), 0u);
  EXPECT_EQ(PosOfAny({"B"}, "abc", false), 2u);
  EXPECT_EQ(PosOfAny({"", "c"}, "abc", true), 3u);  // an empty word never matches
  EXPECT_EQ(PosOfAny({}, "abc", true), 0u);
  EXPECT_EQ(PosOfAny({"Class"}, "FClassName: string;", false), 2u);
}

}  // namespace
}  // namespace glossator
