// The frame around every HTML page of the site: head, header with the search box, sidebar,
// breadcrumbs and footer.

#include <algorithm>

#include "html/site/site_html.h"
#include "html/site/site_render.h"

namespace glossator {
namespace {

// Sets above this many units get the full unit list in the sidebar from units.js; smaller ones
// have it inline on every page. 3,000 units inline would be some 150 KB on each page.
constexpr size_t kInlineUnits = 100;
// The sidebar lists at most this many of the current unit's items; the unit's page has all.
constexpr int kSidebarItems = 150;
// On a class page, the unit's classes around the page's own: this many before it and after it.
// A unit of hundreds of classes would otherwise repeat the same long list on each of their
// pages, which made that list a fifth of a large site.
constexpr size_t kSidebarNeighbours = 12;

// Applies a remembered theme before the first paint, so that a dark page never flashes light.
constexpr std::string_view kThemeScript =
    "<script>try{var t=localStorage.getItem(\"glossator-theme\");"
    "if(t)document.documentElement.dataset.theme=t}catch(e){}"
    "document.documentElement.classList.add(\"js\")</script>\n";

void AppendHead(const PageContext& ctx, const PageFrame& frame, std::string& out) {
  out.append("<!DOCTYPE html>\n<html lang=en>\n<head>\n<meta charset=utf-8>\n");
  out.append("<meta name=viewport content=\"width=device-width,initial-scale=1\">\n<title>");
  AppendText(out, frame.title);
  if (!ctx.options.title.empty() && frame.title != ctx.options.title) {
    out.append(" - ");
    AppendText(out, ctx.options.title);
  }
  out.append("</title>\n<link rel=stylesheet href=site.css>\n");
  out.append(kThemeScript);
  out.append("<script src=site.js defer></script>\n</head>\n");
}

std::string_view FirstNamesPage(const SiteIndex& index) {
  uint32_t first = index.FirstNamesPage();
  return first < index.Pages().size() ? std::string_view(index.File(first)) : "index.html";
}

void AppendHeader(const PageContext& ctx, std::string& out) {
  // The Menu button and the theme toggle work only with the script, which adds them.
  out.append("<a class=skip href=#g-main>Skip to content</a>\n<header class=top>\n");
  out.append("<a class=brand href=index.html>");
  AppendText(out, ctx.options.title.empty() ? std::string_view("Documentation")
                                            : std::string_view(ctx.options.title));
  out.append("</a>\n<nav class=links aria-label=Indexes><a href=\"index.html#g-units\">Units</a> ");
  out.append("<a href=hierarchy.html>Hierarchy</a> <a href=").append(FirstNamesPage(ctx.index));
  out.append(">A-Z</a></nav>\n");
  out.append(
      "<form class=search role=search action=search.html><input id=g-q name=q type=search "
      "placeholder=\"Search (press /)\" aria-label=\"Search the documentation\" "
      "autocomplete=off spellcheck=false></form>\n");
  out.append("</header>\n");
}

// The current unit's items: all of them on its own page; on a class page its class-like items
// (the pages a reader moves between), the others being one link away on the unit's page.
void AppendSidebarLink(const PageContext& ctx, const PageFrame& frame, uint32_t e,
                       std::string& out) {
  out.append("<li><a href=");
  AppendHref(ctx, e, out);
  out.append(e == frame.current ? " aria-current=page>" : ">");
  AppendText(out, ctx.index.At(e).name);
  out.append("</a>\n");
}

void AppendCurrentUnit(const PageContext& ctx, const PageFrame& frame, std::string& out) {
  const SiteIndex& x = ctx.index;
  uint32_t unit_entry = x.UnitEntry(frame.unit);
  out.append("<h2>");
  AppendLink(ctx, unit_entry, x.At(unit_entry).name, out);
  out.append("</h2>\n<ul class=items>\n");
  int shown = 0;
  bool all_shown = frame.current == unit_entry;
  if (all_shown) {
    for (uint32_t e = x.At(unit_entry).first_child; e != kNone && all_shown;
         e = x.At(e).next_sibling) {
      all_shown = shown++ < kSidebarItems;
      if (all_shown) AppendSidebarLink(ctx, frame, e, out);
    }
  } else {
    std::span<const uint32_t> classes = x.UnitClasses(frame.unit);
    // The page's own class is the middle of the window. The unit's classes are listed in the
    // order of their entries, so it is found by halving.
    size_t at = std::lower_bound(classes.begin(), classes.end(), frame.current) - classes.begin();
    if (at == classes.size()) at = 0;
    size_t begin = at > kSidebarNeighbours ? at - kSidebarNeighbours : 0;
    size_t end = std::min(classes.size(), begin + 2 * kSidebarNeighbours + 1);
    begin = end > 2 * kSidebarNeighbours + 1 ? end - (2 * kSidebarNeighbours + 1) : 0;
    for (size_t k = begin; k < end; ++k) AppendSidebarLink(ctx, frame, classes[k], out);
    shown = static_cast<int>(end - begin);
    all_shown = begin == 0 && end == classes.size();
  }
  // The unit's page lists every item in its content anyway.
  if (!all_shown && frame.current != unit_entry) {
    out.append("<li class=more><a href=").append(x.File(x.At(unit_entry).own_page));
    out.append(">All items of the unit</a>\n");
  }
  out.append("</ul>\n");
}

void AppendUnits(const PageContext& ctx, const PageFrame& frame, std::string& out) {
  const SiteIndex& x = ctx.index;
  size_t count = x.Units().size();
  if (count > kInlineUnits) {
    out.append("<details id=g-unit-list><summary>All units (");
    AppendNumber(out, static_cast<long long>(count));
    out.append(")</summary>\n<ul class=units><li><a href=\"index.html#g-units\">");
    out.append("Table of units</a></ul></details>\n");
    return;
  }
  out.append("<h2>Units</h2>\n<ul class=units>\n");
  for (uint32_t u = 0; u < count; ++u) {
    uint32_t e = x.UnitEntry(u);
    out.append("<li><a href=").append(x.File(x.At(e).own_page));
    out.append(e == frame.current ? " aria-current=page>" : ">");
    AppendText(out, x.At(e).name);
    out.append("</a>\n");
  }
  out.append("</ul>\n");
}

void AppendSidebar(const PageContext& ctx, const PageFrame& frame, std::string& out) {
  out.append("<nav id=g-side class=side aria-label=\"Units and items\">\n");
  if (frame.unit != kNone) AppendCurrentUnit(ctx, frame, out);
  AppendUnits(ctx, frame, out);
  out.append("</nav>\n");
}

void AppendCrumbs(const PageContext& ctx, const PageFrame& frame, std::string& out) {
  if (frame.last_crumb.empty()) return;
  out.append("<nav class=crumbs aria-label=Breadcrumb><ol><li><a href=index.html>Overview</a>");
  for (uint32_t e : frame.crumbs) {
    out.append("<li>");
    AppendLink(ctx, e, ctx.index.At(e).name, out);
  }
  out.append("<li aria-current=page>");
  AppendText(out, frame.last_crumb);
  out.append("</ol></nav>\n");
}

}  // namespace

void BeginPage(const PageContext& ctx, const PageFrame& frame, std::string& out) {
  AppendHead(ctx, frame, out);
  out.append("<body>\n");
  AppendHeader(ctx, out);
  out.append("<div class=layout>\n");
  AppendSidebar(ctx, frame, out);
  out.append("<main id=g-main>\n");
  AppendCrumbs(ctx, frame, out);
}

void EndPage(const PageContext& ctx, std::string& out) {
  out.append("</main>\n</div>\n<footer class=foot><p>");
  AppendText(out, ctx.options.title);
  out.append(ctx.options.title.empty() ? "" : " &middot; ");
  out.append("Written by Glossator</p></footer>\n</body>\n</html>\n");
}

}  // namespace glossator
