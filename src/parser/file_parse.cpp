// Parsing one file into a tree of its own, and joining it to the run's tree.
#include "parser/file_parse.h"

#include <new>

#include "base/errors.h"
#include "base/file_system.h"
#include "model/doc_tree.h"
#include "model/uXMLparser.h"

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
  if (!error) return ParseText(path, std::move(text), settings, observer);
  FileResult result;
  result.error = error;
  return result;
}

FileResult FileParser::ParseText(const std::string& path, std::string text,
                                 const ParseSettings& settings, ParseObserver* observer) {
  FileResult result;
  try {
    result.tree = std::make_unique<TXMLTree>();
    result.tree->SetRoot(std::make_unique<TXMLNode>(std::string(elem::kParsedUnits)));
    scan_.SetObserver(observer);
    scan_.SetParsePrivate(settings.parse_private);
    scan_.SetSkipNonUnits(settings.skippable.count(path) != 0);
    scan_.Load(path, std::move(text), result.tree.get());
    scan_.ParseLoaded(result.tree->Root());
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
  scan_.SetObserver(nullptr);
  result.text = scan_.TakeText();
  return result;
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
  if (!result.tree) return;
  TXMLNode* root = result.tree->Root();
  for (size_t u = 0; u < root->ChildCount(); ++u) source_files_[root->Child(u)] = path;
  tree_.Adopt(parsed_units_, *result.tree);
}

}  // namespace glossator
