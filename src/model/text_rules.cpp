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

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

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

bool ContainsNoCase(std::string_view text, std::string_view part) {
  if (part.empty()) return false;
  return std::search(text.begin(), text.end(), part.begin(), part.end(), EqualNoCase) != text.end();
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

std::string FileNameOf(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DirectoryOf(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace glossator
