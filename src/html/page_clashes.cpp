// Page names that several things would write. The pages are written in a fixed order and a later
// page replaces an earlier one of the same name, so whatever is written first loses its page
// without a trace; these warnings tell the user which.
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "html/pages.h"
#include "model/doc_tree.h"
#include "model/uXMLparser.h"

namespace glossator {

namespace {

// Something that writes a page: a unit (class -1), a class of a unit, or one of the fixed pages
// (no unit).
struct PageSource {
  const TXMLNode* unit = nullptr;
  int class_index = -1;
  std::string label;  // "class 'TFoo' of FILE", "unit 'Foo' of FILE", "the page index.html"
  std::string file;   // where to point the warning; empty for a fixed page

  bool SameAs(const PageSource& other) const {
    return unit == other.unit && class_index == other.class_index && label == other.label;
  }
};

class PageLedger {
 public:
  void Write(const std::string& page, PageSource source) {
    auto [it, added] = writers_.try_emplace(page);
    if (added) order_.push_back(page);
    std::vector<PageSource>& list = it->second;
    for (const PageSource& known : list) {
      if (known.SameAs(source)) return;
    }
    list.push_back(std::move(source));
  }

  // One warning per source whose page a later source replaces, by page in the order the pages
  // were first written.
  void Report(std::vector<Warning>& warnings) const {
    for (const std::string& page : order_) {
      const std::vector<PageSource>& list = writers_.at(page);
      const PageSource& holder = list.back();
      for (size_t k = 0; k + 1 < list.size(); ++k) {
        const PageSource& loser = list[k];
        if (loser.file.empty()) continue;  // a fixed page written again by the program itself
        Warning warning;
        warning.file = loser.file;
        warning.kind = "page-clash";
        warning.text = loser.label + " gets no page: " + page + " holds " + holder.label;
        warnings.push_back(std::move(warning));
      }
    }
  }

 private:
  std::unordered_map<std::string, std::vector<PageSource>> writers_;
  std::vector<std::string> order_;
};

PageSource FixedPage(std::string_view page) {
  return {nullptr, -1, "the page " + std::string(page), std::string()};
}

}  // namespace

std::unordered_set<std::string> UnitStepPages(const DocTreeReader& tree) {
  std::unordered_set<std::string> pages;
  for (int i = 0; i < tree.UnitCount(); ++i) {
    const std::string name(tree.UnitName(i));
    pages.insert(name + ".html");
    const TXMLNode* unit = tree.FindUnit(name);
    for (int c = 0; c < tree.UnitClassCount(unit); ++c) {
      std::string_view class_name = tree.UnitClassName(unit, c);
      if (!class_name.empty()) pages.insert(std::string(class_name) + ".html");
    }
  }
  return pages;
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
  PageLedger ledger;
  for (IndexKind kind :
       {IndexKind::kUnits, IndexKind::kClasses, IndexKind::kFunctions, IndexKind::kConstants}) {
    ledger.Write(std::string(IndexFileName(kind)), FixedPage(IndexFileName(kind)));
  }
  for (int i = 0; i < tree.UnitCount(); ++i) {
    const std::string name(tree.UnitName(i));
    const TXMLNode* unit = tree.FindUnit(name);
    std::string file = tree.SourceFile(unit);
    ledger.Write(name + ".html", {unit, -1, "unit '" + name + "' of " + file, file});
    for (int c = 0; c < tree.UnitClassCount(unit); ++c) {
      const std::string class_name(tree.UnitClassName(unit, c));
      // Names the run cannot write at all are reported when it tries.
      if (class_name.empty() || class_name.find_first_of("/\\") != std::string::npos) continue;
      ledger.Write(class_name + ".html", {unit, c, "class '" + class_name + "' of " + file, file});
    }
  }
  if (default_description) ledger.Write("description.html", FixedPage("description.html"));
  for (std::string_view page : {"menuebar.html", "index.html", "legend.html"}) {
    ledger.Write(std::string(page), FixedPage(page));
  }
  ledger.Report(warnings);
  return warnings;
}

}  // namespace glossator
