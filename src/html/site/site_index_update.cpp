// Replacing one unit of a finished index, for the live preview. The unit's entries and pages are
// made apart, as a whole build would make them, and put in the place of the old ones; the
// entries and pages behind them move, and every number that names them moves along. The tables
// of names and sids stay, with the unit's names taken out and put in again; the ancestors are
// linked again in entry order, resolving only the headings whose names the unit declares or
// whose chains walk through a class that changed. The result is the index a whole build of the
// new units makes, to the bit.

#include <algorithm>
#include <iterator>

#include "html/site/site_index_builder.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

// The folded parts of an ancestor as a heading writes it: "Unit.TBase<T>" => {"unit", "tbase"}.
void AncestorParts(std::string_view text, std::vector<std::string>& parts) {
  parts.clear();
  std::string_view rest = LookupName(text);
  for (size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
    parts.push_back(ToLowerAscii(Trim(rest.substr(0, dot))));
    rest.remove_prefix(dot + 1);
  }
  parts.push_back(ToLowerAscii(Trim(rest)));
}

}  // namespace

bool SiteIndex::ReplaceUnit(std::vector<DocUnit>& units, uint32_t u, DocUnit unit,
                            UnitSplice& splice) {
  AwaitSort();
  return SiteIndexBuilder(*this, with_private_).ReplaceUnit(units, u, std::move(unit), splice);
}

void SiteIndexBuilder::FoldedNames(uint32_t first, uint32_t end,
                                   std::unordered_set<std::string>& names) const {
  for (uint32_t id = first; id < end; ++id) {
    names.insert(ToLowerAscii(LookupName(x_.entries_[id].name)));
  }
}

void SiteIndexBuilder::Undeclare(uint32_t first, uint32_t end,
                                 std::unordered_set<std::string>& unit_level) {
  auto undeclare = [&](uint32_t scope, std::string_view name) {
    NameTable::Key key(LookupName(name));
    if (key.name.empty()) return;
    // The scopes of the unit are the unit's own: whatever they hold goes.
    x_.names_.Erase(x_.sid_of_entry_[scope], key);
    if (x_.entries_[scope].type == EntryType::kUnit) {
      unit_level.insert(ToLowerAscii(key.name));
      return;
    }
    NameTable::Inserted count = x_.shared_names_.Insert(SiteIndex::kMemberNames, key, 0);
    if (count.added || --*count.value == 0) x_.shared_names_.Erase(SiteIndex::kMemberNames, key);
  };
  for (uint32_t id = first; id < end; ++id) {
    const Entry& e = x_.entries_[id];
    if (e.type == EntryType::kItem) undeclare(e.parent, e.name);
    if (e.type != EntryType::kEnumValue) continue;
    x_.names_.Erase(x_.sid_of_entry_[e.parent], NameTable::Key(Trim(e.name)));
    undeclare(x_.entries_[e.parent].parent, e.name);
  }
}

