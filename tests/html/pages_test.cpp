#include "html/pages.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/file_system.h"
#include "html/html_fixture.h"
#include "parser/cGlossator.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

// Parses units written from inline sources and writes pages from the result.
class PagesTest : public testing::Test {
 protected:
  void Parse(std::initializer_list<std::pair<std::string, std::string>> units,
             bool parse_private = false) {
    std::vector<std::string> files;
    for (const auto& [name, source] : units) files.push_back(sources_.Write(name, source));
    parser_.ParsePrivate = parse_private;
    parser_.ParseUnits(files);
  }
  // The unit page and class pages of every unit, as a run writes them.
  void WriteAllUnits() {
    PageContext context{Tree(), out_.Dir(),
                        [this](const Warning& warning) { platform_.ReportWarning(warning); },
                        SystemFileSystem()};
    for (int i = 0; i < Tree().UnitCount(); ++i) WriteUnitPages(context, i);
  }

  TempFolder sources_{"_src"};
  TempFolder out_{"_out"};
  FakePlatform platform_;
  TGlosParser parser_;
  // The finished tree of the last Parse.
  const DocTree& Tree() const { return *parser_.Result(); }
};

TEST_F(PagesTest, UnitPageExample) {
  Parse({{"shapes.pas", CrLf({"{** Area and perimeter formulas. }", "unit Shapes;", "interface",
                              "type", "{** A circle. }", "TCircle = class(TObject)", "end;",
                              "const", "MaxSides = 12;", "{** Returns the area. }",
                              "function Area(r: Double): Double;", "implementation", "end."})}});
  WriteAllUnits();
  EXPECT_EQ(
      out_.Read("Shapes.html"),
      CrLf({"<HTML>", "<H2>Unit: Shapes</H2>",
            "<B>Description:</B><BR>Area and perimeter formulas.<BR><BR>", "<B>Classes:</B><BR>",
            "<A HREF=TCircle.html>TCircle</A>", ": A circle.<BR>", "<BR><B>Constants:</B>", "<dl>",
            "<A NAME=MaxSides></A>", "<li><dt>MaxSides =  12</code></dt>", "</dl></HTML>",
            "<BR><B>Functions:</B>", "<dl>", "<A NAME=Area></A>",
            "<dt><IMG SRC=functions_big.gif><code> function Area(r: Double): Double;</code></dt>",
            "<dd>Returns the area.</dd><p>", "</dl></HTML>"}));
}

TEST_F(PagesTest, UnitPageEdgeCases) {
  Parse({{"bare.pas", CrLf({"unit Bare;", "interface", "const", "{** The limit. }", "Limit = 5;",
                            "procedure Quiet;", "implementation", "end."})},
         {"tagged.pas", CrLf({"unit MyUnit;", "interface", "type", "{** Main form.",
                              "@see TOther }", "TMain = class", "end;", "implementation"})}});
  WriteAllUnits();
  EXPECT_EQ(out_.Read("Bare.html"),
            CrLf({"<HTML>", "<H2>Unit: Bare</H2>", "<B>Description:</B><BR><BR><BR>",
                  "<B>Classes:</B><BR>", "<BR><B>Constants:</B>", "<dl>", "<A NAME=Limit></A>",
                  "<li><dt>Limit =  5</code></dt>", "<dd>The limit.</dd><br>", "</dl></HTML>",
                  "<BR><B>Functions:</B>", "<dl>", "<A NAME=Quiet></A>",
                  "<dt><IMG SRC=functions_big.gif><code> procedure Quiet;</code></dt>", "<p>",
                  "</dl></HTML>"}));
  // The unit's letters are kept in the file name; class comments keep tags and line breaks.
  std::string page = out_.Read("MyUnit.html");
  EXPECT_NE(page.find("<A HREF=TMain.html>TMain</A>\r\n: Main form.\r\n@see TOther<BR>\r\n"),
            std::string::npos)
      << page;
}

TEST_F(PagesTest, HierarchyExample) {
  Parse({{"c.pas", CrLf({"unit C;", "interface", "type", "TShape = class(TObject)", "end;",
                         "TCircle = class(TShape)", "end;", "TLone = class(TForm)", "end;",
                         "implementation"})}});
  EXPECT_EQ(BuildHierarchy(Tree(), "TCircle"),
            " <A HREF=TObject.html>TObject</A> ----+\r"
            "             |\r"
            "          <A HREF=TShape.html>TShape</A> ----+\r"
            "                     |\r"
            "                  TCircle\r");
  // An undocumented direct ancestor: a one-step diagram.
  EXPECT_EQ(BuildHierarchy(Tree(), "TLone"),
            " <A HREF=TForm.html>TForm</A> ----+\r           |\r         TLone\r");
}

