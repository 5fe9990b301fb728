// The routine pass: free procedures and functions of the interface part.
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "parser/cGlossator.h"
#include "parser/member_name.h"

namespace glossator {

namespace {

bool MentionsClassBody(std::string_view line) {
  for (std::string_view word : {"private", "public", "protected", "class"}) {
    if (Contains(line, word)) return true;
  }
  return false;
}

}  // namespace

// A line that mentions a class body word jumps, when it holds no ";", to the next line with
// "end;"; either way the scan goes on with the following line. Returns false when that is past
// the last line.
bool TGlosParser::SkipClassBody(int& i, std::string_view& line) const {
  if (!MentionsClassBody(line)) return true;
  if (!Contains(line, ';')) i = FindLine("end;", i);
  ++i;
  if (i > lines_.Last()) return false;
  line = lines_.TrimmedAt(i);
  return true;
}

void TGlosParser::ParseFunctions(TXMLNode* functions) {
  int i = FindLine("unit", 0) + 1;
  if (i > lines_.Last()) return;
  std::string_view line = lines_.TrimmedAt(i);
  bool implementation = false;
  while (!StartsWith(line, "end.") && !implementation) {
    if (StartsWith(line, "implementation")) implementation = true;
    if (!SkipClassBody(i, line)) return;
    if ((StartsWith(line, "procedure") || StartsWith(line, "function")) && !Contains(line, '.')) {
      if (!ReadRoutine(functions, i)) return;
    }
    ++i;
    if (i > lines_.Last()) return;
    line = lines_.TrimmedAt(i);
  }
}

// Records the routine whose heading starts on line i and leaves i on its last line. Returns false
// when the progress call answers "stop".
bool TGlosParser::ReadRoutine(TXMLNode* functions, int& i) {
  std::string comment = CommentAbove(i);
  std::string decl = ReadDeclaration(i, false);
  std::string_view rest = AfterFirst(decl, " ");
  std::string name(BeforeFirst(rest, "("));
  if (name.empty()) name = BeforeFirst(rest, ":");
  // Neither "(" nor ":" after the name ("procedure Register;"): named like a class member.
  if (name.empty()) name = MemberName(rest);
  if (!Progress("", name, false)) return false;

  TXMLNode* routine = tree_->AddNode(functions, name);
  AddLeaf(routine, elem::kProcDecl, decl);
  AddLeaf(routine, elem::kProcComment, std::move(comment));
  TXMLNode* long_comment = AddLeaf(routine, elem::kLongComment, std::string());
  // The implementation heading must repeat the whole declaration, directives included.
  std::string key = RemoveSpaces(ToLowerAscii(Trim(decl)));
  if (i + 1 <= lines_.Last()) long_comment->SetValue(0, ImplementationComment(i + 1, key));
  return true;
}

}  // namespace glossator
