// The unit heading and the unit comment above it.
#include "base/warning.h"
#include "model/text_rules.h"
#include "parser/unit_scan.h"

namespace glossator {

namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

SourceHeading FindSourceHeading(const LineList& lines) {
  // Pascal's comments: { ... } and (* ... *) across lines, // to the end of the line; quoted
  // strings may hold comment marks.
  enum class State { kCode, kBrace, kParenStar } state = State::kCode;
  for (int i = 0; i < lines.Count(); ++i) {
    std::string_view line = lines.At(i);
    // A UTF-8 byte-order mark before the first comment is no code.
    if (i == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    for (size_t k = 0; k < line.size(); ++k) {
      char c = line[k];
      if (state == State::kBrace) {
        if (c == '}') state = State::kCode;
        continue;
      }
      if (state == State::kParenStar) {
        if (c == '*' && k + 1 < line.size() && line[k + 1] == ')') {
          state = State::kCode;
          ++k;
        }
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\f' || c == '\x1a') continue;
      if (c == '{') {
        state = State::kBrace;
      } else if (c == '(' && k + 1 < line.size() && line[k + 1] == '*') {
        state = State::kParenStar;
        ++k;
      } else if (c == '/' && k + 1 < line.size() && line[k + 1] == '/') {
        break;
      } else {
        // The first code of the file: its first word is the heading's keyword, if any.
        size_t end = k;
        while (end < line.size() && IsWordChar(line[end])) ++end;
        std::string word = ToLowerAscii(line.substr(k, end - k));
        if (word == "unit" || word == "program" || word == "library" || word == "package") {
          return {i, word};
        }
        return {i, std::string()};
      }
    }
  }
  return {-1, std::string()};
}

std::string HeadingNote(const SourceHeading& heading) {
  if (heading.keyword == "unit") return "";
  if (heading.keyword.empty()) return "the file has no unit heading";
  return "the file is a " + heading.keyword + ", not a unit";
}

void UnitScan::CheckUnitHeading(const std::string& name, const SourceHeading& heading) {
  int read_from = UnitNameLine();
  if (heading.keyword == "unit" && heading.line == read_from) return;

  Warning warning;
  warning.file = file_;
  if (heading.keyword == "unit") {
    warning.line = read_from + 1;
    warning.kind = "unit-name";
    warning.text = "unit name '" + name + "' read from a line that is not the unit heading; " +
                   "the heading is on line " + std::to_string(heading.line + 1);
  } else {
    if (!heading.keyword.empty()) warning.line = heading.line + 1;
    warning.kind = "not-a-unit";
    warning.text = HeadingNote(heading) + "; its unit name '" + name + "' was read from line " +
                   std::to_string(read_from + 1);
  }
  Warn(warning);
}

int UnitScan::UnitNameLine() const {
  int i = 0;
  while (lines_.IsBlank(i)) ++i;
  return FindLine("unit", SkipComments(i));
}

std::string UnitScan::ReadUnitName() const {
  int h = UnitNameLine();
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

std::string UnitScan::ReadUnitComment() const {
  // Unlike ReadUnitName, blank lines at the top are not passed over first.
  int h = FindLine("unit", 0);
  if (h == 0) return std::string();
  return CommentAbove(h);
}

}  // namespace glossator
