#include <gtest/gtest.h>

#include "base/errors.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"
#include "parser/pascal_source.h"

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

}  // namespace
}  // namespace glossator
