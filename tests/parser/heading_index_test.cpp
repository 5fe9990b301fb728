#include "parser/heading_index.h"

#include <gtest/gtest.h>

#include <random>

#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "parser/pascal_source.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {
namespace {

std::string Normalize(const std::string& text) { return RemoveSpaces(ToLowerAscii(text)); }

// The search as it reads: from `from` to the last line, one declaration after another.
int LiteralSearch(const UnitScan& parser, int from, const std::string& key) {
  for (int q = from; q <= parser.Lines().Last(); ++q) {
    int s = q;
    if (Normalize(parser.ReadDeclaration(q, false)) == key) return s;
  }
  return -1;
}

// Lines made to provoke every path of the search: headings over several lines, headings that
// repeat, headings that never close, blanks and tabs, capitalised keywords.
std::string RandomSource(std::mt19937& random, int lines) {
  static const char* const kPieces[] = {"procedure TA.Run;",
                                        "procedure TA.Run(X: Integer);",
                                        "procedure TA.Run(X:",
                                        "  Integer);",
                                        "PROCEDURE ta.RUN ;",
                                        "function TA.Get: Integer;",
                                        "function TA.Get",
                                        ": Integer;",
                                        "procedure   Run;",
                                        "\tprocedure TA.Run;\t",
                                        "procedure TA.Run(",
                                        ")",
                                        ";",
                                        "",
                                        "   ",
                                        "\t",
                                        "begin",
                                        "end;",
                                        "property P: Integer read F;",
                                        "property P",
                                        " : Integer read F;",
                                        "constructor TA.Create;",
                                        "Procedure TA.Run;",
                                        "x := (1);",
                                        "procedure TA.Run(X: Integer); overload;",
                                        "p r o c e d u r e TA.Run;"};
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  std::string text;
  for (int i = 0; i < lines; ++i) text += std::string(kPieces[pick(random)]) + "\r\n";
  return text;
}

TEST(HeadingIndex, AgreesWithTheLiteralSearch) {
  const std::string keys[] = {"procedureta.run;",
                              "procedureta.run(x:integer);",
                              "functionta.get:integer;",
                              "procedurerun;",
                              "proceduretarun;",
                              "propertyp:integerreadf;",
                              "constructorta.create;",
                              "proceduretа.run;",
                              "proceduret a.run;",
                              "procedureta.run(",
                              "proceduret\ta.run;",
                              "proceduret",
                              "procedureta.run(x:integer);overload;"};
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    UnitScan parser;
    parser.SetSource(RandomSource(random, 1 + round % 40));
    HeadingIndex index(parser.Lines());
    for (int from = 0; from < parser.Lines().Count(); ++from) {
      for (const std::string& key : keys) {
        ASSERT_EQ(index.Find(from, key), LiteralSearch(parser, from, key))
            << "round " << round << " from " << from << " key " << key;
      }
      // Every line's own declaration is found from that line.
      int q = from;
      std::string own = Normalize(parser.ReadDeclaration(q, false));
      if (!own.empty() && StartsWith(own, "p")) {
        EXPECT_EQ(index.Find(from, own), LiteralSearch(parser, from, own)) << own;
      }
    }
  }
}

TEST(HeadingIndex, TrailingBlankLinesFallToTheFinalTrim) {
  // A heading that never closes runs to the end of the file; the blank and tab-only lines it
  // gathers there vanish in the final trim, while inner blank lines keep their tabs.
  const std::string sources[] = {
      Source({"procedure TA.Run(", "\t", "  ", ""}),
      Source({"procedure TA.Run(", "\t", "X", "\t \t"}),
      Source({"\tprocedure TA.Run(\t", "\t"}),
  };
  for (const std::string& source : sources) {
    UnitScan parser;
    parser.SetSource(source);
    HeadingIndex index(parser.Lines());
    int q = 0;
    std::string key = Normalize(parser.ReadDeclaration(q, false));
    EXPECT_EQ(index.Normalized(0), key) << source;
    EXPECT_EQ(index.Find(0, key), 0) << source;
  }
}

TEST(HeadingIndex, UnclosedHeadingsStayLinear) {
  // Every line opens a parameter list that never closes: each one's declaration runs to the end
  // of the file. A literal search is quadratic here; the index must stay quick.
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "procedure TA.Run(X: Integer;\r\n";
  UnitScan parser;
  parser.SetSource(text);
  HeadingIndex index(parser.Lines());
  std::string last = Normalize(std::string(parser.Lines().At(19999)));
  EXPECT_EQ(index.Find(0, "nothing"), -1);
  EXPECT_EQ(index.Find(19999, last), 19999);
  EXPECT_EQ(index.Find(5, last), -1);  // line 5's declaration swallows the rest of the file
  for (int from : {0, 5, 19998}) {
    EXPECT_EQ(index.Find(from, index.Normalized(from)),
              LiteralSearch(parser, from, index.Normalized(from)));
  }
}

TEST(HeadingIndex, StartPastTheEndFindsNothing) {
  UnitScan parser;
  parser.SetSource(Source({"procedure A;"}));
  HeadingIndex index(parser.Lines());
  EXPECT_EQ(index.Find(0, "procedurea;"), 0);
  EXPECT_EQ(index.Find(1, "procedurea;"), -1);
  EXPECT_EQ(index.Find(-1, "procedurea;"), -1);
}

}  // namespace
}  // namespace glossator
