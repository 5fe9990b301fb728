// The live preview's side of the site: one unit replaced, and the files that may show it.
//
// What other files show of a unit is summed up before and after the change (digests of the
// texts they show), so that a comment edit re-renders the unit's pages alone and a new method
// also the search index and one A-Z page. The digests list what set_pages.cpp, search_index.cpp
// and class_page.cpp show of other units' items; a change there must be mirrored here (the
// live preview's differential test compares every file with a whole build and finds what was
// missed).

#include <algorithm>
#include <set>
#include <unordered_map>

#include "html/site/comment_html.h"
#include "html/site/site.h"
#include "html/site/site_index.h"
#include "html/site/site_render.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

// Every field of the model is either compared by SameTables or moved by MoveTexts. A field added
// to the model changes these sizes: add it to one of the two, then here.
static_assert(sizeof(DocItem) == 376 && sizeof(EnumValue) == 104 && sizeof(DocUnit) == 192,
              "a field of the unit model is new: compare it in SameTables or move it in MoveTexts");

bool SameItems(const std::vector<DocItem>& a, const std::vector<DocItem>& b);

// Whether the tables of the site would be the same for both units: the same names, kinds,
// visibilities, ancestors and values in the same places, and the same uses clause. Comments,
// declarations, types, hints and lines may differ.
bool SameTables(const DocUnit& a, const DocUnit& b) {
  return a.name == b.name && a.uses == b.uses && SameItems(a.items, b.items);
}

bool SameValues(const std::vector<EnumValue>& a, const std::vector<EnumValue>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name) return false;
  }
  return true;
}

bool SameItems(const std::vector<DocItem>& a, const std::vector<DocItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const DocItem& x = a[i];
    const DocItem& y = b[i];
    if (x.kind != y.kind || x.name != y.name || x.visibility != y.visibility ||
        x.forward != y.forward || x.ancestors != y.ancestors || !SameValues(x.values, y.values) ||
        !SameItems(x.members, y.members)) {
      return false;
    }
  }
  return true;
}

// Moves what SameTables does not compare from `from` into `to`, field by field: the items of
// `to` stay where they are, and so do their names, which the tables view.
void MoveItemTexts(DocItem& from, DocItem& to) {
  to.file = std::move(from.file);
  to.line = from.line;
  to.declaration = std::move(from.declaration);
  to.comment = std::move(from.comment);
  to.long_comment = std::move(from.long_comment);
  to.type = std::move(from.type);
  to.value = std::move(from.value);
  to.hints = std::move(from.hints);
  to.class_member = from.class_member;
  for (size_t i = 0; i < to.values.size(); ++i) {
    to.values[i].ordinal = std::move(from.values[i].ordinal);
    to.values[i].comment = std::move(from.values[i].comment);
    to.values[i].line = from.values[i].line;
  }
  for (size_t i = 0; i < to.members.size(); ++i) MoveItemTexts(from.members[i], to.members[i]);
}

void MoveTexts(DocUnit& from, DocUnit& to) {
  to.file = std::move(from.file);
  to.line = from.line;
  to.comment = std::move(from.comment);
  to.hints = std::move(from.hints);
  for (size_t i = 0; i < to.items.size(); ++i) MoveItemTexts(from.items[i], to.items[i]);
}

bool SameHints(const Hints& a, const Hints& b) {
  return a.deprecated == b.deprecated && a.deprecated_message == b.deprecated_message &&
         a.platform == b.platform && a.experimental == b.experimental && a.library == b.library;
}

// Whether what MoveItemTexts moves is the same (the item alone, not its members). Lines count
// only where pages show them, in source links.
bool SameTexts(const DocItem& a, const DocItem& b, bool lines) {
  if (a.file != b.file || (lines && a.line != b.line) || a.declaration != b.declaration ||
      a.comment != b.comment || a.long_comment != b.long_comment || a.type != b.type ||
      a.value != b.value || !SameHints(a.hints, b.hints) || a.class_member != b.class_member) {
    return false;
  }
  for (size_t i = 0; i < a.values.size(); ++i) {
    const EnumValue& x = a.values[i];
    const EnumValue& y = b.values[i];
    if (x.ordinal != y.ordinal || x.comment != y.comment || (lines && x.line != y.line)) {
      return false;
    }
  }
  return true;
}

