#ifndef GLOSSATOR_MODEL_DOC_TREE_H_
#define GLOSSATOR_MODEL_DOC_TREE_H_

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace glossator {

class TXMLNode;
class TXMLTree;

// Element names of the documentation tree. The parser writes them, the page writers read them
// and the debug dump shows them; do not change them.
namespace elem {
inline constexpr std::string_view kRoot = "root";
inline constexpr std::string_view kParsedUnits = "parsedUnits";
inline constexpr std::string_view kUnitComment = "unitComment";
inline constexpr std::string_view kUnitFileName = "unitFileName";
inline constexpr std::string_view kClasses = "classes";
inline constexpr std::string_view kInheritFrom = "inheritFrom";
inline constexpr std::string_view kClassComment = "classComment";
inline constexpr std::string_view kMethodList = "methodList";
inline constexpr std::string_view kProcDecl = "procDecl";
inline constexpr std::string_view kProcType = "procType";
inline constexpr std::string_view kProcComment = "procComment";
inline constexpr std::string_view kLongComment = "longComment";
inline constexpr std::string_view kFieldList = "fieldList";
inline constexpr std::string_view kFieldType = "fieldType";
inline constexpr std::string_view kFieldComment = "fieldComment";
inline constexpr std::string_view kFunctions = "functions";
inline constexpr std::string_view kConstants = "constants";
inline constexpr std::string_view kConstValue = "constValue";
inline constexpr std::string_view kConstComment = "constComment";
inline constexpr std::string_view kAllUnits = "allUnits";
inline constexpr std::string_view kAllClasses = "allClasses";
inline constexpr std::string_view kAllFunctions = "allFunctions";
inline constexpr std::string_view kAllConstants = "allConstants";
inline constexpr std::string_view kUnit = "unit";
}  // namespace elem

// The queries through which the page writers read a finished documentation tree. Positions are
// 0-based; a position at or past the count throws ListIndexError. A missing node on a query's
// path gives 0 or the empty text. Every lookup by element name takes the first child of that
// name among the direct children of the node it starts from, so a declared name that happens to
// equal an element name ("functions", "procDecl", ...) can never be mistaken for a container.
class DocTreeReader {
 public:
  virtual ~DocTreeReader();

  // Index queries, in index order.
  int UnitCount() const;
  std::string_view UnitName(int i) const;
  std::string_view UnitComment(int i) const;
  int ClassCount() const;
  std::string_view ClassName(int i) const;
  std::string_view ClassComment(int i) const;
  int FunctionCount() const;
  std::string_view FunctionName(int i) const;
  std::string_view FunctionUnit(int i) const;
  std::string_view FunctionComment(int i) const;
  int ConstantCount() const;
  std::string_view ConstantName(int i) const;
  std::string_view ConstantUnit(int i) const;
  std::string_view ConstantComment(int i) const;

  // The unit items below "parsedUnits", in tree order (after the parse's sort: by name, units of
  // one name in list order).
  int ParsedUnitCount() const;
  const TXMLNode* ParsedUnit(int k) const;

  // The file a unit item was read from, as it was listed; the reader of a tree alone knows only
  // the file's name.
  virtual std::string SourceFile(const TXMLNode* unit) const;

  // The first unit item of that name below "parsedUnits", or null.
  const TXMLNode* FindUnit(std::string_view name) const;

  // Unit queries, on a unit item from FindUnit (null gives 0 and empty texts).
  int UnitClassCount(const TXMLNode* unit) const;
  std::string_view UnitClassName(const TXMLNode* unit, int c) const;
  std::string_view UnitClassComment(const TXMLNode* unit, int c) const;
  int MethodCount(const TXMLNode* unit, int c) const;
  std::string_view MethodDecl(const TXMLNode* unit, int c, int m) const;
  std::string_view MethodVisibility(const TXMLNode* unit, int c, int m) const;
  std::string_view MethodComment(const TXMLNode* unit, int c, int m) const;
  std::string_view MethodLongComment(const TXMLNode* unit, int c, int m) const;
  // The four texts above in one walk, for a page that shows them all.
  struct MethodTexts {
    std::string_view decl, visibility, comment, long_comment;
  };
  MethodTexts Method(const TXMLNode* unit, int c, int m) const;
  int FieldCount(const TXMLNode* unit, int c) const;
  std::string_view FieldName(const TXMLNode* unit, int c, int f) const;
  std::string_view FieldType(const TXMLNode* unit, int c, int f) const;
  std::string_view FieldComment(const TXMLNode* unit, int c, int f) const;
  int UnitFunctionCount(const TXMLNode* unit) const;
  std::string_view UnitFunctionName(const TXMLNode* unit, int r) const;
  std::string_view UnitFunctionDecl(const TXMLNode* unit, int r) const;
  std::string_view UnitFunctionComment(const TXMLNode* unit, int r) const;
  std::string_view UnitFunctionLongComment(const TXMLNode* unit, int r) const;
  int UnitConstantCount(const TXMLNode* unit) const;
  std::string_view UnitConstantName(const TXMLNode* unit, int k) const;
  std::string_view UnitConstantValue(const TXMLNode* unit, int k) const;
  std::string_view UnitConstantComment(const TXMLNode* unit, int k) const;

  // Appends the ancestor chain of the class `name` to `list`, the most distant ancestor first;
  // the class itself is not appended. The chain ends with "TObject", with the first ancestor
  // that is no documented class, or with a name already on the chain being followed (appended,
  // not followed again). A name with several class index entries is followed once: its first
  // entry decides its unit, so every entry would repeat the same chain.
  void GetAncestors(std::string_view name, std::vector<std::string>& list) const;

  // The nearest `limit` names of that chain, the direct ancestor first, into `nearest`; returns
  // the length of the whole chain. Takes time in `limit` once IndexAncestors has run (a frozen
  // tree's reader has), so that a page can show the top of a chain of any length.
  size_t NearestAncestors(std::string_view name, size_t limit,
                          std::vector<std::string_view>& nearest) const;

 protected:
  // The tree the queries read; not owned. Null answers every query with 0 or the empty text.
  void SetQueryTree(const TXMLTree* tree);
  // Measures the ancestor chain of every class of the class index at once, in time linear in
  // the number of classes. REQUIRES: the tree no longer changes.
  void IndexAncestors();

 private:
  const TXMLNode* Container(std::string_view name) const;
  const TXMLNode* Entry(std::string_view index, int i) const;
  const TXMLNode* UnitPart(const TXMLNode* unit, std::string_view container, int i) const;
  const TXMLNode* ClassItem(const TXMLNode* unit, int c) const;
  const TXMLNode* ClassPart(const TXMLNode* unit, int c, std::string_view container, int i) const;
  // The ancestor text of the class that the first class index entry named `name` stands for.
  std::string_view AncestorText(const TXMLNode* all_classes, std::string_view name) const;
  bool IsDocumentedClass(const TXMLNode* all_classes, std::string_view name) const;
  // The ancestor that the chain of `name` appends after `name`, and whether the chain goes on
  // from it: it is a documented class other than "TObject".
  std::string_view StepUp(const TXMLNode* all_classes, std::string_view name, bool* goes_on) const;

  const TXMLTree* tree_ = nullptr;
  // Class name => length of its ancestor chain; filled by IndexAncestors.
  std::unordered_map<std::string_view, size_t> chain_lengths_;
};

// A finished documentation tree: sorted, indexed and never changed again, so that any number of
// threads may read it at once. Answers the queries and names the file each unit was read from.
class DocTree : public DocTreeReader {
 public:
  // Takes the finished tree. `source_files` maps each unit item to its file as listed.
  DocTree(std::unique_ptr<TXMLTree> tree,
          std::unordered_map<const TXMLNode*, std::string> source_files);
  ~DocTree() override;
  DocTree(const DocTree&) = delete;
  DocTree& operator=(const DocTree&) = delete;

  const TXMLTree& Tree() const { return *tree_; }
  std::string SourceFile(const TXMLNode* unit) const override;

 private:
  std::unique_ptr<TXMLTree> tree_;
  std::unordered_map<const TXMLNode*, std::string> source_files_;
};

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_DOC_TREE_H_
