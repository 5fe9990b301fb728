#ifndef GLOSSATOR_MODEL_UXMLPARSER_H_
#define GLOSSATOR_MODEL_UXMLPARSER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/text_arena.h"

namespace glossator {

class TXMLNode;

// Finds the first child of a given name among many: open addressing over the children's
// positions, keyed by the hash of the name, at most half full. Costs 4 bytes a slot, about 8
// to 16 bytes a child. The positions must be rebuilt when the children are reordered.
class ChildNameIndex {
 public:
  bool Built() const { return slots_ != nullptr; }
  // Indexes `children` from scratch, in their order, with room for `expected` children.
  void Build(std::span<TXMLNode* const> children, size_t expected);
  // Indexes the same children again after they were reordered, in the same room.
  // REQUIRES: Built(), over the same children in another order.
  void Refill(std::span<TXMLNode* const> children);
  // Indexes the last of `children`, just appended; when the index must grow, it makes room for
  // `expected` children. REQUIRES: Built(), over the others.
  void Add(std::span<TXMLNode* const> children, size_t expected);
  // The first of `children` named `name`, or null. REQUIRES: Built(), over `children`.
  TXMLNode* Find(std::span<TXMLNode* const> children, std::string_view name) const;
  void Clear();

 private:
  // Notes position `at` unless an earlier child holds its name; returns whether it was placed.
  bool Place(std::span<TXMLNode* const> children, uint32_t at);

  std::unique_ptr<uint32_t[]> slots_;  // position + 1 of a child, 0 for a free slot
  size_t mask_ = 0;                    // the number of slots less one (a power of two less one)
  size_t names_ = 0;                   // the names placed
};

// One node of the documentation tree: a name, ordered children and ordered text values. Names
// need not be unique among siblings; the tree knows nothing about what they mean. The nodes added
// with TXMLTree::AddNode belong to that tree, which frees them all together; their names and
// values are kept in the tree's text arena and stay where they are until the tree goes.
//
// A tree holds millions of nodes, so a node is three words: its name, its parent together with
// the kind of its content, and that content. By kind: nothing; one value; up to eight children
// that lie one after the other in memory, as an item's leaves do when they are added right after
// it (the first child's address and the count); up to eight children listed in the tree's arena
// (the list's address and the count); or anything larger, which goes to an Extra allocated apart
// with its vectors and, from a dozen children on, a name index.
class TXMLNode {
 public:
  TXMLNode() = default;
  // A root, which keeps its own name.
  explicit TXMLNode(std::string name);
  ~TXMLNode();
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;

  std::string_view Name() const { return name_.View(); }
  // The node this one was added under; null for the root. Not owning. A leaf shared with
  // TXMLTree::AddSharedLeaf keeps the parent it was first added under.
  TXMLNode* Parent() const { return reinterpret_cast<TXMLNode*>(parent_ & ~kLowBits); }

  size_t ChildCount() const {
    switch (kind()) {
      case kRun:
      case kList:
        return (content_ & kLowBits) + 1;
      case kExtra:
        return ExtraPart()->children.size();
      default:
        return 0;
    }
  }
  // REQUIRES: i < ChildCount().
  TXMLNode* Child(size_t i) const {
    switch (kind()) {
      case kRun:
        return RunStart() + i;
      case kList:
        return ListStart()[i];
      default:
        return ExtraPart()->children[i];
    }
  }

  // The values in insertion order; duplicates and empty texts allowed.
  size_t ValueCount() const;
  // REQUIRES: i < ValueCount().
  std::string_view Value(size_t i) const;
  // The first value, or the empty text when there is none.
  std::string_view FirstValue() const { return FirstKept().View(); }

  // The first direct child whose name equals `name` exactly, or null. Only reads, so any number
  // of threads may ask at once while nobody changes the tree. A node gets a name index when it
  // reaches a dozen children (AddNode and Adopt build and keep it); the answer equals a scan of
  // the children in order, and a stable sort of the children does not change it (equal names
  // keep their order).
  TXMLNode* FindChild(std::string_view name) const;

