#include "model/uStringFunc.h"

#include <gtest/gtest.h>

#include "model/text_rules.h"

namespace glossator {
namespace {

struct SplitCase {
  std::string text;
  std::string separator;
  std::string before;
  std::string after;
};

TEST(StringFunc, SplitAt_CutsAtFirstOccurrence) {
  const SplitCase cases[] = {
      {"a;b;c", ";", "a", "b;c"},
      {"abc", ";", "abc", ""},         // missing separator: the whole text before
      {"abc;", ";", "abc", ""},        // separator at the end
      {";abc", ";", "", "abc"},        // separator at the start
      {"{** x }", "{**", "", " x }"},  // cuts after the whole separator
      {"abc", "", "abc", ""},          // empty separator
      {"", ";", "", ""},
      {"aXb", "x", "aXb", ""},  // case-sensitive
  };
  for (const SplitCase& c : cases) {
    auto [before, after] = SplitAt(c.text, c.separator);
    EXPECT_EQ(before, c.before) << c.text << " / " << c.separator;
    EXPECT_EQ(after, c.after) << c.text << " / " << c.separator;
  }
}

struct ListCase {
  std::string text;
  std::string separator;
  std::vector<std::string> pieces;
};

TEST(StringFunc, SplitToList_GivesPiecesBetweenSeparators) {
  const ListCase cases[] = {
      {"", ";", {}},
      {"a;b;", ";", {"a", "b"}},      // no empty last piece
      {"a;;b", ";", {"a", "", "b"}},  // empty piece between adjacent separators
      {";a", ";", {"", "a"}},         // empty first piece
      {"abc", ";", {"abc"}},
      {"abc", "", {"abc"}},
      {"", "", {}},
      {" a ; b ", ";", {" a ", " b "}},  // pieces are not trimmed
      {";", ";", {""}},
  };
  for (const ListCase& c : cases) {
    EXPECT_EQ(SplitToList(c.text, c.separator), c.pieces) << "'" << c.text << "'";
  }
}

TEST(StringFunc, RemoveCharAndSpaces) {
  EXPECT_EQ(RemoveChar("a-b--c-", '-'), "abc");
  EXPECT_EQ(RemoveSpaces("    "), "");
  EXPECT_EQ(RemoveSpaces(" a\tb c "), "a\tbc");
}

TEST(TextRules, TrimRemovesCodesUpTo32Only) {
  EXPECT_EQ(Trim(std::string("\x01\t\r\n a b \x1f ")), "a b");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // a non-breaking space (byte 160) stays
  EXPECT_EQ(Trim("   "), "");
}

struct CaseFoldCase {
  std::string text;
  std::string part;
  bool contains;
};

TEST(TextRules, ContainsNoCaseFoldsAsciiOnly) {
  const CaseFoldCase cases[] = {
      {"Unit Foo;", "unit", true},
      {"units", "UNIT", true},         // keywords are substrings, not words
      {"\xC4nderung", "\xE4", false},  // accented letters do not fold
      {"abc", "", false},              // an empty text is never contained
      {"ab", "abc", false},
      // Bytes that differ from the part's first one only in bit 0x20 match only for letters.
      {"[** x", "{**", false},
      {"@a", "`a", false},
      {"x{** y", "{**", true},
  };
  for (const CaseFoldCase& c : cases) {
    EXPECT_EQ(ContainsNoCase(c.text, c.part), c.contains) << c.text << " / " << c.part;
  }
  EXPECT_EQ(PosNoCase("nit", "UNIT uNiT"), 2u);
  EXPECT_EQ(PosNoCase("t;", "unit unit;"), 9u);
  EXPECT_EQ(ToUpperAscii("a\xE4z_"), "A\xE4Z_");
  EXPECT_EQ(ToLowerAscii("A\xC4Z"), "a\xC4z");
}

}  // namespace
}  // namespace glossator
