#include "parser/cGlossator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>

#include "base/errors.h"
#include "model/doc_tree.h"
#include "parser/index_sort.h"
#include "parser/pascal_source.h"
#include "support/fake_platform.h"
#include "support/files.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

namespace fs = std::filesystem;

class ParseRunTest : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    return folder_.Write(name, bytes);
  }

  TempFolder folder_;
};

std::vector<std::string> Lines(const LineList& lines) {
  std::vector<std::string> out;
  for (int i = 0; i < lines.Count(); ++i) out.emplace_back(lines.At(i));
  return out;
}

TEST_F(ParseRunTest, LoadingSplitsAtEveryKindOfLineEnd) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"a\r", {"a"}},              // a line end at the very end adds no line
      {"", {}},
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},  // NUL ends the text
      {std::string("\0abc", 4), {}},
      {" \tx \r\n", {" \tx "}},  // lines are stored as read
  };
  for (const Case& c : cases) {
    LineList lines;
    lines.SetText(c.bytes);
    EXPECT_EQ(Lines(lines), c.lines) << testing::PrintToString(c.bytes);
  }
}

// Texts of every length up to a few blocks, from bytes that matter to the split (line ends, NUL,
// the flagged characters, blanks, bytes above 127), against a plain byte-by-byte reading.
TEST(LineListTest, SplitsAndFlagsLikeAPlainReading) {
  const std::string alphabet = std::string("\r\n\0{}();a \t\x7f\x80\xff", 14);
  std::mt19937 random(20261209);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 70, ' ');
    // Mostly ordinary characters, so that whole blocks without a line end occur too.
    for (char& c : text) c = random() % 4 == 0 ? alphabet[random() % alphabet.size()] : 'x';
    std::vector<std::string> want_lines;
    std::vector<unsigned> want_flags;
    std::string line;
    unsigned flags = 0;
    size_t i = 0;
    for (; i < text.size() && text[i] != '\0'; ++i) {
      char c = text[i];
      if (c == '\r' || c == '\n') {
        want_lines.push_back(line);
        want_flags.push_back(flags);
        line.clear();
        flags = 0;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        continue;
      }
      line += c;
      if (static_cast<unsigned char>(c) > 32) flags |= LineList::kNonBlank;
      if (c == '{') flags |= LineList::kOpenBrace;
      if (c == '}') flags |= LineList::kCloseBrace;
      if (c == '(') flags |= LineList::kOpenParen;
      if (c == ')') flags |= LineList::kCloseParen;
      if (c == ';') flags |= LineList::kSemicolon;
    }
    if (!line.empty()) {
      want_lines.push_back(line);
      want_flags.push_back(flags);
    }
    LineList lines;
    lines.SetText(text);
    ASSERT_EQ(Lines(lines), want_lines) << testing::PrintToString(text);
    for (int k = 0; k < lines.Count(); ++k) {
      unsigned got = 0;
      for (LineList::Flag flag :
           {LineList::kOpenBrace, LineList::kCloseBrace, LineList::kOpenParen,
            LineList::kCloseParen, LineList::kSemicolon, LineList::kNonBlank}) {
        if (lines.Has(k, flag)) got |= flag;
      }
      ASSERT_EQ(got, want_flags[static_cast<size_t>(k)])
          << "line " << k << " of " << testing::PrintToString(text);
    }
  }
}

TEST_F(ParseRunTest, UnreadableFilesRaiseTheOpenError) {
  std::string missing = folder_.Path("missing.pas");
  for (const std::string& path : {missing, folder_.Root().string()}) {  // a directory too
    TGlosParser parser;
    try {
      parser.ParseUnits({path});
      FAIL() << path;
    } catch (const FileOpenError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot open file " + path);
      EXPECT_EQ(error.File(), path);
    }
  }
}

std::string UnitSource(const std::string& name, const std::string& extra = "") {
  return Source({"{** Unit " + name + ". }", "unit " + name + ";", "interface", "const",
                 "{** Max of " + name + ". }", "Max" + name + " = 1;", extra, "implementation",
                 "end."});
}

