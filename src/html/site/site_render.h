#ifndef GLOSSATOR_HTML_SITE_SITE_RENDER_H_
#define GLOSSATOR_HTML_SITE_SITE_RENDER_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "html/site/declaration_markup.h"
#include "html/site/site.h"
#include "html/site/site_index.h"

namespace glossator {

// What rendering one file needs. Read-only; one per file being rendered.
struct PageContext {
  const SiteIndex& index;
  const SiteOptions& options;
  uint32_t page;
  std::vector<std::string>* looked_up;  // not owned; null unless the caller wants the names
};

// The renderers of the kinds of file (unit_page.cpp, class_page.cpp, set_pages.cpp,
// search_index.cpp); each returns the file's bytes.
std::string RenderUnitPage(const PageContext& ctx);
std::string RenderClassPage(const PageContext& ctx);
std::string RenderOverview(const PageContext& ctx);
std::string RenderSearchPage(const PageContext& ctx);
std::string RenderHierarchy(const PageContext& ctx);
std::string RenderNamesPage(const PageContext& ctx);
// The search index: its first file (search-index.js: the pages and the letters), and the part
// of the names under the letter of the page being rendered (search-a.js ...).
std::string RenderSearchIndex(const PageContext& ctx);
std::string RenderSearchNames(const PageContext& ctx);
std::string RenderUnitList(const PageContext& ctx);

// The link target of an entry seen from the page being rendered: a unit's or class's own file,
// "#anchor" for an item on this page, "File.html#anchor" for one elsewhere.
void AppendHref(const PageContext& ctx, uint32_t entry, std::string& out);
// "<a href=Unit.TFoo.html>name</a>", the name escaped.
void AppendLink(const PageContext& ctx, uint32_t entry, std::string_view text, std::string& out);
// The name with its units and classes in front: "Unit.TOuter.TInner.Method".
void AppendQualifiedName(const SiteIndex& index, uint32_t entry, std::string& out);
// The words a reader sees for an entry's kind: "class", "constructor", "enum value", "unit".
std::string_view KindLabel(const Entry& entry);

// Resolves the names of one declaration in one scope for AppendDeclaration, and records the
// names it looks up when the page context asks for them.
class ScopeLinks : public DeclarationLinks {
 public:
  ScopeLinks(const PageContext& ctx, Scope scope) : ctx_(ctx), scope_(scope) {}
  void Resolve(std::span<const std::string_view> parts, std::span<uint32_t> targets) const override;
  void AppendHref(uint32_t target, std::string& out) const override;

 private:
  const PageContext& ctx_;
  Scope scope_;
};

// Records a name that a page looked up, in lower case, when the context collects them.
void NoteLookup(const PageContext& ctx, std::string_view name);

// The frame of every HTML page.
struct PageFrame {
  std::string title;         // the page's own title, as text (escaped when written)
  uint32_t unit = kNone;     // the unit whose items the sidebar lists; kNone for none
  uint32_t current = kNone;  // the unit or class entry the page is about, marked in the sidebar
  // The path from the overview to this page, without the overview: entries as links.
  std::vector<uint32_t> crumbs;
  std::string last_crumb;  // the page's own crumb, as text; empty for the overview
};

// Everything in front of the page's content: head, header with the search box, sidebar,
// breadcrumbs, and the opening of <main>.
void BeginPage(const PageContext& ctx, const PageFrame& frame, std::string& out);
// Closes <main> and writes the footer.
void EndPage(const PageContext& ctx, std::string& out);

// One item as a section: heading with its permalink, badges and source link, declaration,
// comment and tags.
void AppendItem(const PageContext& ctx, uint32_t entry, std::string& out);
// The item's declaration alone, highlighted and linked, inside <pre class=decl><code>.
void AppendDeclarationBlock(const PageContext& ctx, uint32_t entry, std::string& out);
// The badges of an item: visibility other than public, class member, hint directives.
void AppendBadges(const DocItem& item, std::string& out);
// A comment with its tags as sections, in the scope of `entry` for the "@see" targets.
void AppendDoc(const PageContext& ctx, uint32_t entry, std::string_view comment, const Hints& hints,
               std::string& out);
// The first sentence of a comment, made safe; nothing for an empty comment.
void AppendSummary(std::string_view comment, std::string& out);
// A definition list of class-like items, each a link to its page, with its kind and the first
// sentence of its comment. Writes nothing for an empty list.
void AppendClassSummaries(const PageContext& ctx, std::span<const uint32_t> entries,
                          std::string& out);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_SITE_RENDER_H_
