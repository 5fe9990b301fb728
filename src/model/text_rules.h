#ifndef GLOSSATOR_MODEL_TEXT_RULES_H_
#define GLOSSATOR_MODEL_TEXT_RULES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/path_text.h"

namespace glossator {

// The text rules shared by the parser and the page writers. Texts are 8-bit strings in whatever
// code page the sources use; only the ASCII letters ever change case.
//
//   Trim("\t a b \r")             => "a b"     (codes 0 to 32 go at both ends)
//   ToUpperAscii("\xE4x_z")        => "\xE4X_Z" (bytes of 128 and above stay)
//   Contains("abc", "")            => false     (an empty text is never contained)
//   ContainsNoCase("Unit X", "UNIT") => true

inline bool IsTrimmed(unsigned char c) { return c <= 32; }

std::string_view Trim(std::string_view text);

// Inline: the scans call these for nearly every character they read.
inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
// Eight bytes of text with "A".."Z" made lower case, all at once: a byte gets 0x20 added when
// it is at least "A" and at most "Z" (bytes of 0x80 and above stay as they are).
inline uint64_t ToLowerAsciiWord(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  uint64_t low7 = word & ~kHigh;
  uint64_t from_a = low7 + kOnes * (0x80 - 'A');      // high bit: the byte is >= 'A'
  uint64_t past_z = low7 + kOnes * (0x80 - 'Z' - 1);  // high bit: the byte is > 'Z'
  uint64_t upper = from_a & ~past_z & ~word & kHigh;
  return word | (upper >> 2);
}
inline char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

bool Contains(std::string_view text, std::string_view part);
bool Contains(std::string_view text, char c);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
// Case-insensitive for the ASCII letters only.
bool ContainsNoCase(std::string_view text, std::string_view part);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// 1-based position of the first occurrence, 0 when there is none (or `part` is empty).
size_t Pos(std::string_view part, std::string_view text);
// Pos with the ASCII letters compared case-insensitively.
size_t PosNoCase(std::string_view part, std::string_view text);
// Equal texts, the ASCII letters compared case-insensitively.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_TEXT_RULES_H_