TEST_F(ParseRunTest, CompletedRunSortsAndIndexes) {
  std::vector<std::string> files = {
      Write("zeta.pas",
            Source({"unit Zeta;", "interface", "type", "TZ = class(TB)", "public", "procedure Run;",
                    "procedure Alpha;", "end;", "TB = class", "end;", "procedure Go;",
                    "{** short }", "function Get: Integer;", "const", "Z = 1;", "implementation",
                    "{** impl }", "procedure Go;", "end."})),
      Write("alpha.pas", UnitSource("Alpha")),
      Write("zeta2.pas", Source({"unit Zeta;", "interface", "procedure Go;", "implementation"}))};
  FakePlatform platform;
  TGlosParser parser(&platform);
  parser.ParseUnits(files);
  ASSERT_FALSE(parser.Cancelled);
  const DocTree& tree = *parser.Result();
  const TXMLNode* root = parser.Tree()->Root();
  EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"parsedUnits", "allUnits", "allClasses",
                                                        "allFunctions", "allConstants"}));
  // Same-named units keep their file-list order in the tree.
  const TXMLNode* parsed = root->FindChild("parsedUnits");
  EXPECT_EQ(ChildNames(parsed), (std::vector<std::string>{"Alpha", "Zeta", "Zeta"}));
  EXPECT_EQ(Value(parsed->Child(1), "unitFileName"), "zeta.pas");
  EXPECT_EQ(ChildNames(parsed->Child(1)->FindChild("classes")),
            (std::vector<std::string>{"TB", "TZ"}));
  EXPECT_EQ(ChildNames(parsed->Child(1)->FindChild("classes")->Child(1)->FindChild("methodList")),
            (std::vector<std::string>{"Alpha", "Run"}));

  EXPECT_EQ(tree.UnitCount(), 3);
  EXPECT_EQ(tree.UnitName(0), "Alpha");
  EXPECT_EQ(tree.UnitComment(0), "Unit Alpha.");
  EXPECT_EQ(tree.ClassCount(), 2);
  EXPECT_EQ(tree.ClassName(0), "TB");
  EXPECT_EQ(tree.SourceFile(tree.FindUnit("Alpha")), files[1]);
  // Routines: overloads and same names in two units each get an entry; an empty interface
  // comment falls back to the implementation comment.
  ASSERT_EQ(tree.FunctionCount(), 3);
  EXPECT_EQ(tree.FunctionName(0), "Get");
  EXPECT_EQ(tree.FunctionComment(0), "short");
  EXPECT_EQ(tree.FunctionName(1), "Go");
  EXPECT_EQ(tree.FunctionName(2), "Go");
  std::vector<std::string> go_comments = {std::string(tree.FunctionComment(1)),
                                          std::string(tree.FunctionComment(2))};
  std::sort(go_comments.begin(), go_comments.end());
  EXPECT_EQ(go_comments, (std::vector<std::string>{"", "impl"}));
  EXPECT_EQ(tree.ConstantCount(), 2);
  EXPECT_EQ(tree.ConstantName(0), "MaxAlpha");
  EXPECT_EQ(tree.ConstantUnit(0), "Alpha");
  EXPECT_EQ(tree.ConstantComment(0), "Max of Alpha.");

  std::vector<std::string> ancestors;
  tree.GetAncestors("TZ", ancestors);
  EXPECT_EQ(ancestors, (std::vector<std::string>{"TObject", "TB"}));

  // Four progress calls per file, then two; all with a header, no detail and a step.
  std::vector<std::string> headers;
  for (const auto& call : platform.progress) {
    if (call.step) headers.push_back(call.header);
  }
  EXPECT_EQ(headers.size(), 4 * files.size() + 2);
  EXPECT_EQ(headers.front(), "Parsing unit in zeta.pas");
  EXPECT_EQ(headers[1], "Parsing classes in zeta.pas");
  EXPECT_EQ(headers[2], "Parsing functions in zeta.pas");
  EXPECT_EQ(headers[3], "Parsing constants in zeta.pas");
  EXPECT_EQ(headers[headers.size() - 2], "Sorting...");
  EXPECT_EQ(headers.back(), "Sorting indexes");
  EXPECT_EQ(TGlosParser::CountSteps(files), 21);
}

