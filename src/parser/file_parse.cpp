// Parsing one file into a tree of its own, and joining it to the run's tree.
#include "parser/file_parse.h"

#include <new>

#include "base/errors.h"
#include "base/file_system.h"
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uXMLparser.h"
#include "parser/unit_model_tree.h"

namespace glossator {

FileParser::FileParser() = default;

FileParser::~FileParser() = default;

FileResult FileParser::Parse(const std::string& path, const ParseSettings& settings,
                             FileSystem& files, ParseObserver* observer) {
  // Only regular files are units (a named pipe could stop the run, a device fill the memory).
  std::string text;
  std::exception_ptr error;
  try {
    if (!files.ReadFile(path, text)) error = std::make_exception_ptr(FileOpenError(path));
  } catch (const std::bad_alloc&) {
    OutOfMemoryError out_of_memory;
    out_of_memory.SetFile(path);
    error = std::make_exception_ptr(out_of_memory);
  }
  if (!error) return ParseText(path, std::move(text), settings, files, observer);
  FileResult result;
  result.error = error;
  return result;
}

FileResult FileParser::ParseText(const std::string& path, std::string text,
                                 const ParseSettings& settings, FileSystem& files,
                                 ParseObserver* observer) {
  FileResult result;
  try {
    result.tree = std::make_unique<TXMLTree>();
    result.tree->SetRoot(std::make_unique<TXMLNode>(std::string(elem::kParsedUnits)));
    if (settings.reader == ReaderKind::kPascal) {
      ReadPascal(path, text, settings, files, observer, result);
      result.text = std::move(text);
    } else {
      ReadLines(path, std::move(text), settings, observer, result);
    }
  } catch (GlosError& error) {
    // The report must name the file, and what was wrong with its heading.
    if (error.File().empty()) error.SetFile(path);
    if (error.Note().empty()) error.SetNote(scan_.FileNote());
    result.error = std::current_exception();
  } catch (const std::bad_alloc&) {
    OutOfMemoryError error;
    error.SetFile(path);
    result.error = std::make_exception_ptr(error);
  } catch (...) {
    result.error = std::current_exception();
  }
  if (settings.reader == ReaderKind::kLines) {
    scan_.SetObserver(nullptr);
    result.text = scan_.TakeText();
  }
  return result;
}

void FileParser::ReadLines(const std::string& path, std::string text, const ParseSettings& settings,
                           ParseObserver* observer, FileResult& result) {
  scan_.SetObserver(observer);
  scan_.SetParsePrivate(settings.parse_private);
  scan_.SetSkipNonUnits(settings.skippable.count(path) != 0);
  scan_.Load(path, std::move(text), result.tree.get());
  TXMLNode* root = result.tree->Root();
  scan_.ParseLoaded(root);
  if (scan_.Cancelled() || root->ChildCount() == 0) return;
  TXMLNode* unit = root->Child(0);
  // The model keeps the source order, so it is made before the unit is sorted.
  if (settings.want_models) {
    result.model = ModelFromTree(unit, path);
    if (!settings.parse_private) DropPrivateMembers(result.model->items);
  }
  if (settings.want_tree) {
    SortUnit(unit);
  } else {
    result.tree.reset();
  }
}

namespace {

// The progress of a Pascal read: the four steps of a file, with the reader's warnings after the
// first, where the line reader reports what it finds in the heading.
class PascalSteps : public ModelTreeProgress {
 public:
  PascalSteps(ParseObserver* observer, std::vector<Warning>& warnings)
      : observer_(observer), warnings_(warnings) {}

  bool Progress(std::string_view header, std::string_view detail, bool step) override {
    if (observer_ == nullptr) return true;
    if (!observer_->UpdateProgress(header, detail, step)) return false;
    if (!warned_) {
      warned_ = true;
      for (const Warning& warning : warnings_) observer_->ReportWarning(warning);
    }
    return true;
  }

  // The four steps of a file without a unit to add.
  bool StepsOnly(const std::string& short_name) {
    for (const char* pass : {"Parsing unit in ", "Parsing classes in ", "Parsing functions in ",
                             "Parsing constants in "}) {
      if (!Progress(pass + short_name, "", true)) return false;
    }
    return true;
  }

 private:
  ParseObserver* observer_;
  std::vector<Warning>& warnings_;
  bool warned_ = false;
};

}  // namespace

void FileParser::ReadPascal(const std::string& path, const std::string& text,
                            const ParseSettings& settings, FileSystem& files,
                            ParseObserver* observer, FileResult& result) {
  ReadResult read = ReadPascalUnit(path, text, settings.pascal, files);
  result.included = std::move(read.included);
  if (!read.unit) {
    // Whatever list it came from, a file that is no unit is passed over with a warning.
    read.warnings.push_back({path, 0, "not-a-unit", read.not_a_unit + "; skipped", {}});
  }
  PascalSteps steps(observer, read.warnings);
  if (!read.unit || !settings.want_tree) {
    if (!steps.StepsOnly(FileNameOf(path)) || !read.unit) return;
  } else {
    TXMLNode* unit = AddUnitFromModel(*read.unit, settings.parse_private, *result.tree,
                                      result.tree->Root(), steps);
    if (unit != nullptr) SortUnit(unit);
  }
  if (settings.want_models) {
    // The model is kept as the run shows it, each vector no larger than it holds: the site keeps
    // every unit's model until its last page.
    if (!settings.parse_private) DropPrivateMembers(read.unit->items);
    FitToSize(*read.unit);
    result.model = std::move(read.unit);
  }
}

ParseTarget::ParseTarget(TXMLTree& tree, TXMLNode* parsed_units, ParseObserver* observer)
    : tree_(tree), parsed_units_(parsed_units), observer_(observer) {}

bool ParseTarget::UpdateProgress(std::string_view header, std::string_view detail, bool step) {
  if (observer_ != nullptr && !observer_->UpdateProgress(header, detail, step)) cancelled_ = true;
  return !cancelled_;
}

void ParseTarget::ReportWarning(const Warning& warning) {
  if (observer_ != nullptr) observer_->ReportWarning(warning);
}

std::string ParseTarget::SourceFile(const TXMLNode* unit) const {
  auto it = source_files_.find(unit);
  return it == source_files_.end() ? std::string() : it->second;
}

void ParseTarget::Join(FileResult& result, const std::string& path) {
  if (result.model) {
    models_.push_back(std::move(*result.model));
    if (joined_) joined_(models_);
  }
  for (std::string& file : result.included) {
    if (included_seen_.insert(file).second) included_.push_back(std::move(file));
  }
  if (!result.tree) return;
  TXMLNode* root = result.tree->Root();
  for (size_t u = 0; u < root->ChildCount(); ++u) source_files_[root->Child(u)] = path;
  tree_.Adopt(parsed_units_, *result.tree);
}

}  // namespace glossator
