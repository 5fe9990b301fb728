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

// A member's texts as the page shows them, read from the tree once for all the places that
// show them.
struct Member {
  DocTreeReader::MethodTexts texts;
  std::string decl_html;
};

std::vector<Member> ReadMembers(const DocTreeReader& p, const TXMLNode* unit, int c) {
  std::vector<Member> members(static_cast<size_t>(p.MethodCount(unit, c)));
  for (size_t m = 0; m < members.size(); ++m) {
    members[m].texts = p.Method(unit, c, static_cast<int>(m));
    members[m].decl_html = HtmlText(members[m].texts.decl);
  }
  return members;
}

// The positions of the class's members of each group of kGroups, in member order.
std::vector<std::vector<int>> MembersByGroup(const std::vector<Member>& all) {
  std::vector<std::vector<int>> members(std::size(kGroups));
  for (size_t m = 0; m < all.size(); ++m) {
    for (size_t g = 0; g < std::size(kGroups); ++g) {
      if (IsOfKind(all[m].texts.decl, kGroups[g].kind)) members[g].push_back(static_cast<int>(m));
    }
  }
  return members;
}

void AppendSpaces(std::string& out, long indent) {
  if (indent >= 0) out.append(static_cast<size_t>(indent) + 1, ' ');
}

long Half(std::string_view text) { return static_cast<long>(text.size()) / 2; }

}  // namespace

std::string BuildHierarchy(const DocTreeReader& parser, const std::string& class_name) {
  // The nearest ancestors only: a chain of thousands would make every page of it as long as the
  // chain and its lines as wide, and the set grow with the square of the chain.
  std::vector<std::string_view> nearest;
  size_t total = parser.NearestAncestors(class_name, kMaxShownAncestors, nearest);
  std::string out;
  long indent = nearest.empty() ? 0 : Half(nearest.back());
  if (total > nearest.size()) {
    std::string more = "(";
    more += std::to_string(total - nearest.size());
    more += " more ancestors)";
    AppendSpaces(out, indent - Half(more));
    out += more + "\r";
    AppendSpaces(out, indent);
    out += "|\r";
  }
  for (size_t k = nearest.size(); k > 0; --k) {
    const std::string a(nearest[k - 1]);
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
  const std::vector<Member> all = ReadMembers(p, unit, c);
  const std::vector<std::vector<int>> groups = MembersByGroup(all);
  for (size_t g = 0; g < std::size(kGroups); ++g) {
    const Group& group = kGroups[g];
    const std::vector<int>& members = groups[g];
    if (members.empty()) continue;
    page.Line({group.summary_heading});
    page.Line({"<dl>"});
    for (int m : members) {
      const Member& member = all[static_cast<size_t>(m)];
      page.Line({"<dt>"});
      page.Line({"<IMG SRC=", member.texts.visibility, ".gif>"});
      page.Line(
          {"<A HREF=\"", page_link, "#", std::to_string(m), "\">", member.decl_html, "</A><BR>"});
      page.Line({"</dt>"});
      for (const std::string& line :
           MemberSummaryLines(member.texts.comment, member.texts.long_comment)) {
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
      const Member& member = all[static_cast<size_t>(m)];
      page.Line({"<A NAME=\"", std::to_string(m), "\"></A><P>"});
      page.Line({"<IMG SRC=", member.texts.visibility, "_big.gif>"});
      page.Line({"<CODE>", member.decl_html, "</CODE>"});
      page.Line({"<dl>"});
      page.Line({RenderComment(member.texts.comment, member.texts.long_comment), "<p>"});
      page.Line({"</dl></dd></dl><HR>"});
    }
  }
  page.Line({"</HTML>"});
  return page;
}

}  // namespace glossator
