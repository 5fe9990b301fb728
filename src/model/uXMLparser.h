#ifndef GLOSSATOR_MODEL_UXMLPARSER_H_
#define GLOSSATOR_MODEL_UXMLPARSER_H_

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/text_arena.h"

namespace glossator {

// One node of the documentation tree: a name, ordered children and ordered text values. Names
// need not be unique among siblings; the tree knows nothing about what they mean. The nodes added
// with TXMLTree::AddNode belong to that tree, which frees them all together; their names and
// values are kept in the tree's text arena and stay where they are until the tree goes.
class TXMLNode {
 public:
  TXMLNode() = default;
  // A root, which keeps its own name.
  explicit TXMLNode(std::string name);
  ~TXMLNode();
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;

  std::string_view Name() const { return name_; }
  // The node this one was added under; null for the root. Not owning.
  TXMLNode* Parent() const { return parent_; }

  size_t ChildCount() const { return children_.size(); }
  // REQUIRES: i < ChildCount().
  TXMLNode* Child(size_t i) const { return children_[i]; }

  // The values in insertion order; duplicates and empty texts allowed.
  size_t ValueCount() const;
  // REQUIRES: i < ValueCount().
  std::string_view Value(size_t i) const {
    return i == 0 ? first_value_ : extra_->more_values[i - 1];
  }
  // The first value, or the empty text when there is none.
  std::string_view FirstValue() const { return first_value_; }

  // The first direct child whose name equals `name` exactly, or null. Only reads, so any number
  // of threads may ask at once while nobody changes the tree. A node gets a name index when it
  // reaches a dozen children (AddNode and Adopt build and keep it); the answer equals a scan of
  // the children in order, and a stable sort of the children does not change it (equal names
  // keep their order).
  TXMLNode* FindChild(std::string_view name) const;

 private:
  friend class TXMLTree;
  friend void SortChildren(TXMLNode* node);

  // What few nodes need: values after the first, and a name index for nodes with many children.
  struct Extra {
    std::string own_name;  // a root's name
    std::vector<std::string_view> more_values;
    // Name -> first child of that name; keys view the children's names, which never change.
    std::unordered_map<std::string_view, TXMLNode*> child_index;
  };
  Extra& MakeExtra() const;
  // Keeps the name index current after `child` was appended, building it at the threshold.
  void NoteChild(TXMLNode* child);
  void DropChildren();

  std::string_view name_;
  // Nearly every node has no value or one, so the first is held in the node itself.
  std::string_view first_value_;
  TXMLNode* parent_ = nullptr;
  std::vector<TXMLNode*> children_;  // owned by the tree that added them
  mutable std::unique_ptr<Extra> extra_;
  bool has_value_ = false;
  bool indexed_ = false;
};

// The documentation tree: owns every node reachable from its root.
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
  // REQUIRES: parent != nullptr.
  TXMLNode* AddNode(TXMLNode* parent, std::string_view name);

  // Appends a copy of `value` to the node's values. REQUIRES: the node belongs to this tree.
  void AddValue(TXMLNode* node, std::string_view value);
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
  std::unique_ptr<TXMLNode> root_;
  TextArena texts_;  // the names and values of the added nodes
  // The added nodes, in blocks allocated together: a tree has many small nodes, and one
  // allocation per node would cost more than the nodes themselves. Blocks start small and
  // double, so that the tree of one small file does not hold a large block mostly unused.
  std::vector<std::unique_ptr<TXMLNode[]>> blocks_;
  TXMLNode* free_ = nullptr;  // the next unused node of the newest block
  size_t free_left_ = 0;
  size_t next_block_size_ = 0;
};

// Reorders the node's direct children by name, upper-casing the ASCII letters only and comparing
// bytes unsigned; equal keys keep their order. So "Zeta" < "_Hidden" and "Item2" < "ItemA".
void SortChildren(TXMLNode* node);

// The key SortChildren orders by.
std::string SortKey(std::string_view name);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_UXMLPARSER_H_