// Each item of `old_items` => the item at its place in `new_items`, which has the same shape.
void PairItems(const std::vector<DocItem>& old_items, const std::vector<DocItem>& new_items,
               std::unordered_map<const DocItem*, const DocItem*>& pairs) {
  for (size_t i = 0; i < old_items.size(); ++i) {
    pairs[&old_items[i]] = &new_items[i];
    PairItems(old_items[i].members, new_items[i].members, pairs);
  }
}

// A 64-bit FNV-1a sum of texts and numbers, each closed so that ("ab", "c") and ("a", "bc")
// differ.
class Digest {
 public:
  Digest& Add(std::string_view text) {
    for (char c : text) Byte(static_cast<unsigned char>(c));
    Byte(0xFF);
    return *this;
  }
  Digest& Add(uint64_t number) {
    for (int i = 0; i < 8; ++i) Byte(static_cast<unsigned char>(number >> (8 * i)));
    return *this;
  }
  uint64_t Value() const { return hash_; }

 private:
  void Byte(unsigned char c) {
    hash_ ^= c;
    hash_ *= 1099511628211ull;
  }
  uint64_t hash_ = 14695981039346656037ull;
};

// Where a link to an entry goes from another page: "Unit.TFoo.html", "Unit.html#Bar-2".
std::string Target(const SiteIndex& x, uint32_t entry) {
  const Entry& e = x.At(entry);
  if (e.own_page != kNone) return x.File(e.own_page);
  std::string target = x.File(e.page) + "#";
  AppendAnchor(x, entry, target);
  return target;
}

uint64_t KindCode(const Entry& e) {
  return static_cast<uint64_t>(e.type) << 8 | (e.item ? static_cast<uint64_t>(e.kind) : 0);
}

std::string BasePage(const SiteIndex& x, uint32_t entry) {
  uint32_t base = x.At(entry).base;
  return base == kNone ? std::string() : x.File(x.At(base).own_page);
}

std::string FoldedLookupName(std::string_view name) { return ToLowerAscii(LookupName(name)); }

// The class-like entries that derive from `entry`, however far down.
std::vector<uint32_t> Descendants(const SiteIndex& x, uint32_t entry) {
  std::vector<uint32_t> found;
  std::vector<uint32_t> stack{entry};
  while (!stack.empty()) {
    uint32_t c = stack.back();
    stack.pop_back();
    for (uint32_t d = x.At(c).first_derived; d != kNone; d = x.At(d).next_derived) {
      // A cycle is cut before the tables are done, so every walk ends; the bound is for safety.
      if (found.size() > x.Entries().size()) return found;
      found.push_back(d);
      stack.push_back(d);
    }
  }
  return found;
}

// The file of the first page of a kind ("index.html" for the overview), or empty.
std::string FileOfKind(const SiteIndex& x, PageKind kind, char letter = 0) {
  for (const Page& page : x.Pages()) {
    if (page.kind == kind && (letter == 0 || page.letter == letter)) return page.file;
  }
  return {};
}

}  // namespace

// What the files of other units and of the whole set show of one unit.
struct Site::UnitFacts {
  std::vector<std::string> pages;  // the unit's own
  uint64_t overview = 0;
  uint64_t hierarchy = 0;
  uint64_t search = 0;
  uint64_t letters[27] = {};
  // Per class page of the unit: what the pages of its descendants and its ancestor show of it,
  // its ancestor's page, and the pages that show it (its ancestor's and its descendants').
  std::unordered_map<std::string, uint64_t> families;
  std::unordered_map<std::string, std::string> bases;
  std::unordered_map<std::string, std::vector<std::string>> related;
  // Per lookup name (folded): where the unit's entries of that name are and link.
  std::unordered_map<std::string, uint64_t> links;
};

