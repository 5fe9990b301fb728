#include "model/uXMLparser.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "base/errors.h"
#include "support/files.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

std::unique_ptr<TXMLNode> MakeRoot(const std::string& name = "root") {
  return std::make_unique<TXMLNode>(name);
}

std::vector<std::string> ChildNames(const TXMLNode* node) {
  std::vector<std::string> names;
  for (size_t i = 0; i < node->ChildCount(); ++i) names.emplace_back(node->Child(i)->Name());
  return names;
}

TEST(XMLTree, AddNode_AppendsInOrderAndAllowsDuplicates) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TXMLNode* a = tree.AddNode(tree.Root(), "a");
  TXMLNode* a2 = tree.AddNode(tree.Root(), "a");
  EXPECT_NE(a, a2);
  EXPECT_EQ(ChildNames(tree.Root()), (std::vector<std::string>{"a", "a"}));
  EXPECT_EQ(a->Parent(), tree.Root());
  EXPECT_EQ(tree.Root()->Parent(), nullptr);
}

TEST(XMLTree, FindNode_WithoutStartFindsRootItself) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot("root"));
  tree.AddNode(tree.Root(), "root");
  EXPECT_EQ(tree.FindNode(nullptr, "root"), tree.Root());
}

TEST(XMLTree, FindNode_SearchesEarlierSubtreeFirst) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TXMLNode* first = tree.AddNode(tree.Root(), "first");
  TXMLNode* deep = tree.AddNode(tree.AddNode(first, "middle"), "target");
  tree.AddNode(tree.Root(), "target");
  EXPECT_EQ(tree.FindNode(nullptr, "target"), deep);
  EXPECT_EQ(tree.FindNode(tree.Root(), "target"), deep);
}

TEST(XMLTree, FindNode_IsCaseSensitiveAndStaysInSubtree) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TXMLNode* left = tree.AddNode(tree.Root(), "left");
  tree.AddNode(tree.Root(), "Item");
  EXPECT_EQ(tree.FindNode(nullptr, "item"), nullptr);
  EXPECT_EQ(tree.FindNode(left, "Item"), nullptr);
}

TEST(XMLTree, FindNode_TwoSiblingsGivesFirst) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TXMLNode* one = tree.AddNode(tree.Root(), "x");
  tree.AddNode(tree.Root(), "x");
  EXPECT_EQ(tree.FindNode(tree.Root(), "x"), one);
}

TEST(XMLTree, FindChild_AgreesWithScanForLargeNodesAndAfterSort) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  std::vector<TXMLNode*> firsts;
  for (int i = 0; i < 50; ++i) {
    TXMLNode* node = tree.AddNode(tree.Root(), "n" + std::to_string(i % 20));
    if (i < 20) firsts.push_back(node);
  }
  EXPECT_EQ(tree.Root()->FindChild("n3"), firsts[3]);  // builds the index
  TXMLNode* late = tree.AddNode(tree.Root(), "late");
  EXPECT_EQ(tree.Root()->FindChild("late"), late);  // kept current by AddNode
  SortChildren(tree.Root());
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(tree.Root()->FindChild("n" + std::to_string(i)), firsts[i]) << i;
  }
  EXPECT_EQ(tree.Root()->FindChild("missing"), nullptr);
}

struct SortCase {
  std::vector<std::string> in;
  std::vector<std::string> out;
};

// Names and values are copies kept by the tree: they outlive the texts they were made from,
// whatever their length, and move with the nodes when another tree adopts them, so that the
// adopted nodes read the same after the tree they were made in is gone.
TEST(XMLTree, NamesAndValuesOutliveTheirSourceAndMoveWithAdopt) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TXMLNode* target = tree.AddNode(tree.Root(), "target");
  std::vector<std::pair<std::string, std::string>> expected;
  {
    TXMLTree file;
    file.SetRoot(MakeRoot(std::string("parsedUnits")));
    // Lengths from empty to past the largest block, so that some texts share blocks, some
    // start new ones and some get blocks of their own.
    for (size_t length : {0, 1, 15, 16, 200, 1000, 5000, 70000, 300000, 3, 0, 40}) {
      std::string name = "n" + std::to_string(length);
      std::string value(length, static_cast<char>('a' + length % 26));
      TXMLNode* node = file.AddNode(file.Root(), name);
      file.AddValue(node, value);
      file.AddValue(node, name + value);
      file.SetValue(node, 0, value + "!");
      expected.emplace_back(name, value + "!");
      name.assign(name.size(), '#');  // the sources change; the tree's copies must not
      value.assign(value.size(), '#');
    }
    tree.Adopt(target, file);
    EXPECT_EQ(file.Root()->ChildCount(), 0u);
  }
  tree.AddValue(tree.AddNode(target, "after"), "added after the adoption");
  ASSERT_EQ(target->ChildCount(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) {
    const TXMLNode* node = target->Child(i);
    EXPECT_EQ(node->Parent(), target);
    EXPECT_EQ(node->Name(), expected[i].first);
    ASSERT_EQ(node->ValueCount(), 2u);
    EXPECT_EQ(node->Value(0), expected[i].second);
    EXPECT_EQ(std::string(node->Value(1)),
              expected[i].first + expected[i].second.substr(0, expected[i].second.size() - 1));
  }
  EXPECT_EQ(target->Child(expected.size())->FirstValue(), "added after the adoption");
}

