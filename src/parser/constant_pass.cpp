// The constant pass: the const sections of the interface part.
#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "parser/cGlossator.h"

namespace glossator {

namespace {

// Lines that keep a const section going besides declarations: blank lines and comment lines.
bool ContinuesSection(std::string_view line) {
  return Contains(line, '=') || line.empty() ||
         PosOfAny({"{", "//", "(*", "}", "*)"}, line, false) > 0;
}

}  // namespace

void TGlosParser::ParseConstants(TXMLNode* constants) {
  int i = FindLine("unit", 0) + 1;
  if (i > lines_.Last()) return;
  std::string_view line = lines_.TrimmedAt(i);
  bool implementation = false;
  while (!StartsWith(line, "end.") && !implementation) {
    if (StartsWith(line, "implementation")) implementation = true;
    if (!SkipClassBody(i, line)) return;
    if (StartsWithNoCase(line, "const")) {
      if (!ReadConstSection(constants, i)) return;
    }
    ++i;
    if (i > lines_.Last()) return;
    line = lines_.TrimmedAt(i);
  }
}

// Reads the section whose "const" line is i and leaves i on the line before the one that ended
// it, so that the scan examines that line again. Returns false at the end of the file.
bool TGlosParser::ReadConstSection(TXMLNode* constants, int& i) {
  ++i;
  if (i > lines_.Last()) return false;
  std::string_view line = lines_.TrimmedAt(i);
  while (ContinuesSection(line)) {
    if (Contains(line, '=')) {
      std::string comment = CommentAbove(i);
      auto [name, rest] = SplitAt(line, "=");
      // The blank after "=" stays part of the value; no ";" means the whole rest.
      size_t semi = rest.find(';');
      std::string value = semi == std::string::npos ? rest : rest.substr(0, semi);
      TXMLNode* constant = tree_->AddNode(constants, std::string(Trim(name)));
      AddLeaf(constant, elem::kConstValue, std::move(value));
      AddLeaf(constant, elem::kConstComment, std::move(comment));
    }
    ++i;
    if (i > lines_.Last()) return false;
    line = lines_.TrimmedAt(i);
  }
  --i;
  return true;
}

}  // namespace glossator
