#include "html/html_text.h"

#include <gtest/gtest.h>

namespace glossator {
namespace {

struct Case {
  std::string_view label;
  std::string_view input;
  std::string_view text, target, fragment, anchor;
};

// One row per input, all four writings beside each other, so that the differences between them
// (which bytes each one leaves alone) show in the table.
TEST(HtmlText, EachWritingOfANameTable) {
  const Case cases[] = {
      {"safe name", "TShape_2.Draw", "TShape_2.Draw", "TShape_2.Draw", "TShape_2.Draw",
       "TShape_2.Draw"},
      {"generic", "TBox<T>", "TBox&lt;T&gt;", "TBox%3CT%3E", "TBox%3CT%3E", "\"TBox<T>\""},
      {"blank before the ;", "agg_arc ", "agg_arc ", "agg_arc%20", "agg_arc%20", "\"agg_arc \""},
      {"windows-1252",
       "\xDC"
       "bersicht",
       "\xDC"
       "bersicht",
       "%DCbersicht",
       "\xDC"
       "bersicht",
       "\xDC"
       "bersicht"},
      {"routine with directive", "Initialize; stdcall", "Initialize; stdcall",
       "Initialize;%20stdcall", "Initialize;%20stdcall", "\"Initialize; stdcall\""},
      {"typed constant", "Max: Integer", "Max: Integer", "Max:%20Integer", "Max:%20Integer",
       "\"Max: Integer\""},
      {"ampersand and quote", "A&\"B'", "A&amp;\"B'", "A%26%22B%27", "A%26%22B%27",
       "\"A&amp;&quot;B'\""},
      {"every other encoded byte", "#%=?\\^`{|}\x7F\t", "#%=?\\^`{|}\x7F\t",
       "%23%25%3D%3F%5C%5E%60%7B%7C%7D%7F%09", "%23%25%3D%3F%5C%5E%60%7B%7C%7D%7F%09",
       "\"#%=?\\^`{|}\x7F\t\""},
      {"kept in links", "a-b+c:d;e,f(g)[h]!*$@~/", "a-b+c:d;e,f(g)[h]!*$@~/",
       "a-b+c:d;e,f(g)[h]!*$@~/", "a-b+c:d;e,f(g)[h]!*$@~/", "a-b+c:d;e,f(g)[h]!*$@~/"},
      {"empty", "", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HtmlText(c.input), c.text) << c.label;
    EXPECT_EQ(LinkTarget(c.input), c.target) << c.label;
    EXPECT_EQ(LinkFragment(c.input), c.fragment) << c.label;
    EXPECT_EQ(AnchorName(c.input), c.anchor) << c.label;
  }
}

TEST(HtmlText, EveryByteOfALinkTarget) {
  // Encoded: up to 0x20, 0x7F, the listed punctuation, and from 0x80 in the file part only.
  const std::string_view kEncoded = "\"#%&'<=>?\\^`{|}";
  for (int c = 0; c < 256; ++c) {
    std::string byte(1, static_cast<char>(c));
    bool encoded = c <= 0x20 || c == 0x7F || kEncoded.find(static_cast<char>(c)) != kEncoded.npos;
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", c);
    EXPECT_EQ(LinkTarget(byte), encoded || c >= 0x80 ? hex : byte) << c;
    EXPECT_EQ(LinkFragment(byte), encoded ? hex : byte) << c;
  }
}

}  // namespace
}  // namespace glossator
