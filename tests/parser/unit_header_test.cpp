#include <gtest/gtest.h>

#include "base/errors.h"
#include "parser/pascal_source.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {
namespace {

struct HeaderCase {
  const char* label;
  std::string source;
  std::string name;
  std::string comment;
};

TEST(UnitHeader, NameAndComment) {
  const HeaderCase cases[] = {
      {"shapes example",
       Source(
           {"{** Shapes and their areas.", "    Second line. }", "unit Shapes;", "", "interface"}),
       "Shapes", "Shapes and their areas.\r\n    Second line."},
      {"one-line comment above", Source({"{** Tools. }", "unit Tools;"}), "Tools", "Tools."},
      {"heading on line 0", Source({"unit First;", "interface"}), "First", ""},
      {"capital keyword", Source({"UNIT Big;"}), "Big", ""},
      {"blank line then comment with the word unit",
       Source({"", "{** A unit of tools. }", "unit Tools;"}), "Tools", ""},
      {"keyword alone, name after comment lines",
       Source({"unit", "// the name", "  Split;", "interface"}), "Split", ""},
      {"indented keyword alone", Source({"  unit", "Split;"}), "", ""},
      {"trailing line comment", Source({"unit A; // main"}), "A; // mai", ""},
      {"blank before the semicolon", Source({"unit A ;"}), "A ", ""},
      {"no word unit: last line with a space", Source({"program P;", "begin end."}), "end", ""},
      {"leading blank lines", Source({"", "  ", "unit Late;"}), "Late", ""},
  };
  for (const HeaderCase& c : cases) {
    UnitScan p;
    p.SetSource(c.source);
    EXPECT_EQ(p.ReadUnitName(), c.name) << c.label;
    EXPECT_EQ(p.ReadUnitComment(), c.comment) << c.label;
  }
}

TEST(UnitHeader, InputsThatReadPastTheEnd) {
  const std::string sources[] = {
      "",                         // no line at all
      Source({"", "   "}),        // only blank lines
      Source({"begin", "end."}),  // no word unit, last line without a space
      Source({"unit"}),           // keyword alone on the last line
      Source({"// only comments", "{ here }"}),
  };
  for (const std::string& source : sources) {
    UnitScan p;
    p.SetSource(source);
    EXPECT_THROW(p.ReadUnitName(), ListIndexError) << source;
  }
}

// The first code of a file, past comments of every kind, decides what the file is.
TEST(UnitHeader, FindSourceHeadingSkipsCommentsAndAByteOrderMark) {
  // A highlighter's start, as real sources have it: a byte-order mark, a line comment, a licence
  // in braces and a documentation comment, then the heading on line 45.
  std::vector<std::string> long_header = {"\xEF\xBB\xBF//Converted by someone",
                                          "{-----------------------------------------------------"};
  for (int i = 0; i < 36; ++i) long_header.push_back("Licence text, line " + std::to_string(i));
  for (const char* line : {"-----}", "{", "@abstract(Provides a highlighter)", "@author(Someone)",
                           "The SynHighlighterVB unit provides a highlighter.", "}",
                           "unit SynHighlighterVB;", "", "{$I SynEdit.inc}", "", "interface"}) {
    long_header.push_back(line);
  }
  std::string long_source;
  for (const std::string& line : long_header) long_source += line + "\r\n";
  const struct {
    const char* label;
    std::string source;
    int line;  // from 0
    const char* keyword;
  } cases[] = {
      {"highlighter start", long_source, 44, "unit"},
      {"mark before the heading", "\xEF\xBB\xBFunit A;\r\n", 0, "unit"},
      {"program", Source({"(* header *)", "program P;"}), 1, "program"},
      {"code first", Source({"{ x }", "uses A;", "unit B;"}), 1, ""},
      {"comments only", Source({"// a", "{ b", " c }"}), -1, ""},
      {"mark alone is no code", "\xEF\xBB\xBF", -1, ""},
  };
  for (const auto& c : cases) {
    LineList lines;
    lines.SetText(c.source);
    SourceHeading heading = FindSourceHeading(lines);
    EXPECT_EQ(heading.line, c.line) << c.label;
    EXPECT_EQ(heading.keyword, c.keyword) << c.label;
  }
}

}  // namespace
}  // namespace glossator
