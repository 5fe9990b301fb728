// The class pages: ancestor diagram, description, unit, fields, member summaries and details.
#include <iterator>
#include <vector>

#include "html/comment_render.h"
#include "html/html_text.h"
#include "html/pages.h"
#include "model/doc_tree.h"
#include "model/text_rules.h"

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

// The positions of the class's members of each group of kGroups, in member order; each
// declaration is read once for all groups.
std::vector<std::vector<int>> MembersByGroup(const DocTreeReader& p, const TXMLNode* unit, int c) {
  std::vector<std::vector<int>> members(std::size(kGroups));
  for (int m = 0, count = p.MethodCount(unit, c); m < count; ++m) {
    std::string_view decl = p.MethodDecl(unit, c, m);
    for (size_t g = 0; g < std::size(kGroups); ++g) {
      if (IsOfKind(decl, kGroups[g].kind)) members[g].push_back(m);
    }
  }
  return members;
}

void AppendSpaces(std::string& out, long indent) {
  if (indent >= 0) out.append(static_cast<size_t>(indent) + 1, ' ');
}

long Half(const std::string& text) { return static_cast<long>(text.size()) / 2; }

}  // namespace

std::string BuildHierarchy(const DocTreeReader& parser, const std::string& class_name) {
  std::vector<std::string> ancestors;
  parser.GetAncestors(class_name, ancestors);
  std::string out;
  long indent = ancestors.empty() ? 0 : Half(ancestors.front());
  for (const std::string& a : ancestors) {
    indent -= Half(a);
    AppendSpaces(out, indent);
    out += "<A HREF=" + LinkTarget(a + ".html") + ">" + HtmlText(a) + "</A> ----+\r";
    indent += static_cast<long>(a.size()) + 5;
    AppendSpaces(out, indent);
    out += "|\r";
  }
  indent -= Half(class_name);
  AppendSpaces(out, indent);
  out += HtmlText(class_name) + "\r";
  return out;
}

PageText ClassPage(const DocTreeReader& p, const TXMLNode* unit, const std::string& unit_name,
                   int c) {
  const std::string name(p.UnitClassName(unit, c));
  PageText page;
  page.Line({"<HTML>"});
  page.Line({"<H2>Class: ", HtmlText(name), "</H2>"});
  page.Line({"<pre>", BuildHierarchy(p, name), "</pre><hr>"});
  page.Line({"<B>Description:</B><BR>", RenderDescription(p.UnitClassComment(unit, c))});
  const std::string unit_text = HtmlText(unit_name);
  page.Line(
      {"<p><B>Unit:</B><BR><A HREF=", LinkTarget(unit_name + ".html"), ">", unit_text, "</A>"});
  page.Line({"<code>   <A HREF=", LinkTarget(unit_name + ".pas"), ">(", unit_text,
             ".pas)</code></A><BR><BR>"});

  for (int f = 0; f < p.FieldCount(unit, c); ++f) {
    if (f == 0) page.Line({"<p><B>Fields:</B><BR><dl>"});
    page.Line({"<dt>", HtmlText(p.FieldName(unit, c, f)), ": ", HtmlText(p.FieldType(unit, c, f)),
               "</dt><br>"});
    std::string_view comment = p.FieldComment(unit, c, f);
    if (!comment.empty()) page.Line({"<dd>", comment, "</dd>"});
  }
  page.Line({"</dl>"});

  const std::string page_link = LinkTarget(name + ".html");
  // Six walks over the members: the summaries of the three groups, then their details. A group
  // without members writes nothing at all.
  const std::vector<std::vector<int>> groups = MembersByGroup(p, unit, c);
  for (size_t g = 0; g < std::size(kGroups); ++g) {
    const Group& group = kGroups[g];
    const std::vector<int>& members = groups[g];
    if (members.empty()) continue;
    page.Line({group.summary_heading});
    page.Line({"<dl>"});
    for (int m : members) {
      page.Line({"<dt>"});
      page.Line({"<IMG SRC=", p.MethodVisibility(unit, c, m), ".gif>"});
      page.Line({"<A HREF=\"", page_link, "#", std::to_string(m), "\">",
                 HtmlText(p.MethodDecl(unit, c, m)), "</A><BR>"});
      page.Line({"</dt>"});
      for (const std::string& line :
           MemberSummaryLines(p.MethodComment(unit, c, m), p.MethodLongComment(unit, c, m))) {
        page.Line({line});
      }
    }
    page.Line({"</dl>"});
  }
  page.Line({"<HR>"});

  for (size_t g = 0; g < std::size(kGroups); ++g) {
    const Group& group = kGroups[g];
    const std::vector<int>& members = groups[g];
    if (members.empty()) continue;
    page.Line({group.detail_picture});
    for (int m : members) {
      page.Line({"<A NAME=\"", std::to_string(m), "\"></A><P>"});
      page.Line({"<IMG SRC=", p.MethodVisibility(unit, c, m), "_big.gif>"});
      page.Line({"<CODE>", HtmlText(p.MethodDecl(unit, c, m)), "</CODE>"});
      page.Line({"<dl>"});
      page.Line(
          {RenderComment(p.MethodComment(unit, c, m), p.MethodLongComment(unit, c, m)), "<p>"});
      page.Line({"</dl></dd></dl><HR>"});
    }
  }
  page.Line({"</HTML>"});
  return page;
}

}  // namespace glossator
