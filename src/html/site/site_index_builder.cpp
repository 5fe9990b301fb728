#include <algorithm>
#include <deque>
#include <stdexcept>

#include "html/site/site_index.h"
#include "html/site/site_names.h"
#include "html/site/static_files.h"
#include "model/text_rules.h"

namespace glossator {

// Fills a SiteIndex in three passes: the entries and pages, unit by unit depth first; then the
// ancestors, which may stand in any unit; then the alphabetical order and the A-Z pages.
class SiteIndexBuilder {
 public:
  SiteIndexBuilder(SiteIndex& index, bool with_private) : x_(index), with_private_(with_private) {}

  void Build() {
    size_t count = 0;
    for (const DocUnit& unit : *x_.units_) count += 1 + CountEntries(unit.items, 0);
    // Anchors are views into the entries' strings: the entries must never move.
    x_.entries_.reserve(count);
    last_child_.assign(count, kNone);
    x_.names_.Reserve(count + count / 2 + x_.units_->size());
    AddFixedPages();
    for (uint32_t u = 0; u < x_.units_->size(); ++u) AddUnit(u);
    ListUnitClasses();
    LinkUses();
    LinkAncestors();
    CutAncestorCycles();
    LinkDescendants();
    AddNamePages();
  }

 private:
  // Members nested deeper than this are left out: no real code comes near, and it keeps the
  // depth-first walk's stack small whatever a reader hands over.
  static constexpr int kMaxNesting = 64;

  uint32_t AddPage(PageKind kind, std::string file, uint32_t entry = kNone) {
    Page page{kind, entry, 0, 0, std::move(file), {}};
    if (entry != kNone) {
      const Entry& e = x_.entries_[entry];
      page.title = e.parent == kNone ? std::string(e.name)
                                     : x_.pages_[x_.entries_[e.parent].own_page].title + "." +
                                           std::string(e.name);
    }
    x_.pages_.push_back(std::move(page));
    return static_cast<uint32_t>(x_.pages_.size() - 1);
  }

  // The pages every site has, and the names that items must not take from them.
  void AddFixedPages() {
    const std::vector<StaticFile>& statics = SiteStaticFiles();
    for (uint32_t i = 0; i < statics.size(); ++i) {
      AddPage(PageKind::kStaticFile, files_.Take(statics[i].name, ""));
      x_.pages_.back().static_file = i;
    }
    AddPage(PageKind::kSearchIndex, files_.Take("search-index", ".js"));
    AddPage(PageKind::kSearchMembers, files_.Take("search-members", ".js"));
    AddPage(PageKind::kUnitList, files_.Take("units", ".js"));
    AddPage(PageKind::kOverview, files_.Take("index", ".html"));
    AddPage(PageKind::kSearch, files_.Take("search", ".html"));
    AddPage(PageKind::kHierarchy, files_.Take("hierarchy", ".html"));
    for (char letter : std::string_view("abcdefghijklmnopqrstuvwxyz_")) {
      files_.Take(NamesStem(letter), ".html");
    }
  }

  // How many entries the items make at most, hidden and forward ones counted.
  static size_t CountEntries(const std::vector<DocItem>& items, int depth) {
    size_t count = 0;
    for (const DocItem& item : items) {
      count += 1 + item.values.size();
      if (depth + 1 < kMaxNesting) count += CountEntries(item.members, depth + 1);
    }
    return count;
  }

  static std::string NamesStem(char letter) {
    return letter == '_' ? std::string("names-other") : std::string("names-") + letter;
  }

  uint32_t NewEntry(std::string_view name, EntryType type, uint32_t unit, uint32_t parent) {
    if (x_.entries_.size() == x_.entries_.capacity()) {
      throw std::logic_error("SiteIndexBuilder: more entries than counted");
    }
    Entry e;
    e.name = name;
    e.type = type;
    e.unit = unit;
    e.parent = parent;
    x_.entries_.push_back(std::move(e));
    uint32_t id = static_cast<uint32_t>(x_.entries_.size() - 1);
    if (parent != kNone) AppendChild(parent, id);
    return id;
  }

  void AppendChild(uint32_t parent, uint32_t child) {
    uint32_t& last = last_child_[parent];
    if (last == kNone) {
      x_.entries_[parent].first_child = child;
    } else {
      x_.entries_[last].next_sibling = child;
    }
    last = child;
  }

  void AddUnit(uint32_t u) {
    const DocUnit& unit = (*x_.units_)[u];
    uint32_t id = NewEntry(unit.name, EntryType::kUnit, u, kNone);
    x_.unit_entries_.push_back(id);
    x_.names_.Insert(SiteIndex::kUnitNames, Trim(unit.name), id);
    std::string stem = FileStem(unit.name);
    uint32_t page = AddPage(PageKind::kUnit, files_.Take(stem, ".html"), id);
    x_.entries_[id].page = page;
    x_.entries_[id].own_page = page;
    // Class pages are named after the unit's page, so that two units of one name keep apart.
    std::string unit_stem = x_.pages_[page].file.substr(0, x_.pages_[page].file.size() - 5);
    AddItems(unit.items, id, page, unit_stem, 0);
  }

