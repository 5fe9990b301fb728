#include "model/uXMLparser.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>
#include <vector>

#include "base/text_file.h"
#include "model/text_rules.h"

namespace glossator {

namespace {

// Below this many children a plain scan is as quick as a hash lookup.
constexpr size_t kIndexThreshold = 12;
constexpr size_t kFirstIndexSlots = 32;

constexpr size_t kFirstBlockSize = 32;
constexpr size_t kMaxBlockSize = 1024;

static_assert(sizeof(TXMLNode) == 3 * sizeof(void*), "a node is three words");
static_assert(alignof(TXMLNode) > 7, "the low three bits of a node's address are free");

size_t HashName(std::string_view name) { return std::hash<std::string_view>()(name); }

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

void ChildNameIndex::Build(std::span<TXMLNode* const> children, size_t expected) {
  size_t names = std::max(children.size(), expected);
  if (names >= std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("too many children for one node");
  }
  size_t slots = kFirstIndexSlots;
  while (slots < 2 * names) slots *= 2;
  slots_ = std::make_unique<uint32_t[]>(slots);
  mask_ = slots - 1;
  names_ = 0;
  for (size_t at = 0; at < children.size(); ++at) Place(children, static_cast<uint32_t>(at));
}

void ChildNameIndex::Refill(std::span<TXMLNode* const> children) {
  std::fill_n(slots_.get(), mask_ + 1, 0);
  names_ = 0;
  for (size_t at = 0; at < children.size(); ++at) Place(children, static_cast<uint32_t>(at));
}

void ChildNameIndex::Add(std::span<TXMLNode* const> children, size_t expected) {
  // At most half full, so that a name that is not there is known after a few slots.
  if (2 * (names_ + 1) > mask_ + 1) {
    Build(children, std::max(expected, children.size()));
  } else {
    Place(children, static_cast<uint32_t>(children.size() - 1));
  }
}

bool ChildNameIndex::Place(std::span<TXMLNode* const> children, uint32_t at) {
  std::string_view name = children[at]->Name();
  for (size_t i = HashName(name) & mask_;; i = (i + 1) & mask_) {
    uint32_t slot = slots_[i];
    if (slot == 0) {
      slots_[i] = at + 1;
      ++names_;
      return true;
    }
    // Children are placed in order, so the one already there came first.
    if (children[slot - 1]->Name() == name) return false;
  }
}

TXMLNode* ChildNameIndex::Find(std::span<TXMLNode* const> children, std::string_view name) const {
  for (size_t i = HashName(name) & mask_;; i = (i + 1) & mask_) {
    uint32_t slot = slots_[i];
    if (slot == 0) return nullptr;
    TXMLNode* child = children[slot - 1];
    if (child->Name() == name) return child;
  }
}

void ChildNameIndex::Clear() {
  slots_.reset();
  mask_ = 0;
  names_ = 0;
}

TXMLNode::TXMLNode(std::string name) {
  auto extra = std::make_unique<Extra>();
  name_ = KeptText::Own(name, extra->own_name);
  SetContent(kExtra, reinterpret_cast<uintptr_t>(extra.release()));
}

TXMLNode::~TXMLNode() {
  if (kind() == kExtra) delete ExtraPart();
}

size_t TXMLNode::ValueCount() const {
  switch (kind()) {
    case kValue:
      return 1;
    case kExtra:
      return ExtraPart()->values.size();
    default:
      return 0;
  }
}

std::string_view TXMLNode::Value(size_t i) const {
  return kind() == kValue ? KeptText::FromWord(content_).View() : ExtraPart()->values[i].View();
}

TXMLNode* TXMLNode::FindChild(std::string_view name) const {
  switch (kind()) {
    case kRun:
      for (TXMLNode* child = RunStart(); child <= RunStart() + (content_ & kLowBits); ++child) {
        if (child->Name() == name) return child;
      }
      return nullptr;
    case kList:
      for (TXMLNode* child : std::span(ListStart(), ChildCount())) {
        if (child->Name() == name) return child;
      }
      return nullptr;
    case kExtra:
      if (ExtraPart()->index.Built()) return ExtraPart()->index.Find(ExtraPart()->children, name);
      for (TXMLNode* child : ExtraPart()->children) {
        if (child->Name() == name) return child;
      }
      return nullptr;
    default:
      return nullptr;
  }
}

TXMLNode::Extra& TXMLNode::ToExtra() {
  if (kind() == kExtra) return *ExtraPart();
  auto extra = std::make_unique<Extra>();
  extra->children.reserve(ChildCount() + 1);
  for (size_t i = 0; i < ChildCount(); ++i) extra->children.push_back(Child(i));
  if (kind() == kValue) extra->values.push_back(KeptText::FromWord(content_));
  SetContent(kExtra, reinterpret_cast<uintptr_t>(extra.release()));
  return *ExtraPart();
}

TXMLTree::~TXMLTree() {
  if (root_) FreeNode(root_.get());
}

void TXMLTree::SetRoot(std::unique_ptr<TXMLNode> root) {
  if (root_) FreeNode(root_.get());
  root_ = std::move(root);
}

TXMLNode* TXMLTree::NewNode(TXMLNode* parent, KeptText name) {
  if (free_left_ == 0) {
    next_block_size_ =
        next_block_size_ == 0 ? kFirstBlockSize : std::min(2 * next_block_size_, kMaxBlockSize);
    blocks_.push_back(std::make_unique<TXMLNode[]>(next_block_size_));
    block_start_ = free_ = blocks_.back().get();
    free_left_ = next_block_size_;
  }
  TXMLNode* node = free_++;
  --free_left_;
  node->name_ = name;
  node->SetParent(parent);
  AppendChild(parent, node, true);
  return node;
}

TXMLNode* TXMLTree::AddNode(TXMLNode* parent, std::string_view name) {
  return NewNode(parent, texts_.Keep(name));
}

TXMLNode* TXMLTree::AddNodeNamedAs(TXMLNode* parent, const TXMLNode* source) {
  return NewNode(parent, source->name_);
}

void TXMLTree::AddSharedLeaf(TXMLNode* parent, TXMLNode* leaf) { AppendChild(parent, leaf, false); }

TXMLNode** TXMLTree::TakeList(int size_class) {
  if (void* list = free_lists_[size_class]) {
    std::memcpy(&free_lists_[size_class], list, sizeof(void*));
    return static_cast<TXMLNode**>(list);
  }
  return static_cast<TXMLNode**>(texts_.Allocate((size_t{2} << size_class) * sizeof(TXMLNode*)));
}

void TXMLTree::GiveBack(TXMLNode** list, int size_class) {
  std::memcpy(list, &free_lists_[size_class], sizeof(void*));
  free_lists_[size_class] = list;
}

void TXMLTree::ForgetFreeLists() {
  std::fill(std::begin(free_lists_), std::end(free_lists_), nullptr);
}

bool TXMLTree::ExtendsRun(const TXMLNode* parent, const TXMLNode* child) const {
  // Compared as numbers: the run may lie in an older block, and pointers into different
  // blocks have no order.
  auto start = reinterpret_cast<uintptr_t>(parent->RunStart());
  size_t count = (parent->content_ & TXMLNode::kLowBits) + 1;
  return count < TXMLNode::kMaxShort && start >= reinterpret_cast<uintptr_t>(block_start_) &&
         start + count * sizeof(TXMLNode) == reinterpret_cast<uintptr_t>(child);
}

// Nearly every node has at most eight children: an item's leaves, added right after it, form a
// run and need no list at all; other children go to a list of the arena, which moves to the
// next size as it fills, and the outgrown list is given back for the next node.
void TXMLTree::AppendChild(TXMLNode* parent, TXMLNode* child, bool fresh) {
  switch (parent->kind()) {
    case TXMLNode::kEmpty:
      parent->SetContent(TXMLNode::kRun, reinterpret_cast<uintptr_t>(child));
      return;
    case TXMLNode::kRun:
      if (fresh && ExtendsRun(parent, child)) {
        ++parent->content_;
        return;
      }
      return ListChildren(parent, child);
    case TXMLNode::kList:
      return ListChildren(parent, child);
    default:
      return AppendToExtra(parent, child);
  }
}

void TXMLTree::ListChildren(TXMLNode* parent, TXMLNode* child) {
  size_t count = parent->ChildCount();
  if (count == TXMLNode::kMaxShort) return AppendToExtra(parent, child);
  // Size class c holds 2 << c children.
  auto size_class = [](size_t n) { return n <= 2 ? 0 : n <= 4 ? 1 : 2; };
  TXMLNode** list = parent->ListStart();
  if (parent->kind() == TXMLNode::kRun || size_class(count + 1) != size_class(count)) {
    TXMLNode** grown = TakeList(size_class(count + 1));
    for (size_t i = 0; i < count; ++i) grown[i] = parent->Child(i);
    if (parent->kind() == TXMLNode::kList) GiveBack(list, size_class(count));
    list = grown;
  }
  list[count] = child;
  parent->SetContent(TXMLNode::kList, reinterpret_cast<uintptr_t>(list) | count);
}

TXMLNode::Extra& TXMLTree::ExtraOf(TXMLNode* node) {
  TXMLNode** list = node->kind() == TXMLNode::kList ? node->ListStart() : nullptr;
  size_t count = node->ChildCount();
  TXMLNode::Extra& extra = node->ToExtra();
  if (list != nullptr) GiveBack(list, count <= 2 ? 0 : count <= 4 ? 1 : 2);
  return extra;
}

void TXMLTree::AppendToExtra(TXMLNode* parent, TXMLNode* child) {
  TXMLNode::Extra& extra = ExtraOf(parent);
  extra.children.push_back(child);
  if (extra.index.Built()) {
    extra.index.Add(extra.children, extra.children.capacity());
  } else if (extra.children.size() >= kIndexThreshold) {
    extra.index.Build(extra.children, extra.children.capacity());
  }
}

void TXMLTree::ReserveChildren(TXMLNode* node, size_t count) {
  if (count <= TXMLNode::kMaxShort) return;
  TXMLNode::Extra& extra = ExtraOf(node);
  extra.children.reserve(count);
  if (count >= kIndexThreshold) extra.index.Build(extra.children, count);
}

void TXMLTree::PutValue(TXMLNode* node, KeptText value) {
  if (node->kind() == TXMLNode::kEmpty) {
    node->SetContent(TXMLNode::kValue, value.Word());
  } else {
    ExtraOf(node).values.push_back(value);
  }
}

void TXMLTree::AddValue(TXMLNode* node, std::string_view value) {
  PutValue(node, texts_.Keep(value));
}

void TXMLTree::AddValueOf(TXMLNode* node, const TXMLNode* source) {
  PutValue(node, source->FirstKept());
}

void TXMLTree::SetValue(TXMLNode* node, size_t i, std::string_view value) {
  KeptText kept = texts_.Keep(value);
  if (node->kind() == TXMLNode::kValue) {
    node->content_ = kept.Word();
  } else {
    node->ExtraPart()->values[i] = kept;
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
  block_start_ = nullptr;
  free_ = nullptr;
  free_left_ = 0;
  next_block_size_ = 0;
  root_.reset();
  texts_.Clear();
  ForgetFreeLists();
}

void TXMLTree::Adopt(TXMLNode* parent, TXMLTree& other) {
  TXMLNode* from = other.Root();
  if (from == nullptr) return;
  for (size_t i = 0; i < from->ChildCount(); ++i) {
    TXMLNode* child = from->Child(i);
    child->SetParent(parent);
    AppendChild(parent, child, false);
  }
  // The root keeps its name and values. Its list, if any, lies in the arena this tree takes.
  if (from->kind() == TXMLNode::kExtra) {
    from->ExtraPart()->children.clear();
    from->ExtraPart()->index.Clear();
  } else if (from->kind() != TXMLNode::kValue) {
    from->SetContent(TXMLNode::kEmpty, 0);
  }
  // The newest block of this tree stays the one AddNode fills. The lists `other` had given
  // back stay unused in its arena.
  blocks_.insert(blocks_.end() - (blocks_.empty() ? 0 : 1),
                 std::make_move_iterator(other.blocks_.begin()),
                 std::make_move_iterator(other.blocks_.end()));
  texts_.Absorb(other.texts_);
  other.blocks_.clear();
  other.block_start_ = nullptr;
  other.free_ = nullptr;
  other.free_left_ = 0;
  other.next_block_size_ = 0;
  other.ForgetFreeLists();
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

namespace {

// SortKey(a) < SortKey(b), without making the keys: a sort of a million children would hold
// them all at once.
bool SortsBefore(const TXMLNode* a, const TXMLNode* b) {
  std::string_view x = a->Name();
  std::string_view y = b->Name();
  size_t common = std::min(x.size(), y.size());
  for (size_t i = 0; i < common; ++i) {
    auto cx = static_cast<unsigned char>(x[i]);
    auto cy = static_cast<unsigned char>(y[i]);
    if (cx >= 'a' && cx <= 'z') cx -= 'a' - 'A';
    if (cy >= 'a' && cy <= 'z') cy -= 'a' - 'A';
    if (cx != cy) return cx < cy;
  }
  return x.size() < y.size();
}

}  // namespace

void SortChildren(TXMLNode* node) {
  size_t count = node->ChildCount();
  if (count < 2) return;
  if (node->kind() == TXMLNode::kRun) {
    // A run keeps the order its nodes have in memory; another order needs a list of its own.
    bool sorted = true;
    for (size_t i = 1; i < count && sorted; ++i) {
      sorted = !SortsBefore(node->Child(i), node->Child(i - 1));
    }
    if (sorted) return;
    node->ToExtra();
  }
  std::span<TXMLNode*> children(
      node->kind() == TXMLNode::kList ? node->ListStart() : node->ExtraPart()->children.data(),
      count);
  // Same order as the exchange sort over upper-cased names: stable, unsigned bytes.
  std::stable_sort(children.begin(), children.end(), SortsBefore);
  // The name index holds positions: place the children again in their new order.
  if (node->kind() == TXMLNode::kExtra && node->ExtraPart()->index.Built()) {
    node->ExtraPart()->index.Refill(children);
  }
}

}  // namespace glossator