TEST(XMLTree, SortChildren_OrdersByUpperCasedBytesStably) {
  const SortCase cases[] = {
      {{"b", "A", "a"}, {"A", "a", "b"}},
      {{"a", "A"}, {"a", "A"}},
      {{"_Hidden", "Zeta"}, {"Zeta", "_Hidden"}},
      {{"ItemA", "Item2"}, {"Item2", "ItemA"}},
      {{"Item", "ITEM", "item"}, {"Item", "ITEM", "item"}},
      {{"ab", "a"}, {"a", "ab"}},
      {{"\xC4pfel", "Zebra", "Apfel"}, {"Apfel", "Zebra", "\xC4pfel"}},
      {{"only"}, {"only"}},
  };
  for (const SortCase& c : cases) {
    TXMLTree tree;
    tree.SetRoot(MakeRoot());
    for (const std::string& name : c.in) tree.AddNode(tree.Root(), name);
    SortChildren(tree.Root());
    EXPECT_EQ(ChildNames(tree.Root()), c.out) << c.in.front();
  }
}

TEST(XMLTree, SortChildren_TouchesOnlyDirectChildrenAndKeepsValues) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TXMLNode* b = tree.AddNode(tree.Root(), "b");
  tree.AddNode(b, "z");
  tree.AddNode(b, "y");
  tree.AddValue(b, "2");
  tree.AddValue(b, "1");
  tree.AddNode(tree.Root(), "a");
  SortChildren(tree.Root());
  EXPECT_EQ(ChildNames(tree.Root()), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ChildNames(b), (std::vector<std::string>{"z", "y"}));
  ASSERT_EQ(b->ValueCount(), 2u);
  EXPECT_EQ(b->Value(0), "2");
  EXPECT_EQ(b->Value(1), "1");
}

TEST(XMLTree, SaveToFile_WritesTheDumpByteForByte) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  tree.AddValue(tree.AddNode(tree.Root(), "notes"), "a<b");
  tree.AddNode(tree.Root(), "empty");
  TXMLNode* mixed = tree.AddNode(tree.Root(), "m>x");
  tree.AddValue(mixed, "");
  tree.AddValue(mixed, "x & y \"q\" '\xE9'");
  tree.AddNode(mixed, "child");
  TempFolder folder;
  std::string path = folder.Path("dump.xml");
  tree.SaveToFile(path);
  EXPECT_EQ(ReadAll(path),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n"
            "<root>\r\n"
            "  <notes>\r\n"
            "    a&lt;b\r\n"
            "  </notes>\r\n"
            "  <empty>\r\n"
            "  </empty>\r\n"
            "  <m&gt;x>\r\n"
            "    <child>\r\n"
            "    </child>\r\n"
            "    \r\n"
            "    x & y \"q\" '\xE9'\r\n"
            "  </m&gt;x>\r\n"
            "</root>\r\n");
}

TEST(XMLTree, SaveToFile_RootOnlyGivesThreeLines) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TempFolder folder;
  std::string path = folder.Path("root.xml");
  tree.SaveToFile(path);
  EXPECT_EQ(ReadAll(path),
            "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<root>\r\n</root>\r\n");
}

TEST(XMLTree, SaveToFile_UnwritableTargetThrowsNamingItAndKeepsOldFile) {
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  TempFolder folder;
  std::string missing_dir = folder.Path("no/such/dir/dump.xml");
  try {
    tree.SaveToFile(missing_dir);
    FAIL() << "no error";
  } catch (const FileCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + missing_dir);
  }
  // A directory in the way of the dump.
  std::string dir = folder.Path("dir.xml");
  std::filesystem::create_directories(dir);
  EXPECT_THROW(tree.SaveToFile(dir), FileCreateError);
  EXPECT_TRUE(std::filesystem::is_directory(dir));
}

// A write that fails half-way (here a file size limit, as a disk that fills up) is reported and
// leaves no part-written file.
TEST(XMLTree, SaveToFile_WriteFailureIsReportedAndLeavesNothing) {
  TempFolder folder;
  std::string path = folder.Path("glosdata.xml");
  TXMLTree tree;
  tree.SetRoot(MakeRoot());
  struct rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 16;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_THROW(tree.SaveToFile(path), FileWriteError);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace glossator
