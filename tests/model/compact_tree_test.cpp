// The tree packs its nodes (runs of children, lists in the arena, an Extra for the rest, name
// indexes, shared leaves and texts); whatever calls build it, it must read as a plain tree built
// by the same calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/text_arena.h"
#include "model/uXMLparser.h"

namespace glossator {
namespace {

// A node of the plain tree: what the packed node must read as.
struct PlainNode {
  std::string name;
  std::vector<std::string> values;
  std::vector<int> children;  // positions in the plain tree
  int parent = -1;            // for a shared leaf, the node it was first added under
  bool shared = false;        // shared as a leaf, so never changed again
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
  return out;
}

// Builds a TXMLTree and a plain tree with the same calls, and compares them.
class TwinTrees {
 public:
  TwinTrees() {
    tree.SetRoot(std::make_unique<TXMLNode>("root"));
    plain.push_back({"root", {}, {}, -1});
    nodes.push_back(tree.Root());
  }

  int Add(int parent, const std::string& name) {
    return Record(tree.AddNode(nodes[parent], name), parent, name);
  }
  int AddNamedAs(int parent, int source) {
    return Record(tree.AddNodeNamedAs(nodes[parent], nodes[source]), parent, plain[source].name);
  }
  void Share(int parent, int leaf) {
    tree.AddSharedLeaf(nodes[parent], nodes[leaf]);
    plain[parent].children.push_back(leaf);
    plain[leaf].shared = true;
  }
  void AddValue(int node, const std::string& value) {
    tree.AddValue(nodes[node], value);
    plain[node].values.push_back(value);
  }
  void AddValueOf(int node, int source) {
    tree.AddValueOf(nodes[node], nodes[source]);
    const auto& values = plain[source].values;
    plain[node].values.push_back(values.empty() ? "" : values[0]);
  }
  void SetValue(int node, size_t i, const std::string& value) {
    tree.SetValue(nodes[node], i, value);
    plain[node].values[i] = value;
  }
  void Sort(int node) {
    SortChildren(nodes[node]);
    std::stable_sort(plain[node].children.begin(), plain[node].children.end(),
                     [&](int a, int b) { return SortKey(plain[a].name) < SortKey(plain[b].name); });
  }
  // Adopts the children of a tree of their own, each with a leaf.
  void AdoptNew(int parent, const std::vector<std::string>& names) {
    TXMLTree other;
    other.SetRoot(std::make_unique<TXMLNode>("parsedUnits"));
    for (const std::string& name : names) {
      TXMLNode* item = other.AddNode(other.Root(), name);
      other.AddValue(other.AddNode(item, "leaf"), name + "!");
      Record(item->Child(0), Record(item, parent, name), "leaf");
      plain.back().values.push_back(name + "!");
    }
    tree.Adopt(nodes[parent], other);
  }

  // Everything a reader can see: names, values, children, parents, lookups and the dump.
  void Check() const {
    for (size_t k = 0; k < plain.size(); ++k) {
      const TXMLNode* node = nodes[k];
      const PlainNode& p = plain[k];
      SCOPED_TRACE("node " + std::to_string(k) + " " + p.name);
      ASSERT_EQ(node->Name(), p.name);
      ASSERT_EQ(node->ValueCount(), p.values.size());
      for (size_t v = 0; v < p.values.size(); ++v) ASSERT_EQ(node->Value(v), p.values[v]);
      ASSERT_EQ(node->FirstValue(), p.values.empty() ? "" : p.values[0]);
      ASSERT_EQ(node->ChildCount(), p.children.size());
      std::unordered_map<std::string, int> first;
      for (size_t c = 0; c < p.children.size(); ++c) {
        ASSERT_EQ(node->Child(c), nodes[p.children[c]]) << c;
        first.try_emplace(plain[p.children[c]].name, p.children[c]);
      }
      for (const auto& [name, child] : first) ASSERT_EQ(node->FindChild(name), nodes[child]);
      ASSERT_EQ(node->FindChild("missing"), nullptr);
      ASSERT_EQ(node->Parent(), p.parent < 0 ? nullptr : nodes[p.parent]);
    }
    std::string dump = "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n";
    Dump(0, 0, dump);
    ASSERT_EQ(tree.XmlText(), dump);
  }

  TXMLTree tree;
  std::vector<PlainNode> plain;
  std::vector<TXMLNode*> nodes;