bool SiteIndexBuilder::ReplaceUnit(std::vector<DocUnit>& units, uint32_t u, DocUnit unit,
                                   UnitSplice& splice) {
  splice = UnitSplice();
  const auto unit_count = static_cast<uint32_t>(units.size());
  const auto old_size = static_cast<uint32_t>(x_.entries_.size());
  const uint32_t e0 = x_.unit_entries_[u];
  const uint32_t e1 = u + 1 < unit_count ? x_.unit_entries_[u + 1] : old_size;
  const uint32_t p0 = x_.entries_[e0].own_page;
  const uint32_t p1 =
      u + 1 < unit_count ? x_.entries_[x_.unit_entries_[u + 1]].own_page : x_.first_names_page_;
  if (units[u].name != unit.name) {
    units[u] = std::move(unit);
    return false;
  }

  // What the old entries were, read while their names still live.
  std::unordered_set<std::string> changed;  // every name the unit declared or declares
  FoldedNames(e0, e1, changed);
  std::unordered_set<std::string> first_here;  // unit-level names the unit declared first
  std::unordered_set<std::string> old_unit_level;
  Undeclare(e0, e1, old_unit_level);
  for (const std::string& name : old_unit_level) {
    uint32_t slot = x_.shared_names_.Find(SiteIndex::kUnitLevel, NameTable::Key(name));
    uint32_t first = x_.EntryOf(x_.candidates_[slot].first);
    if (first >= e0 && first < e1) first_here.insert(name);
  }
  std::vector<uint32_t> old_base(old_size);
  std::unordered_map<uint32_t, std::string> base_page_inside;  // old id => its base's page
  for (uint32_t id = 0; id < old_size; ++id) {
    old_base[id] = x_.entries_[id].base;
    if ((id < e0 || id >= e1) && old_base[id] >= e0 && old_base[id] < e1) {
      base_page_inside[id] = x_.pages_[x_.entries_[old_base[id]].own_page].file;
    }
  }
  std::vector<uint32_t> old_linked = std::move(x_.linked_base_);
  for (uint32_t id = e0; id < e1; ++id) {
    --x_.letter_counts_[LetterSlot(NameLetter(x_.entries_[id].name))];
  }
  std::string old_letters;
  for (uint32_t k = x_.first_names_page_; k < x_.pages_.size(); ++k) {
    old_letters += x_.pages_[k].letter;
  }
  for (uint32_t k = p0; k < p1; ++k) {
    auto it = x_.asked_names_.find(x_.page_asked_[k]);
    if (it != x_.asked_names_.end() && --it->second == 0) x_.asked_names_.erase(it);
  }
  units[u] = std::move(unit);

  // The new unit's entries and pages, made apart. A page name that another page asked for too
  // would be numbered by the order of the whole set: only a whole build can settle that.
  std::vector<Entry> entries;
  std::vector<Page> pages;
  std::vector<std::string> asked;
  std::vector<Warning> warnings;
  UniqueNames files;
  Sink sink{&entries, &pages, &asked, &warnings, &files, e0, p0, {}};
  sink.last_child.assign(1 + CountEntries(units[u].items, 0), kNone);
  sink_ = &sink;
  AddUnit(units[u], u);
  sink_ = nullptr;
  for (const std::string& name : asked) {
    if (x_.asked_names_.count(name) != 0) return false;
  }
  for (const std::string& name : asked) ++x_.asked_names_[name];

  const auto new_count = static_cast<uint32_t>(entries.size());
  const uint32_t new_end = e0 + new_count;
  const SiteIndexBuilder::Renumber re{e0, e1, static_cast<int64_t>(new_count) - (e1 - e0)};
  const SiteIndexBuilder::Renumber rp{p0, p1, static_cast<int64_t>(pages.size()) - (p1 - p0)};
  splice.old_entries = e1 - e0;
  splice.new_entries = new_count;
  splice.old_pages = p1 - p0;
  splice.new_pages = static_cast<uint32_t>(pages.size());

  // The sids: the unit's entry keeps its own (the table of unit names holds it); the others
  // are given back and taken anew.
  std::vector<uint32_t> sids(new_count);
  sids[0] = x_.sid_of_entry_[e0];
  for (uint32_t id = e0 + 1; id < e1; ++id) {
    x_.entry_of_sid_[x_.sid_of_entry_[id]] = kNone;
    x_.free_sids_.push_back(x_.sid_of_entry_[id]);
  }
  for (uint32_t i = 1; i < new_count; ++i) {
    if (x_.free_sids_.empty()) {
      sids[i] = static_cast<uint32_t>(x_.entry_of_sid_.size());
      x_.entry_of_sid_.push_back(kNone);
    } else {
      sids[i] = x_.free_sids_.back();
      x_.free_sids_.pop_back();
    }
  }
  x_.sid_of_entry_.erase(x_.sid_of_entry_.begin() + e0, x_.sid_of_entry_.begin() + e1);
  x_.sid_of_entry_.insert(x_.sid_of_entry_.begin() + e0, sids.begin(), sids.end());

  x_.entries_.erase(x_.entries_.begin() + e0, x_.entries_.begin() + e1);
  x_.entries_.insert(x_.entries_.begin() + e0, entries.begin(), entries.end());
  for (uint32_t id = 0; id < x_.entries_.size(); ++id) {
    Entry& e = x_.entries_[id];
    e.base = kNone;
    e.first_derived = kNone;
    e.next_derived = kNone;
    if (id >= e0 && id < new_end) continue;
    e.parent = re(e.parent);
    e.first_child = re(e.first_child);
    e.next_sibling = re(e.next_sibling);
    e.page = rp(e.page);
    e.own_page = rp(e.own_page);
  }
  for (uint32_t id = e0; id < x_.entries_.size(); ++id) {
    x_.entry_of_sid_[x_.sid_of_entry_[id]] = id;
  }
  x_.pages_.erase(x_.pages_.begin() + p0, x_.pages_.begin() + p1);
  x_.pages_.insert(x_.pages_.begin() + p0, std::make_move_iterator(pages.begin()),
                   std::make_move_iterator(pages.end()));
  x_.page_asked_.erase(x_.page_asked_.begin() + p0, x_.page_asked_.begin() + p1);
  x_.page_asked_.insert(x_.page_asked_.begin() + p0, std::make_move_iterator(asked.begin()),
                        std::make_move_iterator(asked.end()));
  for (uint32_t k = 0; k < x_.pages_.size(); ++k) {
    if (k < p0 || k >= p0 + splice.new_pages) x_.pages_[k].entry = re(x_.pages_[k].entry);
  }
  x_.first_names_page_ = rp(x_.first_names_page_);
  for (uint32_t v = u + 1; v < unit_count; ++v) x_.unit_entries_[v] = re(x_.unit_entries_[v]);

  for (uint32_t id = e0; id < new_end; ++id) {
    ++x_.letter_counts_[LetterSlot(NameLetter(x_.entries_[id].name))];
  }
  std::unordered_set<std::string> new_unit_level;
  DeclareRange(e0, new_end, &new_unit_level);
  FoldedNames(e0, new_end, changed);
  SettleUnitLevel(u, old_unit_level, new_unit_level, first_here);
  ListUnitClasses();
  LinkUses(u);
  x_.unit_warnings_[u] = std::move(warnings);

  // The ancestors, linked again in entry order.
  std::vector<uint32_t> saved(x_.entries_.size(), kNone);
  std::vector<uint8_t> vanished(x_.entries_.size(), 0);  // its ancestor was one of the unit's
  for (uint32_t id = 0; id < old_size; ++id) {
    uint32_t now = re(id);
    if (now == kNone) continue;
    saved[now] = re(old_linked[id]);
    vanished[now] = old_linked[id] != kNone && saved[now] == kNone;
  }
  Relink(e0, new_end, saved, vanished, changed);
  CutAncestorCycles();
  LinkDescendants();
  for (uint32_t id = 0; id < x_.entries_.size(); ++id) {
    if (id >= e0 && id < new_end) continue;
    uint32_t was = id < e0 ? id : static_cast<uint32_t>(static_cast<int64_t>(id) - re.delta);
    uint32_t base = x_.entries_[id].base;
    auto inside = base_page_inside.find(was);
    if (inside != base_page_inside.end()) {
      std::string now = base == kNone ? std::string() : x_.pages_[x_.entries_[base].own_page].file;
      if (now != inside->second) splice.base_changes.push_back({id, kNone});
    } else if (re(old_base[was]) != base) {
      splice.base_changes.push_back({id, re(old_base[was])});
    }
  }

  AddNamePages();
  std::string letters;
  for (uint32_t k = x_.first_names_page_; k < x_.pages_.size(); ++k) {
    letters += x_.pages_[k].letter;
  }
  splice.names_pages_changed = letters != old_letters;
  if (x_.sorted_) MergeByName(e0, e1, new_end, re);
  CollectWarnings();
  return true;
}

