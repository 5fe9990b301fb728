#include "html/site/site.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fixture_units.h"
#include "html/site/site_index.h"
#include "model/text_rules.h"
#include "site_test_units.h"

namespace glossator {
namespace {

// Every file of a site, by name.
std::map<std::string, std::string> RenderAll(const Site& site) {
  std::map<std::string, std::string> files;
  for (size_t k = 0; k < site.Files().size(); ++k) files[site.Files()[k]] = site.Render(k);
  return files;
}

// The tags of a page ("<a href=x>"): text never holds a "<", so every "<" starts one.
std::vector<std::string> Tags(const std::string& page) {
  std::vector<std::string> tags;
  for (size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
    tags.push_back(page.substr(at, page.find('>', at) + 1 - at));
  }
  return tags;
}

// The values of one attribute in the tags of a page, quoted or not.
std::vector<std::string> AttributeValues(const std::string& page, const std::string& attribute) {
  std::vector<std::string> values;
  std::string key = " " + attribute + "=";
  for (const std::string& tag : Tags(page)) {
    size_t at = tag.find(key);
    if (at == std::string::npos) continue;
    size_t start = at + key.size();
    if (tag[start] == '"') {
      values.push_back(tag.substr(start + 1, tag.find('"', start + 1) - start - 1));
    } else {
      values.push_back(tag.substr(start, tag.find_first_of(" >", start) - start));
    }
  }
  return values;
}

class FixtureSite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    units_ = new std::vector<DocUnit>(FixtureUnits());
    SiteOptions options;
    options.title = "Fixture";
    options.source_url = "https://example.org/lib/{path}#L{line}";
    options.source_root = "src/";
    site_ = new Site(*units_, options);
    files_ = new std::map<std::string, std::string>(RenderAll(*site_));
  }
  static void TearDownTestSuite() {
    delete files_;
    delete site_;
    delete units_;
  }
  static const std::string& File(const std::string& name) {
    auto found = files_->find(name);
    if (found == files_->end()) {
      ADD_FAILURE() << "no file " << name;
      static const std::string kNothing;
      return kNothing;
    }
    return found->second;
  }
  static size_t IndexOf(const std::string& name) {
    const std::vector<std::string>& files = site_->Files();
    return static_cast<size_t>(std::find(files.begin(), files.end(), name) - files.begin());
  }

  static std::vector<DocUnit>* units_;
  static Site* site_;
  static std::map<std::string, std::string>* files_;
};

std::vector<DocUnit>* FixtureSite::units_ = nullptr;
Site* FixtureSite::site_ = nullptr;
std::map<std::string, std::string>* FixtureSite::files_ = nullptr;

TEST_F(FixtureSite, FileNamesAreSafeAndNeverEqualWithoutCase) {
  std::set<std::string> folded;
  for (const std::string& name : site_->Files()) {
    EXPECT_TRUE(folded.insert(ToLowerAscii(name)).second) << name;
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                     "0123456789_.-"),
              std::string::npos)
        << name;
  }
  for (const char* name : {"index.html", "search.html", "hierarchy.html", "site.css", "site.js",
                           "search-index.js", "units.js", "Shapes.TShapeList_T.html",
                           "Shapes.TPair_K_V.html", "Shapes.TBounds.TInner.html",
                           "Drawing.TCircle.html", "Shapes.TCircle.html", "Index-2.html"}) {
    EXPECT_EQ(files_->count(name), 1u) << name;
  }
  EXPECT_NE(File("index.html").find("<h1>Fixture</h1>"), std::string::npos)
      << "the unit named Index did not take the overview's file";
  EXPECT_EQ(files_->count("Shapes.TShape.html"), 1u) << "one page, not one for the forward";
}

// The walk a reader's browser does: every link of every page leads to a file of the site and,
// with a fragment, to an element with that id.
TEST_F(FixtureSite, EveryLinkAndAnchorResolves) {
  std::map<std::string, std::set<std::string>> ids;
  for (const auto& [name, bytes] : *files_) {
    for (const std::string& id : AttributeValues(bytes, "id")) {
      EXPECT_TRUE(ids[name].insert(id).second) << name << ": id " << id << " twice";
    }
  }
  int links = 0;
  for (const auto& [name, bytes] : *files_) {
    if (!EndsWith(name, ".html")) continue;
    std::vector<std::string> targets = AttributeValues(bytes, "href");
    for (const std::string& src : AttributeValues(bytes, "src")) targets.push_back(src);
    for (const std::string& href : targets) {
      if (StartsWith(href, "https://example.org/lib/")) continue;  // source links
      ASSERT_EQ(href.find(':'), std::string::npos) << name << ": " << href;
      size_t hash = href.find('#');
      std::string file = hash == 0 ? name : href.substr(0, hash);
      ASSERT_EQ(files_->count(file), 1u) << name << ": " << href;
      if (hash != std::string::npos) {
        EXPECT_EQ(ids[file].count(href.substr(hash + 1)), 1u) << name << ": " << href;
      }
      ++links;
    }
  }
  EXPECT_GT(links, 500);
}

