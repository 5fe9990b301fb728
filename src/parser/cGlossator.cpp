// The parse run: every listed file through the header and the three passes, then the sort, the
// four indexes and the debug dump.
#include "parser/cGlossator.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <optional>
#include <thread>

#include "base/errors.h"
#include "model/text_rules.h"
#include "parser/heading_index.h"
#include "parser/index_sort.h"
#include "base/platform.h"

namespace glossator {

TGlosParser::TGlosParser(Platform* platform) : platform_(platform) {}

TGlosParser::~TGlosParser() = default;

int TGlosParser::CountSteps(const std::vector<std::string>& files) {
  return 5 * static_cast<int>(files.size()) + 6;
}

std::string TGlosParser::DumpPath() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  std::string folder = error ? std::string(".") : exe.parent_path().string();
  return folder + "/glosdata.xml";
}

bool TGlosParser::Progress(std::string_view header, std::string_view detail, bool step) {
  if (platform_ != nullptr && !platform_->UpdateProgress(header, detail, step)) Cancelled = true;
  return !Cancelled;
}

TXMLNode* TGlosParser::AddLeaf(TXMLNode* parent, std::string_view name, std::string_view value) {
  TXMLNode* leaf = tree_->AddNode(parent, name);
  tree_->AddValue(leaf, value);
  return leaf;
}

void TGlosParser::SetSource(std::string text) {
  lines_.SetText(std::move(text));
  headings_current_ = false;
  comment_cache_.clear();
  if (!tree_) {
    tree_ = std::make_unique<TXMLTree>();
    tree_->SetRoot(std::make_unique<TXMLNode>(std::string(elem::kRoot)));
    SetQueryTree(tree_.get());
  }
}

void TGlosParser::LoadFile(const std::string& path) {
  file_note_.clear();
  lines_.LoadFromFile(path);
  headings_current_ = false;
  comment_cache_.clear();
}

const HeadingIndex& TGlosParser::Headings() {
  if (!headings_) headings_ = std::make_unique<HeadingIndex>();
  if (!headings_current_) {
    headings_->Build(lines_);
    headings_current_ = true;
  }
  return *headings_;
}

std::string TGlosParser::ImplementationComment(int from, const std::string& key) {
  int line = Headings().Find(from, key);
  return line < 0 ? std::string() : CommentAbove(line);
}

void TGlosParser::ParseUnits(const std::vector<std::string>& files) {
  tree_ = std::make_unique<TXMLTree>();
  tree_->SetRoot(std::make_unique<TXMLNode>(std::string(elem::kRoot)));
  SetQueryTree(tree_.get());
  TXMLNode* parsed_units = tree_->AddNode(tree_->Root(), std::string(elem::kParsedUnits));

  int jobs = Jobs > 0 ? Jobs : DefaultJobs();
  if (jobs > 1 && files.size() > 1) {
    ParseInPool(files, jobs, parsed_units);
    if (Cancelled) return;
  } else {
    for (const std::string& file : files) {
      current_file_ = file;
      try {
        ParseOneFile(file, parsed_units);
      } catch (GlosError& error) {
        // The report must name the file being read, and what was wrong with its heading.
        if (error.File().empty()) error.SetFile(file);
        if (error.Note().empty()) error.SetNote(file_note_);
        throw;
      }
      if (Cancelled) return;
    }
  }
  current_file_.clear();

  if (!Progress("Sorting...", "", true)) return;
  SortTree();
  if (!Progress("Sorting indexes", "", true)) return;
  BuildIndexes(jobs);
  // The page writers read the finished tree from several threads, so every node large enough
  // for a name index must have it built before. The files parsed on the pool and the four
  // indexes got theirs on the threads that made them; what this thread added is left.
  if (jobs > 1 && files.size() > 1) {
    tree_->Root()->IndexNames();
    parsed_units->IndexNames();
  } else if (jobs > 1) {
    tree_->IndexAllNames();
  }
  if (DebugMode) tree_->SaveToFile(DumpFile.empty() ? DumpPath() : DumpFile);
}

void TGlosParser::ParseOneFile(const std::string& path, TXMLNode* parsed_units) {
  LoadFile(path);
  ParseLoaded(path, parsed_units);
}