// An index entry holds the very comment leaf of its item and one "unit" leaf shared by every
// entry of the unit, not copies; a routine whose interface comment is empty shows its
// implementation comment, which needs a leaf of the entry's own.
TEST_F(ParseRunTest, IndexEntriesHoldTheLeavesOfTheirItems) {
  std::vector<std::string> files = {
      Write("one.pas", Source({"unit One;",      "interface",     "type",          "{** A. }",
                               "TA = class",     "end;",          "TB = class",    "end;",
                               "{** p1 }",       "procedure P1;", "procedure P2;", "procedure P3;",
                               "const",          "{** k }",       "K = 1;",        "L = 2;",
                               "implementation", "{** p2 impl }", "procedure P2;", "end."})),
      Write("two.pas", Source({"unit Two;", "interface", "type", "TC = class", "end;",
                               "procedure P4;", "const", "M = 3;", "implementation", "end."}))};
  FakePlatform platform;
  TGlosParser parser(&platform);
  parser.ParseUnits(files);
  const TXMLNode* root = parser.Tree()->Root();
  const DocTree& tree = *parser.Result();
  struct Index {
    std::string name, container, comment;
  };
  int fallbacks = 0;
  for (const Index& index : {Index{"allClasses", "classes", "classComment"},
                             Index{"allFunctions", "functions", "procComment"},
                             Index{"allConstants", "constants", "constComment"}}) {
    std::map<std::string, const TXMLNode*> unit_leaves;
    const TXMLNode* all = root->FindChild(index.name);
    ASSERT_GE(all->ChildCount(), 3u) << index.name;
    for (size_t e = 0; e < all->ChildCount(); ++e) {
      const TXMLNode* entry = all->Child(e);
      SCOPED_TRACE(index.name + " " + std::string(entry->Name()));
      ASSERT_EQ(ChildNames(entry), (std::vector<std::string>{"unit", index.comment}));
      const TXMLNode* unit_leaf = entry->Child(0);
      std::string unit(unit_leaf->FirstValue());
      EXPECT_EQ(unit_leaves.try_emplace(unit, unit_leaf).first->second, unit_leaf);
      const TXMLNode* item =
          tree.FindUnit(unit)->FindChild(index.container)->FindChild(entry->Name());
      const TXMLNode* own = item->FindChild(index.comment);
      const TXMLNode* comment = entry->Child(1);
      if (index.name == "allFunctions" && own->FirstValue().empty() &&
          Value(item, "longComment") != "") {
        ++fallbacks;
        EXPECT_EQ(comment->Parent(), entry);
        EXPECT_EQ(comment->FirstValue(), Value(item, "longComment"));
      } else {
        EXPECT_EQ(comment, own);
      }
    }
  }
  EXPECT_EQ(fallbacks, 1);
}

TEST_F(ParseRunTest, ClassNamedLikeAContainerIsNotMistakenForIt) {
  std::vector<std::string> files = {
      Write("odd.pas", Source({"unit Odd;", "interface", "type", "functions = class", "public",
                               "procedure procDecl;", "end;", "constants = class", "end;",
                               "procedure Real;", "implementation"}))};
  TGlosParser parser;
  parser.ParseUnits(files);
  const DocTree& tree = *parser.Result();
  EXPECT_EQ(tree.ClassCount(), 2);
  ASSERT_EQ(tree.FunctionCount(), 1);
  EXPECT_EQ(tree.FunctionName(0), "Real");
  EXPECT_EQ(tree.ConstantCount(), 0);
  const TXMLNode* unit = tree.FindUnit("Odd");
  EXPECT_EQ(tree.MethodDecl(unit, 1, 0), "procedure procDecl;");
}

// What the tree holds after a cancel taken in by the n-th progress call of a run over two files
// without classes or routines (so that only the run's own calls are made).
TEST_F(ParseRunTest, CancelAtEachProgressCall) {
  std::vector<std::string> files = {Write("a.pas", UnitSource("A")),
                                    Write("b.pas", UnitSource("B"))};
  struct Expect {
    std::vector<std::string> units;
    std::vector<std::string> last_unit_children;
    bool sorted;
  };
  const std::vector<std::string> full = {"unitComment", "unitFileName", "classes", "functions",
                                         "constants"};
  const Expect expected[] = {
      {{}, {}, false},
      {{"A"}, {"unitComment", "unitFileName"}, false},
      {{"A"}, {"unitComment", "unitFileName", "classes"}, false},
      {{"A"}, {"unitComment", "unitFileName", "classes", "functions"}, false},
      {{"A"}, full, false},
      {{"A", "B"}, {"unitComment", "unitFileName"}, false},
      {{"A", "B"}, {"unitComment", "unitFileName", "classes"}, false},
      {{"A", "B"}, {"unitComment", "unitFileName", "classes", "functions"}, false},
      {{"A", "B"}, full, false},  // "Sorting..."
      {{"A", "B"}, full, true},   // "Sorting indexes"
  };
  for (int n = 1; n <= 10; ++n) {
    FakePlatform platform;
    platform.cancel_at = n;
    TGlosParser parser(&platform);
    parser.ParseUnits(files);
    const Expect& e = expected[n - 1];
    EXPECT_TRUE(parser.Cancelled) << n;
    EXPECT_EQ(static_cast<int>(platform.progress.size()), n) << n;
    const TXMLNode* root = parser.Tree()->Root();
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"parsedUnits"})) << n;
    const TXMLNode* parsed = root->FindChild("parsedUnits");
    EXPECT_EQ(ChildNames(parsed), e.units) << n;
    if (!e.units.empty()) {
      EXPECT_EQ(ChildNames(parsed->Child(parsed->ChildCount() - 1)), e.last_unit_children) << n;
    }
    EXPECT_EQ(parser.Result(), nullptr) << n;
  }
}

