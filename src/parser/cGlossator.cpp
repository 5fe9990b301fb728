// The parse run: every listed file through the header and the three passes, then the sort, the
// four indexes.
#include "parser/cGlossator.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "base/errors.h"
#include "base/file_system.h"
#include "base/ordered_pool.h"
#include "model/doc_tree.h"
#include "model/uXMLparser.h"
#include "parser/index_sort.h"

namespace glossator {

JobsSetting JobsFromEnvironment() {
  JobsSetting setting;
  const char* text = std::getenv("GLOSSATOR_JOBS");
  if (text == nullptr) return setting;
  std::string_view value = text;
  bool digits = !value.empty() && value.size() <= 4 &&
                value.find_first_not_of("0123456789") == std::string_view::npos;
  int jobs = digits ? std::stoi(std::string(value)) : 0;
  if (jobs >= 1 && jobs <= 1024) {
    setting.jobs = jobs;
  } else {
    setting.error = "GLOSSATOR_JOBS='" + std::string(value) +
                    "' ignored: the number of jobs is a whole number from 1 to 1024";
  }
  return setting;
}

int DefaultJobs() {
  if (int jobs = JobsFromEnvironment().jobs; jobs > 0) return jobs;
  unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

TGlosParser::TGlosParser(ParseObserver* observer, FileSystem* files)
    : observer_(observer), files_(files != nullptr ? *files : SystemFileSystem()) {}

TGlosParser::~TGlosParser() = default;

int TGlosParser::CountSteps(const std::vector<std::string>& files) {
  return 5 * static_cast<int>(files.size()) + 6;
}

const TXMLTree* TGlosParser::Tree() const { return result_ ? &result_->Tree() : tree_.get(); }

void TGlosParser::ParseUnits(const std::vector<std::string>& files) {
  tree_ = std::make_unique<TXMLTree>();
  tree_->SetRoot(std::make_unique<TXMLNode>(std::string(elem::kRoot)));
  TXMLNode* parsed_units = tree_->AddNode(tree_->Root(), std::string(elem::kParsedUnits));
  ParseSettings settings;
  settings.parse_private = ParsePrivate;
  settings.skippable = SkippableFiles;
  settings.reader = Reader;
  settings.pascal = Pascal;
  settings.want_tree = BuildTree;
  settings.want_models = KeepModels;
  target_ = std::make_unique<ParseTarget>(*tree_, parsed_units, observer_);
  ParseTarget& target = *target_;
  if (KeepModels) target.KeepModels(files.size(), ModelJoined);

  int jobs = Jobs > 0 ? Jobs : DefaultJobs();
  if (jobs > 1 && files.size() > 1) {
    ParseInPool(files, jobs, settings, files_, target);
  } else {
    FileParser parser;
    for (const std::string& file : files) {
      FileResult result = parser.Parse(file, settings, files_, &target);
      try {
        target.Join(result, file);
      } catch (const std::bad_alloc&) {
        OutOfMemoryError error;
        error.SetFile(file);
        result.error = std::make_exception_ptr(error);
      }
      if (result.error) std::rethrow_exception(result.error);
      if (target.Cancelled()) break;
    }
  }
  if (target.Cancelled()) {
    Cancelled = true;
    return;
  }

  if (!target.UpdateProgress("Sorting...", "", true)) return void(Cancelled = true);
  WhileDoing("sorting the units", [&] { SortTree(); });
  if (!target.UpdateProgress("Sorting indexes", "", true)) return void(Cancelled = true);
  WhileDoing("building the indexes", [&] {
    BuildIndexes(jobs);
    result_ = std::make_unique<DocTree>(std::move(tree_), target.TakeSourceFiles());
  });
  models_ = target.TakeModels();
  included_ = target.TakeIncluded();
  target_.reset();
}

std::string TGlosParser::SourceFile(const TXMLNode* unit) const {
  if (result_) return result_->SourceFile(unit);
  return target_ ? target_->SourceFile(unit) : std::string();
}

void TGlosParser::SortTree() { SortChildren(tree_->Root()->FindChild(elem::kParsedUnits)); }

namespace {

std::string_view LeafValue(const TXMLNode* node, std::string_view name) {
  const TXMLNode* leaf = node->FindChild(name);
  return leaf == nullptr ? std::string_view() : leaf->FirstValue();
}

// What the indexes 1 "allClasses", 2 "allFunctions" and 3 "allConstants" list: the items of
// which unit container, and which of their leaves the entries show.
struct IndexKind {
  std::string_view container;
  std::string_view index_name;
  std::string_view comment;
};
constexpr IndexKind kIndexKinds[] = {
    {},
    {elem::kClasses, elem::kAllClasses, elem::kClassComment},
    {elem::kFunctions, elem::kAllFunctions, elem::kProcComment},
    {elem::kConstants, elem::kAllConstants, elem::kConstComment},
};

// The number of items in the unit containers named `container`.
size_t IndexSize(const TXMLNode* parsed_units, std::string_view container) {
  size_t count = 0;
  for (size_t u = 0; u < parsed_units->ChildCount(); ++u) {
    const TXMLNode* items = parsed_units->Child(u)->FindChild(container);
    if (items != nullptr) count += items->ChildCount();
  }
  return count;
}

// `nodes` in index order. The collation keys are gone when it returns, so that the index built
// from the nodes can take their memory.
std::vector<const TXMLNode*> InIndexOrder(std::vector<const TXMLNode*> nodes,
                                          const IndexCollator& collator) {
  std::vector<IndexItem> items;
  items.reserve(nodes.size());
  for (const TXMLNode* node : nodes) {
    // A key comes with room to spare; without it, a short key takes no memory of its own.
    std::string key = collator.Key(node->Name());
    key.shrink_to_fit();
    items.push_back({std::move(key), node});
  }
  IndexSort(items);
  for (size_t i = 0; i < items.size(); ++i) nodes[i] = items[i].node;
  return nodes;
}

// Every item of the unit containers named `container`, in index order.
std::vector<const TXMLNode*> SortedItems(const TXMLNode* parsed_units, std::string_view container,
                                         const IndexCollator& collator) {
  std::vector<const TXMLNode*> items;
  items.reserve(IndexSize(parsed_units, container));
  for (size_t u = 0; u < parsed_units->ChildCount(); ++u) {
    const TXMLNode* items_node = parsed_units->Child(u)->FindChild(container);
    if (items_node == nullptr) continue;
    for (size_t k = 0; k < items_node->ChildCount(); ++k) items.push_back(items_node->Child(k));
  }
  return InIndexOrder(std::move(items), collator);
}

TXMLNode* AddLeafTo(TXMLTree& tree, TXMLNode* parent, std::string_view name,
                    std::string_view value) {
  TXMLNode* leaf = tree.AddNode(parent, name);
  tree.AddValue(leaf, value);
  return leaf;
}

// Gives the index entry its comment leaf `name`, holding the item's leaf of that name. A
// routine's entry holds the implementation comment ("longComment") when the interface comment
// is empty. The item's own leaf is shared when it is what the entry would hold: a leaf of one
// value. Otherwise the entry gets a leaf of its own, which still shares the text.
void AddCommentLeaf(TXMLTree& index, TXMLNode* entry, const TXMLNode* item, std::string_view name,
                    bool routine) {
  TXMLNode* own = item->FindChild(name);
  const TXMLNode* text_from = own;
  if (routine && LeafValue(item, name).empty()) {
    const TXMLNode* long_comment = item->FindChild(elem::kLongComment);
    if (long_comment != nullptr && !long_comment->FirstValue().empty()) text_from = long_comment;
  }
  if (text_from == own && own != nullptr && own->ChildCount() == 0 && own->ValueCount() == 1) {
    index.AddSharedLeaf(entry, own);
    return;
  }
  TXMLNode* leaf = index.AddNode(entry, name);
  if (text_from == nullptr) {
    index.AddValue(leaf, std::string_view());
  } else {
    index.AddValueOf(leaf, text_from);
  }
}

// The entries of "allUnits": each unit's name, with its comment as the value.
void BuildUnitIndex(const TXMLNode* parsed_units, TXMLTree& index, const IndexCollator& collator) {
  std::vector<const TXMLNode*> units;
  for (size_t u = 0; u < parsed_units->ChildCount(); ++u) units.push_back(parsed_units->Child(u));
  units = InIndexOrder(std::move(units), collator);
  TXMLNode* all_units = index.AddNode(index.Root(), std::string(elem::kAllUnits));
  index.ReserveChildren(all_units, units.size());
  for (const TXMLNode* unit : units) {
    TXMLNode* entry = index.AddNodeNamedAs(all_units, unit);
    const TXMLNode* comment = unit->FindChild(elem::kUnitComment);
    if (comment == nullptr) {
      index.AddValue(entry, std::string_view());
    } else {
      index.AddValueOf(entry, comment);
    }
  }
}

// Builds index `which` (0 "allUnits", 1 "allClasses", 2 "allFunctions", 3 "allConstants") as the
// one child of `index`'s root. Reads the sorted units only, and only through FindChild on nodes
// too small for a name index, so that the four can be built at once on different threads, each
// thread with a collator of its own. An index has an entry for every item, so the entries take
// what they can from the tree instead of copies: the item's name, its comment leaf, and one
// "unit" leaf for all the entries of a unit. The dump shows the same as with copies.
void BuildIndex(const TXMLNode* parsed_units, int which, TXMLTree& index,
                const IndexCollator& collator) {
  index.SetRoot(std::make_unique<TXMLNode>(std::string(elem::kRoot)));
  if (which == 0) return BuildUnitIndex(parsed_units, index, collator);

  const IndexKind& kind = kIndexKinds[which];
  std::vector<const TXMLNode*> items = SortedItems(parsed_units, kind.container, collator);
  TXMLNode* all = index.AddNode(index.Root(), std::string(kind.index_name));
  index.ReserveChildren(all, items.size());
  // Unit item => the "unit" leaf of its first entry, which the unit's other entries share.
  std::unordered_map<const TXMLNode*, TXMLNode*> unit_leaves;
  for (const TXMLNode* item : items) {
    TXMLNode* entry = index.AddNodeNamedAs(all, item);
    // Each entry names the unit that holds the item: the item's grandparent.
    const TXMLNode* unit = item->Parent()->Parent();
    auto [unit_leaf, first] = unit_leaves.try_emplace(unit, nullptr);
    if (first) {
      unit_leaf->second = AddLeafTo(index, entry, elem::kUnit, unit->Name());
    } else {
      index.AddSharedLeaf(entry, unit_leaf->second);
    }
    AddCommentLeaf(index, entry, item, kind.comment, which == 2);
  }
}

}  // namespace

void TGlosParser::BuildIndexes(int jobs) {
  TXMLNode* root = tree_->Root();
  const TXMLNode* parsed_units = root->FindChild(elem::kParsedUnits);
  // The indexes are built at once on the pool's threads and this one, each thread with a
  // collator of its own. No more threads than jobs: on a small machine more threads than cores
  // would only cost their start and the memory arena the allocator gives every new thread. This
  // thread builds the largest index itself, while the pool starts on the others, largest first:
  // the memory the parse gave back lies in this thread's arena, and the largest index can take
  // it instead of growing another arena.
  std::array<int, 4> largest_first = {0, 1, 2, 3};
  std::array<size_t, 4> sizes;
  for (int which : largest_first) {
    sizes[which] = which == 0 ? parsed_units->ChildCount()
                              : IndexSize(parsed_units, kIndexKinds[which].container);
  }
  std::stable_sort(largest_first.begin(), largest_first.end(),
                   [&](int a, int b) { return sizes[a] > sizes[b]; });
  struct Built {
    std::unique_ptr<TXMLTree> index;
    std::exception_ptr error;
  };
  auto build = [parsed_units](int which) {
    thread_local std::optional<IndexCollator> collator;
    Built result;
    try {
      if (!collator) collator.emplace();
      result.index = std::make_unique<TXMLTree>();
      BuildIndex(parsed_units, which, *result.index, *collator);
    } catch (const std::bad_alloc&) {
      result.error = std::make_exception_ptr(OutOfMemoryError());
    } catch (...) {
      result.error = std::current_exception();
    }
    return result;
  };
  std::vector<Built> built(4);
  {
    OrderedPool<Built> pool(3, std::min(jobs, 4) - 1, 3,
                            [&](size_t k) { return build(largest_first[k + 1]); });
    built[largest_first[0]] = build(largest_first[0]);
    for (size_t k = 0; k < 3; ++k) built[largest_first[k + 1]] = pool.Take(k);
  }
  // The error of the first index in list order, as one thread building them in order meets it.
  for (const Built& index : built) {
    if (index.error) std::rethrow_exception(index.error);
  }
  for (Built& index : built) tree_->Adopt(root, *index.index);
}

}  // namespace glossator
