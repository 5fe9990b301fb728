// The parse run: every listed file through the header and the three passes, then the sort, the
// four indexes and the debug dump.
#include "parser/cGlossator.h"

#include <filesystem>

#include "model/errors.h"
#include "model/text_rules.h"
#include "parser/heading_index.h"
#include "parser/index_sort.h"
#include "parser/platform.h"

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

TXMLNode* TGlosParser::AddLeaf(TXMLNode* parent, std::string_view name, std::string value) {
  TXMLNode* leaf = tree_->AddNode(parent, std::string(name));
  leaf->AddValue(std::move(value));
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
        // The report must name the file being read.
        if (error.File().empty()) error.SetFile(file);
        throw;
      }
      if (Cancelled) return;
    }
  }
  current_file_.clear();

  if (!Progress("Sorting...", "", true)) return;
  SortTree();
  if (!Progress("Sorting indexes", "", true)) return;
  BuildIndexes();
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

  if (!Progress("Parsing unit in " + short_name, "", true)) return;
  TXMLNode* unit = tree_->AddNode(parsed_units, ReadUnitName());
  source_files_[unit] = path;
  AddLeaf(unit, elem::kUnitComment, ReadUnitComment());
  AddLeaf(unit, elem::kUnitFileName, short_name);

  if (!Progress("Parsing classes in " + short_name, "", true)) return;
  ParseClasses(tree_->AddNode(unit, std::string(elem::kClasses)));
  if (!Progress("Parsing functions in " + short_name, "", true)) return;
  ParseFunctions(tree_->AddNode(unit, std::string(elem::kFunctions)));
  if (!Progress("Parsing constants in " + short_name, "", true)) return;
  ParseConstants(tree_->AddNode(unit, std::string(elem::kConstants)));
}

std::string TGlosParser::SourceFile(const TXMLNode* unit) const {
  auto it = source_files_.find(unit);
  return it == source_files_.end() ? DocTreeReader::SourceFile(unit) : it->second;
}

void TGlosParser::SortTree() {
  TXMLNode* parsed_units = tree_->Root()->FindChild(elem::kParsedUnits);
  SortChildren(parsed_units);
  for (size_t u = 0; u < parsed_units->ChildCount(); ++u) {
    TXMLNode* unit = parsed_units->Child(u);
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
}

namespace {

const std::string& LeafValue(const TXMLNode* node, std::string_view name) {
  static const std::string kEmpty;
  const TXMLNode* leaf = node->FindChild(name);
  return leaf == nullptr ? kEmpty : leaf->FirstValue();
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

}  // namespace

void TGlosParser::BuildIndexes() {
  TXMLNode* root = tree_->Root();
  const TXMLNode* parsed_units = root->FindChild(elem::kParsedUnits);
  IndexCollator collator;
  std::vector<IndexItem> items;

  items.clear();
  for (size_t u = 0; u < parsed_units->ChildCount(); ++u) {
    const TXMLNode* unit = parsed_units->Child(u);
    items.push_back({collator.Key(unit->Name()), unit});
  }
  IndexSort(items);
  TXMLNode* all_units = tree_->AddNode(root, std::string(elem::kAllUnits));
  for (const IndexItem& item : items) {
    TXMLNode* entry = tree_->AddNode(all_units, item.node->Name());
    entry->AddValue(LeafValue(item.node, elem::kUnitComment));
  }

  // Each entry names the unit that holds the item: the item's grandparent.
  auto add_entry = [this](TXMLNode* index, const TXMLNode* item, std::string_view comment_name,
                          const std::string& comment) {
    TXMLNode* entry = tree_->AddNode(index, item->Name());
    AddLeaf(entry, elem::kUnit, item->Parent()->Parent()->Name());
    AddLeaf(entry, comment_name, comment);
  };

  CollectItems(parsed_units, elem::kClasses, collator, items);
  TXMLNode* all_classes = tree_->AddNode(root, std::string(elem::kAllClasses));
  for (const IndexItem& item : items) {
    add_entry(all_classes, item.node, elem::kClassComment,
              LeafValue(item.node, elem::kClassComment));
  }

  CollectItems(parsed_units, elem::kFunctions, collator, items);
  TXMLNode* all_functions = tree_->AddNode(root, std::string(elem::kAllFunctions));
  for (const IndexItem& item : items) {
    // The interface comment, or the implementation comment when the former is empty.
    const std::string& comment = LeafValue(item.node, elem::kProcComment);
    add_entry(all_functions, item.node, elem::kProcComment,
              comment.empty() ? LeafValue(item.node, elem::kLongComment) : comment);
  }

  CollectItems(parsed_units, elem::kConstants, collator, items);
  TXMLNode* all_constants = tree_->AddNode(root, std::string(elem::kAllConstants));
  for (const IndexItem& item : items) {
    add_entry(all_constants, item.node, elem::kConstComment,
              LeafValue(item.node, elem::kConstComment));
  }
}

}  // namespace glossator
