// The line reader's state for one file, and the order in which it reads a unit: the header, then
// the class, routine and constant passes.
#include "parser/unit_scan.h"

#include "base/platform.h"
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uXMLparser.h"
#include "parser/heading_index.h"

namespace glossator {

UnitScan::UnitScan(ParseObserver* observer, bool parse_private)
    : observer_(observer), parse_private_(parse_private) {}

UnitScan::~UnitScan() = default;

void UnitScan::Load(const std::string& path, std::string text, TXMLTree* tree) {
  file_ = path;
  lines_.SetText(std::move(text));
  tree_ = tree;
  cancelled_ = false;
  headings_current_ = false;
  comment_cache_.clear();
  file_note_.clear();
}

void UnitScan::SetSource(std::string text) {
  if (!own_tree_) {
    own_tree_ = std::make_unique<TXMLTree>();
    own_tree_->SetRoot(std::make_unique<TXMLNode>(std::string(elem::kRoot)));
  }
  Load(std::string(), std::move(text), own_tree_.get());
}

bool UnitScan::Progress(std::string_view header, std::string_view detail, bool step) {
  if (observer_ != nullptr && !observer_->UpdateProgress(header, detail, step)) cancelled_ = true;
  return !cancelled_;
}

void UnitScan::Warn(const Warning& warning) {
  if (observer_ != nullptr) observer_->ReportWarning(warning);
}

TXMLNode* UnitScan::AddLeaf(TXMLNode* parent, std::string_view name, std::string_view value) {
  TXMLNode* leaf = tree_->AddNode(parent, name);
  tree_->AddValue(leaf, value);
  return leaf;
}

const HeadingIndex& UnitScan::Headings() {
  if (!headings_) headings_ = std::make_unique<HeadingIndex>();
  if (!headings_current_) {
    headings_->Build(lines_);
    headings_current_ = true;
  }
  return *headings_;
}

std::string UnitScan::ImplementationComment(int from, const std::string& key) {
  int line = Headings().Find(from, key);
  return line < 0 ? std::string() : CommentAbove(line);
}

void UnitScan::ParseLoaded(TXMLNode* parsed_units) {
  std::string short_name = FileNameOf(file_);
  file_note_.clear();

  if (!Progress("Parsing unit in " + short_name, "", true)) return;
  // What is wrong with the heading explains an error in reading the name or the passes.
  SourceHeading heading = FindSourceHeading(lines_);
  file_note_ = HeadingNote(heading);
  if (skip_non_units_ && heading.keyword != "unit") return SkipNonUnit(heading, short_name);
  std::string name = ReadUnitName();
  CheckUnitHeading(name, heading);
  TXMLNode* unit = tree_->AddNode(parsed_units, name);
  AddLeaf(unit, elem::kUnitComment, ReadUnitComment());
  AddLeaf(unit, elem::kUnitFileName, short_name);

  if (!Progress("Parsing classes in " + short_name, "", true)) return;
  ParseClasses(tree_->AddNode(unit, std::string(elem::kClasses)));
  if (!Progress("Parsing functions in " + short_name, "", true)) return;
  ParseFunctions(tree_->AddNode(unit, std::string(elem::kFunctions)));
  if (!Progress("Parsing constants in " + short_name, "", true)) return;
  ParseConstants(tree_->AddNode(unit, std::string(elem::kConstants)));
}

void UnitScan::SkipNonUnit(const SourceHeading& heading, const std::string& short_name) {
  Warning warning;
  warning.file = file_;
  if (!heading.keyword.empty()) warning.line = heading.line + 1;
  warning.kind = "not-a-unit";
  warning.text = file_note_ + "; skipped";
  Warn(warning);
  for (const char* pass :
       {"Parsing classes in ", "Parsing functions in ", "Parsing constants in "}) {
    if (!Progress(pass + short_name, "", true)) return;
  }
}

void SortUnit(TXMLNode* unit) {
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

}  // namespace glossator
