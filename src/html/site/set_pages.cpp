// The pages about the whole set: the overview, the search page, the class hierarchy and the
// A-Z index.

#include <algorithm>

#include "html/site/comment_html.h"
#include "html/site/site_html.h"
#include "html/site/site_render.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

// The content of a description page's <body>, or the whole text when it has none.
std::string_view BodyOf(std::string_view html) {
  size_t body = PosNoCase("<body", html);
  if (body == 0) return html;
  size_t open_end = html.find('>', body - 1);
  if (open_end == std::string_view::npos) return {};
  std::string_view rest = html.substr(open_end + 1);
  size_t close = PosNoCase("</body", rest);
  return close == 0 ? rest : rest.substr(0, close - 1);
}

void AppendCounts(const PageContext& ctx, std::string& out) {
  size_t classes = 0, items = 0;
  for (uint32_t e = 0; e < ctx.index.Entries().size(); ++e) {
    const Entry& entry = ctx.index.At(e);
    if (entry.type != EntryType::kItem) continue;
    ++items;
    if (IsClassLike(entry.kind)) ++classes;
  }
  out.append("<p>");
  AppendNumber(out, static_cast<long long>(ctx.index.Units().size()));
  out.append(" units, ");
  AppendNumber(out, static_cast<long long>(classes));
  out.append(" classes, records and interfaces, ");
  AppendNumber(out, static_cast<long long>(items));
  out.append(" documented items in all.</p>\n");
}

void AppendUnitTable(const PageContext& ctx, std::string& out) {
  out.append("<h2 id=g-units>Units</h2>\n<div class=wide><table class=units>\n");
  out.append("<thead><tr><th scope=col>Unit<th scope=col>Description</thead>\n<tbody>\n");
  for (uint32_t u = 0; u < ctx.index.Units().size(); ++u) {
    uint32_t e = ctx.index.UnitEntry(u);
    out.append("<tr><td>");
    AppendLink(ctx, e, ctx.index.At(e).name, out);
    out.append("<td>");
    AppendSummary(ctx.index.Units()[u].comment, out);
    out.append("\n");
  }
  out.append("</tbody></table></div>\n");
}

PageFrame SetFrame(std::string title) {
  PageFrame frame;
  frame.last_crumb = title;
  frame.title = std::move(title);
  return frame;
}

// One tree of the hierarchy: `roots` and everything derived from them, as nested lists, the
// children of each class in name order. Walks with a stack of its own, so a long chain of
// classes costs no call depth.
void AppendTree(const PageContext& ctx, std::vector<uint32_t> roots, std::string& out) {
  const SiteIndex& x = ctx.index;
  auto by_name = [&x](uint32_t a, uint32_t b) {
    return FoldedLess(x.At(a).name, x.At(b).name) ||
           (!FoldedLess(x.At(b).name, x.At(a).name) && a < b);
  };
  struct Level {
    std::vector<uint32_t> classes;
    size_t next = 0;
  };
  std::vector<Level> stack;
  std::sort(roots.begin(), roots.end(), by_name);
  stack.push_back({std::move(roots), 0});
  out.append("<ul>");
  while (!stack.empty()) {
    Level& level = stack.back();
    if (level.next == level.classes.size()) {
      stack.pop_back();
      out.append(stack.empty() ? "</ul>\n" : "</ul>");
      continue;
    }
    uint32_t c = level.classes[level.next++];
    out.append("\n<li>");
    AppendLink(ctx, c, x.At(c).name, out);
    std::vector<uint32_t> children;
    for (uint32_t d = x.At(c).first_derived; d != kNone; d = x.At(d).next_derived) {
      children.push_back(d);
    }
    if (children.empty()) continue;
    std::sort(children.begin(), children.end(), by_name);
    out.append("<ul>");
    stack.push_back({std::move(children), 0});
  }
}

// The classes of one kind without an ancestor in the set, grouped under the name of the
// ancestor they name outside it (text), those naming none first.
void AppendKindTrees(const PageContext& ctx, ItemKind kind, std::string_view title,
                     std::string& out) {
  const SiteIndex& x = ctx.index;
  std::vector<std::pair<std::string_view, uint32_t>> roots;
  for (uint32_t e = 0; e < x.Entries().size(); ++e) {
    const Entry& entry = x.At(e);
    if (entry.type != EntryType::kItem || entry.kind != kind || entry.base != kNone) continue;
    const std::vector<std::string>& ancestors = entry.item->ancestors;
    roots.emplace_back(ancestors.empty() ? std::string_view() : Trim(ancestors[0]), e);
  }
  if (roots.empty()) return;
  std::stable_sort(roots.begin(), roots.end(),
                   [](const auto& a, const auto& b) { return FoldedLess(a.first, b.first); });
  out.append("<h2>").append(title).append("</h2>\n<ul class=tree>\n");
  for (size_t i = 0; i < roots.size();) {
    size_t j = i;
    std::vector<uint32_t> group;
    while (j < roots.size() && EqualsNoCase(roots[j].first, roots[i].first)) {
      group.push_back(roots[j++].second);
    }
    if (roots[i].first.empty()) {
      out.append("<li class=outside>(no ancestor)");
    } else {
      out.append("<li class=outside>");
      AppendText(out, roots[i].first);
    }
    AppendTree(ctx, std::move(group), out);
    i = j;
  }
  out.append("</ul>\n");
}