TEST_F(ParseRunTest, CancelInsideAPassStopsAtTheNextRunCall) {
  std::vector<std::string> files = {
      Write("c.pas", Source({"unit C;", "interface", "type", "TA = class", "end;", "TB = class",
                             "end;", "procedure P;", "implementation"}))};
  FakePlatform platform;
  platform.cancel_at = 3;  // unit, classes, then the class TA
  TGlosParser parser(&platform);
  parser.ParseUnits(files);
  EXPECT_TRUE(parser.Cancelled);
  // The "Parsing functions in" call is still made; it answers "stop".
  ASSERT_EQ(platform.progress.size(), 4u);
  EXPECT_EQ(platform.progress[2].detail, "TA");
  EXPECT_EQ(platform.progress[3].header, "Parsing functions in c.pas");
  const TXMLNode* unit = parser.Tree()->Root()->FindChild("parsedUnits")->Child(0);
  EXPECT_EQ(ChildNames(unit), (std::vector<std::string>{"unitComment", "unitFileName", "classes"}));
  EXPECT_TRUE(ChildNames(unit->FindChild("classes")).empty());
}

TEST_F(ParseRunTest, EmptyFileListStillSortsAndIndexes) {
  FakePlatform platform;
  TGlosParser parser(&platform);
  parser.ParseUnits({});
  EXPECT_EQ(platform.Headers(), (std::vector<std::string>{"Sorting...", "Sorting indexes"}));
  EXPECT_EQ(parser.Tree()->XmlText(),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<root>\r\n  <parsedUnits>\r\n"
            "  </parsedUnits>\r\n  <allUnits>\r\n  </allUnits>\r\n  <allClasses>\r\n"
            "  </allClasses>\r\n  <allFunctions>\r\n  </allFunctions>\r\n  <allConstants>\r\n"
            "  </allConstants>\r\n</root>\r\n");
}

TEST_F(ParseRunTest, ErrorsNameTheFileAndKeepEarlierUnits) {
  std::string good = Write("good.pas", UnitSource("Good"));
  std::string missing = folder_.Path("gone.pas");
  FakePlatform platform;
  TGlosParser parser(&platform);
  try {
    parser.ParseUnits({good, missing});
    FAIL();
  } catch (const FileOpenError& error) {
    EXPECT_EQ(error.File(), missing);
  }
  // The missing file's "Parsing unit in" was never shown.
  EXPECT_EQ(platform.progress.back().header, "Parsing constants in good.pas");
  EXPECT_EQ(ChildNames(parser.Tree()->Root()->FindChild("parsedUnits")),
            (std::vector<std::string>{"Good"}));

  std::string unclosed =
      Write("unclosed.pas", Source({"unit U;", "{** never closed", "procedure P;"}));
  TGlosParser second;
  try {
    second.ParseUnits({good, unclosed});
    FAIL();
  } catch (const ListIndexError& error) {
    EXPECT_EQ(error.File(), unclosed);
    EXPECT_EQ(error.Describe(), unclosed + ": List index out of bounds (3)");
  }
}

TEST(IndexSort, EqualNamesFollowTheQuicksort) {
  // All keys equal: the middle pivot exchanges from both ends, which reverses three names.
  IndexCollator collator("");
  std::deque<TXMLNode> nodes(3);
  std::vector<IndexItem> items;
  for (const char* name : {"Same", "same", "SAME"}) items.push_back({collator.Key(name), nullptr});
  for (size_t i = 0; i < items.size(); ++i) items[i].node = &nodes[i];
  IndexSort(items);
  EXPECT_EQ(items[0].node, &nodes[2]);
  EXPECT_EQ(items[1].node, &nodes[1]);
  EXPECT_EQ(items[2].node, &nodes[0]);
}

