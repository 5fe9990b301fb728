// The two script files with data: the search index and the list of units for the sidebar.
//
// The search index is read by resources/site/site.js; the two must change together. It sets one
// global, window.GLOSSATOR_SEARCH, to an object of plain strings so that the browser parses it
// at the speed of string literals and the script can search it without building anything big:
//   w       how many characters a page number takes in "info" (base 64, see kDigits)
//   pages   one line per file of Files(): "file<TAB>qualified name" for unit and class pages,
//           empty for the others
//   names   six strings, one per rank (units, types, routines, constants and variables,
//           members, enum values); in each, the entries' names one a line, sorted by their lower
//           case (ASCII letters only)
//   info    six strings beside them: per entry its kind letter (kKindLetters) and its page
//           number in w digits
//   anchors "number<TAB>anchor" lines for the entries whose anchor is not their name; an
//           entry's number counts through the six ranks in order. Units and class-like items
//           have pages of their own and no anchor.

#include "html/site/site_html.h"
#include "html/site/site_names.h"
#include "html/site/site_render.h"

namespace glossator {
namespace {

constexpr int kRanks = 6;
constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";

// The letter of each kind, in ItemKind order; site.js has the same table.
constexpr char kKindLetters[] = "croihesaptykzvfmCDPFO";

// Search results come in this order of kinds: units, types, routines, constants and
// variables, members, enum values.
int RankOf(const SiteIndex& x, uint32_t id) {
  const Entry& e = x.At(id);
  if (e.type == EntryType::kUnit) return 0;
  if (e.type == EntryType::kEnumValue) return 5;
  ItemKind kind = e.item->kind;
  if (IsClassLike(kind) || kind <= ItemKind::kAlias) return 1;
  if (x.IsClassLikeEntry(e.parent)) return 4;
  return IsRoutineLike(kind) ? 2 : 3;
}

char KindLetter(const Entry& e) {
  if (e.type == EntryType::kUnit) return 'u';
  if (e.type == EntryType::kEnumValue) return 'x';
  return kKindLetters[static_cast<int>(e.item->kind)];
}

// A name inside a double-quoted JavaScript string on one line of its own list.
void AppendScriptText(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += ' ';
    } else {
      out += c;
    }
  }
}

void AppendDigits(std::string& out, uint32_t number, int width) {
  for (int i = width - 1; i >= 0; --i) out += kDigits[(number >> (6 * i)) & 63];
}

void AppendPages(const SiteIndex& x, std::string& out) {
  out.append("pages:\"");
  for (uint32_t k = 0; k < x.Pages().size(); ++k) {
    const Page& page = x.Pages()[k];
    if (page.kind == PageKind::kUnit || page.kind == PageKind::kClass) {
      out.append(page.file).append("\\t");
      std::string name;
      AppendQualifiedName(x, page.entry, name);
      AppendScriptText(out, name);
    }
    out.append("\\n");
  }
  out.append("\",\n");
}

}  // namespace

std::string RenderSearchIndex(const PageContext& ctx) {
  const SiteIndex& x = ctx.index;
  std::vector<uint32_t> ranked[kRanks];
  for (uint32_t e : x.ByName()) ranked[RankOf(x, e)].push_back(e);
  int width = 1;
  while (width < 5 && (x.Pages().size() >> (6 * width)) > 0) ++width;

  std::string out;
  out.reserve(x.Entries().size() * 24 + x.Pages().size() * 32);
  out.append("// The search index of this site, read by site.js.\nwindow.GLOSSATOR_SEARCH={w:");
  AppendNumber(out, width);
  out.append(",\n");
  AppendPages(x, out);
  std::string info = "info:[";
  std::string anchors = "anchors:\"";
  out.append("names:[");
  uint32_t number = 0;
  for (int rank = 0; rank < kRanks; ++rank) {
    out.append(rank == 0 ? "\"" : ",\n\"");
    info.append(rank == 0 ? "\"" : ",\n\"");
    for (uint32_t id : ranked[rank]) {
      const Entry& e = x.At(id);
      AppendScriptText(out, e.name);
      out.append("\\n");
      info += KindLetter(e);
      AppendDigits(info, e.own_page != kNone ? e.own_page : e.page, width);
      if (e.own_page == kNone && (e.anchor_number != 1 || !IsAnchorStem(e.name))) {
        AppendNumber(anchors, number);
        anchors.append("\\t");
        AppendAnchor(x, id, anchors);
        anchors.append("\\n");
      }
      ++number;
    }
    out.append("\"");
    info.append("\"");
  }
  out.append("],\n").append(info).append("],\n").append(anchors).append("\"};\n");
  return out;
}

std::string RenderUnitList(const PageContext& ctx) {
  const SiteIndex& x = ctx.index;
  std::string out = "// Every unit of this site, for the sidebar; read by site.js.\n";
  out.append("window.GLOSSATOR_UNITS=\"");
  for (uint32_t u = 0; u < x.Units().size(); ++u) {
    const Entry& e = x.At(x.UnitEntry(u));
    out.append(x.File(e.own_page)).append("\\t");
    AppendScriptText(out, e.name);
    out.append("\\n");
  }
  out.append("\";\n");
  return out;
}

}  // namespace glossator
