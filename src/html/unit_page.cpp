// The unit pages: description, class links, constants and routines with their anchors.
#include <exception>

#include "html/comment_render.h"
#include "html/pages.h"
#include "parser/cGlossator.h"
#include "parser/platform.h"

namespace glossator {

namespace {

std::vector<std::string> UnitPageLines(const TGlosParser& p, const TXMLNode* unit,
                                       const std::string& name, const std::string& comment) {
  std::vector<std::string> lines;
  lines.push_back("<HTML>");
  lines.push_back("<H2>Unit: " + name + "</H2>");
  lines.push_back("<B>Description:</B><BR>" + RenderDescription(comment) + "<BR><BR>");
  lines.push_back("<B>Classes:</B><BR>");
  for (int c = 0; c < p.UnitClassCount(unit); ++c) {
    const std::string& class_name = p.UnitClassName(unit, c);
    lines.push_back("<A HREF=" + class_name + ".html>" + class_name + "</A>");
    lines.push_back(": " + p.UnitClassComment(unit, c) + "<BR>");
  }
  lines.push_back("<BR><B>Constants:</B>");
  lines.push_back("<dl>");
  for (int k = 0; k < p.UnitConstantCount(unit); ++k) {
    const std::string& constant = p.UnitConstantName(unit, k);
    lines.push_back("<A NAME=" + constant + "></A>");
    // The line closes a code element it never opened; browsers do not mind.
    lines.push_back("<li><dt>" + constant + " = " + p.UnitConstantValue(unit, k) + "</code></dt>");
    const std::string& constant_comment = p.UnitConstantComment(unit, k);
    std::string rendered = RenderComment(constant_comment, constant_comment);
    if (!rendered.empty()) lines.push_back(rendered + "<br>");
  }
  lines.push_back("</dl></HTML>");
  lines.push_back("<BR><B>Functions:</B>");
  lines.push_back("<dl>");
  for (int r = 0; r < p.UnitFunctionCount(unit); ++r) {
    lines.push_back("<A NAME=" + p.UnitFunctionName(unit, r) + "></A>");
    lines.push_back("<dt><IMG SRC=functions_big.gif><code> " + p.UnitFunctionDecl(unit, r) +
                    "</code></dt>");
    lines.push_back(RenderComment(p.UnitFunctionComment(unit, r),
                                  p.UnitFunctionLongComment(unit, r)) +
                    "<p>");
  }
  lines.push_back("</dl></HTML>");
  return lines;
}

}  // namespace

void WriteUnitPages(const PageContext& context, int i) {
  const TGlosParser& p = context.parser;
  const std::string& name = p.UnitName(i);
  const TXMLNode* unit = p.FindUnit(name);
  WritePage(context.out_dir, name + ".html", UnitPageLines(p, unit, name, p.UnitComment(i)));

  for (int c = 0; c < p.UnitClassCount(unit); ++c) {
    const std::string& class_name = p.UnitClassName(unit, c);
    if (class_name.empty()) continue;
    // Each class page has its own guard: a page that fails is abandoned (an earlier file of
    // that name stays as it was) and the run goes on with the next class.
    try {
      WritePage(context.out_dir, class_name + ".html", ClassPageLines(p, unit, name, c));
    } catch (const std::exception&) {
      context.platform.ShowMessage("Error while generating html-files");
    }
  }
}

}  // namespace glossator
