#ifndef GLOSSATOR_PARSER_FILE_PARSE_H_
#define GLOSSATOR_PARSER_FILE_PARSE_H_

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/platform.h"
#include "model/unit_model.h"
#include "parser/pascal/pascal_reader.h"
#include "parser/unit_scan.h"

namespace glossator {

class FileSystem;
class TXMLNode;
class TXMLTree;

// Which reader reads the units: the line rules, or the Pascal reader, which tokenises the whole
// interface part as a compiler does.
enum class ReaderKind { kLines, kPascal };

// How a run reads its files.
struct ParseSettings {
  ReaderKind reader = ReaderKind::kLines;
  ReaderOptions pascal;      // the Pascal reader's compiler, symbols, include folders and comments
  bool want_tree = true;     // build the documentation tree the frame pages read
  bool want_models = false;  // keep each unit's model (the site and the JSON export read them)
  bool parse_private = false;  // also record the members of private sections
  // Listed files that are skipped with a warning when they are no unit (a program, a library, a
  // package, no heading at all): those found in folders and project files. Any other file is
  // read as the line rules read any file, and whatever error that raises ends the run.
  std::unordered_set<std::string> skippable;
};

// One file parsed on its own: its tree, whose root stands for "parsedUnits" and holds the file's
// unit item (none when the file was skipped or failed before its heading), its unit's model when
// asked for, the include files read, the text as loaded, and the error that ended its parse.
struct FileResult {
  std::unique_ptr<TXMLTree> tree;
  std::optional<DocUnit> model;
  std::vector<std::string> included;
  std::string text;
  std::exception_ptr error;
};

// Parses one file after another, each into a tree of its own. One per thread: it keeps the memory
// of its line tables from file to file.
class FileParser {
 public:
  FileParser();
  ~FileParser();
  FileParser(const FileParser&) = delete;
  FileParser& operator=(const FileParser&) = delete;

  // Loads `path` through `files` and parses it, reporting to `observer` (may be null). Never
  // throws: the error that ends the file's parse is kept in the result, with the file's name and
  // what was wrong with its heading.
  FileResult Parse(const std::string& path, const ParseSettings& settings, FileSystem& files,
                   ParseObserver* observer);
  // The same for a text already loaded.
  FileResult ParseText(const std::string& path, std::string text, const ParseSettings& settings,
                       FileSystem& files, ParseObserver* observer);

 private:
  // The line reader's parse of the loaded file into `result`.
  void ReadLines(const std::string& path, std::string text, const ParseSettings& settings,
                 ParseObserver* observer, FileResult& result);
  // The Pascal reader's.
  void ReadPascal(const std::string& path, const std::string& text, const ParseSettings& settings,
                  FileSystem& files, ParseObserver* observer, FileResult& result);

  UnitScan scan_;
};

// The run's side of a parse: where the progress calls and warnings go, and where each file's
// result joins, in list order.
class ParseTarget : public ParseObserver {
 public:
  // `tree` is the run's tree and `parsed_units` its "parsedUnits"; `observer` the run's (may be
  // null). None is owned.
  ParseTarget(TXMLTree& tree, TXMLNode* parsed_units, ParseObserver* observer);

  // Passed on to the run's observer; a "stop" answer sets Cancelled.
  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override;
  void ReportWarning(const Warning& warning) override;
  bool Cancelled() const { return cancelled_; }

  // Moves the file's unit item, if it has one, to the end of "parsedUnits" and records its file;
  // keeps its model.
  void Join(FileResult& result, const std::string& path);
  // The models of the units joined, in list order.
  std::vector<DocUnit> TakeModels() { return std::move(models_); }
  // Makes room for `count` models, and has `joined` called with the models as each joins.
  void KeepModels(size_t count, std::function<void(std::vector<DocUnit>&)> joined) {
    models_.reserve(count);
    joined_ = std::move(joined);
  }
  // The include files the joined units read, each once, in the order first read.
  std::vector<std::string> TakeIncluded() { return std::move(included_); }
  // The file a unit item joined here was read from, as listed; empty for any other node.
  std::string SourceFile(const TXMLNode* unit) const;
  // unit item => the file it was read from, as listed
  std::unordered_map<const TXMLNode*, std::string> TakeSourceFiles() {
    return std::move(source_files_);
  }

 private:
  TXMLTree& tree_;
  TXMLNode* parsed_units_;
  ParseObserver* observer_;
  bool cancelled_ = false;
  std::unordered_map<const TXMLNode*, std::string> source_files_;
  std::vector<DocUnit> models_;
  std::function<void(std::vector<DocUnit>&)> joined_;
  std::vector<std::string> included_;
  std::unordered_set<std::string> included_seen_;
};

// The parse of `files` on a pool of `jobs` threads, the calling thread included (parse_pool.cpp):
// every progress call and warning reaches `target` in list order, at the point where a
// run on one thread makes it, and a cancel or an error leaves the tree exactly as that run would.
void ParseInPool(const std::vector<std::string>& files, int jobs, const ParseSettings& settings,
                 FileSystem& file_system, ParseTarget& target);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_FILE_PARSE_H_
