// The script files with data: the search index, in parts, and the list of units for the
// sidebar.
//
// The search index is read by resources/site/site.js; the two must change together. Its first
// part, search-index.js, sets window.GLOSSATOR_SEARCH to the pages the entries stand on and the
// first letters that names start with. Each of the other parts holds the names under one first
// letter (the letters of NameLetter: "a" to "z", and "_" for every other start) and is added to
// window.GLOSSATOR_SEARCH_NAMES under that letter, in search-a.js ... search-z.js and
// search-other.js. The script reads the index and the part that the query starts with, shows
// the first results, and reads the other parts behind them; how long a reader waits is how many
// bytes the browser reads first, so each entry costs a few bytes beside its name, and a name
// that many entries share (Create, Items) is written once. All parts are objects of plain
// strings, which the browser reads at the speed of string literals:
//   w       how many characters a page number takes in "info" (base 64, see kDigits)
//   pages   one line per file of Files(): the qualified name of a unit or class page, with
//           "<TAB>file" behind when the file is not that name and ".html"; empty for others
//   letters the letters whose parts hold names, in the order of the names
// and in the part of a letter, one string per rank (see RankOf) in each list:
//   counts  the number of distinct names of each rank, so that the script sizes its arrays
//   names   the distinct names one a line, sorted by their lower case (ASCII letters only)
//   sizes   per distinct name how many entries bear it, one digit (kDigits, 1 to 63), or "~"
//           and three digits
//   info    per entry, in the order of the names, its kind letter (kKindLetters) and its page
//           number in w digits
//   anchors "number<TAB>anchor" lines for the entries whose anchor is not their name; an
//           entry's number counts the entries of the part through the six ranks in order.
//           Units and class-like items have pages of their own and no anchor.

#include "html/site/site_html.h"
#include "html/site/site_names.h"
#include "html/site/site_render.h"

namespace glossator {
namespace {

constexpr int kRanks = 6;
constexpr size_t kMaxGroup = (1 << 18) - 1;  // what "~" and three digits count
constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";

// The letter of each kind, in ItemKind order; site.js has the same table.
constexpr char kKindLetters[] = "croihesaptykzvfmCDPFO";

// How many base-64 digits a page number takes.
int PageNumberWidth(const SiteIndex& x) {
  int width = 1;
  while (width < 5 && (x.Pages().size() >> (6 * width)) > 0) ++width;
  return width;
}

// Search results come in this order of kinds: units, types, routines, constants and
// variables, members, enum values.
int RankOf(const SiteIndex& x, uint32_t id) {
  const Entry& e = x.At(id);
  if (e.type == EntryType::kUnit) return 0;
  if (e.type == EntryType::kEnumValue) return 5;
  ItemKind kind = e.kind;
  if (IsClassLike(kind) || kind <= ItemKind::kAlias) return 1;
  if (x.IsClassLikeEntry(e.parent)) return 4;
  return IsRoutineLike(kind) ? 2 : 3;
}

char KindLetter(const Entry& e) {
  if (e.type == EntryType::kUnit) return 'u';
  if (e.type == EntryType::kEnumValue) return 'x';
  return kKindLetters[static_cast<int>(e.kind)];
}

// A name inside a double-quoted JavaScript string on one line of its own list: '"' and "\\"
// escaped, control characters (line breaks, tabs) as blanks. Runs of other bytes are copied
// whole.
void AppendScriptText(std::string& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool quote = c == '"' || c == '\\';
    if (!quote && static_cast<unsigned char>(c) >= 0x20) continue;
    out.append(text.data() + start, i - start);
    if (quote) out += '\\';
    out += quote ? c : ' ';
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
}

void AppendDigits(std::string& out, uint32_t number, int width) {
  for (int i = width - 1; i >= 0; --i) out += kDigits[(number >> (6 * i)) & 63];
}

void AppendPages(const SiteIndex& x, std::string& out) {
  out.append("pages:\"");
  for (uint32_t k = 0; k < x.Pages().size(); ++k) {
    const Page& page = x.Pages()[k];
    if (page.kind == PageKind::kUnit || page.kind == PageKind::kClass) {
      const std::string& name = page.title;
      AppendScriptText(out, name);
      if (page.file.size() != name.size() + 5 || page.file.compare(0, name.size(), name) != 0) {
        out.append("\\t").append(page.file);
      }
    }
    out.append("\\n");
  }
  out.append("\",\n");
}

void AppendSize(std::string& out, size_t count) {
  if (count < 64) {
    out += kDigits[count];
    return;
  }
  out += '~';
  AppendDigits(out, static_cast<uint32_t>(count), 3);
}

// One rank's names, sizes and info, each added to its own list.
struct RankWriter {
  const SiteIndex& x;
  int width;
  std::string names, sizes, info, anchors;
  uint32_t number = 0;  // the next entry's number
  size_t lines = 0;     // the distinct names of the rank so far

