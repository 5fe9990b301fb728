// The constant pass: the const sections of the interface part.
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "model/uXMLparser.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {

namespace {

// Lines that keep a const section going besides declarations: blank lines and comment lines.
bool ContinuesSection(std::string_view line) {
  return Contains(line, '=') || line.empty() ||
         PosOfAny({"{", "//", "(*", "}", "*)"}, line, false) > 0;
}

}  // namespace

// The pass over one file; it reads and fills the parser's current file and tree.
class ConstantPass {
 public:
  explicit ConstantPass(UnitScan& parser) : p_(parser) {}
  bool ReadConstSection(TXMLNode* constants, int& i);

 private:
  UnitScan& p_;
};

void UnitScan::ParseConstants(TXMLNode* constants) {
  ConstantPass pass(*this);
  ScanInterface([&](int& i, std::string_view line) {
    return !StartsWithNoCase(line, "const") || pass.ReadConstSection(constants, i);
  });
}

// Reads the section whose "const" line is i and leaves i on the line before the one that ended
// it, so that the scan examines that line again. Returns false at the end of the file.
bool ConstantPass::ReadConstSection(TXMLNode* constants, int& i) {
  ++i;
  if (i > p_.Lines().Last()) return false;
  std::string_view line = p_.Lines().TrimmedAt(i);
  while (ContinuesSection(line)) {
    if (Contains(line, '=')) {
      std::string comment = p_.CommentAbove(i);
      auto [name, rest] = SplitAt(line, "=");
      // The blank after "=" stays part of the value; no ";" means the whole rest.
      size_t semi = rest.find(';');
      std::string value = semi == std::string::npos ? rest : rest.substr(0, semi);
      TXMLNode* constant = p_.Tree().AddNode(constants, std::string(Trim(name)));
      p_.AddLeaf(constant, elem::kConstValue, std::move(value));
      p_.AddLeaf(constant, elem::kConstComment, std::move(comment));
    }
    ++i;
    if (i > p_.Lines().Last()) return false;
    line = p_.Lines().TrimmedAt(i);
  }
  --i;
  return true;
}

}  // namespace glossator
