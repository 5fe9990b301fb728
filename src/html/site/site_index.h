#ifndef GLOSSATOR_HTML_SITE_SITE_INDEX_H_
#define GLOSSATOR_HTML_SITE_SITE_INDEX_H_

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/warning.h"
#include "html/site/name_table.h"
#include "model/text_arena.h"
#include "model/unit_model.h"

namespace glossator {

class SiteIndexBuilder;

constexpr uint32_t kNone = UINT32_MAX;

// What an entry names: a unit, a declared item, or one value of an enumeration.
enum class EntryType : uint8_t { kUnit, kItem, kEnumValue };

// One named thing of the site, with the place where a link to it goes. Entries are numbered in
// the order of the units, each unit followed by its items in source order, members right after
// their class (depth first).
struct Entry {
  std::string_view name;             // as declared (a view into the units)
  const DocItem* item = nullptr;     // items only
  const EnumValue* value = nullptr;  // enumeration values only
  EntryType type = EntryType::kItem;
  bool plain_anchor = false;  // the name is its own anchor stem (IsAnchorStem), known once
  // Items: item->kind, kept here (in room the fields around leave over) for the loops over
  // every entry, which would otherwise read each item for it.
  ItemKind kind = ItemKind::kAlias;
  uint32_t unit = 0;             // the unit's number
  uint32_t parent = kNone;       // the unit's entry, the enclosing class-like item, or the enum
  uint32_t page = 0;             // the file that shows it: a class-like item's summary stands on
                                 // its parent's page, a value on its enumeration's
  uint32_t own_page = kNone;     // units and class-like items: their own page
  uint32_t base = kNone;         // class-like items: their ancestor, when the set declares it
  uint32_t first_child = kNone;  // members (units: their items; enums: their values) in order
  uint32_t next_sibling = kNone;
  uint32_t first_derived = kNone;  // the class-like items whose base this is, in entry order
  uint32_t next_derived = kNone;
  // Its id on `page` (AppendAnchor writes it): the anchor stem of its name, with "-N" behind
  // when this is the N-th item (or value) of that stem on the page. 0 for units, which have no
  // anchor.
  uint32_t anchor_number = 0;
  // NameTable::Key(name).hash, made once: class pages look the names of every ancestor's
  // members up (it fits in what the fields above leave over).
  uint32_t name_hash = 0;
};
static_assert(sizeof(void*) != 8 || sizeof(Entry) == 80, "an entry keeps to 80 bytes");

// What a file of the site holds.
enum class PageKind : uint8_t {
  kStaticFile,   // site.css, site.js: bytes compiled into the program
  kSearchIndex,  // search-index.js: the pages search results link to
  kSearchNames,  // search-a.js ...: the names of the search index under one first letter
  kUnitList,     // units.js: the sidebar's list of every unit, for large sets
  kOverview,     // index.html
  kSearch,       // search.html
  kHierarchy,    // hierarchy.html
  kNames,        // names-a.html ...: the A-Z index, one page per first letter
  kUnit,
  kClass,
};

struct Page {
  PageKind kind;
  uint32_t entry = kNone;    // units and classes: the entry the page is about
  char letter = 0;           // kNames, kSearchNames: 'a'..'z', or '_' for any other start
  uint32_t static_file = 0;  // kStaticFile: its index in SiteStaticFiles()
  std::string file;
  // Units and classes: the qualified name of the entry ("Unit.TOuter.TInner"), the context
  // that lists and search results show for what stands on the page.
  std::string title;
};

// Hashing and comparing names with the ASCII letters folded to lower case, for tables of names.
struct FoldedNameHash {
  size_t operator()(std::string_view name) const;
};
struct FoldedNameEqual {
  bool operator()(std::string_view a, std::string_view b) const;
};

// Where a name is looked up: a unit, and inside it the innermost class-like item (kNone at
// the unit's level).
struct Scope {
  uint32_t unit = 0;
  uint32_t cls = kNone;
};

// What SiteIndex::ReplaceUnit changed beside the unit's own entries and pages.
struct UnitSplice {
  // The unit's entries (from UnitEntry(u) on) and pages (from its unit page on), before and
  // after; everything behind them moved by the difference.
  uint32_t old_entries = 0;
  uint32_t new_entries = 0;
  uint32_t old_pages = 0;
  uint32_t new_pages = 0;
  // The A-Z pages stand for other letters now: the list of files changed beyond the unit's.
  bool names_pages_changed = false;
  // A class-like entry outside the unit (new number) whose ancestor is another now, with the
  // one it had (new number; kNone when it had none or it was one of the unit's).
  struct BaseChange {
    uint32_t entry;
    uint32_t old_base;
  };
  std::vector<BaseChange> base_changes;
};

// Everything the pages need to know about the whole set before one of them is written: the
// entries, the files and their names, each class's ancestor and descendants, the names in
// alphabetical order, and the tables that resolve a name as the compiler would. Built once and
// read-only while pages are rendered, so pages can be rendered on any number of threads; the
// live preview replaces one unit at a time between renderings (ReplaceUnit).
class SiteIndex {
 public:
  // `units` must outlive the index. Members that are private or strict private are left out
  // unless `with_private`.
  SiteIndex(const std::vector<DocUnit>& units, bool with_private, int threads = 1);
  // An index that grows a unit at a time, for a run that hands each unit over as soon as it is
  // read: AddUnit for each, in the set's order, then Finish; the index is the one the
  // constructor above makes of the same units. Only a finished index may be read.
  explicit SiteIndex(bool with_private);
  ~SiteIndex();
  SiteIndex(const SiteIndex&) = delete;
  SiteIndex& operator=(const SiteIndex&) = delete;
  // Adds units.back(), the next unit. REQUIRES: the units added before are the vector's other
  // elements, at the same addresses (the vector keeps room for all, or moves whole).
  void AddUnit(const std::vector<DocUnit>& units);
  // Completes the tables of `units`, whose elements are those added. With more than one thread
  // the names are sorted on a second one, which may still be at it on return (ByName() waits).
  void Finish(const std::vector<DocUnit>& units, int threads);