 private:
  friend class TXMLTree;
  friend void SortChildren(TXMLNode* node);

  // What the content word holds. The kind sits in the low bits of the parent word, and the
  // count of a run or a list, less one, in the low bits of the content word: nodes and lists
  // are aligned to eight bytes, which leaves three bits free.
  enum Kind : uintptr_t {
    kEmpty = 0,  // no value, no child
    kValue = 1,  // a KeptText
    kRun = 2,    // the first child | count - 1
    kList = 3,   // a list of child pointers | count - 1
    kExtra = 4,  // an Extra
  };
  static constexpr uintptr_t kLowBits = 7;
  static constexpr size_t kMaxShort = 8;  // the most children a run or a list holds

  // The rest, for the few nodes that have it: a root's own name, values beside children or
  // more than one value, and more than eight children with, from a dozen on, their name index.
  struct Extra {
    std::unique_ptr<char[]> own_name;
    std::vector<KeptText> values;
    std::vector<TXMLNode*> children;
    ChildNameIndex index;
  };

  Kind kind() const { return static_cast<Kind>(parent_ & kLowBits); }
  void SetParent(TXMLNode* parent) {
    parent_ = reinterpret_cast<uintptr_t>(parent) | (parent_ & kLowBits);
  }
  void SetContent(Kind to, uintptr_t content) {
    parent_ = (parent_ & ~kLowBits) | to;
    content_ = content;
  }
  TXMLNode* RunStart() const { return reinterpret_cast<TXMLNode*>(content_ & ~kLowBits); }
  TXMLNode** ListStart() const { return reinterpret_cast<TXMLNode**>(content_ & ~kLowBits); }
  Extra* ExtraPart() const { return reinterpret_cast<Extra*>(content_); }
  KeptText FirstKept() const {
    if (kind() == kValue) return KeptText::FromWord(content_);
    if (kind() == kExtra && !ExtraPart()->values.empty()) return ExtraPart()->values[0];
    return KeptText();
  }
  // Moves the content to an Extra; a list it leaves is the caller's to give back.
  Extra& ToExtra();

  KeptText name_;
  uintptr_t parent_ = 0;   // the parent's address | the kind
  uintptr_t content_ = 0;  // by the kind
};

// The documentation tree: owns every node reachable from its root, except leaves that it shares
// with the tree that adopts it (AddSharedLeaf).
class TXMLTree {
 public:
  TXMLTree() = default;
  ~TXMLTree();
  TXMLTree(const TXMLTree&) = delete;
  TXMLTree& operator=(const TXMLTree&) = delete;

  TXMLNode* Root() const { return root_.get(); }
  // The tree does not make its root; its owner hands one in.
  void SetRoot(std::unique_ptr<TXMLNode> root);

  // Appends a new node named `name` at the end of the parent's children and returns it.
  // REQUIRES: parent belongs to this tree (or is its root).
  TXMLNode* AddNode(TXMLNode* parent, std::string_view name);
  // The same with the name of `source`, whose stored copy the new node shares.
  // REQUIRES: source's tree outlives this tree's nodes, or adopts them.
  TXMLNode* AddNodeNamedAs(TXMLNode* parent, const TXMLNode* source);
  // Appends `leaf` itself, not a copy, to the parent's children: an index entry can hold the
  // very leaf of the item it stands for. The leaf keeps its Parent(), and appears, in the dump
  // as everywhere, once under each node that holds it. REQUIRES: the leaf has no children,
  // nobody changes it any more, and its tree outlives this one's nodes or adopts them.
  void AddSharedLeaf(TXMLNode* parent, TXMLNode* leaf);

  // Makes room for `count` children in all, so that adding them moves nothing and leaves no
  // outgrown copies behind: for an index, whose number of entries is known beforehand.
  void ReserveChildren(TXMLNode* node, size_t count);

