#include "html/site/site_html.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace glossator {

namespace {

// Whether any of the eight bytes of `word` is one that needs an entity in HTML text: "&", "<",
// ">" or a double quote. Each is tested for all bytes at once: a byte equal to it leaves a zero
// byte in the exclusive or, which the classic zero-byte test finds.
bool AnyEntityByte(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  uint64_t found = 0;
  for (uint64_t c : {uint64_t{'&'}, uint64_t{'<'}, uint64_t{'>'}, uint64_t{'"'}}) {
    uint64_t x = word ^ (c * kOnes);
    found |= (x - kOnes) & ~x & kHigh;
  }
  return found != 0;
}

}  // namespace

void AppendText(std::string& out, std::string_view text) {
  // Most texts need no entity: they are found so eight bytes at a time and copied whole.
  size_t clean = 0;
  while (clean + 8 <= text.size()) {
    uint64_t word;
    std::memcpy(&word, text.data() + clean, 8);
    if (AnyEntityByte(word)) break;
    clean += 8;
  }
  // Copies the runs between the bytes that need an entity as a whole.
  size_t start = 0;
  for (size_t i = clean; i < text.size(); ++i) {
    std::string_view entity;
    switch (text[i]) {
      case '&':
        entity = "&amp;";
        break;
      case '<':
        entity = "&lt;";
        break;
      case '>':
        entity = "&gt;";
        break;
      case '"':
        entity = "&quot;";
        break;
      default:
        continue;
    }
    out.append(text.data() + start, i - start);
    out.append(entity);
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
}

void AppendUrlPath(std::string& out, std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char ch : path) {
    unsigned char c = static_cast<unsigned char>(ch);
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
}

void AppendNumber(std::string& out, long long number) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, number);
  out.append(digits, result.ptr);
}

}  // namespace glossator
