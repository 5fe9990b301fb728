// The page of one class-like item: heading, ancestors and descendants, comment, members grouped
// by kind, and the members it inherits from its ancestors in the set.

#include <algorithm>

#include "html/site/site_html.h"
#include "html/site/site_render.h"

namespace glossator {
namespace {

// Ancestor chains are shown this far at most; real ones are a few dozen long.
constexpr int kMaxChain = 1000;

enum class Group { kTypes, kConstants, kFields, kMethods, kProperties };

Group GroupOf(ItemKind kind) {
  switch (kind) {
    case ItemKind::kConstant:
    case ItemKind::kResourceString:
      return Group::kConstants;
    case ItemKind::kField:
    case ItemKind::kVariable:
      return Group::kFields;
    case ItemKind::kMethod:
    case ItemKind::kConstructor:
    case ItemKind::kDestructor:
    case ItemKind::kOperator:
    case ItemKind::kRoutine:
      return Group::kMethods;
    case ItemKind::kProperty:
      return Group::kProperties;
    default:
      return Group::kTypes;
  }
}

struct GroupTitle {
  Group group;
  std::string_view id;
  std::string_view title;
};
constexpr GroupTitle kGroups[] = {{Group::kConstants, "g-constants", "Constants"},
                                  {Group::kFields, "g-fields", "Fields"},
                                  {Group::kMethods, "g-methods", "Methods"},
                                  {Group::kProperties, "g-properties", "Properties"}};

void AppendHeading(const PageContext& ctx, uint32_t entry, std::string& out) {
  const Entry& e = ctx.index.At(entry);
  out.append("<h1><span class=kind>").append(KindLabel(e)).append("</span> ");
  AppendText(out, e.name);
  out.append("</h1>\n<p class=badges><span class=in>in ");
  AppendLink(ctx, ctx.index.UnitEntry(e.unit), ctx.index.Units()[e.unit].name, out);
  out.append("</span>");
  AppendBadges(*e.item, out);
  out.append("</p>\n");
  AppendDeclarationBlock(ctx, entry, out);
}

// "TFoo → TBase → TObject": the classes of the set as links, the first ancestor outside the
// set as text.
void AppendChain(const PageContext& ctx, uint32_t entry, std::string& out) {
  const SiteIndex& x = ctx.index;
  if (x.At(entry).item->ancestors.empty()) return;
  NoteLookup(ctx, x.At(entry).item->ancestors[0]);
  out.append("<p class=chain>Inheritance: ");
  AppendText(out, x.At(entry).name);
  uint32_t last = entry;
  int steps = 0;
  for (uint32_t a = x.At(entry).base; a != kNone && steps < kMaxChain; a = x.At(a).base, ++steps) {
    out.append(" &rarr; ");
    AppendLink(ctx, a, x.At(a).name, out);
    last = a;
  }
  const std::vector<std::string>& outside = x.At(last).item->ancestors;
  if (!outside.empty() && x.At(last).base == kNone) {
    out.append(" &rarr; ");
    AppendText(out, outside[0]);
  }
  out.append("</p>\n");
}

void AppendDescendants(const PageContext& ctx, uint32_t entry, std::string& out) {
  const SiteIndex& x = ctx.index;
  uint32_t first = x.At(entry).first_derived;
  if (first == kNone) return;
  out.append("<p class=derived>Direct descendants: ");
  for (uint32_t d = first; d != kNone; d = x.At(d).next_derived) {
    if (d != first) out.append(", ");
    AppendLink(ctx, d, x.At(d).name, out);
  }
  out.append("</p>\n");
}

void AppendTypes(const PageContext& ctx, uint32_t entry, std::string& out) {
  const SiteIndex& x = ctx.index;
  std::vector<uint32_t> classes;
  std::vector<uint32_t> others;
  for (uint32_t m = x.At(entry).first_child; m != kNone; m = x.At(m).next_sibling) {
    if (x.IsClassLikeEntry(m)) {
      classes.push_back(m);
    } else if (GroupOf(x.At(m).kind) == Group::kTypes) {
      others.push_back(m);
    }
  }
  if (classes.empty() && others.empty()) return;
  out.append("<h2 id=g-types>Nested types</h2>\n");
  AppendClassSummaries(ctx, classes, out);
  for (uint32_t m : others) AppendItem(ctx, m, out);
}

void AppendMembers(const PageContext& ctx, uint32_t entry, std::string& out) {
  const SiteIndex& x = ctx.index;
  AppendTypes(ctx, entry, out);
  for (const GroupTitle& group : kGroups) {
    bool started = false;
    for (uint32_t m = x.At(entry).first_child; m != kNone; m = x.At(m).next_sibling) {
      const DocItem& item = *x.At(m).item;
      if (IsClassLike(item.kind) || GroupOf(item.kind) != group.group) continue;
      if (!started) {
        out.append("<h2 id=").append(group.id).append(">").append(group.title).append("</h2>\n");
        started = true;
      }
      AppendItem(ctx, m, out);
    }
  }
}

// Each ancestor's members that no nearer class declares again, nearest ancestor first.
void AppendInherited(const PageContext& ctx, uint32_t entry, std::string& out) {
  const SiteIndex& x = ctx.index;
  NameTable seen;  // the names declared nearer, case ignored
  auto key = [&](uint32_t m) { return NameTable::Key(x.At(m).name, x.At(m).name_hash); };
  for (uint32_t m = x.At(entry).first_child; m != kNone; m = x.At(m).next_sibling) {
    seen.Insert(0, key(m), 0);
  }
  bool started = false;
  int steps = 0;
  for (uint32_t a = x.At(entry).base; a != kNone && steps < kMaxChain; a = x.At(a).base, ++steps) {
    bool listed = false;
    for (uint32_t m = x.At(a).first_child; m != kNone; m = x.At(m).next_sibling) {
      if (!seen.Insert(0, key(m), 0).added) continue;
      if (!started) out.append("<h2 id=g-inherited>Inherited members</h2>\n");
      started = true;
      if (!listed) {
        out.append("<section class=inherited><h3>From ");
        AppendLink(ctx, a, x.At(a).name, out);
        out.append("</h3>\n<p>");
      } else {
        out.append(", ");
      }
      listed = true;
      AppendLink(ctx, m, x.At(m).name, out);
    }
    if (listed) out.append("</p></section>\n");
  }
}

PageFrame FrameOf(const PageContext& ctx, uint32_t entry) {
  const SiteIndex& x = ctx.index;
  const Entry& e = x.At(entry);
  PageFrame frame{x.Pages()[e.own_page].title, e.unit, entry, {}, std::string(e.name)};
  for (uint32_t p = e.parent; p != kNone; p = x.At(p).parent) frame.crumbs.push_back(p);
  std::reverse(frame.crumbs.begin(), frame.crumbs.end());
  // The sidebar lists the unit's own items: mark the one this class stands in.
  frame.current = frame.crumbs.size() > 1 ? frame.crumbs[1] : entry;
  return frame;
}

}  // namespace

std::string RenderClassPage(const PageContext& ctx) {
  uint32_t entry = ctx.index.Pages()[ctx.page].entry;
  std::string out;
  out.reserve(16384);
  PageFrame frame = FrameOf(ctx, entry);
  BeginPage(ctx, frame, out);
  AppendHeading(ctx, entry, out);
  AppendChain(ctx, entry, out);
  AppendDescendants(ctx, entry, out);
  const DocItem& item = *ctx.index.At(entry).item;
  AppendDoc(ctx, entry, item.comment, item.hints, out);
  AppendMembers(ctx, entry, out);
  AppendInherited(ctx, entry, out);
  EndPage(ctx, out);
  return out;
}

}  // namespace glossator
