// Page names that several things would write. The pages are written in a fixed order and a later
// page replaces an earlier one of the same name, so whatever is written first loses its page
// without a trace; these warnings tell the user which.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "html/pages.h"
#include "model/doc_tree.h"
#include "model/uXMLparser.h"

namespace glossator {

namespace {

// Something that writes a page: a unit (class -1), a class of a unit, or one of the fixed pages
// (no unit). Small, since a run may write a million pages: the texts of a warning are made only
// for the pages that clash.
struct PageSource {
  std::string_view stem;  // the page name without ".html"; views the tree or a literal
  const TXMLNode* unit = nullptr;
  int class_index = -1;
  uint32_t order = 0;  // when the page is written

  bool SameAs(const PageSource& other) const {
    return unit == other.unit && class_index == other.class_index && stem == other.stem;
  }
};

class PageLedger {
 public:
  explicit PageLedger(const DocTreeReader& tree) : tree_(tree) {}

  void Write(std::string_view stem, const TXMLNode* unit = nullptr, int class_index = -1) {
    writes_.push_back({stem, unit, class_index, static_cast<uint32_t>(writes_.size())});
  }

  // One warning per source whose page a later source replaces, by page in the order the pages
  // were first written.
  void Report(std::vector<Warning>& warnings) {
    std::stable_sort(writes_.begin(), writes_.end(),
                     [](const PageSource& a, const PageSource& b) { return a.stem < b.stem; });
    // Each page written by more than one source: its writers in order, each once.
    std::vector<std::vector<PageSource>> clashes;
    for (size_t first = 0; first < writes_.size();) {
      size_t end = first + 1;
      while (end < writes_.size() && writes_[end].stem == writes_[first].stem) ++end;
      if (end - first > 1) {
        std::vector<PageSource> sources;
        for (size_t k = first; k < end; ++k) {
          bool known = std::any_of(sources.begin(), sources.end(),
                                   [&](const PageSource& s) { return s.SameAs(writes_[k]); });
          if (!known) sources.push_back(writes_[k]);
        }
        if (sources.size() > 1) clashes.push_back(std::move(sources));
      }
      first = end;
    }
    std::sort(clashes.begin(), clashes.end(),
              [](const auto& a, const auto& b) { return a.front().order < b.front().order; });
    for (const std::vector<PageSource>& sources : clashes) {
      const std::string page = std::string(sources.front().stem) + ".html";
      const std::string holder = Label(sources.back());
      for (size_t k = 0; k + 1 < sources.size(); ++k) {
        const PageSource& loser = sources[k];
        if (loser.unit == nullptr) continue;  // a fixed page written again by the program itself
        Warning warning;
        warning.file = tree_.SourceFile(loser.unit);
        warning.kind = "page-clash";
        warning.text = Label(loser) + " gets no page: " + page + " holds " + holder;
        warnings.push_back(std::move(warning));
      }
    }
  }

 private:
  // "class 'TFoo' of FILE", "unit 'Foo' of FILE", "the page index.html"
  std::string Label(const PageSource& source) const {
    if (source.unit == nullptr) return "the page " + std::string(source.stem) + ".html";
    std::string file = tree_.SourceFile(source.unit);
    if (source.class_index < 0) return "unit '" + std::string(source.stem) + "' of " + file;
    return "class '" + std::string(source.stem) + "' of " + file;
  }

  const DocTreeReader& tree_;
  std::vector<PageSource> writes_;
};

// "index.html" => "index"
std::string_view StemOf(std::string_view page) { return page.substr(0, page.size() - 5); }

}  // namespace

bool WritesUnitStepPage(const DocTreeReader& tree, std::string_view page) {
  if (!page.ends_with(".html")) return false;
  std::string_view stem = StemOf(page);
  for (int i = 0; i < tree.UnitCount(); ++i) {
    std::string_view name = tree.UnitName(i);
    if (name == stem) return true;
    const TXMLNode* unit = tree.FindUnit(name);
    for (int c = 0; c < tree.UnitClassCount(unit); ++c) {
      if (tree.UnitClassName(unit, c) == stem) return true;
    }
  }
  return false;
}

std::vector<Warning> PageNameClashes(const DocTreeReader& tree, bool default_description) {
  std::vector<Warning> warnings;

  // Units of one name: the index lists each, but every entry writes the page of the first.
  std::unordered_map<std::string, const TXMLNode*> first_of_name;
  for (int k = 0; k < tree.ParsedUnitCount(); ++k) {
    const TXMLNode* unit = tree.ParsedUnit(k);
    auto [it, added] = first_of_name.try_emplace(std::string(unit->Name()), unit);
    if (added) continue;
    Warning warning;
    warning.file = tree.SourceFile(unit);
    warning.kind = "unit-clash";
    const std::string name(unit->Name());
    warning.text = "unit '" + name + "' is also read from " + tree.SourceFile(it->second) +
                   "; the page " + name + ".html shows that one, and the classes of " +
                   "this file get no pages";
    warnings.push_back(std::move(warning));
  }

  // The pages in the order the run writes them.
  PageLedger ledger(tree);
  for (IndexKind kind :
       {IndexKind::kUnits, IndexKind::kClasses, IndexKind::kFunctions, IndexKind::kConstants}) {
    ledger.Write(StemOf(IndexFileName(kind)));
  }
  for (int i = 0; i < tree.UnitCount(); ++i) {
    std::string_view name = tree.UnitName(i);
    const TXMLNode* unit = tree.FindUnit(name);
    ledger.Write(name, unit);
    for (int c = 0; c < tree.UnitClassCount(unit); ++c) {
      std::string_view class_name = tree.UnitClassName(unit, c);
      // Names the run cannot write at all are reported when it tries.
      if (class_name.empty() || class_name.find_first_of("/\\") != std::string_view::npos) {
        continue;
      }
      ledger.Write(class_name, unit, c);
    }
  }
  if (default_description) ledger.Write("description");
  for (std::string_view page : {"menuebar", "index", "legend"}) ledger.Write(page);
  ledger.Report(warnings);
  return warnings;
}

}  // namespace glossator