  // Replaces units[u] by `unit` and brings the tables up to date in time linear in the number
  // of entries (with no resolution of names but those that may resolve differently), leaving
  // them exactly as a new index of the new units would be. Returns false, with units[u]
  // replaced but the tables not, when that cannot be done in place: the unit's name changed,
  // or a file name of its pages meets another page's name. The index must then be built anew.
  // REQUIRES: `units` is the vector the index was built from; u < units.size(); no page is
  // being rendered.
  bool ReplaceUnit(std::vector<DocUnit>& units, uint32_t u, DocUnit unit, UnitSplice& splice);

  const std::vector<DocUnit>& Units() const { return *units_; }
  const std::vector<Entry>& Entries() const { return entries_; }
  const Entry& At(uint32_t entry) const { return entries_[entry]; }
  const std::vector<Page>& Pages() const { return pages_; }
  // The A-Z pages: the last pages, from this one on.
  uint32_t FirstNamesPage() const { return first_names_page_; }
  uint32_t UnitEntry(uint32_t unit) const { return unit_entries_[unit]; }
  // Unit u's entries (its own first, then its items depth first) and its pages (its unit page
  // first, then its classes' pages), each as [first, end).
  std::pair<uint32_t, uint32_t> UnitEntryRange(uint32_t unit) const;
  std::pair<uint32_t, uint32_t> UnitPageRange(uint32_t unit) const;
  // The entry of the first unit of that name (blanks around it ignored), or kNone.
  uint32_t UnitNamed(std::string_view name) const;
  // The class-like items declared at the level of unit u, in source order.
  std::span<const uint32_t> UnitClasses(uint32_t unit) const {
    return std::span<const uint32_t>(unit_classes_)
        .subspan(class_starts_[unit], class_starts_[unit + 1] - class_starts_[unit]);
  }
  // The units that unit u's uses clause names and the set holds, in clause order.
  const std::vector<uint32_t>& UsedUnits(uint32_t unit) const { return uses_[unit]; }
  // Every entry, ordered by name without case (ASCII letters only), then by entry number. Made
  // on a second thread when the index was built with more than one (this waits for it), or else
  // the first time it is asked for, on the thread that asks; safe from several threads.
  const std::vector<uint32_t>& ByName() const;
  // The entries of ByName() whose names NameLetter puts under `letter`, in that order.
  const std::vector<uint32_t>& NamesUnder(char letter) const;
  // How many entries NamesUnder(letter) holds, known without the sort.
  uint32_t CountUnder(char letter) const;
  // Problems of the input found while building, such as a cycle of ancestors.
  const std::vector<Warning>& Warnings() const { return warnings_; }

  // The entry a name means in a scope, as the compiler finds it: the members of the class and
  // its ancestors, then those of the enclosing classes and theirs, then the unit, then the
  // units of the uses clause from the last to the first, then any unit of the set in order.
  // A generic matches by the name in front of its "<"; the type parameters of the enclosing
  // classes hide every item of their name. kNone when the set has nothing of that name.
  uint32_t Resolve(Scope scope, std::string_view name) const;
  // Resolves the parts of a dotted name ("Unit.TFoo.Bar", "TFoo.TInner") into `targets`, one
  // each (kNone for a part that stays text). A leading unit name, dotted or not, counts only
  // when the part behind it names an item of that unit; otherwise the first part is resolved in
  // the scope and each following part among the members of the one before.
  // REQUIRES: targets.size() == parts.size().
  void ResolveDotted(Scope scope, std::span<const std::string_view> parts,
                     std::span<uint32_t> targets) const;
  // The member `name` of a class-like item or its ancestors, or a value of an enumeration.
  uint32_t MemberOf(uint32_t owner, std::string_view name) const;
  // The scope in which the declaration of `entry` is read.
  Scope ScopeOf(uint32_t entry) const;

  bool IsClassLikeEntry(uint32_t entry) const;
  // The file name of a page.
  const std::string& File(uint32_t page) const { return pages_[page].file; }

