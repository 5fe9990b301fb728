// The class pages: ancestor diagram, description, unit, fields, member summaries and details.
#include "html/comment_render.h"
#include "html/pages.h"
#include "model/text_rules.h"
#include "parser/cGlossator.h"

namespace glossator {

namespace {

enum class MemberKind { kConstructor, kProperty, kMethod };

// A member is listed by what its declaration says, case-sensitively; one that holds both
// "constructor" and "property" is listed in both groups.
bool IsOfKind(std::string_view decl, MemberKind kind) {
  switch (kind) {
    case MemberKind::kConstructor:
      return Contains(decl, "constructor");
    case MemberKind::kProperty:
      return Contains(decl, "property");
    case MemberKind::kMethod:
      return !Contains(decl, "constructor") && !Contains(decl, "property");
  }
  return false;
}

struct Group {
  MemberKind kind;
  const char* summary_heading;
  const char* detail_picture;
};

constexpr Group kGroups[] = {
    {MemberKind::kConstructor, "<p><B>Constructors:</B><BR>", "<p><IMG SRC=constructors.gif>"},
    {MemberKind::kProperty, "<p><B>Properties:</B><BR>", "<p><IMG SRC=property.gif>"},
    {MemberKind::kMethod, "<p><B>Methods:</B><BR>", "<p><IMG SRC=methods.gif>"},
};

void AppendSpaces(std::string& out, long indent) {
  if (indent >= 0) out.append(static_cast<size_t>(indent) + 1, ' ');
}

long Half(const std::string& text) { return static_cast<long>(text.size()) / 2; }

}  // namespace

std::string BuildHierarchy(const TGlosParser& parser, const std::string& class_name) {
  std::vector<std::string> ancestors;
  parser.GetAncestors(class_name, ancestors);
  std::string out;
  long indent = ancestors.empty() ? 0 : Half(ancestors.front());
  for (const std::string& a : ancestors) {
    indent -= Half(a);
    AppendSpaces(out, indent);
    out += "<A HREF=" + a + ".html>" + a + "</A>" + " ----+" + "\r";
    indent += static_cast<long>(a.size()) + 5;
    AppendSpaces(out, indent);
    out += "|\r";
  }
  indent -= Half(class_name);
  AppendSpaces(out, indent);
  out += class_name + "\r";
  return out;
}

std::vector<std::string> ClassPageLines(const TGlosParser& p, const TXMLNode* unit,
                                        const std::string& unit_name, int c) {
  const std::string& name = p.UnitClassName(unit, c);
  std::vector<std::string> lines;
  lines.push_back("<HTML>");
  lines.push_back("<H2>Class: " + name + "</H2>");
  lines.push_back("<pre>" + BuildHierarchy(p, name) + "</pre><hr>");
  lines.push_back("<B>Description:</B><BR>" + RenderDescription(p.UnitClassComment(unit, c)));
  lines.push_back("<p><B>Unit:</B><BR><A HREF=" + unit_name + ".html>" + unit_name + "</A>");
  lines.push_back("<code>   <A HREF=" + unit_name + ".pas>(" + unit_name +
                  ".pas)</code></A><BR><BR>");

  for (int f = 0; f < p.FieldCount(unit, c); ++f) {
    if (f == 0) lines.push_back("<p><B>Fields:</B><BR><dl>");
    lines.push_back("<dt>" + p.FieldName(unit, c, f) + ": " + p.FieldType(unit, c, f) +
                    "</dt><br>");
    const std::string& comment = p.FieldComment(unit, c, f);
    if (!comment.empty()) lines.push_back("<dd>" + comment + "</dd>");
  }
  lines.push_back("</dl>");

  int members = p.MethodCount(unit, c);
  for (const Group& group : kGroups) {
    bool any = false;
    for (int m = 0; m < members; ++m) {
      const std::string& decl = p.MethodDecl(unit, c, m);
      if (!IsOfKind(decl, group.kind)) continue;
      if (!any) {
        lines.push_back(group.summary_heading);
        lines.push_back("<dl>");
        any = true;
      }
      lines.push_back("<dt>");
      lines.push_back("<IMG SRC=" + p.MethodVisibility(unit, c, m) + ".gif>");
      lines.push_back("<A HREF=\"" + name + ".html#" + std::to_string(m) + "\">" + decl +
                      "</A><BR>");
      lines.push_back("</dt>");
      for (std::string& line :
           MemberSummaryLines(p.MethodComment(unit, c, m), p.MethodLongComment(unit, c, m))) {
        lines.push_back(std::move(line));
      }
    }
    if (any) lines.push_back("</dl>");
  }
  lines.push_back("<HR>");

  for (const Group& group : kGroups) {
    bool any = false;
    for (int m = 0; m < members; ++m) {
      const std::string& decl = p.MethodDecl(unit, c, m);
      if (!IsOfKind(decl, group.kind)) continue;
      if (!any) {
        lines.push_back(group.detail_picture);
        any = true;
      }
      lines.push_back("<A NAME=\"" + std::to_string(m) + "\"></A><P>");
      lines.push_back("<IMG SRC=" + p.MethodVisibility(unit, c, m) + "_big.gif>");
      lines.push_back("<CODE>" + decl + "</CODE>");
      lines.push_back("<dl>");
      lines.push_back(RenderComment(p.MethodComment(unit, c, m), p.MethodLongComment(unit, c, m)) +
                      "<p>");
      lines.push_back("</dl></dd></dl><HR>");
    }
  }
  lines.push_back("</HTML>");
  return lines;
}

}  // namespace glossator
