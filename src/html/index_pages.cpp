// The four index pages, the menu bar, the frameset and the legend.
#include "html/comment_render.h"
#include "html/html_text.h"
#include "html/pages.h"
#include "model/doc_tree.h"

namespace glossator {

std::string_view IndexFileName(IndexKind kind) {
  switch (kind) {
    case IndexKind::kUnits:
      return "index-unit.html";
    case IndexKind::kClasses:
      return "index-class.html";
    case IndexKind::kFunctions:
      return "index-function.html";
    case IndexKind::kConstants:
      return "index-constant.html";
  }
  return "";
}

namespace {

struct IndexEntry {
  std::string target;  // the link target, encoded
  std::string_view name;
  std::string_view comment;
};

IndexEntry EntryAt(const DocTreeReader& p, IndexKind kind, int i) {
  switch (kind) {
    case IndexKind::kUnits:
      return {LinkTarget(PageFileName(p.UnitName(i))), p.UnitName(i), p.UnitComment(i)};
    case IndexKind::kClasses:
      return {LinkTarget(PageFileName(p.ClassName(i))), p.ClassName(i), p.ClassComment(i)};
    case IndexKind::kFunctions:
      return {LinkTarget(PageFileName(p.FunctionUnit(i))) + "#" + LinkFragment(p.FunctionName(i)),
              p.FunctionName(i), p.FunctionComment(i)};
    case IndexKind::kConstants:
      return {LinkTarget(PageFileName(p.ConstantUnit(i))) + "#" + LinkFragment(p.ConstantName(i)),
              p.ConstantName(i), p.ConstantComment(i)};
  }
  return {"", {}, {}};
}

int CountOf(const DocTreeReader& p, IndexKind kind) {
  switch (kind) {
    case IndexKind::kUnits:
      return p.UnitCount();
    case IndexKind::kClasses:
      return p.ClassCount();
    case IndexKind::kFunctions:
      return p.FunctionCount();
    case IndexKind::kConstants:
      return p.ConstantCount();
  }
  return 0;
}

const char* Heading(IndexKind kind) {
  switch (kind) {
    case IndexKind::kUnits:
      return "<H2>Unit Index</H2>";
    case IndexKind::kClasses:
      return "<H2>Class Index</H2>";
    case IndexKind::kFunctions:
      return "<H2>Function Index</H2>";
    case IndexKind::kConstants:
      return "<H2>Constant Index</H2>";
  }
  return "";
}

}  // namespace

PageText IndexPage(const DocTreeReader& p, IndexKind kind) {
  // The routine and constant indexes mark deprecated entries; the others only cut at "@".
  bool mark = kind == IndexKind::kFunctions || kind == IndexKind::kConstants;
  PageText page;
  page.Line({"<HTML>"});
  page.Line({Heading(kind)});
  page.Line({"<dl>"});
  for (int i = 0, count = CountOf(p, kind); i < count; ++i) {
    IndexEntry entry = EntryAt(p, kind, i);
    page.Line({"<dt><li><A HREF=", entry.target, ">", HtmlText(entry.name), "</A></dt>"});
    if (!entry.comment.empty()) page.Line({IndexSummary(entry.comment, mark)});
  }
  page.Line({"</dl></HTML>"});
  return page;
}

PageText MenuBarPage() {
  static const char* const kLinks[] = {
      "<A HREF=index-unit.html TARGET=main>Unit-Index</A>",
      "<A HREF=index-class.html TARGET=main>Class-Index</A>",
      "<A HREF=index-function.html TARGET=main>Function-Index</A>",
      "<A HREF=index-constant.html TARGET=main>Constant-Index</A>",
      "<A HREF=index.html TARGET=_top>Description</A>",
      "<A HREF=\"javascript:openLegend()\">Legend</A>",
  };
  PageText page;
  for (const char* line :
       {"<HTML>", "<script JavaScript>", "function openLegend() {",
        "  Window2=window.open(\"legend.html\",\"legendWindow\",\"toolbar=no,scrollbars=no,"
        "width=100,height=100,resizable=no\")",
        "  return;", "}", "</script>",
        "<BODY BGCOLOR=EFDACC LINK=0000FF VLINK=0000FF ALINK=FF0000>", "<TABLE width=100%>",
        "<tr>"}) {
    page.Line({line});
  }
  for (const char* link : kLinks) {
    page.Line({"<td align=center colspan=5><font face=\"Arial\" size=2>"});
    page.Line({link});
    page.Line({"</td>"});
  }
  for (const char* line : {"</table>", "</BODY>", "</HTML>"}) page.Line({line});
  return page;
}

PageText FramesetPage(std::string_view description_file) {
  PageText page;
  page.Line({"<HTML>"});
  page.Line({"<FRAMESET ROWS = 35,100% FRAMEBORDER=1>"});
  page.Line(
      {"<FRAME SRC=menuebar.html SCROLLING=NO NAME=menue MARGINWIDTH=5 MARGINHEIGHT=6 NORESIZE>"});
  page.Line({"<FRAME SRC=", LinkTarget(description_file), " NAME=main>"});
  for (const char* line : {"</FRAMESET>", "<NOFRAMES>",
                           "<P>Your browser does not seems to support frames. Please upgrade it.",
                           "</BODY>", "</NOFRAMES>", "</HTML>"}) {
    page.Line({line});
  }
  return page;
}

PageText LegendPage(bool with_private) {
  PageText page;
  auto row = [&page](const char* picture, const char* label) {
    page.Line({"<TD VALIGN=CENTER><IMG SRC=", picture, "></TD>"});
    page.Line({"<TD><FONT FACE=\"Tahoma,Arial,Helvetica\" SIZE=\"1\">", label, "</TD><TR>"});
  };
  page.Line({"<HTML>"});
  page.Line({"<TABLE><TR>"});
  row("functions.gif", "Functions");
  if (with_private) row("private.gif", "Private");
  row("protected.gif", "Protected");
  row("public.gif", "Public");
  page.Line({"</TABLE>"});
  page.Line({"</HTML>"});
  return page;
}

}  // namespace glossator