std::string ShapeClassUnit() {
  return CrLf({"unit Shapes;",
               "interface",
               "type",
               "{** A shape. @see TOther }",
               "TShape = class(TObject)",
               "public",
               "{** Visible count. }",
               "Count: Integer;",
               "Size: Integer;",
               "{** Makes one. }",
               "constructor Create;",
               "procedure Draw;",
               "{** Old one. @deprecated }",
               "procedure Old;",
               "property Width: Integer read FWidth;",
               "property Visible: Boolean read FVisible;",
               "protected",
               "procedure Hidden;",
               "end;",
               "implementation",
               "{** Draws it.",
               "@param c canvas }",
               "procedure TShape.Draw;",
               "end."});
}

TEST_F(PagesTest, ClassPageByteForByte) {
  Parse({{"shapes.pas", ShapeClassUnit()}});
  WriteAllUnits();
  // The members in name order give the anchors: Create 0, Draw 1, Hidden 2, Old 3, Visible 4,
  // Width 5.
  EXPECT_EQ(
      out_.Read("TShape.html"),
      CrLf({"<HTML>", "<H2>Class: TShape</H2>",
            "<pre> <A HREF=TObject.html>TObject</A> ----+\r             |\r          TShape\r"
            "</pre><hr>",
            "<B>Description:</B><BR>A shape. <BR><BR><B>See Also:</B><BR> TOther",
            "<p><B>Unit:</B><BR><A HREF=Shapes.html>Shapes</A>",
            "<code>   <A HREF=Shapes.pas>(Shapes.pas)</code></A><BR><BR>",
            "<p><B>Fields:</B><BR><dl>", "<dt>Count: Integer</dt><br>", "<dd>Visible count.</dd>",
            "<dt>Size: Integer</dt><br>", "</dl>",
            // Constructors.
            "<p><B>Constructors:</B><BR>", "<dl>", "<dt>", "<IMG SRC=public.gif>",
            "<A HREF=\"TShape.html#0\">constructor Create;</A><BR>", "</dt>", "<dd>", "Makes one.",
            "</dd>", "</dl>",
            // Properties.
            "<p><B>Properties:</B><BR>", "<dl>", "<dt>", "<IMG SRC=public.gif>",
            "<A HREF=\"TShape.html#4\">property Visible: Boolean read FVisible;</A><BR>", "</dt>",
            "", "</dd>", "<dt>", "<IMG SRC=public.gif>",
            "<A HREF=\"TShape.html#5\">property Width: Integer read FWidth;</A><BR>", "</dt>", "",
            "</dd>", "</dl>",
            // Methods.
            "<p><B>Methods:</B><BR>", "<dl>", "<dt>", "<IMG SRC=public.gif>",
            "<A HREF=\"TShape.html#1\">procedure Draw;</A><BR>", "</dt>", "<dd>", "Draws it.\r\n",
            "</dd>", "<dt>", "<IMG SRC=protected.gif>",
            "<A HREF=\"TShape.html#2\">procedure Hidden;</A><BR>", "</dt>", "", "</dd>", "<dt>",
            "<IMG SRC=public.gif>", "<A HREF=\"TShape.html#3\">procedure Old;</A><BR>", "</dt>",
            "<dd>", "<B>Deprecated&nbsp;</B>Old one. ", "</dd>", "</dl>", "<HR>",
            // Details.
            "<p><IMG SRC=constructors.gif>", "<A NAME=\"0\"></A><P>", "<IMG SRC=public_big.gif>",
            "<CODE>constructor Create;</CODE>", "<dl>", "<dd>Makes one.</dd><p>",
            "</dl></dd></dl><HR>", "<p><IMG SRC=property.gif>", "<A NAME=\"4\"></A><P>",
            "<IMG SRC=public_big.gif>", "<CODE>property Visible: Boolean read FVisible;</CODE>",
            "<dl>", "<p>", "</dl></dd></dl><HR>", "<A NAME=\"5\"></A><P>",
            "<IMG SRC=public_big.gif>", "<CODE>property Width: Integer read FWidth;</CODE>", "<dl>",
            "<p>", "</dl></dd></dl><HR>", "<p><IMG SRC=methods.gif>", "<A NAME=\"1\"></A><P>",
            "<IMG SRC=public_big.gif>", "<CODE>procedure Draw;</CODE>", "<dl>",
            "<dd>Draws it.\r\n</dd><dd><B>Parameters</B></dd>"
            "<dd>&nbsp;&nbsp;&nbsp;<CODE>c </CODE> : canvas</dd><p>",
            "</dl></dd></dl><HR>", "<A NAME=\"2\"></A><P>", "<IMG SRC=protected_big.gif>",
            "<CODE>procedure Hidden;</CODE>", "<dl>", "<p>", "</dl></dd></dl><HR>",
            "<A NAME=\"3\"></A><P>", "<IMG SRC=public_big.gif>", "<CODE>procedure Old;</CODE>",
            "<dl>", "<dd><B>Deprecated</B><I></I></dd><dd>Old one. </dd><p>", "</dl></dd></dl><HR>",
            "</HTML>"}));
}