TEST_F(FixtureSite, HostileCommentsAreText) {
  for (const auto& [name, bytes] : *files_) {
    if (!EndsWith(name, ".html")) continue;
    size_t scripts = 0;
    for (size_t at = bytes.find("<script"); at != bytes.npos; at = bytes.find("<script", at + 1)) {
      ++scripts;
    }
    EXPECT_EQ(scripts, 2u) << name << ": the theme and site.js, nothing else";
    for (const std::string& tag : Tags(bytes)) {
      for (const char* bad : {"<iframe", "<style", " on", "<img", "javascript:"}) {
        EXPECT_EQ(tag.find(bad), std::string::npos) << name << " holds " << tag;
      }
    }
  }
  const std::string& shapes = File("Shapes.html");
  EXPECT_NE(shapes.find("Harmless &lt;script&gt;document.title='hacked'&lt;/script&gt; text."),
            std::string::npos);
  EXPECT_NE(shapes.find("<b>unclosed <i>tags&lt;/div&gt;</i></b></p></div>"), std::string::npos)
      << "the comment's open elements close inside its own box";
  EXPECT_NE(shapes.find("<section id=_begin>\n<h3><a href=#_begin>&amp;begin</a>"),
            std::string::npos);
  EXPECT_NE(shapes.find("<span class=s>'a &lt; b &amp; c'</span>"), std::string::npos);
}

TEST_F(FixtureSite, ItemsHaveStableAnchorsAndPermalinks) {
  const std::string& shapes = File("Shapes.html");
  for (const char* anchor : {"MakeShape", "MakeShape-2", "TShapeKind", "MaxSides", "OldDraw"}) {
    std::string section = std::string("<section id=") + anchor + ">\n<h3><a href=#" + anchor;
    EXPECT_NE(shapes.find(section), std::string::npos) << anchor;
  }
  const std::string& shape = File("Shapes.TShape.html");
  EXPECT_NE(shape.find("<section id=Create-2>"), std::string::npos);
  EXPECT_NE(File("Shapes.TBounds.html").find("<section id=op2B>"), std::string::npos)
      << "operator +";
  EXPECT_NE(shape.find("<li><a href=Shapes.html>Shapes</a><li aria-current=page>TShape"),
            std::string::npos)
      << "breadcrumbs";
  EXPECT_NE(File("Shapes.TBounds.TInner.html")
                .find("<li><a href=Shapes.TBounds.html>TBounds</a><li aria-current=page>"),
            std::string::npos);
}

TEST_F(FixtureSite, ClassPagesShowTheirFamily) {
  const std::string& undo = File("Drawing.TUndoDrawing.html");
  size_t drawing = undo.find("From <a href=Drawing.TDrawing.html>TDrawing</a>");
  size_t shape = undo.find("From <a href=Shapes.TShape.html>TShape</a>");
  ASSERT_NE(drawing, std::string::npos);
  ASSERT_NE(shape, std::string::npos);
  EXPECT_LT(drawing, shape) << "nearest ancestor first";
  std::string from_shape = undo.substr(shape, undo.find("</section>", shape) - shape);
  EXPECT_EQ(from_shape.find("#Draw>"), std::string::npos) << "TDrawing declares Draw again";
  EXPECT_NE(from_shape.find("#Create>"), std::string::npos);
  EXPECT_NE(undo.find("TUndoDrawing &rarr; <a href=Drawing.TDrawing.html>TDrawing</a> &rarr; "
                      "<a href=Shapes.TShape.html>TShape</a> &rarr; TPersistent"),
            std::string::npos);
  EXPECT_NE(File("Shapes.TShape.html").find("Direct descendants: <a href=Shapes.TCircle.html>"),
            std::string::npos);
  const std::string& hierarchy = File("hierarchy.html");
  EXPECT_NE(hierarchy.find("<li class=outside>TPersistent<ul>\n<li><a href=Shapes.TShape.html>"),
            std::string::npos);
  EXPECT_NE(File("Drawing.TDrawing.html")
                .find("First: <a href=\"Shapes.html\">Shapes</a>."
                      "<a href=\"Shapes.TCircle.html\">TCircle</a>"),
            std::string::npos)
      << "unit-qualified name";
  EXPECT_NE(File("Drawing.TDrawing.html").find("Local: <a href=\"Drawing.TCircle.html\">"),
            std::string::npos)
      << "the unit's own TCircle before the used unit's";
}

