#ifndef GLOSSATOR_MODEL_USTRINGFUNC_H_
#define GLOSSATOR_MODEL_USTRINGFUNC_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace glossator {

// String helpers shared by the parser and the page writers. All work on 8-bit text and compare
// case-sensitively.
//
//   SplitAt("a;b;c", ";")      => {"a", "b;c"}
//   SplitAt("abc", ";")        => {"abc", ""}      (no separator: the whole text before)
//   SplitToList("a;;b;", ";")  => {"a", "", "b"}   (no empty piece after a final separator)
//   RemoveChar("a-b-c", '-')   => "abc"

// The part before and the part after the first occurrence of `separator`.
std::pair<std::string, std::string> SplitAt(std::string_view text, std::string_view separator);

// The text before the first occurrence of `part`, or empty when it does not occur (unlike
// SplitAt, which then gives the whole text).
std::string_view BeforeFirst(std::string_view text, std::string_view part);
// The text after the first occurrence of `part`, or empty when it does not occur.
std::string_view AfterFirst(std::string_view text, std::string_view part);

// The pieces between the separators; an empty text gives no piece.
std::vector<std::string> SplitToList(std::string_view text, std::string_view separator);

std::string RemoveChar(std::string_view text, char c);

// Removes the space character (code 32) only; tabs and other blanks stay.
std::string RemoveSpaces(std::string_view text);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_USTRINGFUNC_H_