void SiteIndexBuilder::SettleUnitLevel(uint32_t u, const std::unordered_set<std::string>& old_names,
                                       const std::unordered_set<std::string>& new_names,
                                       const std::unordered_set<std::string>& first_here) {
  const uint32_t unit_entry = x_.unit_entries_[u];
  auto here = [&](const NameTable::Key& key) {
    return x_.sid_of_entry_[x_.Probe(unit_entry, key)];
  };
  for (const std::string& name : old_names) {
    NameTable::Key key(name);
    SiteIndex::Candidates& c = x_.candidates_[x_.shared_names_.Find(SiteIndex::kUnitLevel, key)];
    if (new_names.count(name) != 0) {
      if (first_here.count(name) != 0) c.first = here(key);
      continue;
    }
    if (--c.count == 0) {
      x_.shared_names_.Erase(SiteIndex::kUnitLevel, key);
      continue;
    }
    if (first_here.count(name) == 0) continue;
    // The units behind this one hold the others; the first of them is the first now.
    for (uint32_t v = u + 1; v < x_.unit_entries_.size(); ++v) {
      uint32_t found = x_.Probe(x_.unit_entries_[v], key);
      if (found == kNone) continue;
      c.first = x_.sid_of_entry_[found];
      break;
    }
  }
  for (const std::string& name : new_names) {
    if (old_names.count(name) != 0) continue;
    NameTable::Key key(name);
    auto slot = static_cast<uint32_t>(x_.candidates_.size());
    NameTable::Inserted found =
        x_.shared_names_.InsertCopy(SiteIndex::kUnitLevel, key, slot, x_.kept_names_);
    if (found.added) {
      x_.candidates_.push_back({here(key), 1, u});
      continue;
    }
    SiteIndex::Candidates& c = x_.candidates_[*found.value];
    ++c.count;
    if (x_.entries_[x_.EntryOf(c.first)].unit > u) c.first = here(key);
  }
}