  void Add(const std::vector<uint32_t>& ranked) {
    for (size_t i = 0; i < ranked.size();) {
      std::string_view name = x.At(ranked[i]).name;
      size_t j = i;
      // More entries of one name than three digits count make two lines of that name.
      while (j < ranked.size() && j - i < kMaxGroup && x.At(ranked[j]).name == name) {
        AddEntry(ranked[j++]);
      }
      AppendScriptText(names, name);
      names.append("\\n");
      AppendSize(sizes, j - i);
      ++lines;
      i = j;
    }
  }

  void AddEntry(uint32_t id) {
    const Entry& e = x.At(id);
    info += KindLetter(e);
    AppendDigits(info, e.own_page != kNone ? e.own_page : e.page, width);
    if (e.own_page == kNone && (e.anchor_number != 1 || !e.plain_anchor)) {
      AppendNumber(anchors, number);
      anchors.append("\\t");
      AppendAnchor(x, id, anchors);
      anchors.append("\\n");
    }
    ++number;
  }
};

void AppendList(std::string& out, std::string_view key, const std::vector<std::string>& parts) {
  out.append(key).append(":[");
  for (size_t i = 0; i < parts.size(); ++i) {
    out.append(i == 0 ? "\"" : ",\n\"").append(parts[i]).append("\"");
  }
  out.append("],\n");
}

}  // namespace

std::string RenderSearchIndex(const PageContext& ctx) {
  const SiteIndex& x = ctx.index;
  std::string out;
  out.reserve(x.Pages().size() * 32);
  out.append("// The search index of this site, read by site.js.\nwindow.GLOSSATOR_SEARCH={w:");
  AppendNumber(out, PageNumberWidth(x));
  out.append(",\n");
  AppendPages(x, out);
  out.append("letters:\"");
  for (char letter : kNameLettersInNameOrder) {
    if (x.CountUnder(letter) > 0) out += letter;
  }
  out.append("\"};\n");
  return out;
}

std::string RenderSearchNames(const PageContext& ctx) {
  const SiteIndex& x = ctx.index;
  const char letter = x.Pages()[ctx.page].letter;
  const std::vector<uint32_t>& under = x.NamesUnder(letter);
  std::vector<uint32_t> ranked[kRanks];
  for (uint32_t e : under) ranked[RankOf(x, e)].push_back(e);

  std::string out;
  out.reserve(under.size() * 16);
  out.append("// The names under one letter of the search index of this site, read by site.js.\n");
  out.append("window.GLOSSATOR_SEARCH_NAMES=window.GLOSSATOR_SEARCH_NAMES||{};\n");
  out.append("window.GLOSSATOR_SEARCH_NAMES[\"").append(1, letter).append("\"]={");
  RankWriter writer{x, PageNumberWidth(x), {}, {}, {}, {}};
  std::vector<std::string> names, sizes, info;
  out.append("counts:[");
  for (int rank = 0; rank < kRanks; ++rank) {
    writer.lines = 0;
    writer.Add(ranked[rank]);
    if (rank > 0) out += ',';
    AppendNumber(out, static_cast<long long>(writer.lines));
    names.push_back(std::move(writer.names));
    sizes.push_back(std::move(writer.sizes));
    info.push_back(std::move(writer.info));
    writer.names.clear();
    writer.sizes.clear();
    writer.info.clear();
  }
  out.append("],\n");
  AppendList(out, "names", names);
  AppendList(out, "sizes", sizes);
  AppendList(out, "info", info);
  out.append("anchors:\"").append(writer.anchors).append("\"};\n");
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