  bool Hidden(const DocItem& item) const {
    return !with_private_ && (item.visibility == "private" || item.visibility == "strict private");
  }

  // Numbers the anchors of one page: the N-th name of an anchor stem on the page gets N, so
  // overloads are told apart in source order.
  class PageAnchors {
   public:
    uint32_t Number(std::string_view name) {
      std::string_view stem = name;
      if (!IsAnchorStem(stem)) stem = made_.emplace_back(AnchorStem(name));
      NameTable::Inserted seen = stems_.Insert(0, stem, 1);
      if (!seen.added) ++*seen.value;
      return *seen.value;
    }

   private:
    NameTable stems_;               // anchor stem => how many of the page have it so far
    std::deque<std::string> made_;  // the stems that are not the names themselves; a deque
                                    // keeps them in place for the views of stems_
  };

  // Adds the items of one scope (a unit's or a class's) shown on `page`. A forward declaration
  // ("TFoo = class;") is shown only when the full one is missing.
  void AddItems(const std::vector<DocItem>& items, uint32_t scope, uint32_t page,
                const std::string& stem, int depth) {
    NameTable full;  // the class-like items declared in full, when the list has a forward one
    for (const DocItem& item : items) {
      if (!item.forward) continue;
      for (const DocItem& other : items) {
        if (!other.forward && IsClassLike(other.kind)) full.Insert(0, LookupName(other.name), 0);
      }
      break;
    }
    PageAnchors anchors;
    for (const DocItem& item : items) {
      if (Hidden(item)) continue;
      if (item.forward && full.Find(0, LookupName(item.name)) != NameTable::kMissing) continue;
      AddItem(item, scope, page, anchors, stem, depth);
    }
  }

  void AddItem(const DocItem& item, uint32_t scope, uint32_t page, PageAnchors& anchors,
               const std::string& stem, int depth) {
    uint32_t unit = x_.entries_[scope].unit;
    uint32_t id = NewEntry(item.name, EntryType::kItem, unit, scope);
    x_.entries_[id].item = &item;
    x_.entries_[id].page = page;
    x_.entries_[id].anchor_number = anchors.Number(item.name);
    Declare(scope, item.name, id);
    if (item.kind == ItemKind::kEnum) AddValues(item, id, scope, anchors);
    if (!IsClassLike(item.kind)) return;
    std::string own_stem = stem + "." + FileStem(item.name);
    uint32_t own = AddPage(PageKind::kClass, files_.Take(own_stem, ".html"), id);
    x_.entries_[id].own_page = own;
    if (depth + 1 >= kMaxNesting) {
      Warn(unit, item.line, "The members of " + item.name + " are nested too deep to be shown");
      return;
    }
    std::string page_stem = x_.pages_[own].file.substr(0, x_.pages_[own].file.size() - 5);
    AddItems(item.members, id, own, page_stem, depth + 1);
  }

  // A value is found both among its enumeration's names ("TAlign.alLeft") and in the scope
  // around the enumeration, as the compiler finds it.
  void AddValues(const DocItem& item, uint32_t owner, uint32_t scope, PageAnchors& anchors) {
    for (const EnumValue& value : item.values) {
      uint32_t id = NewEntry(value.name, EntryType::kEnumValue, x_.entries_[owner].unit, owner);
      Entry& e = x_.entries_[id];
      e.value = &value;
      e.page = x_.entries_[owner].page;
      e.anchor_number = anchors.Number(value.name);
      x_.names_.Insert(owner, Trim(value.name), id);
      Declare(scope, value.name, id);
    }
  }

  void Declare(uint32_t scope, std::string_view name, uint32_t id) {
    NameTable::Key key(LookupName(name));
    if (key.name.empty()) return;
    x_.names_.Insert(scope, key, id);
    if (x_.entries_[scope].type != EntryType::kUnit) {
      x_.names_.Insert(SiteIndex::kMemberNames, key, 0);
      return;
    }
    uint32_t unit = x_.entries_[id].unit;
    auto slot = static_cast<uint32_t>(x_.candidates_.size());
    NameTable::Inserted found = x_.names_.Insert(SiteIndex::kUnitLevel, key, slot);
    if (found.added) {
      x_.candidates_.push_back({id, 1, unit});
      return;
    }
    SiteIndex::Candidates& candidates = x_.candidates_[*found.value];
    if (candidates.last_unit != unit) {
      ++candidates.count;
      candidates.last_unit = unit;
    }
  }

