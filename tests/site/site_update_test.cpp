// Site::ReplaceUnit against a whole build: random edits of every kind (comments, declarations,
// names, ancestors, visibility, kinds, nested classes, uses clauses, page names that meet),
// each followed by what the live preview does (render the files the update names, and those
// that looked up one of its names) and a check that every file then holds exactly what a new
// Site of the same units renders.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dice.h"
#include "fixture_units.h"
#include "html/site/site.h"
#include "site_test_units.h"

namespace glossator {
namespace {

// Every item of a unit with the list that holds it, depth first.
struct Place {
  std::vector<DocItem>* list;
  size_t index;
};
void Collect(std::vector<DocItem>& items, std::vector<Place>& places) {
  for (size_t i = 0; i < items.size(); ++i) {
    places.push_back({&items, i});
    Collect(items[i].members, places);
  }
}

// Makes one random edit of `unit`, naming things after the whole set so that names meet.
class Editor {
 public:
  Editor(Dice& dice, const std::vector<DocUnit>& units) : dice_(dice) {
    for (const DocUnit& unit : units) {
      unit_names_.push_back(unit.name);
      std::vector<Place> places;
      DocUnit copy = unit;
      Collect(copy.items, places);
      for (const Place& place : places) {
        const DocItem& item = (*place.list)[place.index];
        names_.push_back(item.name);
        if (place.list == &copy.items) dotted_.push_back(unit.name + "." + item.name);
        for (const DocItem& member : item.members) dotted_.push_back(item.name + "." + member.name);
      }
    }
    names_.push_back("TNothingLikeThis");
  }

  std::string Edit(DocUnit& unit) {
    std::vector<Place> places;
    Collect(unit.items, places);
    if (places.empty()) return AddItem(unit.items, "");
    Place at = places[dice_.Below(places.size())];
    DocItem& item = (*at.list)[at.index];
    switch (dice_.Below(15)) {
      case 14:
        item.line += 3;
        return "line";
      case 0:
        item.comment = "Edited " + std::to_string(dice_.Next()) + ". @see " + SomeName();
        return "comment";
      case 1:
        unit.comment = dice_.Percent(50) ? "A new first sentence. Then more." : "";
        return "unit comment";
      case 2:
        item.declaration += " { " + SomeName() + " }";
        return "declaration";
      case 3:
        item.name = dice_.Percent(50) ? SomeName() : item.name + "X";
        return "rename";
      case 4:
        at.list->erase(at.list->begin() + static_cast<long>(at.index));
        return "remove";
      case 5:
        return AddItem(dice_.Percent(50) ? *at.list : item.members, item.name);
      case 6:
        if (IsClassLike(item.kind)) {
          item.ancestors = {dice_.Percent(80) ? SomeName() : item.name};
          return "ancestor";
        }
        item.kind = ItemKind::kClass;
        return "kind to class";
      case 7:
        item.visibility = item.visibility == "private" ? "public" : "private";
        return "visibility";
      case 8:
        item.kind = item.kind == ItemKind::kRecord ? ItemKind::kClass : ItemKind::kRecord;
        return "kind";
      case 9:
        unit.uses.push_back(unit_names_[dice_.Below(unit_names_.size())]);
        if (dice_.Percent(30)) unit.uses.erase(unit.uses.begin());
        return "uses";
      case 10:
        // An overload: two items of one name on a page number their anchors.
        at.list->insert(at.list->begin() + static_cast<long>(at.index), item);
        return "overload";
      case 11:
        item.kind = ItemKind::kEnum;
        item.values.push_back({SomeName(), "", "", 1});
        return "enum value";
      case 12:
        // A class named so that its page is named like another unit's ("A" + "B" = "A.B").
        unit.items.push_back(TestClass(SomeUnitTail(unit.name), {SomeName()}));
        return "page name";
      default:
        unit.hints.deprecated = !unit.hints.deprecated;
        return "hint";
    }
  }

 private:
  // A name of the set; now and then a dotted one ("Unit.TFoo", "TFoo.Bar") or a generic.
  std::string SomeName() {
    if (!dotted_.empty() && dice_.Percent(20)) return dotted_[dice_.Below(dotted_.size())];
    std::string name = names_[dice_.Below(names_.size())];
    return dice_.Percent(5) ? name + "<T>" : name;
  }

  std::string SomeUnitTail(const std::string& unit) {
    std::string other = unit_names_[dice_.Below(unit_names_.size())];
    size_t dot = other.rfind('.');
    return dot == std::string::npos || other.substr(0, dot) != unit ? SomeName()
                                                                    : other.substr(dot + 1);
  }

  std::string AddItem(std::vector<DocItem>& list, const std::string& near) {
    std::string name = dice_.Percent(50) ? SomeName() : near + "Added" + std::to_string(added_++);
    if (dice_.Percent(40)) {
      DocItem cls = TestClass(name, {SomeName()},
                              {TestItem(ItemKind::kMethod, SomeName()),
                               TestItem(ItemKind::kProperty, "Prop" + std::to_string(added_))});
      cls.members.push_back(TestClass("TNested" + std::to_string(added_), {SomeName()}));
      cls.comment = "@see " + SomeName();
      list.insert(list.begin() + static_cast<long>(dice_.Below(list.size() + 1)), cls);
    } else {
      DocItem item =
          TestItem(ItemKind::kRoutine, name, "procedure " + name + "(A: " + SomeName() + ");");
      list.insert(list.begin() + static_cast<long>(dice_.Below(list.size() + 1)), item);
    }
    return "add";
  }