TEST_F(PagesTest, ClassPageGroups) {
  Parse({{"g.pas", CrLf({"unit G;", "interface", "type", "TOnlyMethods = class", "procedure Run;",
                         "end;", "TMixed = class", "procedure Odd; // Property",
                         "procedure Both; // constructor property", "end;", "implementation"})}});
  WriteAllUnits();
  std::string only = out_.Read("TOnlyMethods.html");
  // No fields: the list is still closed; no empty groups.
  EXPECT_NE(only.find("(G.pas)</code></A><BR><BR>\r\n</dl>\r\n<p><B>Methods:</B>"),
            std::string::npos);
  for (const char* absent :
       {"Fields:", "Constructors:", "Properties:", "constructors.gif", "property.gif"}) {
    EXPECT_EQ(only.find(absent), std::string::npos) << absent;
  }
  // "Property" with a capital is no property; a declaration holding both words is listed twice.
  std::string mixed = out_.Read("TMixed.html");
  auto count = [&mixed](const std::string& text) {
    size_t n = 0;
    for (size_t at = mixed.find(text); at != std::string::npos; at = mixed.find(text, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("<A NAME=\"0\"></A>"), 2u);  // Both: constructors and properties
  EXPECT_EQ(count("<A NAME=\"1\"></A>"), 1u);  // Odd: methods only
  EXPECT_NE(mixed.find("<p><B>Constructors:</B>"), std::string::npos);
}

TEST_F(PagesTest, PrivateMembersShowWithTheirBall) {
  Parse({{"p.pas", CrLf({"unit P;", "interface", "type", "TP = class", "private",
                         "procedure Secret;", "end;", "implementation"})}},
        /*parse_private=*/true);
  WriteAllUnits();
  EXPECT_NE(out_.Read("TP.html").find("<IMG SRC=private.gif>"), std::string::npos);
  EXPECT_NE(out_.Read("TP.html").find("<IMG SRC=private_big.gif>"), std::string::npos);
}

TEST_F(PagesTest, IndexPages) {
  Parse({{"a.pas", CrLf({"{** @see Foo }", "unit A;", "interface", "type", "{** A class. }",
                         "TA = class", "end;", "const", "{** @deprecated", "Use Other. }",
                         "Old = 1;", "{** @deprecated", "Use Other.", "@param x }",
                         "function Go(x: Integer): Integer;", "implementation"})},
         {"b.pas",
          CrLf({"unit B;", "interface", "function Go(y: Integer): Integer;", "implementation"})}});
  EXPECT_EQ(IndexPage(Tree(), IndexKind::kUnits).Text(),
            CrLf({"<HTML>", "<H2>Unit Index</H2>", "<dl>", "<dt><li><A HREF=A.html>A</A></dt>",
                  "<dd></dd>", "<dt><li><A HREF=B.html>B</A></dt>", "</dl></HTML>"}));
  EXPECT_EQ(IndexPage(Tree(), IndexKind::kClasses).Text(),
            CrLf({"<HTML>", "<H2>Class Index</H2>", "<dl>", "<dt><li><A HREF=TA.html>TA</A></dt>",
                  "<dd>A class.</dd>", "</dl></HTML>"}));
  std::string functions = IndexPage(Tree(), IndexKind::kFunctions).Text();
  EXPECT_NE(functions.find("<dt><li><A HREF=A.html#Go>Go</A></dt>\r\n"
                           "<dd><B>Deprecated</B>\nUse Other.\r\n</dd>\r\n"),
            std::string::npos)
      << functions;
  EXPECT_NE(functions.find("<dt><li><A HREF=B.html#Go>Go</A></dt>\r\n"), std::string::npos);
  EXPECT_EQ(
      IndexPage(Tree(), IndexKind::kConstants).Text(),
      CrLf({"<HTML>", "<H2>Constant Index</H2>", "<dl>", "<dt><li><A HREF=A.html#Old>Old</A></dt>",
            "<dd><B>Deprecated</B>\nUse Other.</dd>", "</dl></HTML>"}));
}

// Names that are not plain identifiers: written as text on the pages, encoded in link targets,
// quoted in anchors. Page file names stay the raw names.
TEST_F(PagesTest, NamesAreTextAndLinksResolve) {
  Parse({{"arc.pas", CrLf({"unit agg_arc ;", "interface", "type", "TBox<T> = class(TBase)",
                           "public", "Items: TList<T>;", "procedure Add(const X: T);", "end;",
                           "TBase = class", "end;", "procedure Initialize; stdcall;", "const",
                           "S = '<b>';", "Max: Integer = 10;", "implementation", "end."})},
         {"cp1252.pas", CrLf({"unit \xDC"
                              "bersicht;",
                              "interface", "implementation"})}});
  WriteAllUnits();
  for (IndexKind kind :
       {IndexKind::kUnits, IndexKind::kClasses, IndexKind::kFunctions, IndexKind::kConstants}) {
    WritePage(SystemFileSystem(), out_.Dir(), IndexFileName(kind), IndexPage(Tree(), kind));
  }
  auto has = [this](const std::string& page, const std::string& bytes) {
    EXPECT_NE(out_.Read(page).find(bytes), std::string::npos) << page << " lacks " << bytes;
  };
  has("agg_arc .html",
      CrLf({"<HTML>", "<H2>Unit: agg_arc </H2>", "<B>Description:</B><BR><BR><BR>",
            "<B>Classes:</B><BR>", "<A HREF=TBase.html>TBase</A>", ": <BR>",
            "<A HREF=TBox%3CT%3E.html>TBox&lt;T&gt;</A>", ": <BR>", "<BR><B>Constants:</B>", "<dl>",
            "<A NAME=\"Max: Integer\"></A>", "<li><dt>Max: Integer =  10</code></dt>",
            "<A NAME=S></A>", "<li><dt>S =  '&lt;b&gt;'</code></dt>", "</dl></HTML>",
            "<BR><B>Functions:</B>", "<dl>", "<A NAME=\"Initialize; stdcall\"></A>",
            "<dt><IMG SRC=functions_big.gif><code> procedure Initialize; stdcall;</code></dt>"}));
  has("TBox<T>.html",
      CrLf({"<HTML>", "<H2>Class: TBox&lt;T&gt;</H2>",
            "<pre> <A HREF=TObject.html>TObject</A> ----+\r             |\r"
            "           <A HREF=TBase.html>TBase</A> ----+\r                     |\r"
            "                  TBox&lt;T&gt;\r</pre><hr>",
            "<B>Description:</B><BR>", "<p><B>Unit:</B><BR><A HREF=agg_arc%20.html>agg_arc </A>",
            "<code>   <A HREF=agg_arc%20.pas>(agg_arc .pas)</code></A><BR><BR>",
            "<p><B>Fields:</B><BR><dl>", "<dt>Items: TList&lt;T&gt;</dt><br>", "</dl>",
            "<p><B>Methods:</B><BR>", "<dl>", "<dt>", "<IMG SRC=public.gif>",
            "<A HREF=\"TBox%3CT%3E.html#0\">procedure Add(const X: T);</A><BR>"}));
  has("index-unit.html",
      "<dt><li><A HREF=%DCbersicht.html>\xDC"
      "bersicht</A></dt>\r\n");
  has("index-unit.html", "<dt><li><A HREF=agg_arc%20.html>agg_arc </A></dt>\r\n");
  has("index-class.html", "<dt><li><A HREF=TBox%3CT%3E.html>TBox&lt;T&gt;</A></dt>\r\n");
  has("index-function.html",
      "<dt><li><A HREF=agg_arc%20.html#Initialize;%20stdcall>Initialize; stdcall</A></dt>\r\n");
  has("index-constant.html",
      "<dt><li><A HREF=agg_arc%20.html#Max:%20Integer>Max: Integer</A></dt>\r\n");
  EXPECT_TRUE(
      out_.Exists("\xDC"
                  "bersicht.html"));
  EXPECT_NE(FramesetPage("my intro.html").Text().find("<FRAME SRC=my%20intro.html NAME=main>\r\n"),
            std::string::npos);
}

// With every class documented twice (the same units listed twice), each ancestor is followed once
// and the diagram is that of a single listing.
TEST_F(PagesTest, HierarchyOfClassesDocumentedTwice) {
  std::string source =
      CrLf({"unit Deep;", "interface", "type", "T0 = class", "end;", "T1 = class(T0)", "end;",
            "T2 = class(T1)", "end;", "T3 = class(T2)", "end;", "implementation"});
  Parse({{"a/deep.pas", source}, {"b/deep.pas", source}});
  std::vector<std::string> ancestors;
  Tree().GetAncestors("T3", ancestors);
  EXPECT_EQ(ancestors, (std::vector<std::string>{"TObject", "T0", "T1", "T2"}));
}

TEST(FixedPages, MenuBarFramesetAndLegend) {
  EXPECT_EQ(
      MenuBarPage().Text(),
      CrLf({"<HTML>",
            "<script JavaScript>",
            "function openLegend() {",
            "  Window2=window.open(\"legend.html\",\"legendWindow\",\"toolbar=no,scrollbars=no,"
            "width=100,height=100,resizable=no\")",
            "  return;",
            "}",
            "</script>",
            "<BODY BGCOLOR=EFDACC LINK=0000FF VLINK=0000FF ALINK=FF0000>",
            "<TABLE width=100%>",
            "<tr>",
            "<td align=center colspan=5><font face=\"Arial\" size=2>",
            "<A HREF=index-unit.html TARGET=main>Unit-Index</A>",
            "</td>",
            "<td align=center colspan=5><font face=\"Arial\" size=2>",
            "<A HREF=index-class.html TARGET=main>Class-Index</A>",
            "</td>",
            "<td align=center colspan=5><font face=\"Arial\" size=2>",
            "<A HREF=index-function.html TARGET=main>Function-Index</A>",
            "</td>",
            "<td align=center colspan=5><font face=\"Arial\" size=2>",
            "<A HREF=index-constant.html TARGET=main>Constant-Index</A>",
            "</td>",
            "<td align=center colspan=5><font face=\"Arial\" size=2>",
            "<A HREF=index.html TARGET=_top>Description</A>",
            "</td>",
            "<td align=center colspan=5><font face=\"Arial\" size=2>",
            "<A HREF=\"javascript:openLegend()\">Legend</A>",
            "</td>",
            "</table>",
            "</BODY>",
            "</HTML>"}));
  EXPECT_EQ(FramesetPage("intro.html").Text(),
            CrLf({"<HTML>", "<FRAMESET ROWS = 35,100% FRAMEBORDER=1>",
                  "<FRAME SRC=menuebar.html SCROLLING=NO NAME=menue MARGINWIDTH=5 MARGINHEIGHT=6 "
                  "NORESIZE>",
                  "<FRAME SRC=intro.html NAME=main>", "</FRAMESET>", "<NOFRAMES>",
                  "<P>Your browser does not seems to support frames. Please upgrade it.", "</BODY>",
                  "</NOFRAMES>", "</HTML>"}));
  const std::string row_font = "<TD><FONT FACE=\"Tahoma,Arial,Helvetica\" SIZE=\"1\">";
  EXPECT_EQ(LegendPage(false).Text(),
            CrLf({"<HTML>", "<TABLE><TR>", "<TD VALIGN=CENTER><IMG SRC=functions.gif></TD>",
                  row_font + "Functions</TD><TR>", "<TD VALIGN=CENTER><IMG SRC=protected.gif></TD>",
                  row_font + "Protected</TD><TR>", "<TD VALIGN=CENTER><IMG SRC=public.gif></TD>",
                  row_font + "Public</TD><TR>", "</TABLE>", "</HTML>"}));
  std::string with_private = LegendPage(true).Text();
  EXPECT_NE(with_private.find("Functions</TD><TR>\r\n<TD VALIGN=CENTER><IMG SRC=private.gif></TD>"
                              "\r\n" +
                              row_font +
                              "Private</TD><TR>\r\n<TD VALIGN=CENTER><IMG "
                              "SRC=protected.gif>"),
            std::string::npos);
}

TEST(FixedPages, PagePathRefusesNamesThatLeaveTheFolder) {
  EXPECT_EQ(PagePath("/out/", "TA.html"), "/out/TA.html");
  for (const char* name : {"a/b.html", "..\\x.html", "/abs.html"}) {
    try {
      PagePath("/out/", name);
      FAIL() << name;
    } catch (const FileCreateError& error) {
      EXPECT_EQ(std::string(error.what()), std::string("Cannot create file /out/") + name);
    }
  }
}

}  // namespace
}  // namespace glossator
