#ifndef GLOSSATOR_PARSER_UNIT_SCAN_H_
#define GLOSSATOR_PARSER_UNIT_SCAN_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "parser/line_list.h"

namespace glossator {

class HeadingIndex;
class ParseObserver;
class TXMLNode;
class TXMLTree;
struct Warning;

// The heading of a Pascal source: the line of its first code outside comments (from 0), and that
// code's first word lower-cased when it is "unit", "program", "library" or "package" (else
// empty). Line -1 when the file holds no code. A UTF-8 byte-order mark at the start is no code.
struct SourceHeading {
  int line = -1;
  std::string keyword;
};
SourceHeading FindSourceHeading(const LineList& lines);
// What an error in a file with this heading should add: "the file is a program, not a unit",
// "the file has no unit heading", or empty text for a unit.
std::string HeadingNote(const SourceHeading& heading);

// The line reader's work on one file: its lines, the scanning primitives over them, and the unit
// header and the three declaration passes, which add the file's unit item to a tree. One scan
// object reads one file after another; Load or SetSource starts the next.
class UnitScan {
 public:
  // `observer` receives the progress calls and the warnings; not owned, may be null (then the scan
  // never stops and warns nobody).
  explicit UnitScan(ParseObserver* observer = nullptr, bool parse_private = false);
  ~UnitScan();
  UnitScan(const UnitScan&) = delete;
  UnitScan& operator=(const UnitScan&) = delete;

  void SetObserver(ParseObserver* observer) { observer_ = observer; }
  bool ParsePrivate() const { return parse_private_; }
  void SetParsePrivate(bool parse_private) { parse_private_ = parse_private; }
  // A file that is no unit is skipped with a warning (see ParseLoaded).
  void SetSkipNonUnits(bool skip) { skip_non_units_ = skip; }
  // Set when a progress call answered "stop"; cleared by Load and SetSource.
  bool Cancelled() const { return cancelled_; }

  // Starts the next file: `path` as listed, `text` its bytes. The nodes the passes add are kept
  // in `tree` (not owned), whatever tree their parents belong to.
  void Load(const std::string& path, std::string text, TXMLTree* tree);
  // Load with a path of "" into a tree of the scan's own: for reading a text alone.
  void SetSource(std::string text);
  // Hands over the text of the current file.
  std::string TakeText() { return lines_.TakeText(); }

  const LineList& Lines() const { return lines_; }
  const std::string& File() const { return file_; }
  TXMLTree& Tree() { return *tree_; }
  // What is wrong with the current file's heading, once ParseLoaded has looked (HeadingNote).
  const std::string& FileNote() const { return file_note_; }

  // Reads the loaded file: the unit item under `parsed_units`, with its comment, its file name and
  // its classes, routines and constants, in source order (SortUnit sorts them). Four progress
  // steps; returns early when a progress call answers "stop". Errors propagate as GlosError. When
  // non-units are skipped, a file whose heading is no unit heading gets a warning and no unit item
  // (the steps are made).
  void ParseLoaded(TXMLNode* parsed_units);

  // The progress call; a "stop" answer sets Cancelled.
  bool Progress(std::string_view header, std::string_view detail, bool step);
  void Warn(const Warning& warning);
  TXMLNode* AddLeaf(TXMLNode* parent, std::string_view name, std::string_view value);

  // --- Scanning the current file (line indexes from 0). ---

  // The first line at or after `start` that is not a comment line.
  int SkipComments(int start) const;
  // The first line from `start` (leading comment lines skipped) whose trimmed text contains
  // `keyword`, ASCII case ignored; the last line when none does.
  int FindLine(std::string_view keyword, int start) const;
  // The line on which the comment just above line `d` starts, or the nearest non-blank line
  // above it; -1 when d is line 0.
  int FindCommentStart(int d) const;
  // The documentation comment ("{**" ... "}") that opens on line k, or the empty text.
  std::string GetDocComment(int k) const;
  // GetDocComment(FindCommentStart(line)): the comment documenting line `line`.
  std::string CommentAbove(int line) const;
  // The declaration gathered from line i on; leaves i on the last line used. Without `force`,
  // only lines starting with a member keyword are gathered.
  std::string ReadDeclaration(int& i, bool force) const;
  // The comment above the first line from `from` on whose heading matches `key` (see
  // HeadingIndex), or the empty text.
  std::string ImplementationComment(int from, const std::string& key);

  // The scan the routine and constant passes share: from the line after the "unit" line to
  // "end." or the "implementation" line, jumping over class bodies, calling `visit` with each
  // line's index (which it may move on to the last line it used) and trimmed text. Stops at the
  // end of the file or when `visit` answers false.
  void ScanInterface(const std::function<bool(int& i, std::string_view line)>& visit);

  // --- The unit header and the declaration passes. ---

  std::string ReadUnitName() const;
  // The line ReadUnitName reads the name from (or the line before it, for a heading whose
  // keyword stands alone).
  int UnitNameLine() const;
  // Warns when the unit name `name` was not read from the file's unit heading (`heading`, see
  // FindSourceHeading): a heading further down, a program, library or package, or none at all.
  void CheckUnitHeading(const std::string& name, const SourceHeading& heading);
  std::string ReadUnitComment() const;
  void ParseClasses(TXMLNode* classes);
  void ParseFunctions(TXMLNode* functions);
  void ParseConstants(TXMLNode* constants);

 private:
  const HeadingIndex& Headings();
  void SkipNonUnit(const SourceHeading& heading, const std::string& short_name);

  ParseObserver* observer_;  // not owned
  bool parse_private_;
  bool skip_non_units_ = false;
  bool cancelled_ = false;
  std::string file_;
  LineList lines_;
  TXMLTree* tree_ = nullptr;  // not owned, unless it is own_tree_
  std::unique_ptr<TXMLTree> own_tree_;
  std::unique_ptr<HeadingIndex> headings_;  // rebuilt on the first search in each file
  bool headings_current_ = false;
  mutable std::unordered_map<int, std::string> comment_cache_;
  std::string file_note_;
};

// Sorts the classes, the members and fields of each class, the routines and the constants of a
// unit item by name.
void SortUnit(TXMLNode* unit);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_UNIT_SCAN_H_
