#include "html/site/site_index_builder.h"

#include <algorithm>
#include <deque>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "html/site/site_names.h"
#include "html/site/static_files.h"
#include "model/text_rules.h"

namespace glossator {

// Numbers the anchors of one page: the N-th name of an anchor stem on the page gets N, so
// overloads are told apart in source order.
class SiteIndexBuilder::PageAnchors {
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

void SiteIndexBuilder::Build(int threads) {
  size_t count = 0;
  for (const DocUnit& unit : *x_.units_) count += 1 + CountEntries(unit.items, 0);
  Start(count);
  for (uint32_t u = 0; u < x_.units_->size(); ++u) Add((*x_.units_)[u], u);
  Finish(threads);
}

void SiteIndexBuilder::Start(size_t expected_entries) {
  x_.entries_.reserve(expected_entries);
  x_.names_.Reserve(expected_entries);
  x_.shared_names_.Reserve(expected_entries / 2);
  own_.last_child.reserve(expected_entries);
  sink_ = &own_;
  AddFixedPages();
}

void SiteIndexBuilder::Add(const DocUnit& unit, uint32_t u) {
  const size_t first = x_.entries_.size();
  const size_t count = 1 + CountEntries(unit.items, 0);
  // Room for the unit's entries: each AddUnit makes exactly as many as counted.
  if (x_.entries_.capacity() < first + count) {
    x_.entries_.reserve(std::max(first + count, 2 * x_.entries_.capacity()));
  }
  own_.last_child.resize(first + count, kNone);
  x_.unit_warnings_.resize(u + 1);
  own_.warnings = &x_.unit_warnings_[u];
  AddUnit(unit, u);
  own_.warnings = nullptr;
  // Its entries keep their numbers as sids, and declare their names in entry order, as they
  // would after the last unit.
  const auto end = static_cast<uint32_t>(x_.entries_.size());
  for (auto e = static_cast<uint32_t>(first); e < end; ++e) {
    x_.sid_of_entry_.push_back(e);
    x_.entry_of_sid_.push_back(e);
  }
  DeclareRange(static_cast<uint32_t>(first), end);
}

void SiteIndexBuilder::Finish(int threads) {
  sink_ = nullptr;
  // Every entry and its name are in place: what follows changes other fields only, and the
  // pages that need the names in order are rendered last (Site::RenderOrder).
  if (threads > 1) x_.SortInBackground();
  for (const std::string& name : asked_) ++x_.asked_names_[name];
  x_.page_asked_ = std::move(asked_);
  ListUnitClasses();
  x_.uses_.resize(x_.units_->size());
  for (uint32_t u = 0; u < x_.units_->size(); ++u) LinkUses(u);
  LinkAncestors();
  CutAncestorCycles();
  LinkDescendants();
  x_.first_names_page_ = static_cast<uint32_t>(x_.pages_.size());
  for (const Entry& e : x_.entries_) ++x_.letter_counts_[LetterSlot(NameLetter(e.name))];
  AddNamePages();
  CollectWarnings();
}

uint32_t SiteIndexBuilder::AddPage(PageKind kind, std::string_view stem, std::string_view extension,
                                   uint32_t entry) {
  std::string file = sink_->files->Take(stem, extension);
  sink_->asked->push_back(ToLowerAscii(std::string(stem).append(extension)));
  Page page{kind, entry, 0, 0, std::move(file), {}};
  if (entry != kNone) {
    const Entry& e = E(entry);
    page.title = e.parent == kNone ? std::string(e.name)
                                   : P(E(e.parent).own_page).title + "." + std::string(e.name);
  }
  sink_->pages->push_back(std::move(page));
  return sink_->page_base + static_cast<uint32_t>(sink_->pages->size() - 1);
}

// The pages every site has, and the names that items must not take from them.
void SiteIndexBuilder::AddFixedPages() {
  const std::vector<StaticFile>& statics = SiteStaticFiles();
  for (uint32_t i = 0; i < statics.size(); ++i) {
    AddPage(PageKind::kStaticFile, statics[i].name, "");
    x_.pages_.back().static_file = i;
  }
  AddPage(PageKind::kSearchIndex, "search-index", ".js");
  for (char letter : kNameLettersInNameOrder) {
    AddPage(PageKind::kSearchNames, SearchNamesStem(letter), ".js");
    x_.pages_.back().letter = letter;
  }
  AddPage(PageKind::kUnitList, "units", ".js");
  AddPage(PageKind::kOverview, "index", ".html");
  AddPage(PageKind::kSearch, "search", ".html");
  AddPage(PageKind::kHierarchy, "hierarchy", ".html");
  for (char letter : kNameLetters) {
    std::string stem = NamesStem(letter);
    sink_->files->Take(stem, ".html");
    ++x_.asked_names_[stem + ".html"];
  }
}

// How many entries the items make at most, hidden and forward ones counted.
size_t SiteIndexBuilder::CountEntries(const std::vector<DocItem>& items, int depth) {
  size_t count = 0;
  for (const DocItem& item : items) {
    count += 1 + item.values.size();
    if (depth + 1 < kMaxNesting) count += CountEntries(item.members, depth + 1);
  }
  return count;
}

std::string SiteIndexBuilder::NamesStem(char letter) {
  return letter == '_' ? std::string("names-other") : std::string("names-") + letter;
}

std::string SiteIndexBuilder::SearchNamesStem(char letter) {
  return letter == '_' ? std::string("search-other") : std::string("search-") + letter;
}

uint32_t SiteIndexBuilder::NewEntry(std::string_view name, EntryType type, uint32_t unit,
                                    uint32_t parent) {
  if (sink_->entries->size() >= sink_->last_child.size()) {
    throw std::logic_error("SiteIndexBuilder: more entries than counted");
  }
  Entry e;
  e.name = name;
  e.name_hash = NameTable::Key(name).hash;
  e.plain_anchor = IsAnchorStem(name);
  e.type = type;
  e.unit = unit;
  e.parent = parent;
  sink_->entries->push_back(std::move(e));
  uint32_t id = sink_->entry_base + static_cast<uint32_t>(sink_->entries->size() - 1);
  if (parent != kNone) AppendChild(parent, id);
  return id;
}

void SiteIndexBuilder::AppendChild(uint32_t parent, uint32_t child) {
  uint32_t& last = sink_->last_child[parent - sink_->entry_base];
  if (last == kNone) {
    E(parent).first_child = child;
  } else {
    E(last).next_sibling = child;
  }
  last = child;
}

void SiteIndexBuilder::AddUnit(const DocUnit& unit, uint32_t u) {
  uint32_t id = NewEntry(unit.name, EntryType::kUnit, u, kNone);
  if (sink_->entries == &x_.entries_) x_.unit_entries_.push_back(id);
  uint32_t page = AddPage(PageKind::kUnit, FileStem(unit.name), ".html", id);
  E(id).page = page;
  E(id).own_page = page;
  // Class pages are named after the unit's page, so that two units of one name keep apart.
  const std::string& file = P(page).file;
  std::string unit_stem = file.substr(0, file.size() - 5);
  AddItems(unit.items, id, page, unit_stem, 0);
}

bool SiteIndexBuilder::Hidden(const DocItem& item) const {
  return !with_private_ && (item.visibility == "private" || item.visibility == "strict private");
}

// Adds the items of one scope (a unit's or a class's) shown on `page`. A forward declaration
// ("TFoo = class;") is shown only when the full one is missing.
void SiteIndexBuilder::AddItems(const std::vector<DocItem>& items, uint32_t scope, uint32_t page,
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

void SiteIndexBuilder::AddItem(const DocItem& item, uint32_t scope, uint32_t page,
                               PageAnchors& anchors, const std::string& stem, int depth) {
  uint32_t unit = E(scope).unit;
  uint32_t id = NewEntry(item.name, EntryType::kItem, unit, scope);
  E(id).item = &item;
  E(id).kind = item.kind;
  E(id).page = page;
  E(id).anchor_number = anchors.Number(item.name);
  if (item.kind == ItemKind::kEnum) AddValues(item, id, anchors);
  if (!IsClassLike(item.kind)) return;
  uint32_t own = AddPage(PageKind::kClass, stem + "." + FileStem(item.name), ".html", id);
  E(id).own_page = own;
  if (depth + 1 >= kMaxNesting) {
    Warn(unit, item.line, "The members of " + item.name + " are nested too deep to be shown");
    return;
  }
  const std::string& file = P(own).file;
  std::string page_stem = file.substr(0, file.size() - 5);
  AddItems(item.members, id, own, page_stem, depth + 1);
}

void SiteIndexBuilder::AddValues(const DocItem& item, uint32_t owner, PageAnchors& anchors) {
  for (const EnumValue& value : item.values) {
    uint32_t id = NewEntry(value.name, EntryType::kEnumValue, E(owner).unit, owner);
    Entry& e = E(id);
    e.value = &value;
    e.page = E(owner).page;
    e.anchor_number = anchors.Number(value.name);
  }
}

void SiteIndexBuilder::Warn(uint32_t unit, int line, std::string text) {
  const DocUnit& u = (*x_.units_)[unit];
  sink_->warnings->push_back(Warning{u.file, line, "site", std::move(text), {}});
}

void SiteIndexBuilder::DeclareRange(uint32_t first, uint32_t end,
                                    std::unordered_set<std::string>* unit_level) {
  for (uint32_t id = first; id < end; ++id) {
    const Entry& e = x_.entries_[id];
    switch (e.type) {
      case EntryType::kUnit:
        // The first unit of a name is the one a name finds.
        x_.shared_names_.InsertCopy(SiteIndex::kUnitNames, NameTable::Key(Trim(e.name)),
                                    x_.sid_of_entry_[id], x_.kept_names_);
        break;
      case EntryType::kItem:
        Declare(e.parent, e.name, id, unit_level);
        break;
      case EntryType::kEnumValue:
        // A value is found both among its enumeration's names ("TAlign.alLeft") and in the
        // scope around the enumeration, as the compiler finds it.
        x_.names_.Insert(x_.sid_of_entry_[e.parent], NameTable::Key(Trim(e.name)),
                         x_.sid_of_entry_[id]);
        Declare(x_.entries_[e.parent].parent, e.name, id, unit_level);
        break;
    }
  }
}

void SiteIndexBuilder::Declare(uint32_t scope, std::string_view name, uint32_t id,
                               std::unordered_set<std::string>* unit_level) {
  NameTable::Key key(LookupName(name));
  if (key.name.empty()) return;
  x_.names_.Insert(x_.sid_of_entry_[scope], key, x_.sid_of_entry_[id]);
  if (x_.entries_[scope].type != EntryType::kUnit) {
    ++*x_.shared_names_.InsertCopy(SiteIndex::kMemberNames, key, 0, x_.kept_names_).value;
    return;
  }
  if (unit_level != nullptr) {
    unit_level->insert(ToLowerAscii(key.name));
    return;
  }
  uint32_t unit = x_.entries_[id].unit;
  auto slot = static_cast<uint32_t>(x_.candidates_.size());
  NameTable::Inserted found =
      x_.shared_names_.InsertCopy(SiteIndex::kUnitLevel, key, slot, x_.kept_names_);
  if (found.added) {
    x_.candidates_.push_back({x_.sid_of_entry_[id], 1, unit});
    return;
  }
  SiteIndex::Candidates& candidates = x_.candidates_[*found.value];
  if (candidates.last_unit != unit) {
    ++candidates.count;
    candidates.last_unit = unit;
  }
}

void SiteIndexBuilder::ListUnitClasses() {
  x_.unit_classes_.clear();
  x_.class_starts_.clear();
  for (uint32_t unit_entry : x_.unit_entries_) {
    x_.class_starts_.push_back(static_cast<uint32_t>(x_.unit_classes_.size()));
    for (uint32_t e = x_.entries_[unit_entry].first_child; e != kNone;
         e = x_.entries_[e].next_sibling) {
      if (x_.IsClassLikeEntry(e)) x_.unit_classes_.push_back(e);
    }
  }
  x_.class_starts_.push_back(static_cast<uint32_t>(x_.unit_classes_.size()));
}

void SiteIndexBuilder::LinkUses(uint32_t u) {
  x_.uses_[u].clear();
  for (const std::string& name : (*x_.units_)[u].uses) {
    uint32_t found = x_.UnitNamed(name);
    if (found != kNone) x_.uses_[u].push_back(x_.entries_[found].unit);
  }
}

uint32_t SiteIndexBuilder::LinkedBase(uint32_t id) {
  uint32_t base = ResolveText(x_.ScopeOf(id), x_.entries_[id].item->ancestors[0]);
  return base != id && base != kNone && x_.IsClassLikeEntry(base) ? base : kNone;
}

// The first ancestor of a class-like item names its base; the others are interfaces. The
// entries are linked in order, each seeing the links of those before it.
void SiteIndexBuilder::LinkAncestors() {
  x_.linked_base_.assign(x_.entries_.size(), kNone);
  for (uint32_t id = 0; id < x_.entries_.size(); ++id) {
    if (!x_.IsClassLikeEntry(id) || x_.entries_[id].item->ancestors.empty()) continue;
    x_.entries_[id].base = LinkedBase(id);
    x_.linked_base_[id] = x_.entries_[id].base;
  }
}

// Resolves a name as written in a heading: "TBase", "Unit.TBase", "TList<T>".
uint32_t SiteIndexBuilder::ResolveText(Scope scope, std::string_view text) {
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
void SiteIndexBuilder::CutAncestorCycles() {
  x_.cycle_warnings_.clear();
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
        const DocUnit& unit = (*x_.units_)[x_.entries_[c].unit];
        x_.cycle_warnings_.push_back(Warning{
            unit.file, item.line, "site", "The ancestors of " + item.name + " form a cycle", {}});
        x_.entries_[c].base = kNone;
        next = kNone;
      }
      c = next;
    }
    for (uint32_t w : walk) state[w] = 2;
  }
}

void SiteIndexBuilder::LinkDescendants() {
  for (Entry& e : x_.entries_) {
    e.first_derived = kNone;
    e.next_derived = kNone;
  }
  for (uint32_t id = static_cast<uint32_t>(x_.entries_.size()); id-- > 0;) {
    uint32_t base = x_.entries_[id].base;
    if (base == kNone) continue;
    x_.entries_[id].next_derived = x_.entries_[base].first_derived;
    x_.entries_[base].first_derived = id;
  }
}

void SiteIndexBuilder::AddNamePages() {
  x_.pages_.resize(x_.first_names_page_);
  x_.page_asked_.resize(x_.first_names_page_);
  for (char letter : kNameLetters) {
    if (x_.letter_counts_[LetterSlot(letter)] == 0) continue;
    // The names were taken in AddFixedPages; these are their files.
    Page page{PageKind::kNames, kNone, letter, 0, NamesStem(letter) + ".html", {}};
    x_.pages_.push_back(std::move(page));
    x_.page_asked_.emplace_back();
  }
}

void SiteIndexBuilder::CollectWarnings() {
  x_.warnings_.clear();
  for (const std::vector<Warning>& unit : x_.unit_warnings_) {
    x_.warnings_.insert(x_.warnings_.end(), unit.begin(), unit.end());
  }
  x_.warnings_.insert(x_.warnings_.end(), x_.cycle_warnings_.begin(), x_.cycle_warnings_.end());
}

int LetterSlot(char letter) { return letter == '_' ? 26 : letter - 'a'; }

char NameLetter(std::string_view name) {
  char c = name.empty() ? '_' : ToLowerAscii(name[0]);
  return c >= 'a' && c <= 'z' ? c : '_';
}

SiteIndex::SiteIndex(const std::vector<DocUnit>& units, bool with_private, int threads)
    : units_(&units), with_private_(with_private) {
  SiteIndexBuilder(*this, with_private).Build(threads);
}

SiteIndex::SiteIndex(bool with_private) : units_(nullptr), with_private_(with_private) {
  growing_ = std::make_unique<SiteIndexBuilder>(*this, with_private);
  growing_->Start(0);
}

SiteIndex::~SiteIndex() { AwaitSort(); }

void SiteIndex::AddUnit(const std::vector<DocUnit>& units) {
  units_ = &units;
  growing_->Add(units.back(), static_cast<uint32_t>(units.size() - 1));
}

void SiteIndex::Finish(const std::vector<DocUnit>& units, int threads) {
  units_ = &units;
  growing_->Finish(threads);
  growing_.reset();
}

void SiteIndex::SortInBackground() {
  try {
    sorter_ = std::thread([this] {
      try {
        ByName();
      } catch (const std::exception&) {
        // ByName() sorts again, or fails, on the thread that asks next.
      }
    });
  } catch (const std::system_error&) {
    // No thread: the first ByName() sorts.
  }
}

void SiteIndex::AwaitSort() {
  if (sorter_.joinable()) sorter_.join();
}

}  // namespace glossator
