#ifndef GLOSSATOR_PARSER_MEMBER_WORDS_H_
#define GLOSSATOR_PARSER_MEMBER_WORDS_H_

#include <string_view>

#include "model/text_rules.h"

namespace glossator {

// A line that begins with one of "procedure ", "function ", "constructor ", "destructor " or
// "property " (lower case, with the blank) starts a member heading.
inline bool StartsWithMemberWord(std::string_view text) {
  for (std::string_view word :
       {"procedure ", "function ", "constructor ", "destructor ", "property "}) {
    if (StartsWith(text, word)) return true;
  }
  return false;
}

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_MEMBER_WORDS_H_