TEST(IndexSort, OrdersByLocaleCollation) {
  IndexCollator collator("");
  std::vector<std::string> names = {"Zeta",     "_Hidden", "Item2", "ItemA",
                                    "\xC4pfel", "apfel",   "Apfel", "\xC3\xA9t\xC3\xA9",
                                    "ete",      "Beta"};
  std::deque<TXMLNode> nodes;
  for (const std::string& name : names) nodes.emplace_back(name);
  std::vector<IndexItem> items;
  for (const TXMLNode& node : nodes) items.push_back({collator.Key(node.Name()), &node});
  IndexSort(items);
  std::vector<std::string> order;
  for (const IndexItem& item : items) order.emplace_back(item.node->Name());
  // Case is ignored (apfel/Apfel compare equal), accents are kept (Äpfel after them), the
  // underscore sorts before letters, digits before letters.
  ASSERT_EQ(order.size(), names.size());
  EXPECT_EQ(order.front(), "_Hidden");
  auto at = [&](const std::string& name) {
    return std::find(order.begin(), order.end(), name) - order.begin();
  };
  EXPECT_LT(at("Item2"), at("ItemA"));
  EXPECT_LT(at("apfel"), at("\xC4pfel"));
  EXPECT_LT(at("Apfel"), at("\xC4pfel"));
  EXPECT_LT(at("\xC4pfel"), at("Beta"));
  EXPECT_LT(at("ete"), at("\xC3\xA9t\xC3\xA9"));
  EXPECT_EQ(order.back(), "Zeta");
  EXPECT_EQ(collator.Key("apfel"), collator.Key("APFEL"));
  EXPECT_NE(collator.Key("ete"), collator.Key("\xC3\xA9t\xC3\xA9"));
  // Windows-1252 and UTF-8 spellings of the same name collate alike.
  EXPECT_EQ(collator.Key("\xC4pfel"), collator.Key("\xC3\x84pfel"));
  EXPECT_EQ(DecodeName("\x80"), u"\u20AC");
}

TEST(IndexSort, LargeInputsSortCorrectly) {
  IndexCollator collator("");
  std::deque<TXMLNode> nodes;
  for (int i = 0; i < 5000; ++i) nodes.emplace_back("N" + std::to_string((i * 7919) % 1000));
  std::vector<IndexItem> items;
  for (const TXMLNode& node : nodes) items.push_back({collator.Key(node.Name()), &node});
  IndexSort(items);
  for (size_t i = 1; i < items.size(); ++i) ASSERT_LE(items[i - 1].key, items[i].key) << i;
}

TEST(IndexSort, LocaleComesFromTheEnvironment) {
  struct Case {
    const char* lc_all;
    const char* lc_collate;
    const char* lang;
    std::string locale;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", "sv_SE", "fr_FR", "de_DE"},
      {nullptr, "sv_SE.ISO-8859-1", "fr_FR", "sv_SE"},
      {"", nullptr, "fr_FR@euro", "fr_FR"},
      {"C", "sv_SE", nullptr, ""},
      {nullptr, nullptr, "POSIX", ""},
      {nullptr, nullptr, nullptr, ""},
  };
  auto set = [](const char* name, const char* value) {
    if (value == nullptr) {
      unsetenv(name);
    } else {
      setenv(name, value, 1);
    }
  };
  // The three variables go back to what they were, set or not, however the test ends: the
  // tests after it in this program must see the environment they were started with.
  struct Saved {
    explicit Saved(const char* variable) : name(variable) {
      if (const char* value = std::getenv(variable)) old = value;
    }
    ~Saved() {
      if (old) {
        setenv(name, old->c_str(), 1);
      } else {
        unsetenv(name);
      }
    }
    const char* name;
    std::optional<std::string> old;
  };
  const Saved lc_all("LC_ALL"), lc_collate("LC_COLLATE"), lang("LANG");
  for (const Case& c : cases) {
    set("LC_ALL", c.lc_all);
    set("LC_COLLATE", c.lc_collate);
    set("LANG", c.lang);
    EXPECT_EQ(IndexCollator::LocaleFromEnvironment(), c.locale);
  }
}

}  // namespace
}  // namespace glossator
