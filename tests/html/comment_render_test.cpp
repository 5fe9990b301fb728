#include "html/comment_render.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glossator {
namespace {

// Pieces of the expected fragments, to keep the rows readable.
const std::string kParams = "<dd><B>Parameters</B></dd>";
const std::string kReturns = "<dd><B>Returns</B></dd>";
const std::string kSeeAlso = "<dd><B>See Also</B></dd>";
const std::string kIndent = "<dd>&nbsp;&nbsp;&nbsp;";

std::string Dd(const std::string& text) { return "<dd>" + text + "</dd>"; }
std::string Indented(const std::string& text) { return kIndent + text + "</dd>"; }
std::string Deprecated(const std::string& reason) {
  return "<dd><B>Deprecated</B><I>" + reason + "</I></dd>";
}

struct RenderCase {
  const char* label;
  std::string short_comment;
  std::string long_comment;
  std::string expected;
};

TEST(RenderCommentTest, RendersTagsInFixedOrder) {
  const RenderCase cases[] = {
      {"all tags in the short comment",
       "Adds two numbers.\r\n@param a first\r\n@param b second\r\n@return the sum\r\n@see Sub", "",
       Dd("Adds two numbers.\r\n") + kParams + Indented("<CODE>a </CODE> : first") +
           Indented("<CODE>b </CODE> : second") + kReturns + Indented("the sum") + kSeeAlso +
           Indented(" Sub")},
      {"no tags", "Frees the list.", "", Dd("Frees the list.")},
      {"nothing at all", "", "", ""},
      {"deprecated on the last line", "Old call.\r\n@deprecated use Next instead", "",
       Deprecated(" use Next instead") + Dd("Old call.\r\n")},
      {"deprecated reason keeps its line break", "@deprecated\r\nDoes it.", "",
       Deprecated("\r\n") + Dd("Does it.")},
      {"only the first deprecated counts", "@deprecated a\n@deprecated b", "",
       Deprecated(" a\n") + Dd("@deprecated b")},
      {"see-also target ends at the next tag", "@see TList\r\n@param x the x", "",
       Dd("") + kParams + Indented("<CODE>x </CODE> : the x") + kSeeAlso + Indented(" TList\r\n")},
      {"see-also target ends at a brace", "Uses it. @see TFoo} more", "",
       Dd("Uses it.  more") + kSeeAlso + Indented(" TFoo")},
      {"empty see-also target shows no group", "@see@return r", "",
       Dd("") + kReturns + Indented("r")},
      {"tags in any order", "Desc.\r\n@see Other\r\n@param p the p\r\n@deprecated gone", "",
       Deprecated(" gone") + Dd("Desc.\r\n") + kParams + Indented("<CODE>p </CODE> : the p") +
           kSeeAlso + Indented(" Other\r\n")},
      {"parameter without a space", "@param x", "",
       Dd("") + kParams + Indented("<CODE></CODE> : x")},
      {"a tab does not split the name", "@param a\tb", "",
       Dd("") + kParams + Indented("<CODE></CODE> : a\tb")},
      {"return written before the parameters is only text", "Desc @return r @param a x", "",
       Dd("Desc @return r ") + kParams + Indented("<CODE>a </CODE> : x")},
      {"several returns", "Gets.\r\n@return one\r\n@return two", "",
       Dd("Gets.\r\n") + kReturns + Indented("one") + Indented("two")},
      {"@returns is @return and s", "@returns the sum", "",
       Dd("") + kReturns + Indented("s the sum")},
      {"@parameters is @param and eters", "@parameters x y", "",
       Dd("") + kParams + Indented("<CODE>eters </CODE> : x y")},
      {"upper-case tag is plain text", "@Param x", "", Dd("@Param x")},
      {"HTML is not escaped", "Use <b>&amp;</b>", "", Dd("Use <b>&amp;</b>")},
      {"long comment wins", "Short.", "Long.", Dd("Long.")},
      {"parameters only in the short comment", "Does a.\r\n@param x the x", "Long text.",
       Dd("Does a.\r\n") + kParams + Indented("<CODE>x </CODE> : the x")},
      {"short comment with parameters is taken unprocessed", "@deprecated x\r\n@param a b", "Long.",
       Dd("@deprecated x\r\n") + kParams + Indented("<CODE>a </CODE> : b")},
      {"short comment fills in for an emptied long one", "S @see X", "@deprecated old",
       Deprecated(" old") + Dd("S @see X")},
      {"see-also of the long comment, parameters of the short", "@param a b", "L @see T",
       Dd("") + kParams + Indented("<CODE>a </CODE> : b") + kSeeAlso + Indented(" T")},
  };
  for (const RenderCase& c : cases) {
    EXPECT_EQ(RenderComment(c.short_comment, c.long_comment), c.expected) << c.label;
  }
}

TEST(RenderCommentTest, ReadsManyParametersInOnePass) {
  // Copying the rest of the comment for every item would make this run take many seconds.
  const int kCount = 200000;
  std::string comment = "Many.";
  for (int i = 0; i < kCount; ++i) comment += "\r\n@param p" + std::to_string(i) + " d";
  comment += "\r\n@return r";
  std::string rendered = RenderComment(comment, "");
  size_t items = 0;
  for (size_t at = rendered.find("<CODE>"); at != std::string::npos;
       at = rendered.find("<CODE>", at + 1)) {
    ++items;
  }
  EXPECT_EQ(items, static_cast<size_t>(kCount));
  std::string last =
      Indented("<CODE>p" + std::to_string(kCount - 1) + " </CODE> : d") + kReturns + Indented("r");
  EXPECT_TRUE(rendered.ends_with(last));
}

// Each row calls the reader until it finds nothing, then checks what is left of the text.
struct ReaderCase {
  const char* label;
  bool (*next)(std::string&, std::string*);
  std::string work;
  std::vector<std::string> items;
  std::string rest;
};

TEST(NextItemTest, TakesOneTagPerCall) {
  const ReaderCase cases[] = {
      {"two parameters",
       NextParamItem,
       "Intro @param a one @param b two",
       {"<CODE>a </CODE> : one", "<CODE>b </CODE> : two"},
       "b two"},
      {"last parameter ends at the return",
       NextParamItem,
       "@param\tx  the x\r\n@return y",
       {"<CODE>x </CODE> :  the x"},
       "x  the x\r\n@return y"},
      {"empty parameters",
       NextParamItem,
       "@param@param \r\n",
       {"<CODE></CODE> : ", "<CODE></CODE> : "},
       ""},
      {"no parameter", NextParamItem, "x @return y", {}, "x @return y"},
      {"two returns", NextReturnItem, "x @return  s\r\n@return t ", {"s", "t"}, "t"},
  };
  for (const ReaderCase& c : cases) {
    std::string work = c.work;
    std::vector<std::string> items;
    std::string item;
    while (c.next(work, &item) && items.size() <= c.items.size()) items.push_back(item);
    EXPECT_EQ(items, c.items) << c.label;
    EXPECT_EQ(work, c.rest) << c.label;
  }
}

struct DescriptionCase {
  const char* label;
  std::string comment;
  std::string expected;
};

TEST(RenderDescriptionTest, MovesSeeAlsoToTheEnd) {
  const DescriptionCase cases[] = {
      {"see-also line in the middle", "Main form.\r\n@see TOther\r\nMore.",
       "Main form.\r\nMore.<BR><BR><B>See Also:</B><BR> TOther\r\n"},
      {"see-also at the end", "A @see B", "A <BR><BR><B>See Also:</B><BR> B"},
      {"line feed alone", "@see X\nY", "Y<BR><BR><B>See Also:</B><BR> X\n"},
      {"only the first see-also", "@see A\r\n@see B", "@see B<BR><BR><B>See Also:</B><BR> A\r\n"},
      {"other tags stay", "Form. @param x @deprecated", "Form. @param x @deprecated"},
  };
  for (const DescriptionCase& c : cases) {
    EXPECT_EQ(RenderDescription(c.comment), c.expected) << c.label;
  }
}

struct SummaryCase {
  const char* label;
  std::string comment;
  bool mark;
  std::string expected;
};

TEST(IndexSummaryTest, CutsAtFirstTag) {
  const SummaryCase cases[] = {
      {"deprecated first line, marked", "@deprecated\r\nParses it. @param x", true,
       "<dd><B>Deprecated</B>\nParses it. </dd>"},
      {"deprecated first line, unmarked", "@deprecated\r\nParses it. @param x", false, "<dd></dd>"},
      {"plain text, marked", "Plain text", true, "<dd>Plain text</dd>"},
      {"deprecated without line break", "@deprecated use X", true, "<dd><B>Deprecated</B></dd>"},
      {"deprecated on a later line drops the first line", "Old.\r\nUse New.\r\n@deprecated", true,
       "<dd><B>Deprecated</B>\nUse New.\r\n</dd>"},
      {"later lines kept up to the tag", "@deprecated\r\nUse Other.\r\n@param x", true,
       "<dd><B>Deprecated</B>\nUse Other.\r\n</dd>"},
      {"see-also cut", "Uses it. @see Foo", false, "<dd>Uses it. </dd>"},
      {"any @ cuts", "Mail me@home", false, "<dd>Mail me</dd>"},
  };
  for (const SummaryCase& c : cases) {
    EXPECT_EQ(IndexSummary(c.comment, c.mark), c.expected) << c.label;
  }
}

struct MemberCase {
  const char* label;
  std::string short_comment;
  std::string long_comment;
  std::vector<std::string> expected;
};

TEST(MemberSummaryLinesTest, WritesOneSummaryLine) {
  const MemberCase cases[] = {
      {"deprecated short comment",
       "Old one. @deprecated",
       "",
       {"<dd>", "<B>Deprecated&nbsp;</B>Old one. ", "</dd>"}},
      {"short comment as it is",
       "Draws it. @see X",
       "Long.",
       {"<dd>", "Draws it. @see X", "</dd>"}},
      {"no comments", "", "", {"", "</dd>"}},
      {"long comment cut at its first tag",
       "",
       "Draws it.\r\n@param c canvas",
       {"<dd>", "Draws it.\r\n", "</dd>"}},
      {"deprecated short comment replaces the long one",
       "@deprecated Gone.",
       "Long text.",
       {"<dd>", "<B>Deprecated&nbsp;</B> Gone.", "</dd>"}},
      {"every deprecated tag removed",
       "A @deprecated B @deprecated",
       "",
       {"<dd>", "<B>Deprecated&nbsp;</B>A  B ", "</dd>"}},
      {"deprecated long comment from its second line",
       "",
       "@deprecated\r\nUse Y. @param z",
       {"<dd>", "<B>Deprecated&nbsp;</B>\nUse Y. ", "</dd>"}},
      {"deprecated long comment on one line",
       "",
       "@deprecated use X",
       {"<dd>", "<B>Deprecated&nbsp;</B>", "</dd>"}},
  };
  for (const MemberCase& c : cases) {
    EXPECT_EQ(MemberSummaryLines(c.short_comment, c.long_comment), c.expected) << c.label;
  }
}

}  // namespace
}  // namespace glossator