  void ListUnitClasses() {
    for (uint32_t unit_entry : x_.unit_entries_) {
      x_.class_starts_.push_back(static_cast<uint32_t>(x_.unit_classes_.size()));
      for (uint32_t e = x_.entries_[unit_entry].first_child; e != kNone;
           e = x_.entries_[e].next_sibling) {
        if (x_.IsClassLikeEntry(e)) x_.unit_classes_.push_back(e);
      }
    }
    x_.class_starts_.push_back(static_cast<uint32_t>(x_.unit_classes_.size()));
  }

  void LinkUses() {
    x_.uses_.resize(x_.units_->size());
    for (uint32_t u = 0; u < x_.units_->size(); ++u) {
      for (const std::string& name : (*x_.units_)[u].uses) {
        uint32_t found = x_.UnitNamed(name);
        if (found != kNone) x_.uses_[u].push_back(x_.entries_[found].unit);
      }
    }
  }

  // The first ancestor of a class-like item names its base; the others are interfaces.
  void LinkAncestors() {
    for (uint32_t id = 0; id < x_.entries_.size(); ++id) {
      if (!x_.IsClassLikeEntry(id) || x_.entries_[id].item->ancestors.empty()) continue;
      uint32_t base = ResolveText(x_.ScopeOf(id), x_.entries_[id].item->ancestors[0]);
      if (base != id && base != kNone && x_.IsClassLikeEntry(base)) x_.entries_[id].base = base;
    }
  }

  // Resolves a name as written in a heading: "TBase", "Unit.TBase", "TList<T>".
  uint32_t ResolveText(Scope scope, std::string_view text) {
    std::vector<std::string_view> parts;
    std::string_view rest = LookupName(text);
    for (size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
      parts.push_back(Trim(rest.substr(0, dot)));
      rest.remove_prefix(dot + 1);
    }
    parts.push_back(Trim(rest));
    std::vector<uint32_t> targets(parts.size());
    x_.ResolveDotted(scope, parts, targets);
    return targets.back();
  }

  // Colours each chain as it is walked; meeting the chain being walked again closes a cycle,
  // which is cut in front of the entry that closed it.
  void CutAncestorCycles() {
    std::vector<uint8_t> state(x_.entries_.size(), 0);  // 0 new, 1 on the walk, 2 done
    std::vector<uint32_t> walk;
    for (uint32_t id = 0; id < x_.entries_.size(); ++id) {
      walk.clear();
      uint32_t c = id;
      while (c != kNone && state[c] == 0) {
        state[c] = 1;
        walk.push_back(c);
        uint32_t next = x_.entries_[c].base;
        if (next != kNone && state[next] == 1) {
          const DocItem& item = *x_.entries_[c].item;
          Warn(x_.entries_[c].unit, item.line, "The ancestors of " + item.name + " form a cycle");
          x_.entries_[c].base = kNone;
          next = kNone;
        }
        c = next;
      }
      for (uint32_t w : walk) state[w] = 2;
    }
  }

  void LinkDescendants() {
    for (uint32_t id = static_cast<uint32_t>(x_.entries_.size()); id-- > 0;) {
      uint32_t base = x_.entries_[id].base;
      if (base == kNone) continue;
      x_.entries_[id].next_derived = x_.entries_[base].first_derived;
      x_.entries_[base].first_derived = id;
    }
  }

  void AddNamePages() {
    bool present[27] = {};
    for (const Entry& e : x_.entries_) present[LetterSlot(NameLetter(e.name))] = true;
    x_.first_names_page_ = static_cast<uint32_t>(x_.pages_.size());
    for (char letter : std::string_view("abcdefghijklmnopqrstuvwxyz_")) {
      if (!present[LetterSlot(letter)]) continue;
      // The names were taken in AddFixedPages; these are their files.
      uint32_t page = AddPage(PageKind::kNames, NamesStem(letter) + ".html");
      x_.pages_[page].letter = letter;
    }
  }

  void Warn(uint32_t unit, int line, std::string text) {
    const DocUnit& u = (*x_.units_)[unit];
    x_.warnings_.push_back(Warning{u.file, line, "site", std::move(text), {}});
  }

  SiteIndex& x_;
  bool with_private_;
  UniqueNames files_;
  std::vector<uint32_t> last_child_;
};

int LetterSlot(char letter) { return letter == '_' ? 26 : letter - 'a'; }

char NameLetter(std::string_view name) {
  char c = name.empty() ? '_' : ToLowerAscii(name[0]);
  return c >= 'a' && c <= 'z' ? c : '_';
}

SiteIndex::SiteIndex(const std::vector<DocUnit>& units, bool with_private) : units_(&units) {
  SiteIndexBuilder(*this, with_private).Build();
}

}  // namespace glossator