  Dice& dice_;
  std::vector<std::string> unit_names_;
  std::vector<std::string> names_;
  std::vector<std::string> dotted_;
  int added_ = 0;
};

// The live preview's folder: every file's bytes and the names it looked up, as last rendered.
struct Served {
  std::string bytes;
  std::set<std::string> looked_up;
};

std::map<std::string, Served> RenderEverything(const Site& site) {
  std::map<std::string, Served> served;
  for (size_t k = 0; k < site.Files().size(); ++k) {
    std::vector<std::string> names;
    Served& file = served[site.Files()[k]];
    file.bytes = site.Render(k, &names);
    file.looked_up.insert(names.begin(), names.end());
  }
  return served;
}

// Renders what the update names and what looked up one of its names, as the preview does.
void Refresh(const Site& site, const Site::UnitUpdate& update,
             std::map<std::string, Served>& served) {
  if (update.all_files) {
    served = RenderEverything(site);
    return;
  }
  std::set<std::string> due(update.files.begin(), update.files.end());
  for (const auto& [file, state] : served) {
    for (const std::string& name : update.names) {
      if (state.looked_up.count(name) != 0) due.insert(file);
    }
  }
  std::set<std::string> present(site.Files().begin(), site.Files().end());
  for (const std::string& file : due) {
    if (present.count(file) == 0) served.erase(file);
  }
  for (size_t k = 0; k < site.Files().size(); ++k) {
    if (due.count(site.Files()[k]) == 0) continue;
    std::vector<std::string> names;
    Served& file = served[site.Files()[k]];
    file.bytes = site.Render(k, &names);
    file.looked_up = std::set<std::string>(names.begin(), names.end());
  }
}

void RunEdits(std::vector<DocUnit> units, uint64_t seed, int edits, const SiteOptions& options) {
  Site site(units, options);
  std::map<std::string, Served> served = RenderEverything(site);
  Dice dice(seed);
  int in_place = 0;
  for (int edit = 0; edit < edits; ++edit) {
    size_t u = dice.Below(units.size());
    DocUnit unit = units[u];
    std::string what = Editor(dice, units).Edit(unit);
    SCOPED_TRACE("seed " + std::to_string(seed) + ", edit " + std::to_string(edit) + ": " + what +
                 " in " + unit.name);
    Site::UnitUpdate update = site.ReplaceUnit(units, u, std::move(unit));
    if (!update.all_files && update.names.empty()) ++in_place;
    Refresh(site, update, served);

    Site fresh(units, options);
    ASSERT_EQ(site.Files(), fresh.Files());
    ASSERT_EQ(served.size(), fresh.Files().size());
    for (size_t k = 0; k < fresh.Files().size(); ++k) {
      const std::string& file = fresh.Files()[k];
      std::string expected = fresh.Render(k);
      const std::string& got = served[file].bytes;
      if (got == expected) continue;
      size_t at = 0;
      while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
      size_t from = at < 80 ? 0 : at - 80;
      FAIL() << file << " differs from a whole build at byte " << at
             << ":\n  served: " << got.substr(from, 160)
             << "\n  whole:  " << expected.substr(from, 160);
    }
  }
  // Not every edit may take the slow way: comment and declaration edits keep the tables.
  EXPECT_GT(in_place, edits / 20);
}

TEST(SiteUpdate, RandomEditsOfTheFixtureMatchAWholeBuild) {
  SiteOptions options{"Live", {}, {}, {}};
  RunEdits(FixtureUnits(), 1, 150, options);
  options.with_private = true;
  RunEdits(FixtureUnits(), 2, 150, options);
  // Source links show lines.
  options.source_url = "https://example.org/{path}#L{line}";
  RunEdits(FixtureUnits(), 3, 150, options);
}

TEST(SiteUpdate, RandomEditsOfAMadeUpLibraryMatchAWholeBuild) {
  std::vector<DocUnit> units = SyntheticUnits({40, 0, 0});
  // Units whose names hold dots, and a pair that a class page can meet ("Net" + "Http").
  units.push_back(TestUnit("Net", {}, {TestClass("TSocket", {"TObject"})}));
  units.push_back(TestUnit("Net.Http", {"Net"}, {TestClass("TClient", {"TSocket"})}));
  for (uint64_t seed : {7, 8}) RunEdits(units, seed, 120, SiteOptions{"Live", {}, {}, {}});
}

TEST(SiteUpdate, CommentEditKeepsTheSharedFilesAndNamesNothing) {
  std::vector<DocUnit> units = FixtureUnits();
  Site site(units, SiteOptions{"Fixture", {}, {}, {}});
  DocUnit unit = units[1];
  unit.items[0].comment = "Another comment. With two sentences.";
  Site::UnitUpdate update = site.ReplaceUnit(units, 1, unit);
  EXPECT_FALSE(update.all_files);
  EXPECT_TRUE(update.names.empty());
  std::set<std::string> files(update.files.begin(), update.files.end());
  EXPECT_EQ(files.count(site.Files()[site.Files().size() - 1]), 0u);
  for (const char* shared : {"index.html", "search-index.js", "hierarchy.html"}) {
    EXPECT_EQ(files.count(shared), 0u) << shared;
  }
  // The item's own section stands on the unit's page (a class: also its own page).
  EXPECT_EQ(files.count(units[1].name + ".html"), 1u);
  EXPECT_LE(files.size(), 2u);

  // The unit's own comment is on the overview.
  unit.comment = "A unit of shapes.";
  update = site.ReplaceUnit(units, 1, unit);
  EXPECT_EQ(std::count(update.files.begin(), update.files.end(), "index.html"), 1);
}

}  // namespace
}  // namespace glossator
