// The parse run: every listed file through the header and the three passes, then the sort, the
// four indexes.
#include "parser/cGlossator.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string_view>
#include <thread>

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

// Collects (key, node) for every item of the unit containers named `container`, in tree order.
void CollectItems(const TXMLNode* parsed_units, std::string_view container,
                  const IndexCollator& collator, std::vector<IndexItem>& items) {
  items.clear();
  for (size_t u = 0; u < parsed_units->ChildCount(); ++u) {
    const TXMLNode* items_node = parsed_units->Child(u)->FindChild(container);
    if (items_node == nullptr) continue;
    for (size_t k = 0; k < items_node->ChildCount(); ++k) {
      const TXMLNode* item = items_node->Child(k);
      items.push_back({collator.Key(item->Name()), item});
    }
  }
  IndexSort(items);
}

TXMLNode* AddLeafTo(TXMLTree& tree, TXMLNode* parent, std::string_view name,
                    std::string_view value) {
  TXMLNode* leaf = tree.AddNode(parent, name);
  tree.AddValue(leaf, value);
  return leaf;
}

// Builds index `which` (0 "allUnits", 1 "allClasses", 2 "allFunctions", 3 "allConstants") as the
// one child of `index`'s root. Reads the sorted units only, and only through FindChild on nodes
// too small for a name index, so that the four can be built at once on different threads, each
// thread with a collator of its own.
void BuildIndex(const TXMLNode* parsed_units, int which, TXMLTree& index,
                const IndexCollator& collator) {
  std::vector<IndexItem> items;
  index.SetRoot(std::make_unique<TXMLNode>(std::string(elem::kRoot)));
  if (which == 0) {
    for (size_t u = 0; u < parsed_units->ChildCount(); ++u) {
      const TXMLNode* unit = parsed_units->Child(u);
      items.push_back({collator.Key(unit->Name()), unit});
    }
    IndexSort(items);
    TXMLNode* all_units = index.AddNode(index.Root(), std::string(elem::kAllUnits));
    for (const IndexItem& item : items) {
      TXMLNode* entry = index.AddNode(all_units, item.node->Name());
      index.AddValue(entry, LeafValue(item.node, elem::kUnitComment));
    }
    return;
  }

  struct Kind {
    std::string_view container;
    std::string_view index_name;
    std::string_view comment;
  };
  static constexpr Kind kKinds[] = {
      {},
      {elem::kClasses, elem::kAllClasses, elem::kClassComment},
      {elem::kFunctions, elem::kAllFunctions, elem::kProcComment},
      {elem::kConstants, elem::kAllConstants, elem::kConstComment},
  };
  const Kind& kind = kKinds[which];
  CollectItems(parsed_units, kind.container, collator, items);
  TXMLNode* all = index.AddNode(index.Root(), std::string(kind.index_name));
  for (const IndexItem& item : items) {
    TXMLNode* entry = index.AddNode(all, item.node->Name());
    // Each entry names the unit that holds the item: the item's grandparent.
    AddLeafTo(index, entry, elem::kUnit, item.node->Parent()->Parent()->Name());
    std::string_view comment = LeafValue(item.node, kind.comment);
    // A routine: the interface comment, or the implementation comment when the former is empty.
    if (which == 2 && comment.empty()) comment = LeafValue(item.node, elem::kLongComment);
    AddLeafTo(index, entry, kind.comment, comment);
  }
}

}  // namespace

void TGlosParser::BuildIndexes(int jobs) {
  TXMLNode* root = tree_->Root();
  const TXMLNode* parsed_units = root->FindChild(elem::kParsedUnits);
  // The indexes are built at once on the pool's threads and this one, the largest first
  // (functions, constants, classes, units), each thread with a collator of its own. No more
  // threads than jobs: on a small machine more threads than cores would only cost their start
  // and the memory arena the allocator gives every new thread.
  constexpr int kLargestFirst[4] = {2, 3, 1, 0};
  struct Built {
    std::unique_ptr<TXMLTree> index;
    std::exception_ptr error;
  };
  std::vector<Built> built(4);
  {
    OrderedPool<Built> pool(4, std::min(jobs, 4) - 1, 4, [&](size_t k) {
      thread_local std::optional<IndexCollator> collator;
      Built result;
      try {
        if (!collator) collator.emplace();
        result.index = std::make_unique<TXMLTree>();
        BuildIndex(parsed_units, kLargestFirst[k], *result.index, *collator);
      } catch (const std::bad_alloc&) {
        result.error = std::make_exception_ptr(OutOfMemoryError());
      } catch (...) {
        result.error = std::current_exception();
      }
      return result;
    });
    for (size_t k = 0; k < 4; ++k) built[kLargestFirst[k]] = pool.Take(k);
  }
  // The error of the first index in list order, as one thread building them in order meets it.
  for (const Built& index : built) {
    if (index.error) std::rethrow_exception(index.error);
  }
  for (Built& index : built) tree_->Adopt(root, *index.index);
}

}  // namespace glossator
