// The routine pass: free procedures and functions of the interface part.
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "model/uXMLparser.h"
#include "parser/member_name.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {

// The pass over one file; it reads and fills the parser's current file and tree.
class RoutinePass {
 public:
  explicit RoutinePass(UnitScan& parser) : p_(parser) {}
  bool ReadRoutine(TXMLNode* functions, int& i);

 private:
  UnitScan& p_;
};

void UnitScan::ParseFunctions(TXMLNode* functions) {
  RoutinePass pass(*this);
  ScanInterface([&](int& i, std::string_view line) {
    if ((StartsWith(line, "procedure") || StartsWith(line, "function")) && !Contains(line, '.')) {
      return pass.ReadRoutine(functions, i);
    }
    return true;
  });
}

// Records the routine whose heading starts on line i and leaves i on its last line. Returns false
// when the progress call answers "stop".
bool RoutinePass::ReadRoutine(TXMLNode* functions, int& i) {
  std::string comment = p_.CommentAbove(i);
  std::string decl = p_.ReadDeclaration(i, false);
  std::string_view rest = AfterFirst(decl, " ");
  std::string name(BeforeFirst(rest, "("));
  if (name.empty()) name = BeforeFirst(rest, ":");
  // Neither "(" nor ":" after the name ("procedure Register;"): named like a class member.
  if (name.empty()) name = MemberName(rest);
  if (!p_.Progress("", name, false)) return false;

  TXMLNode* routine = p_.Tree().AddNode(functions, name);
  p_.AddLeaf(routine, elem::kProcDecl, decl);
  p_.AddLeaf(routine, elem::kProcComment, std::move(comment));
  TXMLNode* long_comment = p_.AddLeaf(routine, elem::kLongComment, std::string());
  // The implementation heading must repeat the whole declaration, directives included.
  std::string key = RemoveSpaces(ToLowerAscii(Trim(decl)));
  if (i + 1 <= p_.Lines().Last())
    p_.Tree().SetValue(long_comment, 0, p_.ImplementationComment(i + 1, key));
  return true;
}

}  // namespace glossator