Site::UnitFacts Site::FactsOf(size_t unit) const {
  const SiteIndex& x = *index_;
  const auto u = static_cast<uint32_t>(unit);
  auto [e0, e1] = x.UnitEntryRange(u);
  auto [p0, p1] = x.UnitPageRange(u);
  UnitFacts facts;
  Digest overview, hierarchy, search, letters[27];
  for (uint32_t k = p0; k < p1; ++k) {
    facts.pages.push_back(files_[k]);
    search.Add(x.Pages()[k].title).Add(files_[k]);
  }
  uint64_t items = 0, classes = 0;
  std::unordered_map<std::string, Digest> links;
  for (uint32_t e = e0; e < e1; ++e) {
    const Entry& entry = x.At(e);
    std::string target = Target(x, e);
    bool member = entry.parent != kNone && x.IsClassLikeEntry(entry.parent);
    search.Add(entry.name).Add(KindCode(entry)).Add(member).Add(target);
    letters[LetterSlot(NameLetter(entry.name))]
        .Add(entry.name)
        .Add(KindLabel(entry))
        .Add(target)
        .Add(x.Pages()[entry.page].title);
    std::string parent = entry.parent == kNone ? std::string() : Target(x, entry.parent);
    links[FoldedLookupName(entry.name)].Add(target).Add(KindCode(entry)).Add(parent);
    if (entry.type == EntryType::kItem) ++items;
    if (!x.IsClassLikeEntry(e)) continue;
    ++classes;
    const DocItem& item = *entry.item;
    std::string_view ancestor = item.ancestors.empty() ? "" : Trim(item.ancestors[0]);
    std::string base = BasePage(x, e);
    Digest family;
    family.Add(entry.name).Add(target).Add(ancestor).Add(base);
    for (uint32_t m = entry.first_child; m != kNone; m = x.At(m).next_sibling) {
      family.Add(x.At(m).name).Add(Target(x, m)).Add(KindCode(x.At(m)));
    }
    facts.families[target] = family.Value();
    facts.bases[target] = base;
    std::vector<std::string>& related = facts.related[target];
    if (!base.empty()) related.push_back(base);
    for (uint32_t d : Descendants(x, e)) related.push_back(x.File(x.At(d).own_page));
    // The trees list classes, interfaces and objects, and under them whatever derives from
    // them, records and helpers too.
    hierarchy.Add(entry.name).Add(target).Add(ancestor).Add(base).Add(KindCode(entry));
  }
  overview.Add(FirstSentence(x.Units()[u].comment)).Add(items).Add(classes);
  facts.overview = overview.Value();
  facts.hierarchy = hierarchy.Value();
  facts.search = search.Value();
  for (int i = 0; i < 27; ++i) facts.letters[i] = letters[i].Value();
  for (auto& [name, digest] : links) facts.links[name] = digest.Value();
  return facts;
}

// The pages that show the texts that differ: an item's section stands on its page, and a
// class-like item's heading and comment also on its own page; the unit's comment is on its page,
// and its first sentence on the overview.
std::vector<std::string> Site::PagesOfTexts(size_t u, const DocUnit& new_unit) const {
  const SiteIndex& x = *index_;
  const DocUnit& old_unit = x.Units()[u];
  const bool lines = !options_.source_url.empty();
  std::unordered_map<const DocItem*, const DocItem*> pairs;
  PairItems(old_unit.items, new_unit.items, pairs);
  std::set<uint32_t> pages;
  uint32_t unit_entry = x.UnitEntry(static_cast<uint32_t>(u));
  auto [e0, e1] = x.UnitEntryRange(static_cast<uint32_t>(u));
  for (uint32_t e = e0; e < e1; ++e) {
    const Entry& entry = x.At(e);
    if (entry.type != EntryType::kItem || SameTexts(*entry.item, *pairs[entry.item], lines)) {
      continue;
    }
    pages.insert(entry.page);
    if (entry.own_page != kNone) pages.insert(entry.own_page);
  }
  if (old_unit.comment != new_unit.comment || !SameHints(old_unit.hints, new_unit.hints) ||
      old_unit.file != new_unit.file) {
    pages.insert(x.At(unit_entry).own_page);
  }
  std::vector<std::string> files;
  for (uint32_t page : pages) files.push_back(files_[page]);
  if (FirstSentence(old_unit.comment) != FirstSentence(new_unit.comment)) {
    files.push_back(FileOfKind(x, PageKind::kOverview));
  }
  return files;
}

