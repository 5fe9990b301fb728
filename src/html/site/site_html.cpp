#include "html/site/site_html.h"

#include <charconv>

namespace glossator {

void AppendText(std::string& out, std::string_view text) {
  // Copies the runs between the bytes that need an entity as a whole.
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
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