void AppendLetters(const PageContext& ctx, char current, std::string& out) {
  out.append("<nav class=letters aria-label=Letters><ul>");
  for (uint32_t k = ctx.index.FirstNamesPage(); k < ctx.index.Pages().size(); ++k) {
    const Page& page = ctx.index.Pages()[k];
    out.append("<li><a href=").append(page.file);
    out.append(page.letter == current ? " aria-current=page>" : ">");
    if (page.letter == '_') {
      out.append("Other");
    } else {
      out += static_cast<char>(page.letter - 'a' + 'A');
    }
    out.append("</a>");
  }
  out.append("</ul></nav>\n");
}

// One name of the A-Z index: each entry of that name as a link, with what it is and where.
void AppendNameGroup(const PageContext& ctx, std::span<const uint32_t> group, std::string& out) {
  const SiteIndex& x = ctx.index;
  out.append("<dt>");
  AppendText(out, x.At(group[0]).name);
  out.append("\n<dd>");
  for (size_t i = 0; i < group.size(); ++i) {
    const Entry& e = x.At(group[i]);
    if (i > 0) out.append(", ");
    out.append("<a href=");
    AppendHref(ctx, group[i], out);
    out.append(">");
    // Where it stands: the page's qualified name (a unit: its own name).
    AppendText(out, x.Pages()[e.page].title);
    out.append("</a> <small>").append(KindLabel(e)).append("</small>");
  }
  out.append("\n");
}

}  // namespace

bool FoldedLess(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(ToLowerAscii(a[i]));
    unsigned char cb = static_cast<unsigned char>(ToLowerAscii(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

std::string RenderOverview(const PageContext& ctx) {
  std::string out;
  std::string title = ctx.options.title.empty() ? "Documentation" : ctx.options.title;
  PageFrame frame = SetFrame(title);
  frame.last_crumb.clear();
  BeginPage(ctx, frame, out);
  out.append("<h1>");
  AppendText(out, title);
  out.append("</h1>\n");
  if (ctx.options.description_html.empty()) {
    AppendCounts(ctx, out);
  } else {
    out.append("<div class=doc>");
    AppendSafeHtml(out, BodyOf(ctx.options.description_html));
    out.append("</div>\n");
  }
  AppendUnitTable(ctx, out);
  EndPage(ctx, out);
  return out;
}

std::string RenderSearchPage(const PageContext& ctx) {
  std::string out;
  BeginPage(ctx, SetFrame("Search"), out);
  out.append(
      "<h1>Search</h1>\n<p id=g-status role=status>Type a name in the search box.</p>\n"
      "<noscript><p>Searching needs JavaScript. The A-Z index lists every name.</p></noscript>\n"
      "<ol id=g-found class=found></ol>\n");
  EndPage(ctx, out);
  return out;
}

std::string RenderHierarchy(const PageContext& ctx) {
  std::string out;
  BeginPage(ctx, SetFrame("Class hierarchy"), out);
  out.append("<h1>Class hierarchy</h1>\n");
  AppendKindTrees(ctx, ItemKind::kClass, "Classes", out);
  AppendKindTrees(ctx, ItemKind::kInterface, "Interfaces", out);
  AppendKindTrees(ctx, ItemKind::kObject, "Objects", out);
  EndPage(ctx, out);
  return out;
}

std::string RenderNamesPage(const PageContext& ctx) {
  const SiteIndex& x = ctx.index;
  char letter = x.Pages()[ctx.page].letter;
  std::string heading = letter == '_' ? std::string("Other names")
                                      : std::string("Names: ") + static_cast<char>(letter - 32);
  std::string out;
  out.reserve(1 << 20);
  BeginPage(ctx, SetFrame(heading), out);
  out.append("<h1>").append(heading).append("</h1>\n");
  AppendLetters(ctx, letter, out);
  out.append("<dl class=names>\n");
  std::vector<uint32_t> group;
  for (uint32_t e : x.NamesUnder(letter)) {
    if (!group.empty() && !EqualsNoCase(x.At(group[0]).name, x.At(e).name)) {
      AppendNameGroup(ctx, group, out);
      group.clear();
    }
    group.push_back(e);
  }
  if (!group.empty()) AppendNameGroup(ctx, group, out);
  out.append("</dl>\n");
  EndPage(ctx, out);
  return out;
}

}  // namespace glossator
