// The page of one unit: its heading, comment and uses clause, a summary of its class-like
// items, and its other items grouped by kind.

#include "html/site/site_html.h"
#include "html/site/site_render.h"

namespace glossator {
namespace {

// The groups of a unit's page, in page order; every item but the class-like ones falls in one.
enum class Group { kTypes, kConstants, kVariables, kRoutines };

Group GroupOf(ItemKind kind) {
  switch (kind) {
    case ItemKind::kConstant:
    case ItemKind::kResourceString:
      return Group::kConstants;
    case ItemKind::kVariable:
    case ItemKind::kField:
      return Group::kVariables;
    case ItemKind::kRoutine:
    case ItemKind::kMethod:
    case ItemKind::kConstructor:
    case ItemKind::kDestructor:
    case ItemKind::kOperator:
    case ItemKind::kProperty:
      return Group::kRoutines;
    default:
      return Group::kTypes;
  }
}

struct GroupTitle {
  Group group;
  std::string_view id;
  std::string_view title;
};
constexpr GroupTitle kGroups[] = {{Group::kTypes, "g-types", "Types"},
                                  {Group::kConstants, "g-constants", "Constants"},
                                  {Group::kVariables, "g-variables", "Variables"},
                                  {Group::kRoutines, "g-routines", "Routines"}};

void AppendUnitHeading(const DocUnit& unit, std::string& out) {
  out.append("<h1><span class=kind>unit</span> ");
  AppendText(out, unit.name);
  out.append("</h1>\n<pre><b>unit</b> ");
  AppendText(out, unit.name);
  out.append(";</pre>\n");
}

void AppendUses(const PageContext& ctx, const DocUnit& unit, std::string& out) {
  if (unit.uses.empty()) return;
  out.append("<p class=uses>Uses: ");
  for (size_t i = 0; i < unit.uses.size(); ++i) {
    if (i > 0) out.append(", ");
    uint32_t entry = ctx.index.UnitNamed(unit.uses[i]);
    if (entry != kNone) {
      AppendLink(ctx, entry, unit.uses[i], out);
    } else {
      AppendText(out, unit.uses[i]);
    }
  }
  out.append("</p>\n");
}

}  // namespace

std::string RenderUnitPage(const PageContext& ctx) {
  const SiteIndex& x = ctx.index;
  uint32_t unit_entry = x.Pages()[ctx.page].entry;
  uint32_t u = x.At(unit_entry).unit;
  const DocUnit& unit = x.Units()[u];
  std::string out;
  out.reserve(16384);
  PageFrame frame{unit.name, u, unit_entry, {}, unit.name};
  BeginPage(ctx, frame, out);
  AppendUnitHeading(unit, out);
  AppendDoc(ctx, unit_entry, unit.comment, unit.hints, out);
  AppendUses(ctx, unit, out);

  std::vector<uint32_t> classes;
  for (uint32_t e = x.At(unit_entry).first_child; e != kNone; e = x.At(e).next_sibling) {
    if (x.IsClassLikeEntry(e)) classes.push_back(e);
  }
  if (!classes.empty()) out.append("<h2 id=g-classes>Classes, records and interfaces</h2>\n");
  AppendClassSummaries(ctx, classes, out);
  for (const GroupTitle& group : kGroups) {
    bool started = false;
    for (uint32_t e = x.At(unit_entry).first_child; e != kNone; e = x.At(e).next_sibling) {
      const DocItem& item = *x.At(e).item;
      if (IsClassLike(item.kind) || GroupOf(item.kind) != group.group) continue;
      if (!started) {
        out.append("<h2 id=").append(group.id).append(">").append(group.title).append("</h2>\n");
        started = true;
      }
      AppendItem(ctx, e, out);
    }
  }
  EndPage(ctx, out);
  return out;
}

}  // namespace glossator