  // Appends a copy of `value` to the node's values. REQUIRES: the node belongs to this tree.
  void AddValue(TXMLNode* node, std::string_view value);
  // Appends the first value of `source` (the empty text when it has none), sharing its stored
  // copy. REQUIRES: as for AddNodeNamedAs.
  void AddValueOf(TXMLNode* node, const TXMLNode* source);
  // REQUIRES: i < node->ValueCount(), and the node belongs to this tree.
  void SetValue(TXMLNode* node, size_t i, std::string_view value);

  // The first node named exactly `name` in pre-order from `start` (from the root when null),
  // the start node itself included; null when the subtree holds none.
  TXMLNode* FindNode(const TXMLNode* start, std::string_view name) const;

  // Frees the root together with every node of the tree. REQUIRES: node is the root.
  void FreeNode(TXMLNode* node);

  // Moves the children of `other`'s root, with their whole subtrees, to the end of `parent`'s
  // children; this tree takes over every node `other` added, and `other` keeps only its root.
  // The moved nodes stay where they are in memory, so pointers to them stay valid. A file
  // parsed on its own tree joins the run's tree this way. REQUIRES: parent belongs to this tree.
  void Adopt(TXMLNode* parent, TXMLTree& other);

  // The whole tree as the XML dump. The dump format is read by people comparing runs; do not
  // change it. REQUIRES: a root is set.
  std::string XmlText() const;
  // Writes XmlText() into the file. Throws a file error naming `file_name`.
  void SaveToFile(const std::string& file_name) const;

 private:
  // Lists of children come in three sizes: 2, 4 and 8 pointers.
  static constexpr int kListSizes = 3;

  TXMLNode* NewNode(TXMLNode* parent, KeptText name);
  // Appends `child` to the parent's children. `fresh` says that the child is the node NewNode
  // has just taken from the newest block, which may extend a run.
  void AppendChild(TXMLNode* parent, TXMLNode* child, bool fresh);
  // Whether `child`, just taken from the newest block, lies right after the run of `parent`.
  bool ExtendsRun(const TXMLNode* parent, const TXMLNode* child) const;
  // Lists the parent's children and `child` in a list of the arena, or in an Extra when they
  // are more than a list holds.
  void ListChildren(TXMLNode* parent, TXMLNode* child);
  void AppendToExtra(TXMLNode* parent, TXMLNode* child);
  // The node's Extra, made when it has none; a list the node leaves is given back.
  TXMLNode::Extra& ExtraOf(TXMLNode* node);
  void PutValue(TXMLNode* node, KeptText value);
  // A list of size class `size_class` (2 << size_class pointers), taken from those given back
  // when there is one.
  TXMLNode** TakeList(int size_class);
  void GiveBack(TXMLNode** list, int size_class);
  void ForgetFreeLists();

  std::unique_ptr<TXMLNode> root_;
  TextArena texts_;  // the names and values of the added nodes, and their lists of children
  // The added nodes, in blocks allocated together: a tree has many small nodes, and one
  // allocation per node would cost more than the nodes themselves. Blocks start small and
  // double, so that the tree of one small file does not hold a large block mostly unused.
  std::vector<std::unique_ptr<TXMLNode[]>> blocks_;
  TXMLNode* block_start_ = nullptr;  // the newest block
  TXMLNode* free_ = nullptr;         // the next unused node of the newest block
  size_t free_left_ = 0;
  size_t next_block_size_ = 0;
  // Lists outgrown by their nodes, by size class, chained through their first word.
  void* free_lists_[kListSizes] = {};
};

// Reorders the node's direct children by name, upper-casing the ASCII letters only and comparing
// bytes unsigned; equal keys keep their order. So "Zeta" < "_Hidden" and "Item2" < "ItemA".
void SortChildren(TXMLNode* node);

// The key SortChildren orders by.
std::string SortKey(std::string_view name);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_UXMLPARSER_H_
