#ifndef GLOSSATOR_HTML_SITE_SITE_INDEX_BUILDER_H_
#define GLOSSATOR_HTML_SITE_SITE_INDEX_BUILDER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "html/site/site_index.h"
#include "html/site/site_names.h"

namespace glossator {

// Fills a SiteIndex: the entries and pages, unit by unit depth first; then the names each scope
// declares; then the ancestors, which may stand in any unit; then the A-Z pages. ReplaceUnit
// (site_index_update.cpp) makes one unit's entries and pages anew and splices them in.
class SiteIndexBuilder {
 public:
  SiteIndexBuilder(SiteIndex& index, bool with_private) : x_(index), with_private_(with_private) {}

  // Builds every table: Start, Add for each unit, Finish.
  void Build(int threads = 1);
  // The same a unit at a time, for units that arrive one by one: Start with the number of
  // entries to make room for (0 when unknown), Add each unit in order, then Finish. With more
  // than one thread, Finish leaves the names to be sorted on a second one (SiteIndex::sorter_).
  // The builder must live from Start to Finish.
  void Start(size_t expected_entries);
  void Add(const DocUnit& unit, uint32_t u);
  void Finish(int threads);
  bool ReplaceUnit(std::vector<DocUnit>& units, uint32_t u, DocUnit unit, UnitSplice& splice);

 private:
  // Members nested deeper than this are left out: no real code comes near, and it keeps the
  // depth-first walk's stack small whatever a reader hands over.
  static constexpr int kMaxNesting = 64;

  // Where new entries and pages go: the index itself (a whole build), or the vectors of one
  // unit made apart (an update). Numbers are those the entries and pages have in the index.
  struct Sink {
    std::vector<Entry>* entries;
    std::vector<Page>* pages;
    std::vector<std::string>* asked;  // per page: the file name asked for, in lower case
    std::vector<Warning>* warnings;
    UniqueNames* files;
    uint32_t entry_base = 0;
    uint32_t page_base = 0;
    std::vector<uint32_t> last_child;  // per entry from entry_base on
  };

  class PageAnchors;

 public:
  // An old entry or page number as it is after a splice: kept in front of the replaced range,
  // moved by `delta` behind it, kNone inside it.
  struct Renumber {
    uint32_t first;
    uint32_t old_end;
    int64_t delta;

    uint32_t operator()(uint32_t id) const {
      if (id == kNone || id < first) return id;
      if (id < old_end) return kNone;
      return static_cast<uint32_t>(id + delta);
    }
  };

 private:
  Entry& E(uint32_t id) { return (*sink_->entries)[id - sink_->entry_base]; }
  Page& P(uint32_t page) { return (*sink_->pages)[page - sink_->page_base]; }
  uint32_t AddPage(PageKind kind, std::string_view stem, std::string_view extension,
                   uint32_t entry = kNone);
  void AddFixedPages();
  static size_t CountEntries(const std::vector<DocItem>& items, int depth);
  static std::string NamesStem(char letter);
  // The file name, without ".js", of the search index's part for a letter of NameLetter.
  static std::string SearchNamesStem(char letter);
  uint32_t NewEntry(std::string_view name, EntryType type, uint32_t unit, uint32_t parent);
  void AppendChild(uint32_t parent, uint32_t child);
  void AddUnit(const DocUnit& unit, uint32_t u);
  bool Hidden(const DocItem& item) const;
  void AddItems(const std::vector<DocItem>& items, uint32_t scope, uint32_t page,
                const std::string& stem, int depth);
  void AddItem(const DocItem& item, uint32_t scope, uint32_t page, PageAnchors& anchors,
               const std::string& stem, int depth);
  void AddValues(const DocItem& item, uint32_t owner, PageAnchors& anchors);
  void Warn(uint32_t unit, int line, std::string text);

  // The names of the entries from `first` to `end` (in the index), in entry order. With
  // `unit_level` set the names declared at the level of a unit are added to it instead of to
  // the kUnitLevel table (an update settles that table itself).
  void DeclareRange(uint32_t first, uint32_t end,
                    std::unordered_set<std::string>* unit_level = nullptr);
  void Declare(uint32_t scope, std::string_view name, uint32_t id,
               std::unordered_set<std::string>* unit_level);
  // The names the entries from `first` to `end` declared, taken out of the tables again, and
  // the folded names they declared at the unit's level.
  void Undeclare(uint32_t first, uint32_t end, std::unordered_set<std::string>& unit_level);
  // The lookup names of the entries, folded.
  void FoldedNames(uint32_t first, uint32_t end, std::unordered_set<std::string>& names) const;

  // After a splice: the table of unit-level names for the names unit u declared before
  // (`old_names`) and declares now, `first_here` those it declared first in the set.
  void SettleUnitLevel(uint32_t u, const std::unordered_set<std::string>& old_names,
                       const std::unordered_set<std::string>& new_names,
                       const std::unordered_set<std::string>& first_here);
  void Relink(uint32_t first, uint32_t end, const std::vector<uint32_t>& saved,
              const std::vector<uint8_t>& vanished, const std::unordered_set<std::string>& changed);
  // ByName() after a splice of the entries from `first` (`old_end` before, `new_end` now).
  void MergeByName(uint32_t first, uint32_t old_end, uint32_t new_end, const Renumber& re);

  void ListUnitClasses();
  void LinkUses(uint32_t u);
  // The ancestor of class-like entry `id` as the compiler finds it, with the ancestors of the
  // entries before it linked and those after it not: kNone when it names nothing of the set.
  uint32_t LinkedBase(uint32_t id);
  void LinkAncestors();
  uint32_t ResolveText(Scope scope, std::string_view text);
  void CutAncestorCycles();
  void LinkDescendants();
  void AddNamePages();
  void CollectWarnings();

  SiteIndex& x_;
  bool with_private_;
  Sink* sink_ = nullptr;
  // The state of a build from Start to Finish.
  UniqueNames files_;
  std::vector<std::string> asked_;
  Sink own_{&x_.entries_, &x_.pages_, &asked_, nullptr, &files_, 0, 0, {}};
};

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_SITE_INDEX_BUILDER_H_
