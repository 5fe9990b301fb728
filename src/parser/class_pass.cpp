// The class pass: class headings, their members by visibility and their public fields.
#include "base/warning.h"
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "model/uXMLparser.h"
#include "parser/member_name.h"
#include "parser/member_words.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {

namespace {

// What the pass knows about the class it is reading.
struct ClassState {
  std::string name;
  TXMLNode* item = nullptr;
  std::string visibility;       // last visibility line, "public" once a member was recorded, or ""
  TXMLNode* members = nullptr;  // "methodList", made at the first recorded member
  TXMLNode* fields = nullptr;   // "fieldList", made at the first recorded field
};

// "TFoo = class(TBar)" and "TFoo=Class" are headings; "TFoo = class;" (forward) is not.
bool IsClassHeading(std::string_view line) {
  // The cheap tests first: most lines hold a ";" or no "=".
  if (Contains(line, ';') || !Contains(line, '=')) return false;
  return Contains(ToLowerAscii(RemoveSpaces(line)), "=class");
}

// A trimmed line that is a leading part of "private ", "protected " or "public ".
bool IsVisibilityLine(std::string_view line) {
  if (line.empty()) return false;
  for (std::string_view word : {"private ", "protected ", "public "}) {
    if (word.substr(0, line.size()) == line) return true;
  }
  return false;
}

// The text between the parentheses after "class", blanks removed; "TObject" when empty.
//   "TFoo = class(TBar, IFoo)" => "TBar,IFoo"     "TFoo = class" => "TObject"
std::string HeadingAncestor(std::string_view heading) {
  std::string compact = RemoveSpaces(heading);
  size_t at = ToLowerAscii(compact).find("=class");
  std::string rest = at == std::string::npos ? std::string() : compact.substr(at + 6);
  rest = rest.size() >= 2 ? rest.substr(1, rest.size() - 2) : std::string();
  return rest.empty() ? "TObject" : rest;
}

bool IsFieldLine(std::string_view line) {
  return PosOfAny({",", ":", ";"}, line, false) > 0 &&
         PosOfAny({"//", "{", "(*", "=", "class", "override"}, line, false) == 0;
}

}  // namespace

// The pass over one file; it reads and fills the parser's current file and tree.
class ClassPass {
 public:
  explicit ClassPass(UnitScan& parser) : p_(parser) {}
  void Run(TXMLNode* classes);

 private:
  bool ReadClass(TXMLNode* classes, int i, std::string_view heading, int* stop);
  void ReadMember(ClassState& cls, int& j);
  void ReadField(ClassState& cls, int& j);

  UnitScan& p_;
};

void UnitScan::ParseClasses(TXMLNode* classes) { ClassPass(*this).Run(classes); }

void ClassPass::Run(TXMLNode* classes) {
  int i = p_.FindLine("type", 0);
  std::string_view line = p_.Lines().TrimmedAt(i);
  for (;;) {
    if (StartsWithNoCase(line, "implementation")) return;
    if (i == p_.Lines().Last()) return;
    if (IsClassHeading(line)) {
      int stop = 0;
      if (!ReadClass(classes, i, line, &stop)) return;
      i = stop - 1;
    }
    ++i;
    line = p_.Lines().TrimmedAt(i);
  }
}

// Reads the class whose heading is line i. Returns false when the pass must end (a cancel, or a
// body that runs past the last line); otherwise *stop is the line holding "end;".
bool ClassPass::ReadClass(TXMLNode* classes, int i, std::string_view heading, int* stop) {
  size_t paren = heading.find(')');
  if (paren != std::string_view::npos) heading = heading.substr(0, paren + 1);
  ClassState cls;
  cls.name = Trim(BeforeFirst(heading, "="));
  std::string comment = p_.CommentAbove(i);
  if (!p_.Progress("", cls.name, false)) return false;

  cls.item = p_.Tree().AddNode(classes, cls.name);
  p_.AddLeaf(cls.item, elem::kInheritFrom, HeadingAncestor(heading));
  p_.AddLeaf(cls.item, elem::kClassComment, std::move(comment));

  int j = i + 1;
  std::string_view body = p_.Lines().TrimmedAt(j);
  while (!Contains(body, "end;")) {
    if (IsVisibilityLine(body)) cls.visibility = body;
    if (StartsWithMemberWord(body)) {
      ReadMember(cls, j);
    } else if (cls.visibility == "public" && IsFieldLine(body)) {
      ReadField(cls, j);
    }
    ++j;
    if (j > p_.Lines().Last()) return false;
    body = p_.Lines().TrimmedAt(j);
  }
  *stop = j;
  return true;
}

void ClassPass::ReadMember(ClassState& cls, int& j) {
  std::string comment = p_.CommentAbove(j);
  std::string decl = p_.ReadDeclaration(j, false);
  if (cls.visibility == "private" && !p_.ParsePrivate()) return;

  std::string name = MemberName(AfterFirst(decl, " "));
  if (cls.visibility.empty()) cls.visibility = "public";
  if (cls.members == nullptr)
    cls.members = p_.Tree().AddNode(cls.item, std::string(elem::kMethodList));
  TXMLNode* member = p_.Tree().AddNode(cls.members, std::move(name));
  p_.AddLeaf(member, elem::kProcDecl, decl);
  p_.AddLeaf(member, elem::kProcType, cls.visibility);
  p_.AddLeaf(member, elem::kProcComment, std::move(comment));
  TXMLNode* long_comment = p_.AddLeaf(member, elem::kLongComment, std::string());

  // The implementation heading repeats the declaration with the class name in front of the
  // member name: "procedure TFoo.Paint(...);", directives left out.
  auto [word, rest] = SplitAt(decl, " ");
  std::string key = StripDirectives(word + " " + cls.name + "." + StripDirectives(rest));
  key = RemoveSpaces(ToLowerAscii(Trim(key)));
  p_.Tree().SetValue(long_comment, 0, p_.ImplementationComment(j, key));
}

void ClassPass::ReadField(ClassState& cls, int& j) {
  if (cls.fields == nullptr)
    cls.fields = p_.Tree().AddNode(cls.item, std::string(elem::kFieldList));
  int first = j;
  std::string decl = p_.ReadDeclaration(j, true);
  auto [names, type_part] = SplitAt(decl, ":");
  std::string type(Trim(type_part));
  if (type.empty()) {
    Warning warning;
    warning.file = p_.File();
    warning.line = first + 1;
    warning.kind = "field-type";
    warning.text = "field without a type in class " + cls.name + ": " + decl;
    warning.box = cls.name;
    p_.Warn(warning);
  } else if (type.back() == ';') {
    type.pop_back();
  }
  std::string comment = p_.CommentAbove(first);
  // "A, B: Integer;" declares two fields of one type and one comment.
  std::string rest = names;
  do {
    auto [name, after] = SplitAt(rest, ",");
    TXMLNode* field = p_.Tree().AddNode(cls.fields, std::string(Trim(name)));
    p_.AddLeaf(field, elem::kFieldType, type);
    p_.AddLeaf(field, elem::kFieldComment, comment);
    rest = std::move(after);
  } while (!rest.empty());
}

}  // namespace glossator
