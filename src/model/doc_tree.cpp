#include "model/doc_tree.h"

#include <unordered_set>

#include "base/errors.h"
#include "model/uXMLparser.h"

namespace glossator {

namespace {

constexpr std::string_view kTObject = "TObject";

const TXMLNode* Find(const TXMLNode* node, std::string_view name) {
  return node == nullptr ? nullptr : node->FindChild(name);
}

// The first value of the leaf `name` below `node`, or the empty text.
std::string_view Leaf(const TXMLNode* node, std::string_view name) {
  const TXMLNode* leaf = Find(node, name);
  return leaf == nullptr ? std::string_view() : leaf->FirstValue();
}

std::string_view NameOf(const TXMLNode* node) {
  return node == nullptr ? std::string_view() : node->Name();
}

int CountOf(const TXMLNode* container) {
  return container == nullptr ? 0 : static_cast<int>(container->ChildCount());
}

// Child i of a container; null when the container is missing.
const TXMLNode* ChildAt(const TXMLNode* container, int i) {
  if (container == nullptr) return nullptr;
  if (i < 0 || static_cast<size_t>(i) >= container->ChildCount()) throw ListIndexError(i);
  return container->Child(static_cast<size_t>(i));
}

}  // namespace

DocTreeReader::~DocTreeReader() = default;

void DocTreeReader::SetQueryTree(const TXMLTree* tree) { tree_ = tree; }

const TXMLNode* DocTreeReader::Container(std::string_view name) const {
  return tree_ == nullptr ? nullptr : Find(tree_->Root(), name);
}

const TXMLNode* DocTreeReader::Entry(std::string_view index, int i) const {
  return ChildAt(Container(index), i);
}

int DocTreeReader::UnitCount() const { return CountOf(Container(elem::kAllUnits)); }
std::string_view DocTreeReader::UnitName(int i) const { return NameOf(Entry(elem::kAllUnits, i)); }
std::string_view DocTreeReader::UnitComment(int i) const {
  const TXMLNode* entry = Entry(elem::kAllUnits, i);
  if (entry == nullptr) return std::string_view();
  return Leaf(FindUnit(entry->Name()), elem::kUnitComment);
}

int DocTreeReader::ClassCount() const { return CountOf(Container(elem::kAllClasses)); }
std::string_view DocTreeReader::ClassName(int i) const {
  return NameOf(Entry(elem::kAllClasses, i));
}
std::string_view DocTreeReader::ClassComment(int i) const {
  return Leaf(Entry(elem::kAllClasses, i), elem::kClassComment);
}

int DocTreeReader::FunctionCount() const { return CountOf(Container(elem::kAllFunctions)); }
std::string_view DocTreeReader::FunctionName(int i) const {
  return NameOf(Entry(elem::kAllFunctions, i));
}
std::string_view DocTreeReader::FunctionUnit(int i) const {
  return Leaf(Entry(elem::kAllFunctions, i), elem::kUnit);
}
std::string_view DocTreeReader::FunctionComment(int i) const {
  return Leaf(Entry(elem::kAllFunctions, i), elem::kProcComment);
}

int DocTreeReader::ConstantCount() const { return CountOf(Container(elem::kAllConstants)); }
std::string_view DocTreeReader::ConstantName(int i) const {
  return NameOf(Entry(elem::kAllConstants, i));
}
std::string_view DocTreeReader::ConstantUnit(int i) const {
  return Leaf(Entry(elem::kAllConstants, i), elem::kUnit);
}
std::string_view DocTreeReader::ConstantComment(int i) const {
  return Leaf(Entry(elem::kAllConstants, i), elem::kConstComment);
}

int DocTreeReader::ParsedUnitCount() const {
  const TXMLNode* units = Container(elem::kParsedUnits);
  return units == nullptr ? 0 : static_cast<int>(units->ChildCount());
}

const TXMLNode* DocTreeReader::ParsedUnit(int k) const {
  return Container(elem::kParsedUnits)->Child(static_cast<size_t>(k));
}

std::string DocTreeReader::SourceFile(const TXMLNode* unit) const {
  const TXMLNode* leaf = unit == nullptr ? nullptr : unit->FindChild(elem::kUnitFileName);
  return leaf == nullptr ? std::string() : std::string(leaf->FirstValue());
}

const TXMLNode* DocTreeReader::FindUnit(std::string_view name) const {
  return Find(Container(elem::kParsedUnits), name);
}

const TXMLNode* DocTreeReader::UnitPart(const TXMLNode* unit, std::string_view container,
                                        int i) const {
  return ChildAt(Find(unit, container), i);
}

const TXMLNode* DocTreeReader::ClassItem(const TXMLNode* unit, int c) const {
  return UnitPart(unit, elem::kClasses, c);
}

const TXMLNode* DocTreeReader::ClassPart(const TXMLNode* unit, int c, std::string_view container,
                                         int i) const {
  return ChildAt(Find(ClassItem(unit, c), container), i);
}

int DocTreeReader::UnitClassCount(const TXMLNode* unit) const {
  return CountOf(Find(unit, elem::kClasses));
}
std::string_view DocTreeReader::UnitClassName(const TXMLNode* unit, int c) const {
  return NameOf(ClassItem(unit, c));
}
std::string_view DocTreeReader::UnitClassComment(const TXMLNode* unit, int c) const {
  return Leaf(ClassItem(unit, c), elem::kClassComment);
}

int DocTreeReader::MethodCount(const TXMLNode* unit, int c) const {
  return CountOf(Find(ClassItem(unit, c), elem::kMethodList));
}
std::string_view DocTreeReader::MethodDecl(const TXMLNode* unit, int c, int m) const {
  return Leaf(ClassPart(unit, c, elem::kMethodList, m), elem::kProcDecl);
}
std::string_view DocTreeReader::MethodVisibility(const TXMLNode* unit, int c, int m) const {
  return Leaf(ClassPart(unit, c, elem::kMethodList, m), elem::kProcType);
}
std::string_view DocTreeReader::MethodComment(const TXMLNode* unit, int c, int m) const {
  return Leaf(ClassPart(unit, c, elem::kMethodList, m), elem::kProcComment);
}
std::string_view DocTreeReader::MethodLongComment(const TXMLNode* unit, int c, int m) const {
  return Leaf(ClassPart(unit, c, elem::kMethodList, m), elem::kLongComment);
}

DocTreeReader::MethodTexts DocTreeReader::Method(const TXMLNode* unit, int c, int m) const {
  const TXMLNode* method = ClassPart(unit, c, elem::kMethodList, m);
  return {Leaf(method, elem::kProcDecl), Leaf(method, elem::kProcType),
          Leaf(method, elem::kProcComment), Leaf(method, elem::kLongComment)};
}

int DocTreeReader::FieldCount(const TXMLNode* unit, int c) const {
  return CountOf(Find(ClassItem(unit, c), elem::kFieldList));
}
std::string_view DocTreeReader::FieldName(const TXMLNode* unit, int c, int f) const {
  return NameOf(ClassPart(unit, c, elem::kFieldList, f));
}
std::string_view DocTreeReader::FieldType(const TXMLNode* unit, int c, int f) const {
  return Leaf(ClassPart(unit, c, elem::kFieldList, f), elem::kFieldType);
}
std::string_view DocTreeReader::FieldComment(const TXMLNode* unit, int c, int f) const {
  return Leaf(ClassPart(unit, c, elem::kFieldList, f), elem::kFieldComment);
}

int DocTreeReader::UnitFunctionCount(const TXMLNode* unit) const {
  return CountOf(Find(unit, elem::kFunctions));
}
std::string_view DocTreeReader::UnitFunctionName(const TXMLNode* unit, int r) const {
  return NameOf(UnitPart(unit, elem::kFunctions, r));
}
std::string_view DocTreeReader::UnitFunctionDecl(const TXMLNode* unit, int r) const {
  return Leaf(UnitPart(unit, elem::kFunctions, r), elem::kProcDecl);
}
std::string_view DocTreeReader::UnitFunctionComment(const TXMLNode* unit, int r) const {
  return Leaf(UnitPart(unit, elem::kFunctions, r), elem::kProcComment);
}
std::string_view DocTreeReader::UnitFunctionLongComment(const TXMLNode* unit, int r) const {
  return Leaf(UnitPart(unit, elem::kFunctions, r), elem::kLongComment);
}

int DocTreeReader::UnitConstantCount(const TXMLNode* unit) const {
  return CountOf(Find(unit, elem::kConstants));
}
std::string_view DocTreeReader::UnitConstantName(const TXMLNode* unit, int k) const {
  return NameOf(UnitPart(unit, elem::kConstants, k));
}
std::string_view DocTreeReader::UnitConstantValue(const TXMLNode* unit, int k) const {
  return Leaf(UnitPart(unit, elem::kConstants, k), elem::kConstValue);
}
std::string_view DocTreeReader::UnitConstantComment(const TXMLNode* unit, int k) const {
  return Leaf(UnitPart(unit, elem::kConstants, k), elem::kConstComment);
}

std::string_view DocTreeReader::AncestorText(const TXMLNode* all_classes,
                                             std::string_view name) const {
  std::string_view unit_name = Leaf(Find(all_classes, name), elem::kUnit);
  const TXMLNode* classes = Find(FindUnit(unit_name), elem::kClasses);
  return Leaf(Find(classes, name), elem::kInheritFrom);
}

bool DocTreeReader::IsDocumentedClass(const TXMLNode* all_classes, std::string_view name) const {
  return all_classes->FindChild(name) != nullptr;
}

std::string_view DocTreeReader::StepUp(const TXMLNode* all_classes, std::string_view name,
                                       bool* goes_on) const {
  std::string_view ancestor = AncestorText(all_classes, name);
  *goes_on = ancestor != kTObject && IsDocumentedClass(all_classes, ancestor);
  return ancestor;
}

void DocTreeReader::GetAncestors(std::string_view name, std::vector<std::string>& list) const {
  const TXMLNode* all_classes = Container(elem::kAllClasses);
  if (all_classes == nullptr) {
    list.emplace_back();
    return;
  }
  // One step for a class N appends the output of one step for N's ancestor A (when A is a
  // documented class, whatever the number of its index entries: they all stand for the same
  // chain), and then A itself. The steps form a single chain upward, so walk it first and append
  // it from its top end down; no recursion, however long it is.
  std::vector<std::string_view> chain;
  NearestAncestors(name, static_cast<size_t>(-1), chain);
  for (size_t k = chain.size(); k > 0; --k) list.emplace_back(chain[k - 1]);
}

size_t DocTreeReader::NearestAncestors(std::string_view name, size_t limit,
                                       std::vector<std::string_view>& nearest) const {
  nearest.clear();
  const TXMLNode* all_classes = Container(elem::kAllClasses);
  if (all_classes == nullptr) {
    if (limit > 0) nearest.emplace_back();
    return 1;
  }
  // The chain ends at "TObject", at a name that is no documented class, or at a name already on
  // it (appended, not followed again).
  std::unordered_set<std::string_view> on_chain{name};
  std::string_view current = name;
  bool goes_on = true;
  while (goes_on && nearest.size() < limit) {
    std::string_view ancestor = StepUp(all_classes, current, &goes_on);
    nearest.push_back(ancestor);
    goes_on = goes_on && on_chain.insert(ancestor).second;
    current = ancestor;
  }
  if (!goes_on) return nearest.size();
  auto known = chain_lengths_.find(name);
  if (known != chain_lengths_.end()) return known->second;
  std::vector<std::string_view> whole;
  return NearestAncestors(name, static_cast<size_t>(-1), whole);
}

void DocTreeReader::IndexAncestors() {
  chain_lengths_.clear();
  const TXMLNode* all_classes = Container(elem::kAllClasses);
  if (all_classes == nullptr) return;
  // Each class names one ancestor, so the classes form chains that may end in a cycle. A class
  // on a cycle has the cycle's length (its chain goes round once and appends itself); any other
  // class has one more than its ancestor, or 1 when the chain ends at its ancestor.
  std::vector<std::string_view> path;
  std::unordered_map<std::string_view, size_t> on_path;  // name => position in path
  for (size_t e = 0; e < all_classes->ChildCount(); ++e) {
    std::string_view start = all_classes->Child(e)->Name();
    bool goes_on = false;
    StepUp(all_classes, start, &goes_on);
    if (!goes_on || chain_lengths_.count(start)) continue;
    path.clear();
    on_path.clear();
    std::string_view current = start;
    size_t known_above = 0;  // the length of the chain above the path's last class
    for (;;) {
      on_path.emplace(current, path.size());
      path.push_back(current);
      bool goes_on = false;
      std::string_view ancestor = StepUp(all_classes, current, &goes_on);
      if (!goes_on) break;
      if (auto known = chain_lengths_.find(ancestor); known != chain_lengths_.end()) {
        known_above = known->second;
        break;
      }
      if (auto cycle = on_path.find(ancestor); cycle != on_path.end()) {
        size_t length = path.size() - cycle->second;
        for (size_t k = cycle->second; k < path.size(); ++k) {
          if (length > 1) chain_lengths_[path[k]] = length;
        }
        path.resize(cycle->second);
        known_above = length;
        break;
      }
      current = ancestor;
    }
    // A chain of one is found again in one step; only longer ones are kept.
    for (size_t k = path.size(); k > 0; --k) {
      known_above += 1;
      if (known_above > 1) chain_lengths_[path[k - 1]] = known_above;
    }
  }
}

DocTree::DocTree(std::unique_ptr<TXMLTree> tree,
                 std::unordered_map<const TXMLNode*, std::string> source_files)
    : tree_(std::move(tree)), source_files_(std::move(source_files)) {
  SetQueryTree(tree_.get());
  IndexAncestors();
}

DocTree::~DocTree() = default;

std::string DocTree::SourceFile(const TXMLNode* unit) const {
  auto it = source_files_.find(unit);
  return it == source_files_.end() ? DocTreeReader::SourceFile(unit) : it->second;
}

}  // namespace glossator