void TGlosParser::BeginFileTree(const std::string& path) {
  tree_ = std::make_unique<TXMLTree>();
  tree_->SetRoot(std::make_unique<TXMLNode>(std::string(elem::kParsedUnits)));
  current_file_ = path;
}

void TGlosParser::ParseLoaded(const std::string& path, TXMLNode* parsed_units) {
  std::string short_name = FileNameOf(path);
  file_note_.clear();

  if (!Progress("Parsing unit in " + short_name, "", true)) return;
  // What is wrong with the heading explains an error in reading the name or the passes.
  SourceHeading heading = FindSourceHeading(lines_);
  file_note_ = HeadingNote(heading);
  std::string name = ReadUnitName();
  CheckUnitHeading(name, heading);
  TXMLNode* unit = tree_->AddNode(parsed_units, name);
  source_files_[unit] = path;
  AddLeaf(unit, elem::kUnitComment, ReadUnitComment());
  AddLeaf(unit, elem::kUnitFileName, short_name);

  if (!Progress("Parsing classes in " + short_name, "", true)) return;
  ParseClasses(tree_->AddNode(unit, std::string(elem::kClasses)));
  if (!Progress("Parsing functions in " + short_name, "", true)) return;
  ParseFunctions(tree_->AddNode(unit, std::string(elem::kFunctions)));
  if (!Progress("Parsing constants in " + short_name, "", true)) return;
  ParseConstants(tree_->AddNode(unit, std::string(elem::kConstants)));
  // Sorted as soon as the unit is complete, on whichever thread parsed it; the units
  // themselves are sorted once all are read.
  SortUnit(unit);
}

std::string TGlosParser::SourceFile(const TXMLNode* unit) const {
  auto it = source_files_.find(unit);
  return it == source_files_.end() ? DocTreeReader::SourceFile(unit) : it->second;
}

void TGlosParser::SortTree() { SortChildren(tree_->Root()->FindChild(elem::kParsedUnits)); }

void TGlosParser::SortUnit(TXMLNode* unit) {
  if (TXMLNode* classes = unit->FindChild(elem::kClasses)) {
    SortChildren(classes);
    for (size_t c = 0; c < classes->ChildCount(); ++c) {
      TXMLNode* cls = classes->Child(c);
      if (TXMLNode* members = cls->FindChild(elem::kMethodList)) SortChildren(members);
      if (TXMLNode* fields = cls->FindChild(elem::kFieldList)) SortChildren(fields);
    }
  }
  if (TXMLNode* functions = unit->FindChild(elem::kFunctions)) SortChildren(functions);
  if (TXMLNode* constants = unit->FindChild(elem::kConstants)) SortChildren(constants);
}

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
    index.IndexAllNames();
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
  index.IndexAllNames();
}

}  // namespace

void TGlosParser::BuildIndexes(int jobs) {
  TXMLNode* root = tree_->Root();
  const TXMLNode* parsed_units = root->FindChild(elem::kParsedUnits);
  TXMLTree indexes[4];
  // Each thread, this one included, takes the next index nobody has started, the largest first
  // (functions, constants, classes, units), and builds it with a collator of its own. No more
  // threads than jobs: on a small machine more threads than cores would only cost their start
  // and the memory arena the allocator gives every new thread.
  constexpr int kLargestFirst[4] = {2, 3, 1, 0};
  std::atomic<int> next{0};
  std::exception_ptr errors[4];
  auto build = [&] {
    std::optional<IndexCollator> collator;
    for (int k = next++; k < 4; k = next++) {
      int which = kLargestFirst[k];
      try {
        if (!collator) collator.emplace();
        BuildIndex(parsed_units, which, indexes[which], *collator);
      } catch (...) {
        errors[which] = std::current_exception();
      }
    }
  };
  std::vector<std::thread> threads;
  for (int t = 1; t < std::min(jobs, 4); ++t) threads.emplace_back(build);
  build();
  for (std::thread& thread : threads) thread.join();
  // The error of the first index in list order, as one thread building them in order meets it.
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
  for (TXMLTree& index : indexes) tree_->Adopt(root, index);
}

}  // namespace glossator