Site::UnitUpdate Site::ReplaceUnit(std::vector<DocUnit>& units, size_t u, DocUnit unit) {
  UnitUpdate update;
  const SiteIndex* x = index_.get();
  if (SameTables(units[u], unit)) {
    update.files = PagesOfTexts(u, unit);
    MoveTexts(unit, units[u]);
    return update;
  }
  UnitFacts before = FactsOf(u);
  UnitSplice splice;
  if (!index_->ReplaceUnit(units, static_cast<uint32_t>(u), std::move(unit), splice)) {
    index_ = std::make_unique<SiteIndex>(units, options_.with_private);
    ListFiles();
    update.all_files = true;
    return update;
  }
  ListFiles();
  if (splice.names_pages_changed) {
    update.all_files = true;
    return update;
  }
  UnitFacts after = FactsOf(u);
  std::set<std::string> files(before.pages.begin(), before.pages.end());
  files.insert(after.pages.begin(), after.pages.end());
  std::set<std::string> names;

  // Classes of the unit whose descendants or ancestor show something else of them now.
  std::vector<uint32_t> roots;  // classes whose chain of ancestors changed
  for (const auto* side : {&before, &after}) {
    for (const auto& [page, family] : side->families) {
      auto then = before.families.find(page);
      auto now = after.families.find(page);
      if (then != before.families.end() && now != after.families.end() &&
          then->second == now->second) {
        continue;
      }
      for (const auto* facts : {&before, &after}) {
        auto related = facts->related.find(page);
        if (related != facts->related.end()) {
          files.insert(related->second.begin(), related->second.end());
        }
      }
    }
  }
  x = index_.get();
  for (const auto& [page, base] : after.bases) {
    auto then = before.bases.find(page);
    if (then == before.bases.end() || then->second == base) continue;
    files.insert(then->second);
    for (uint32_t k = 0; k < x->Pages().size(); ++k) {
      if (x->File(k) == page) roots.push_back(x->Pages()[k].entry);
    }
  }
  for (const UnitSplice::BaseChange& change : splice.base_changes) {
    roots.push_back(change.entry);
    if (change.old_base != kNone) files.insert(x->File(x->At(change.old_base).own_page));
  }
  // A class whose chain changed: its page, its ancestor's, the pages of its descendants and of
  // the classes nested in any of them (they look names up along the chain), and every page that
  // looks up a name through one of them ("TFoo.Bar").
  std::vector<uint32_t> stack = roots;
  std::set<uint32_t> seen;
  while (!stack.empty()) {
    uint32_t c = stack.back();
    stack.pop_back();
    if (!seen.insert(c).second) continue;
    files.insert(x->File(x->At(c).own_page));
    std::string base = BasePage(*x, c);
    if (!base.empty()) files.insert(base);
    names.insert(FoldedLookupName(x->At(c).name));
    for (uint32_t d = x->At(c).first_derived; d != kNone; d = x->At(d).next_derived) {
      stack.push_back(d);
    }
    for (uint32_t m = x->At(c).first_child; m != kNone; m = x->At(m).next_sibling) {
      if (x->IsClassLikeEntry(m)) stack.push_back(m);
    }
  }

  // The files that show something of every unit.
  if (before.overview != after.overview) files.insert(FileOfKind(*x, PageKind::kOverview));
  if (before.hierarchy != after.hierarchy || !roots.empty()) {
    files.insert(FileOfKind(*x, PageKind::kHierarchy));
  }
  // The search index is in parts; all are rendered again, and only those whose bytes changed
  // are written.
  if (before.search != after.search) {
    files.insert(FileOfKind(*x, PageKind::kSearchIndex));
    for (const Page& page : x->Pages()) {
      if (page.kind == PageKind::kSearchNames) files.insert(page.file);
    }
  }
  for (char letter : kNameLetters) {
    int slot = LetterSlot(letter);
    if (before.letters[slot] == after.letters[slot]) continue;
    std::string file = FileOfKind(*x, PageKind::kNames, letter);
    if (!file.empty()) files.insert(file);
  }

  for (const auto* side : {&before, &after}) {
    for (const auto& [name, link] : side->links) {
      auto then = before.links.find(name);
      auto now = after.links.find(name);
      if (then == before.links.end() || now == after.links.end() || then->second != now->second) {
        names.insert(name);
      }
    }
  }
  files.erase(std::string());
  update.files.assign(files.begin(), files.end());
  update.names.assign(names.begin(), names.end());
  return update;
}

}  // namespace glossator