TEST_F(FixtureSite, CommentTagsHintsAndSourceLinks) {
  const std::string& shapes = File("Shapes.html");
  EXPECT_NE(shapes.find("<dt>Parameters\n<dd><code>Kind</code> what to make"), std::string::npos);
  EXPECT_NE(shapes.find("<dt>See also\n<dd><code><a href=Geometry.html#Distance>"),
            std::string::npos);
  EXPECT_NE(shapes.find("<span class=\"badge dep\">deprecated</span>"), std::string::npos);
  EXPECT_NE(shapes.find("<strong>Deprecated.</strong> use TShape.Draw; Call TShape.Draw."),
            std::string::npos);
  EXPECT_NE(shapes.find("<a class=src href=\"https://example.org/lib/shapes.pas#L100\">source</a>"),
            std::string::npos);
  EXPECT_EQ(File("Shapes.TShape.html").find("id=FKind"), std::string::npos) << "private member";
  EXPECT_NE(File("Shapes.TShape.html").find("<b>read</b> FKind;"), std::string::npos)
      << "no link to what is not shown";
}

// The names of each rank of one part of the search index.
std::vector<std::string> RankNames(const std::string& index) {
  size_t names = index.find("names:[\"");
  size_t info = index.find("],\nsizes:[\"");
  EXPECT_NE(names, std::string::npos);
  EXPECT_NE(info, std::string::npos);
  std::vector<std::string> ranks;
  if (names == std::string::npos || info == std::string::npos) return ranks;
  std::string list = index.substr(names + 8, info - names - 9);
  for (size_t start = 0;;) {
    size_t end = list.find("\",\n\"", start);
    ranks.push_back(list.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 4;
  }
  return ranks;
}

TEST_F(FixtureSite, SearchIndexHoldsEveryNameInRankOrder) {
  // Each name is in the part of its first letter; joined letter by letter, each rank (units,
  // types, routines, constants and variables, members, enum values) is in name order.
  std::vector<std::string> ranks(6);
  std::string letters;
  for (char letter : kNameLettersInNameOrder) {
    SCOPED_TRACE(letter);
    std::string file = letter == '_' ? "search-other.js" : std::string("search-") + letter + ".js";
    std::vector<std::string> part = RankNames(File(file));
    ASSERT_EQ(part.size(), 6u);
    bool any = false;
    for (size_t rank = 0; rank < 6; ++rank) {
      ranks[rank] += part[rank];
      for (size_t start = 0, end; (end = part[rank].find("\\n", start)) != std::string::npos;
           start = end + 2) {
        EXPECT_EQ(NameLetter(part[rank].substr(start, end - start)), letter) << part[rank];
        any = true;
      }
    }
    if (any) letters += letter;
  }
  EXPECT_NE(File("search-index.js").find("letters:\"" + letters + "\"}"), std::string::npos);
  EXPECT_NE(ranks[0].find("Shapes\\n"), std::string::npos);
  EXPECT_NE(ranks[1].find("TShapeList<T>\\n"), std::string::npos);
  EXPECT_NE(ranks[2].find("\\nMakeShape\\nOldDraw\\n"), std::string::npos) << "one line for two";
  EXPECT_NE(ranks[4].find("Draw\\n"), std::string::npos);
  EXPECT_NE(ranks[5].find("skCircle\\n"), std::string::npos);
  for (const std::string& rank : ranks) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = rank.find("\\n", start)) != std::string::npos;
         start = end + 2) {
      lines.push_back(ToLowerAscii(rank.substr(start, end - start)));
    }
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end())) << rank;
  }
  // Anchors that are not the name are listed by the entry's number in its part.
  EXPECT_NE(File("search-m.js").find("\\tMakeShape-2\\n"), std::string::npos);
}

TEST_F(FixtureSite, RenderingIsPureAndRepeatable) {
  Site again(*units_, SiteOptions{"Fixture", {}, "https://example.org/lib/{path}#L{line}", "src/"});
  ASSERT_EQ(again.Files(), site_->Files());
  for (size_t k = again.Files().size(); k-- > 0;) {
    EXPECT_EQ(again.Render(k), File(again.Files()[k])) << again.Files()[k];
  }
}

TEST_F(FixtureSite, PreviewKnowsWhatAUnitReachesAndWhatAPageLookedUp) {
  std::vector<std::string> looked_up;
  site_->Render(IndexOf("Drawing.TDrawing.html"), &looked_up);
  for (const char* name : {"tcircle", "shapes", "tcanvas", "tpoint", "tshape"}) {
    EXPECT_NE(std::find(looked_up.begin(), looked_up.end(), name), looked_up.end()) << name;
  }
  auto names = [&](std::vector<size_t> files) {
    std::set<std::string> out;
    for (size_t k : files) out.insert(site_->Files()[k]);
    return out;
  };
  std::set<std::string> shapes = names(site_->FilesOfUnit(1));
  for (const char* file :
       {"Shapes.html", "Shapes.TShape.html", "Shapes.TBounds.TInner.html", "Drawing.TDrawing.html",
        "Drawing.TUndoDrawing.html", "Drawing.TCircle.html", "index.html", "search-index.js"}) {
    EXPECT_EQ(shapes.count(file), 1u) << file;
  }
  std::set<std::string> geometry = names(site_->FilesOfUnit(0));
  EXPECT_EQ(geometry.count("Geometry.TPoint.html"), 1u);
  EXPECT_EQ(geometry.count("Drawing.html"), 0u);
  EXPECT_EQ(geometry.count("site.css"), 0u);
}