// As LinkAncestors, but an entry outside the unit keeps the ancestor it had (`saved`) unless
// its resolution may come out otherwise: its ancestor was one of the unit's, its heading names
// something the unit declared or declares, or it resolves along chains of classes (a nested
// class, a dotted name) after a class whose ancestor changed.
void SiteIndexBuilder::Relink(uint32_t first, uint32_t end, const std::vector<uint32_t>& saved,
                              const std::vector<uint8_t>& vanished,
                              const std::unordered_set<std::string>& changed) {
  x_.linked_base_.assign(x_.entries_.size(), kNone);
  bool changed_before = false;
  std::vector<std::string> parts;
  for (uint32_t id = 0; id < x_.entries_.size(); ++id) {
    if (!x_.IsClassLikeEntry(id) || x_.entries_[id].item->ancestors.empty()) continue;
    bool inside = id >= first && id < end;
    bool resolve = inside || vanished[id];
    if (!resolve) {
      AncestorParts(x_.entries_[id].item->ancestors[0], parts);
      for (const std::string& part : parts) resolve = resolve || changed.count(part) != 0;
      bool walks = parts.size() > 1 || x_.IsClassLikeEntry(x_.entries_[id].parent);
      resolve = resolve || (changed_before && walks);
    }
    uint32_t base = resolve ? LinkedBase(id) : saved[id];
    x_.entries_[id].base = base;
    x_.linked_base_[id] = base;
    if (inside || base != saved[id]) changed_before = true;
  }
}

// The old order, renumbered, with the unit's new entries put in their places by binary search:
// a few comparisons per new entry rather than a pass of comparisons over the whole set.
void SiteIndexBuilder::MergeByName(uint32_t first, uint32_t old_end, uint32_t new_end,
                                   const Renumber& re) {
  auto less = [this](uint32_t a, uint32_t b) { return x_.NameOrderLess(a, b); };
  std::vector<uint32_t> added;
  for (uint32_t id = first; id < new_end; ++id) added.push_back(id);
  std::sort(added.begin(), added.end(), less);
  auto merge = [&](std::vector<uint32_t>& list, char letter) {
    size_t kept = 0;
    for (uint32_t id : list) {
      if (id < first || id >= old_end) list[kept++] = re(id);
    }
    list.resize(kept);
    std::vector<uint32_t> merged;
    merged.reserve(list.size() + added.size());
    auto from = list.begin();
    for (uint32_t id : added) {
      if (letter != 0 && NameLetter(x_.entries_[id].name) != letter) continue;
      auto at = std::lower_bound(from, list.end(), id, less);
      merged.insert(merged.end(), from, at);
      merged.push_back(id);
      from = at;
    }
    merged.insert(merged.end(), from, list.end());
    list.swap(merged);
  };
  merge(x_.by_name_, 0);
  for (char letter : kNameLetters) {
    merge(x_.by_letter_[LetterSlot(letter)], letter);
  }
}

}  // namespace glossator
