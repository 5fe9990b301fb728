#include "model/uXMLparser.h"

#include <algorithm>
#include <vector>

#include "model/text_file.h"
#include "model/text_rules.h"

namespace glossator {

namespace {

// Below this many children a plain scan is as quick as a hash lookup.
constexpr size_t kIndexThreshold = 12;

const std::string kNoValue;

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

void WriteElement(TextFileWriter& file, const TXMLNode& node, size_t indent, std::string& line) {
  line.assign(indent, ' ');
  line += '<';
  AppendEscaped(line, node.Name());
  line += '>';
  file.WriteLine(line);
  for (size_t i = 0; i < node.ChildCount(); ++i) {
    WriteElement(file, *node.Child(i), indent + 2, line);
  }
  for (const std::string& value : node.Values()) {
    line.assign(indent + 2, ' ');
    AppendEscaped(line, value);
    file.WriteLine(line);
  }
  line.assign(indent, ' ');
  line += "</";
  AppendEscaped(line, node.Name());
  line += '>';
  file.WriteLine(line);
}

}  // namespace

TXMLNode::~TXMLNode() {
  // Children go in list order, each with its subtree, before the node itself.
  for (auto& child : children_) child.reset();
}

const std::string& TXMLNode::FirstValue() const {
  return values_.empty() ? kNoValue : values_.front();
}

TXMLNode* TXMLNode::FindChild(std::string_view name) const {
  if (children_.size() < kIndexThreshold) {
    for (const auto& child : children_) {
      if (child->name_ == name) return child.get();
    }
    return nullptr;
  }
  if (!child_index_) {
    child_index_ = std::make_unique<std::unordered_map<std::string_view, TXMLNode*>>();
    child_index_->reserve(children_.size());
    // Built in list order, so emplace keeps the first child of each name. AddNode keeps the
    // index current after this; SortChildren is stable and so leaves it valid.
    for (const auto& child : children_) child_index_->emplace(child->name_, child.get());
  }
  auto it = child_index_->find(name);
  return it == child_index_->end() ? nullptr : it->second;
}

TXMLTree::~TXMLTree() {
  if (root_) FreeNode(std::move(root_));
}

void TXMLTree::SetRoot(std::unique_ptr<TXMLNode> root) {
  if (root_) FreeNode(std::move(root_));
  root_ = std::move(root);
}

TXMLNode* TXMLTree::AddNode(TXMLNode* parent, std::string name) {
  auto node = std::make_unique<TXMLNode>(std::move(name));
  node->parent_ = parent;
  TXMLNode* added = node.get();
  parent->children_.push_back(std::move(node));
  if (parent->child_index_) parent->child_index_->emplace(added->name_, added);
  return added;
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

void TXMLTree::FreeNode(std::unique_ptr<TXMLNode> node) { node.reset(); }

void TXMLTree::SaveToFile(const std::string& file_name) const {
  TextFileWriter file(file_name);
  file.WriteLine("<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>");
  std::string line;
  WriteElement(file, *root_, 0, line);
  file.Close();
}

std::string SortKey(std::string_view name) { return ToUpperAscii(name); }

void SortChildren(TXMLNode* node) {
  auto& children = node->children_;
  if (children.size() < 2) return;
  // Same order as the exchange sort over upper-cased names (stable, unsigned bytes), in
  // n log n: std::string compares its chars as unsigned char.
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(children.size());
  for (size_t i = 0; i < children.size(); ++i) keys.emplace_back(SortKey(children[i]->name_), i);
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::unique_ptr<TXMLNode>> sorted;
  sorted.reserve(children.size());
  for (const auto& key : keys) sorted.push_back(std::move(children[key.second]));
  children = std::move(sorted);
}

}  // namespace glossator
