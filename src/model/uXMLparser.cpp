#include "model/uXMLparser.h"

#include <algorithm>
#include <vector>

#include "base/text_file.h"
#include "model/text_rules.h"

namespace glossator {

namespace {

// Below this many children a plain scan is as quick as a hash lookup.
constexpr size_t kIndexThreshold = 12;

constexpr size_t kFirstBlockSize = 32;
constexpr size_t kMaxBlockSize = 1024;

// "<" becomes "&lt;", then ">" becomes "&gt;"; nothing else is touched.
void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out += c;
    }
  }
}

// One element with its children and values, each line ending in CR LF.
void AppendElement(std::string& out, const TXMLNode& node, size_t indent) {
  out.append(indent, ' ');
  out += '<';
  AppendEscaped(out, node.Name());
  out += ">\r\n";
  for (size_t i = 0; i < node.ChildCount(); ++i) AppendElement(out, *node.Child(i), indent + 2);
  for (size_t i = 0; i < node.ValueCount(); ++i) {
    out.append(indent + 2, ' ');
    AppendEscaped(out, node.Value(i));
    out += "\r\n";
  }
  out.append(indent, ' ');
  out += "</";
  AppendEscaped(out, node.Name());
  out += ">\r\n";
}

}  // namespace

TXMLNode::TXMLNode(std::string name) {
  MakeExtra().own_name = std::move(name);
  name_ = extra_->own_name;
}

TXMLNode::~TXMLNode() = default;

TXMLNode::Extra& TXMLNode::MakeExtra() const {
  if (!extra_) extra_ = std::make_unique<Extra>();
  return *extra_;
}

size_t TXMLNode::ValueCount() const {
  if (!has_value_) return 0;
  return 1 + (extra_ ? extra_->more_values.size() : 0);
}

TXMLNode* TXMLNode::FindChild(std::string_view name) const {
  if (!indexed_) {
    for (TXMLNode* child : children_) {
      if (child->name_ == name) return child;
    }
    return nullptr;
  }
  const auto& index = extra_->child_index;
  auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

void TXMLNode::NoteChild(TXMLNode* child) {
  if (indexed_) {
    extra_->child_index.emplace(child->name_, child);
  } else if (children_.size() >= kIndexThreshold) {
    // Built in list order, so emplace keeps the first child of each name. SortChildren is
    // stable and so leaves it valid.
    auto& index = MakeExtra().child_index;
    index.reserve(2 * children_.size());
    for (TXMLNode* each : children_) index.emplace(each->name_, each);
    indexed_ = true;
  }
}

void TXMLNode::DropChildren() {
  children_.clear();
  if (indexed_) {
    extra_->child_index.clear();
    indexed_ = false;
  }
}

TXMLTree::~TXMLTree() {
  if (root_) FreeNode(root_.get());
}

void TXMLTree::SetRoot(std::unique_ptr<TXMLNode> root) {
  if (root_) FreeNode(root_.get());
  root_ = std::move(root);
}

TXMLNode* TXMLTree::AddNode(TXMLNode* parent, std::string_view name) {
  if (free_left_ == 0) {
    next_block_size_ =
        next_block_size_ == 0 ? kFirstBlockSize : std::min(2 * next_block_size_, kMaxBlockSize);
    blocks_.push_back(std::make_unique<TXMLNode[]>(next_block_size_));
    free_ = blocks_.back().get();
    free_left_ = next_block_size_;
  }
  TXMLNode* node = free_++;
  --free_left_;
  node->name_ = texts_.Keep(name);
  node->parent_ = parent;
  // Items have four leaves at most; one allocation serves them.
  if (parent->children_.empty()) parent->children_.reserve(4);
  parent->children_.push_back(node);
  parent->NoteChild(node);
  return node;
}

void TXMLTree::AddValue(TXMLNode* node, std::string_view value) {
  std::string_view kept = texts_.Keep(value);
  if (!node->has_value_) {
    node->first_value_ = kept;
    node->has_value_ = true;
  } else {
    node->MakeExtra().more_values.push_back(kept);
  }
}

void TXMLTree::SetValue(TXMLNode* node, size_t i, std::string_view value) {
  std::string_view kept = texts_.Keep(value);
  if (i == 0) {
    node->first_value_ = kept;
  } else {
    node->extra_->more_values[i - 1] = kept;
  }
}

TXMLNode* TXMLTree::FindNode(const TXMLNode* start, std::string_view name) const {
  if (start == nullptr) start = root_.get();
  if (start == nullptr) return nullptr;
  // Pre-order with an explicit stack: a node before its children, a child's whole subtree
  // before its next sibling.
  std::vector<const TXMLNode*> stack{start};
  while (!stack.empty()) {
    const TXMLNode* node = stack.back();
    stack.pop_back();
    if (node->Name() == name) return const_cast<TXMLNode*>(node);
    for (size_t i = node->ChildCount(); i > 0; --i) stack.push_back(node->Child(i - 1));
  }
  return nullptr;
}

void TXMLTree::FreeNode(TXMLNode* node) {
  if (node != root_.get()) return;
  blocks_.clear();
  free_ = nullptr;
  free_left_ = 0;
  next_block_size_ = 0;
  root_.reset();
  texts_.Clear();
}

void TXMLTree::Adopt(TXMLNode* parent, TXMLTree& other) {
  TXMLNode* from = other.Root();
  if (from == nullptr) return;
  parent->children_.reserve(parent->children_.size() + from->children_.size());
  for (TXMLNode* child : from->children_) {
    child->parent_ = parent;
    parent->children_.push_back(child);
    parent->NoteChild(child);
  }
  from->DropChildren();
  // The newest block of this tree stays the one AddNode fills.
  for (auto& block : other.blocks_) blocks_.push_back(std::move(block));
  texts_.Absorb(other.texts_);
  other.blocks_.clear();
  other.free_ = nullptr;
  other.free_left_ = 0;
  other.next_block_size_ = 0;
}

std::string TXMLTree::XmlText() const {
  std::string out = "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n";
  AppendElement(out, *root_, 0);
  return out;
}

void TXMLTree::SaveToFile(const std::string& file_name) const {
  WriteWholeFile(file_name, XmlText());
}

std::string SortKey(std::string_view name) { return ToUpperAscii(name); }

void SortChildren(TXMLNode* node) {
  auto& children = node->children_;
  if (children.size() < 2) return;
  // Same order as the exchange sort over upper-cased names (stable, unsigned bytes), in
  // n log n: std::string compares its chars as unsigned char.
  std::vector<std::pair<std::string, TXMLNode*>> keys;
  keys.reserve(children.size());
  for (TXMLNode* child : children) keys.emplace_back(SortKey(child->name_), child);
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < keys.size(); ++i) children[i] = keys[i].second;
}

}  // namespace glossator
