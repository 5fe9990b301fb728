#include "model/text_rules.h"

#include <algorithm>

namespace glossator {

std::string_view Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimmed(text[begin])) ++begin;
  while (end > begin && IsTrimmed(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLowerAscii(c);
  return out;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToUpperAscii(c);
  return out;
}

bool Contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != std::string_view::npos;
}

bool Contains(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return !suffix.empty() && text.size() >= suffix.size() &&
         text.substr(text.size() - suffix.size()) == suffix;
}

static bool EqualNoCase(char a, char b) { return ToLowerAscii(a) == ToLowerAscii(b); }

size_t PosNoCase(std::string_view part, std::string_view text) {
  if (part.empty() || part.size() > text.size()) return 0;
  // Most texts hold the first letter of the part in neither case, so look for that first.
  const char lower = ToLowerAscii(part.front());
  const char upper = ToUpperAscii(part.front());
  const size_t last = text.size() - part.size();
  auto rest_matches = [&](size_t at) {
    size_t k = 1;
    while (k < part.size() && EqualNoCase(text[at + k], part[k])) ++k;
    return k == part.size();
  };
  if (lower != upper) {
    // A letter in either case is the lower-case one with bit 0x20 set, and no other byte is.
    for (size_t at = 0; at <= last; ++at) {
      if ((text[at] | 0x20) == lower && rest_matches(at)) return at + 1;
    }
    return 0;
  }
  for (size_t at = 0; at <= last; ++at) {
    if (text[at] == lower && rest_matches(at)) return at + 1;
  }
  return 0;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
  return PosNoCase(part, text) > 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), EqualNoCase);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return !prefix.empty() && text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), EqualNoCase);
}

size_t Pos(std::string_view part, std::string_view text) {
  if (part.empty()) return 0;
  size_t p = text.find(part);
  return p == std::string_view::npos ? 0 : p + 1;
}

}  // namespace glossator