 private:
  int Record(TXMLNode* node, int parent, const std::string& name) {
    plain.push_back({name, {}, {}, parent});
    nodes.push_back(node);
    int k = static_cast<int>(plain.size()) - 1;
    plain[parent].children.push_back(k);
    return k;
  }
  void Dump(int k, size_t indent, std::string& out) const {
    out += std::string(indent, ' ') + "<" + Escaped(plain[k].name) + ">\r\n";
    for (int child : plain[k].children) Dump(child, indent + 2, out);
    for (const std::string& v : plain[k].values)
      out += std::string(indent + 2, ' ') + Escaped(v) + "\r\n";
    out += std::string(indent, ' ') + "</" + Escaped(plain[k].name) + ">\r\n";
  }
};

std::string RandomText(std::mt19937& random) {
  static const std::string kTexts[] = {"",
                                       "a",
                                       "A",
                                       "b",
                                       "Item",
                                       "ITEM",
                                       "x<y>",
                                       "TObject",
                                       "_z",
                                       "\xC4pfel",
                                       std::string(254, 'k'),
                                       std::string(255, 'l'),
                                       std::string(256, 'm')};
  size_t pick = random() % 20;
  if (pick < std::size(kTexts)) return kTexts[pick];
  return "n" + std::to_string(random() % 300);  // many names, some repeated
}

// Random calls, with a bias to the newest node (so that leaves follow their item and form runs)
// and to one container that grows past every size limit of a packed node.
TEST(CompactTree, RandomCallsReadAsAPlainTree) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    TwinTrees t;
    int big = t.Add(0, "big");
    auto any = [&] { return static_cast<int>(random() % t.plain.size()); };
    auto open = [&] {  // a node that may still change
      int k = any();
      return t.plain[k].shared ? 0 : k;
    };
    for (int step = 0; step < 4000; ++step) {
      int newest = static_cast<int>(t.plain.size()) - 1;
      int parent = t.plain[newest].shared ? 0 : t.plain[newest].parent;
      switch (random() % 12) {
        case 0:
        case 1:
          t.Add(big, RandomText(random));
          break;
        case 2:
        case 3:
          t.Add(parent < 0 ? 0 : parent, RandomText(random));
          break;
        case 4:
          t.Add(t.plain[newest].shared ? 0 : newest, RandomText(random));
          break;
        case 5:
          t.Add(open(), RandomText(random));
          break;
        case 6:
          t.AddValue(open(), RandomText(random));
          break;
        case 7: {
          int node = open();
          if (!t.plain[node].values.empty()) {
            t.SetValue(node, random() % t.plain[node].values.size(), RandomText(random));
          }
          break;
        }
        case 8:
          t.AddNamedAs(open(), any());
          break;
        case 9: {
          int leaf = any();
          int holder = open();
          if (leaf != 0 && leaf != holder && t.plain[leaf].children.empty()) t.Share(holder, leaf);
          t.AddValueOf(open(), any());
          break;
        }
        case 10: {
          int node = open();
          t.tree.ReserveChildren(t.nodes[node], t.plain[node].children.size() + random() % 40);
          if (random() % 4 == 0) t.Sort(node);
          break;
        }
        case 11:
          if (random() % 8 == 0) t.AdoptNew(random() % 2 ? big : open(), {"u", "b", "u", "a"});
          break;
      }
    }
    t.Check();
    // Every node sorted: runs, lists and large nodes alike.
    for (size_t k = 0; k < t.plain.size(); ++k) t.Sort(static_cast<int>(k));
    t.Check();
    ASSERT_GT(t.plain[big].children.size(), 700u);
  }
}

// FindChild of a node with a name index gives what a scan gives, for names that are there
// (with many repeats) and names that are not, before and after a sort.
TEST(CompactTree, NameIndexAgreesWithAScan) {
  TXMLTree tree;
  tree.SetRoot(std::make_unique<TXMLNode>("root"));
  TXMLNode* many = tree.AddNode(tree.Root(), "many");
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) tree.AddNode(many, "c" + std::to_string(random() % 6000));
  auto scan = [&](const std::string& name) -> TXMLNode* {
    for (size_t i = 0; i < many->ChildCount(); ++i) {
      if (many->Child(i)->Name() == name) return many->Child(i);
    }
    return nullptr;
  };
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 3000; ++i) {
      std::string name = "c" + std::to_string(random() % 9000);
      ASSERT_EQ(many->FindChild(name), scan(name)) << name << " in round " << round;
    }
    SortChildren(many);
  }
}

// The stored form of a text switches at 255 bytes; equal short texts kept again share one copy.
TEST(CompactTree, KeptTextsReadBackAtEveryLengthAndShortOnesAreShared) {
  TextArena arena;
  for (size_t length : {0, 1, 32, 33, 254, 255, 256, 70000}) {
    std::string text(length, 'q');
    if (length > 2) text[1] = '\0';
    EXPECT_EQ(arena.Keep(text).View(), text) << length;
  }
  KeptText first = arena.Keep("inheritFrom");
  arena.Keep("procDecl");
  EXPECT_TRUE(arena.Keep(std::string("inheritFrom")).SameCopy(first));
  EXPECT_EQ(first.View(), "inheritFrom");
}

}  // namespace
}  // namespace glossator
