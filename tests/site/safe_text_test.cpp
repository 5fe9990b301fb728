#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/site/comment_html.h"
#include "html/site/doc_tags.h"
#include "html/site/site_html.h"
#include "html/site/site_names.h"

namespace glossator {
namespace {

struct HtmlCase {
  std::string label, input, expected;
};

// Comments are HTML by intent; what could run code or break the page is written as text.
TEST(SafeHtml, HostileCommentsTable) {
  const HtmlCase cases[] = {
      {"text and entities stay", "a &amp; b &lt;c&gt;", "a &amp; b &lt;c&gt;"},
      {"formatting stays", "<b>bold</b> <code>x</code>", "<b>bold</b> <code>x</code>"},
      {"script", "<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"script in capitals with a source", "<SCRIPT SRC=x.js></SCRIPT>",
       "&lt;SCRIPT SRC=x.js&gt;&lt;/SCRIPT&gt;"},
      {"style", "<style>body{display:none}</style>",
       "&lt;style&gt;body{display:none}&lt;/style&gt;"},
      {"iframe", "<iframe src=\"a.html\"></iframe>",
       "&lt;iframe src=\"a.html\"&gt;&lt;/iframe&gt;"},
      {"event attribute", "<img src=x onerror=alert(1)>", "&lt;img src=x onerror=alert(1)&gt;"},
      {"event attribute after a slash", "<img/onerror=alert(1)>", "&lt;img/onerror=alert(1)&gt;"},
      {"a slash inside an unquoted value belongs to it, as browsers read it",
       "<img src=x/onerror=alert(1)>", "<img src=\"x/onerror=alert(1)\">"},
      {"event attribute in capitals", "<b OnMouseOver='x()'>b</b>",
       "&lt;b OnMouseOver='x()'&gt;b&lt;/b&gt;"},
      {"javascript: link", "<a href=\"javascript:alert(1)\">x</a>",
       "&lt;a href=\"javascript:alert(1)\"&gt;x&lt;/a&gt;"},
      {"scheme hidden by a reference", "<a href=\"jav&#x61;script:x\">x</a>",
       "&lt;a href=\"jav&#x61;script:x\"&gt;x&lt;/a&gt;"},
      {"reference without semicolon", "<a href=\"&#106avascript:x\">",
       "&lt;a href=\"&#106avascript:x\"&gt;"},
      {"blanks and case in the scheme", "<a href=\" JaVa\tScRiPt:x\">",
       "&lt;a href=\" JaVa\tScRiPt:x\"&gt;"},
      {"named colon", "<a href=\"javascript&colon;x\">", "&lt;a href=\"javascript&colon;x\"&gt;"},
      {"data: picture", "<img src=\"data:image/svg+xml,x\">",
       "&lt;img src=\"data:image/svg+xml,x\"&gt;"},
      {"vbscript:", "<a href=vbscript:x>", "&lt;a href=vbscript:x&gt;"},
      {"svg", "<svg onload=x>", "&lt;svg onload=x&gt;"},
      {"form, base, meta, object", "<form><base href=x><meta http-equiv=refresh><object>",
       "&lt;form&gt;&lt;base href=x&gt;&lt;meta http-equiv=refresh&gt;&lt;object&gt;"},
      {"safe link kept, quotes normalised", "<a href='http://x/?a=1&b=2' title='say \"hi\"'>x</a>",
       "<a href=\"http://x/?a=1&b=2\" title=\"say &quot;hi&quot;\">x</a>"},
      {"relative link and picture", "<a href=\"other.html#x\"><img src=\"p.png\" alt=\"a<b\"></a>",
       "<a href=\"other.html#x\"><img src=\"p.png\" alt=\"a&lt;b\"></a>"},
      {"unknown attributes dropped", "<div style=\"x\" class=y id=z data-x=1>t</div>",
       "<div>t</div>"},
      {"comment opener", "<!-- hidden", "&lt;!-- hidden"},
      {"end tags the comment never opened", "</main></div>x", "&lt;/main&gt;&lt;/div&gt;x"},
      {"open elements closed at the end", "<i>open <b>both", "<i>open <b>both</b></i>"},
      {"an end tag closes those inside", "<b><i>x</b>y", "<b><i>x</i></b>y"},
      {"lone brackets", "a < b > c", "a &lt; b &gt; c"},
      {"a tag that never ends", "<a href=\"x>y", "&lt;a href=\"x&gt;y"},
      {"self-closing void element", "<br/>x<hr />", "<br>x<hr>"},
      {"NUL dropped", std::string("x\0y", 3), "xy"},
  };
  for (const HtmlCase& c : cases) {
    std::string out;
    AppendSafeHtml(out, c.input);
    EXPECT_EQ(out, c.expected) << c.label;
  }
}

// Names and declarations are escaped wherever the special byte stands: the text is read eight
// bytes at a time, so each is tried at every place of a long text and of a short one.
TEST(SafeHtml, TextEscapesEveryByteAtEveryPlace) {
  const std::pair<char, std::string_view> specials[] = {
      {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}};
  for (size_t length : {1, 7, 8, 9, 16, 23}) {
    for (size_t at = 0; at < length; ++at) {
      for (const auto& [c, entity] : specials) {
        std::string text(length, 'a');
        text[at] = c;
        std::string expected = text.substr(0, at) + std::string(entity) + text.substr(at + 1);
        std::string out = "x";
        AppendText(out, text);
        EXPECT_EQ(out, "x" + expected) << length << " " << at << " " << c;
      }
    }
  }
  std::string out;
  AppendText(out, "plain text of more than eight bytes, \xC3\xA9 and 'quotes'");
  EXPECT_EQ(out, "plain text of more than eight bytes, \xC3\xA9 and 'quotes'");
}

TEST(SafeHtml, DeepNestingIsBounded) {
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "<b>";
  std::string out;
  AppendSafeHtml(out, deep);
  size_t opened = 0;
  for (size_t at = out.find("<b>"); at != out.npos; at = out.find("<b>", at + 1)) ++opened;
  EXPECT_LT(opened, 100u);
  // Each element opened is closed at the end ("</b>"); each other tag is text ("&lt;b&gt;").
  EXPECT_EQ(out.size(), opened * 7 + (10000 - opened) * 9);
}

TEST(SafeHtml, PlainCommentsGetParagraphsTable) {
  const HtmlCase cases[] = {
      {"paragraphs at empty lines", "First.\r\n\r\nSecond\r\nline.",
       "<p>First.</p><p>Second\r\nline.</p>"},
      {"blank lines count as empty", "A\n \t\nB", "<p>A</p><p>B</p>"},
      {"one paragraph", "Just <b>one</b>.", "<p>Just <b>one</b>.</p>"},
      {"an element never spans paragraphs", "<i>a\n\nb</i>", "<p><i>a</i></p><p>b&lt;/i&gt;</p>"},
      {"laid out by its writer", "<p>One</p>\n\n<p>Two", "<p>One</p>\n\n<p>Two</p>"},
      {"a heading is layout", "<h2>T</h2>\n\nx", "<h2>T</h2>\n\nx"},
      {"<hr> and <pre>-less text are not", "a<hr>\n\nb", "<p>a<hr></p><p>b</p>"},
  };
  for (const HtmlCase& c : cases) {
    std::string out;
    AppendDocHtml(out, c.input);
    EXPECT_EQ(out, c.expected) << c.label;
  }
}

// Tags that never end, many times over: each "<" must not read the rest of the comment again
// (a quadratic writer would take hours on these).
TEST(SafeHtml, UnendedTagsStayText) {
  for (std::string unit : {"<a b='", "<a b=\"", "<i x", "</b "}) {
    std::string comment;
    for (int i = 0; i < 200000; ++i) comment += unit;
    std::string out;
    AppendSafeHtml(out, comment);
    EXPECT_EQ(out.size(), comment.size() + 200000 * 3) << unit << ": every \"<\" as \"&lt;\"";
  }
}

struct SentenceCase {
  std::string input, expected;
};

TEST(SafeHtml, FirstSentenceTable) {
  const SentenceCase cases[] = {
      {"Draws the shape. Then more.", "Draws the shape."},
      {"  One line only  ", "One line only"},
      {"See <a href=\"a.b\">x</a> now", "See <a href=\"a.b\">x</a> now"},
      {"Version 2.5 of it. Next", "Version 2.5 of it."},
      {"Lines\r\n\r\nMore text", "Lines"},
      {"Adds two. @param a first", "Adds two."},
      {"Adds @param a", "Adds"},
      {"mail a@b.c here", "mail a@b.c here"},
      {"Why? Because.", "Why?"},
      {"", ""},
  };
  for (const SentenceCase& c : cases) EXPECT_EQ(FirstSentence(c.input), c.expected) << c.input;
}

TEST(DocTags, SplitTable) {
  DocTags tags = SplitDocTags(
      "Adds two.\r\n@param a the first\r\n@PARAM b\r\n@returns the sum\r\n@see TAdder.Add the "
      "method\r\n@deprecated use Sum\r\nmail x@y.z @raises none");
  EXPECT_EQ(tags.description, "Adds two.");
  ASSERT_EQ(tags.params.size(), 2u);
  EXPECT_EQ(tags.params[0].name, "a");
  EXPECT_EQ(tags.params[0].text, "the first");
  EXPECT_EQ(tags.params[1].name, "b");
  EXPECT_EQ(tags.params[1].text, "");
  ASSERT_EQ(tags.returns.size(), 1u);
  EXPECT_EQ(tags.returns[0], "the sum");
  ASSERT_EQ(tags.see.size(), 1u);
  EXPECT_EQ(tags.see[0].name, "TAdder.Add");
  EXPECT_EQ(tags.see[0].text, "the method");
  EXPECT_TRUE(tags.deprecated);
  EXPECT_EQ(tags.deprecated_text, "use Sum\r\nmail x@y.z @raises none") << "other @ words stay";

  DocTags plain = SplitDocTags("No tags, just a@b.c and @paramx.");
  EXPECT_EQ(plain.description, "No tags, just a@b.c and @paramx.");
  EXPECT_TRUE(plain.params.empty());
}

struct NameCase {
  std::string input, file_stem, anchor_stem;
};

TEST(SiteNames, SafeFileAndAnchorNamesTable) {
  const NameCase cases[] = {
      {"TShape", "TShape", "TShape"},
      {"Vcl.Forms", "Vcl.Forms", "Vcl_Forms"},
      {"TList<K, V>", "TList_K_V", "TList"},
      {"Sort<T>", "Sort_T", "Sort"},
      {"+", "_", "op2B"},
      {":=", "_", "op3A3D"},
      {"&begin", "_begin", "_begin"},
      {".hidden", "_.hidden", "_hidden"},
      {"trailing.", "trailing._", "trailing_"},
      {"Con", "Con_", "Con"},
      {"nul.x", "nul.x_", "nul_x"},
      {"\xC3\x9C"
       "bersicht",
       "_bersicht", "__bersicht"},
      {"a/b\\c:d", "a_b_c_d", "a_b_c_d"},
      {"", "_", "op"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(FileStem(c.input), c.file_stem) << c.input;
    EXPECT_EQ(AnchorStem(c.input), c.anchor_stem) << c.input;
  }
  EXPECT_EQ(FileStem(std::string(500, 'x')).size(), 120u) << "long names are cut";
}

TEST(SiteNames, UniqueNamesIgnoreCaseAndCountOn) {
  UniqueNames names;
  const std::vector<std::pair<std::string, std::string>> takes = {
      {"Foo", "Foo.html"},       {"foo", "foo-2.html"}, {"FOO", "FOO-3.html"},
      {"foo-2", "foo-2-2.html"}, {"Bar", "Bar.html"},   {"Foo", "Foo-4.html"}};
  for (const auto& [stem, expected] : takes) EXPECT_EQ(names.Take(stem, ".html"), expected) << stem;
  EXPECT_EQ(names.Take("Foo", ".js"), "Foo.js") << "another extension is another name";
  EXPECT_TRUE(names.Taken("BAR.HTML"));
  // A thousand equal names cost a thousand tries, not half a million.
  for (int i = 0; i < 1000; ++i) names.Take("Same", ".html");
  EXPECT_EQ(names.Take("same", ".html"), "same-1001.html");
}

}  // namespace
}  // namespace glossator
