// The unit heading and the unit comment above it.
#include "model/text_rules.h"
#include "parser/cGlossator.h"

namespace glossator {

std::string TGlosParser::ReadUnitName() const {
  int i = 0;
  while (lines_.IsBlank(i)) ++i;
  int h = FindLine("unit", SkipComments(i));
  std::string name;
  if (Contains(lines_.At(h), ' ')) {
    // "unit Name;" -> everything after the first space of the trimmed line.
    std::string_view heading = lines_.TrimmedAt(h);
    size_t space = heading.find(' ');
    if (space != std::string_view::npos) name = heading.substr(space + 1);
  } else {
    // The keyword alone on its line: the name stands on the next line that is no comment.
    name = lines_.TrimmedAt(SkipComments(h + 1));
  }
  // Drops the last character, normally the ";".
  if (!name.empty()) name.pop_back();
  return name;
}

std::string TGlosParser::ReadUnitComment() const {
  // Unlike ReadUnitName, blank lines at the top are not passed over first.
  int h = FindLine("unit", 0);
  if (h == 0) return std::string();
  return CommentAbove(h);
}

}  // namespace glossator