 private:
  // The unit-level items of one name across the set: the first, and in how many units.
  struct Candidates {
    uint32_t first;
    uint32_t count;      // the number of units that declare it
    uint32_t last_unit;  // the unit that declared it last
  };
  // The scopes of names_ that are not entries.
  static constexpr uint32_t kUnitLevel = UINT32_MAX - 1;    // name => index into candidates_
  static constexpr uint32_t kMemberNames = UINT32_MAX - 2;  // every member's name
  static constexpr uint32_t kUnitNames = UINT32_MAX - 3;    // unit name => the unit's entry

  friend class SiteIndexBuilder;

  using Key = NameTable::Key;
  // The tables name scopes and entries by numbers of their own (sids) that stay when a unit
  // before them grows or shrinks; these translate.
  uint32_t EntryOf(uint32_t sid) const {
    return sid == NameTable::kMissing ? kNone : entry_of_sid_[sid];
  }
  uint32_t Probe(uint32_t scope, const Key& key) const {
    return EntryOf(names_.Find(sid_of_entry_[scope], key));
  }
  uint32_t InClassChain(uint32_t cls, const Key& key) const;
  uint32_t InUnits(uint32_t unit, const Key& key) const;
  uint32_t MemberOf(uint32_t owner, const Key& key) const;
  bool IsTypeParameter(uint32_t cls, std::string_view name) const;

  const std::vector<DocUnit>* units_;  // not owned
  std::vector<Entry> entries_;
  std::vector<Page> pages_;
  uint32_t first_names_page_ = 0;
  std::vector<uint32_t> unit_entries_;
  std::vector<uint32_t> unit_classes_;
  std::vector<uint32_t> class_starts_;  // unit u's classes: from class_starts_[u] to [u + 1]
  std::vector<std::vector<uint32_t>> uses_;
  void SortByName() const;
  // Sorts the names on a thread of its own (sorter_); a thread that cannot start leaves it to
  // the first ByName(). AwaitSort waits for that thread; the tables must not change before.
  void SortInBackground();
  void AwaitSort();
  // Whether entry a comes before entry b in ByName().
  bool NameOrderLess(uint32_t a, uint32_t b) const;
  mutable std::mutex sort_mutex_;
  mutable bool sorted_ = false;  // guarded by sort_mutex_ while pages are rendered
  mutable std::vector<uint32_t> by_name_;
  mutable std::vector<uint32_t> by_letter_[27];  // 'a'..'z', then the others
  std::thread sorter_;
  std::unique_ptr<SiteIndexBuilder> growing_;  // between the growing constructor and Finish
  std::vector<Warning> warnings_;
  // The members nested too deep, per unit, and the cycles of ancestors: warnings_ is both.
  std::vector<std::vector<Warning>> unit_warnings_;
  std::vector<Warning> cycle_warnings_;
  bool with_private_;
  // Every name declared directly in a scope (scope: the sid of the unit's, class's or enum's
  // entry; value: the sid of the entry declared).
  NameTable names_;
  // The names of the whole set, in a table of their own, which stays small enough to be read
  // quickly: the kUnitLevel scope (value: an index into candidates_), kMemberNames (value: how
  // many members bear the name) and kUnitNames (value: the sid of the unit's entry); their
  // names are copies in kept_names_.
  NameTable shared_names_;
  std::vector<Candidates> candidates_;  // `first` is a sid
  TextArena kept_names_;
  std::vector<uint32_t> sid_of_entry_;
  std::vector<uint32_t> entry_of_sid_;  // kNone for a sid that is free
  std::vector<uint32_t> free_sids_;
  uint32_t letter_counts_[27] = {};  // the entries whose names NameLetter puts under each letter
  // The ancestor each class-like entry was linked to before cycles were cut.
  std::vector<uint32_t> linked_base_;
  // Per page: the file name it asked for, in lower case (empty for the A-Z pages).
  std::vector<std::string> page_asked_;
  // Every file name asked for (stem and extension, in lower case, before "-N" was added to tell
  // it apart), with how many pages asked for it.
  std::unordered_map<std::string, uint32_t> asked_names_;
};

// The slot of a name in the A-Z index: 'a'..'z' for a name that starts with that letter in
// either case, '_' for a name that starts with anything else.
char NameLetter(std::string_view name);
// 0..25 for 'a'..'z', 26 for '_'.
int LetterSlot(char letter);
// The letters of NameLetter in slot order, as the A-Z pages list them ("Other" last).
constexpr std::string_view kNameLetters = "abcdefghijklmnopqrstuvwxyz_";
// The same in the order of the names under them, as the parts of the search index go: the
// names under "_" that start with a digit or "_" sort before "a".
constexpr std::string_view kNameLettersInNameOrder = "_abcdefghijklmnopqrstuvwxyz";

// Name order without case (ASCII letters only), bytes compared as unsigned.
bool FoldedLess(std::string_view a, std::string_view b);

// Appends the id of an entry on its page: AnchorStem of its name and "-N" for the N-th entry of
// that stem on the page. Nothing for a unit.
void AppendAnchor(const SiteIndex& index, uint32_t entry, std::string& out);

// The name a generic is found by: the part in front of "<" ("TList<T>" => "TList").
std::string_view LookupName(std::string_view name);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_SITE_INDEX_H_
