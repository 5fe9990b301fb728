#ifndef GLOSSATOR_PARSER_CGLOSSATOR_H_
#define GLOSSATOR_PARSER_CGLOSSATOR_H_

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/doc_tree.h"
#include "model/uXMLparser.h"
#include "parser/line_list.h"

namespace glossator {

class HeadingIndex;
class Platform;

// The heading of a Pascal source: the line of its first code outside comments (from 0), and that
// code's first word lower-cased when it is "unit", "program", "library" or "package" (else
// empty). Line -1 when the file holds no code.
struct SourceHeading {
  int line = -1;
  std::string keyword;
};
SourceHeading FindSourceHeading(const LineList& lines);
// What an error in a file with this heading should add: "the file is a program, not a unit",
// "the file has no unit heading", or empty text for a unit.
std::string HeadingNote(const SourceHeading& heading);

// The parser of one run: reads the listed unit files line by line into the documentation tree,
// sorts and indexes it, and answers the page writers' queries on the finished tree. One instance
// serves one run; ParseUnits is called once.
class TGlosParser : public DocTreeReader {
 public:
  // `platform` receives the progress calls and the one warning message; not owned, may be null
  // (then the run never cancels and shows nothing).
  explicit TGlosParser(Platform* platform = nullptr);
  ~TGlosParser() override;
  TGlosParser(const TGlosParser&) = delete;
  TGlosParser& operator=(const TGlosParser&) = delete;

  bool ParsePrivate = false;  // also record the members of private sections
  bool DebugMode = false;     // write the tree to "glosdata.xml" after a completed run
  std::string DumpFile;       // where that dump goes; empty means DumpPath()
  bool Cancelled = false;     // set when the user cancels; never reset
  // Threads that load and scan the files; 0 means DefaultJobs(), 1 the run's own thread only.
  // Any number gives the same tree, progress calls and warnings in the same order.
  int Jobs = 0;

  const TXMLTree* Tree() const { return tree_.get(); }
  const LineList& Lines() const { return lines_; }

  // The progress bar's maximum for a run over `files`: the steps the generation run makes,
  // 5 per file + 6. The parse steps 4 times per file and twice after the last, then generation
  // steps once per index page (4) and once per unit, so a completed run ends with a full bar.
  static int CountSteps(const std::vector<std::string>& files);

  // Parses every file in list order, then sorts the tree, builds the four indexes and, in debug
  // mode, writes the dump. Returns early with Cancelled set when a progress call answers "stop".
  // Errors (a file that cannot be opened, a scan past the last line) propagate as GlosError
  // naming the file being read.
  //
  // With more than one job the files are loaded and scanned on a pool of threads, each into a
  // tree of its own, and joined to the run's tree in list order on the calling thread, which
  // makes every progress call and warning of a file at the point where a run on one thread
  // makes it. A cancel or an error leaves the tree exactly as that run would.
  void ParseUnits(const std::vector<std::string>& files);

  // Where the debug dump goes: "glosdata.xml" in the folder of the program's own executable.
  static std::string DumpPath();

  // The file as listed in ParseUnits.
  std::string SourceFile(const TXMLNode* unit) const override;

  // --- Loading and scanning the current file (line indexes from 0). ---

  // Replaces the current lines with `text`, as a loaded file would give them.
  void SetSource(std::string text);

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

  // --- The unit header and the declaration passes over the current file. ---

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
  // The passes live in their own files and read the current file and tree directly.
  friend class ClassPass;
  friend class RoutinePass;
  friend class ConstantPass;
  friend class ParsePool;

  // The progress call; a "stop" answer sets Cancelled.
  bool Progress(std::string_view header, std::string_view detail, bool step);
  void LoadFile(const std::string& path);
  void ParseOneFile(const std::string& path, TXMLNode* parsed_units);
  // The part of ParseOneFile after loading: the unit header and the three passes.
  void ParseLoaded(const std::string& path, TXMLNode* parsed_units);
  // ParseUnits' loop over the files on a pool of `jobs` threads (parse_pool.cpp).
  void ParseInPool(const std::vector<std::string>& files, int jobs, TXMLNode* parsed_units);
  // Starts a tree of one file's own, whose root stands for "parsedUnits" (see ParsePool).
  void BeginFileTree(const std::string& path);
  // Sorts the units below "parsedUnits" by name.
  void SortTree();
  // Sorts the classes, the members and fields of each class, the routines and the constants of
  // one unit by name.
  void SortUnit(TXMLNode* unit);
  // The four indexes, each built on a tree of its own (at once on threads with jobs > 1) and
  // then moved under the root in their order.
  void BuildIndexes(int jobs);
  TXMLNode* AddLeaf(TXMLNode* parent, std::string_view name, std::string_view value);

  // The scan the routine and constant passes share: from the line after the "unit" line to
  // "end." or the "implementation" line, jumping over class bodies, calling `visit` with each
  // line's index (which it may move on to the last line it used) and trimmed text. Stops at the
  // end of the file or when `visit` answers false.
  void ScanInterface(const std::function<bool(int& i, std::string_view line)>& visit);

  // The comment above the first line from `from` on whose heading matches `key` (see
  // HeadingIndex), or the empty text.
  std::string ImplementationComment(int from, const std::string& key);
  const HeadingIndex& Headings();

  Platform* platform_;
  std::unique_ptr<TXMLTree> tree_;
  LineList lines_;
  std::string current_file_;
  std::unique_ptr<HeadingIndex> headings_;  // rebuilt on the first search in each file
  bool headings_current_ = false;
  mutable std::unordered_map<int, std::string> comment_cache_;
  std::unordered_map<const TXMLNode*, std::string> source_files_;
  std::string file_note_;  // HeadingNote of the current file  // unit item
                           // => listed file
};

// The number of jobs a run uses when it is not told: GLOSSATOR_JOBS when that holds a number of 1
// or more, otherwise the machine's cores (1 when they cannot be counted).
int DefaultJobs();

// The heading without trailing "override", "virtual" and "overload" directives, checked in this
// order, each at most once; the pieces that remain each end in ";".
//
//   "procedure Paint; override;"                   => "procedure Paint;"
//   "function Count: Integer; overload; virtual;"  => "function Count: Integer;"
//   "procedure Free; virtual; overload;"           => "procedure Free; virtual;"
//   "procedure A"                                  => "procedure A;"
//   "override;" or ""                              => ""   (the pieces ran out)
std::string StripDirectives(std::string_view heading);

// 1-based position in `text` of the first word of `words` (in list order) that occurs in it, or
// 0. Without `case_sensitive` both sides are compared lower-cased.
size_t PosOfAny(std::initializer_list<std::string_view> words, std::string_view text,
                bool case_sensitive);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_CGLOSSATOR_H_
