// The unit pages: description, class links, constants and routines with their anchors.
#include <exception>

#include "base/errors.h"
#include "html/comment_render.h"
#include "html/html_text.h"
#include "html/page_writer.h"
#include "html/pages.h"
#include "model/doc_tree.h"

namespace glossator {

PageText UnitPage(const DocTreeReader& p, const TXMLNode* unit, const std::string& name,
                  std::string_view comment) {
  PageText page;
  page.Line({"<HTML>"});
  page.Line({"<H2>Unit: ", HtmlText(name), "</H2>"});
  page.Line({"<B>Description:</B><BR>", RenderDescription(comment), "<BR><BR>"});
  page.Line({"<B>Classes:</B><BR>"});
  for (int c = 0; c < p.UnitClassCount(unit); ++c) {
    std::string_view class_name = p.UnitClassName(unit, c);
    page.Line(
        {"<A HREF=", LinkTarget(PageFileName(class_name)), ">", HtmlText(class_name), "</A>"});
    page.Line({": ", p.UnitClassComment(unit, c), "<BR>"});
  }
  page.Line({"<BR><B>Constants:</B>"});
  page.Line({"<dl>"});
  for (int k = 0; k < p.UnitConstantCount(unit); ++k) {
    std::string_view constant = p.UnitConstantName(unit, k);
    page.Line({"<A NAME=", AnchorName(constant), "></A>"});
    // The line closes a code element it never opened; browsers do not mind.
    page.Line({"<li><dt>", HtmlText(constant), " = ", HtmlText(p.UnitConstantValue(unit, k)),
               "</code></dt>"});
    std::string_view constant_comment = p.UnitConstantComment(unit, k);
    std::string rendered = RenderComment(constant_comment, constant_comment);
    if (!rendered.empty()) page.Line({rendered, "<br>"});
  }
  page.Line({"</dl></HTML>"});
  page.Line({"<BR><B>Functions:</B>"});
  page.Line({"<dl>"});
  for (int r = 0; r < p.UnitFunctionCount(unit); ++r) {
    page.Line({"<A NAME=", AnchorName(p.UnitFunctionName(unit, r)), "></A>"});
    page.Line({"<dt><IMG SRC=functions_big.gif><code> ", HtmlText(p.UnitFunctionDecl(unit, r)),
               "</code></dt>"});
    page.Line(
        {RenderComment(p.UnitFunctionComment(unit, r), p.UnitFunctionLongComment(unit, r)), "<p>"});
  }
  page.Line({"</dl></HTML>"});
  return page;
}

void WriteUnitPages(const PageContext& context, int i) {
  for (int first = 0; first >= 0;) {
    PageBatch batch = RenderUnitPages(context.tree, context.out_dir, i, first);
    WriteBatch(context.files, batch);
    FinishBatch(batch, context.report);
    first = batch.next_class;
  }
}

}  // namespace glossator