TEST(Site, PrivateMembersDescriptionAndCycles) {
  std::vector<DocUnit> units = FixtureUnits();
  SiteOptions options;
  options.with_private = true;
  options.source_url = "javascript:alert('{path}')";
  options.description_html =
      "<html><head><title>x</title></head><BODY class=x><p>Welcome.</p><script>bad()</script>"
      "</body></html>";
  Site site(units, options);
  std::map<std::string, std::string> files = RenderAll(site);
  EXPECT_NE(files["Shapes.TShape.html"].find("<section id=FKind>"), std::string::npos);
  EXPECT_NE(files["index.html"].find("<div class=doc><p>Welcome.</p>&lt;script&gt;bad()"),
            std::string::npos);
  EXPECT_EQ(files["Shapes.html"].find("class=src"), std::string::npos) << "unsafe pattern";

  std::vector<DocUnit> cycle = {
      TestUnit("U", {},
               {TestClass("TA", {"TB"}, {TestItem(ItemKind::kMethod, "M")}),
                TestClass("TB", {"TA"}, {TestItem(ItemKind::kMethod, "N")})})};
  Site looped(cycle, {});
  ASSERT_EQ(looped.Warnings().size(), 1u);
  EXPECT_EQ(looped.Warnings()[0].file, "U.pas");
  for (size_t k = 0; k < looped.Files().size(); ++k) EXPECT_FALSE(looped.Render(k).empty());
}

// Input no reader should give, but which must not crash the site or break its pages.
TEST(Site, OddInputStillMakesASite) {
  std::vector<DocUnit> none;
  Site empty(none, {});
  for (size_t k = 0; k < empty.Files().size(); ++k) EXPECT_FALSE(empty.Render(k).empty());

  DocItem deep = TestClass("TDeep", {});
  for (int level = 0; level < 80; ++level) deep = TestClass("TDeep", {""}, {deep});
  DocItem odd = TestItem(ItemKind::kEnum, "", "= (;");
  odd.values = {{"", "", "", 0}, {"<v>", "", "<script>x</script>", 0}};
  std::vector<DocUnit> units = {
      TestUnit("", {"", ""}, {odd, deep, TestItem(ItemKind::kConstant, "<script>", "'")}),
      TestUnit("", {}, {TestItem(ItemKind::kRoutine, "\xff\xfe", "procedure \xff\xfe(")})};
  Site site(units, {});
  EXPECT_EQ(site.Warnings().size(), 1u) << "members nested too deep";
  std::set<std::string> folded;
  for (size_t k = 0; k < site.Files().size(); ++k) {
    EXPECT_TRUE(folded.insert(ToLowerAscii(site.Files()[k])).second) << site.Files()[k];
    std::string bytes = site.Render(k);
    if (!EndsWith(site.Files()[k], ".html")) continue;  // names in scripts are string texts
    EXPECT_EQ(bytes.find("<script>x"), std::string::npos) << site.Files()[k];
    EXPECT_EQ(bytes.find("<v>"), std::string::npos) << site.Files()[k];
  }
}

TEST(Site, LargeSetsLoadTheUnitListFromItsOwnFile) {
  std::vector<DocUnit> units = SyntheticUnits({120, 30, 100});
  Site site(units, {});
  std::string unit_page = site.Render(
      std::find(site.Files().begin(), site.Files().end(), std::string(units[5].name) + ".html") -
      site.Files().begin());
  EXPECT_NE(unit_page.find("<details id=g-unit-list><summary>All units (120)"), std::string::npos);
  EXPECT_EQ(unit_page.find(units[6].name + ".html"), std::string::npos);
  size_t list =
      std::find(site.Files().begin(), site.Files().end(), "units.js") - site.Files().begin();
  std::string script = site.Render(list);
  for (const DocUnit& unit : units) EXPECT_NE(script.find(unit.name + "\\n"), std::string::npos);

  std::vector<DocUnit> few(units.begin(), units.begin() + 10);
  Site small(few, {});
  std::string page =
      small.Render(std::find(small.Files().begin(), small.Files().end(), few[5].name + ".html") -
                   small.Files().begin());
  EXPECT_NE(page.find("<li><a href=" + few[6].name + ".html>"), std::string::npos);
}

}  // namespace
}  // namespace glossator
