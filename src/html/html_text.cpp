#include "html/html_text.h"

#include <array>

namespace glossator {

namespace {

// Which bytes a link target encodes. Bytes from 0x80 are decided by the caller.
constexpr std::array<bool, 128> kEncodedInLinks = [] {
  std::array<bool, 128> table{};
  for (int c = 0; c <= 0x20; ++c) table[c] = true;
  table[0x7F] = true;
  for (char c : std::string_view("\"#%&'<=>?\\^`{|}")) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

std::string Encode(std::string_view text, bool encode_high) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    bool encoded = c >= 0x80 ? encode_high : kEncodedInLinks[c];
    if (!encoded) {
      out += ch;
      continue;
    }
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
  }
  return out;
}

bool NeedsQuotes(std::string_view name) {
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || std::string_view("\"&'<=>`").find(ch) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

std::string HtmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // Copies the runs between the characters that need an entity as a whole.
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
      default:
        continue;
    }
    out.append(text.data() + start, i - start);
    out.append(entity);
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
  return out;
}

std::string PageFileName(std::string_view name) {
  std::string file(name);
  file += ".html";
  return file;
}

std::string LinkTarget(std::string_view file_part) { return Encode(file_part, true); }

std::string LinkFragment(std::string_view fragment) { return Encode(fragment, false); }

std::string AnchorName(std::string_view name) {
  if (!NeedsQuotes(name)) return std::string(name);
  std::string out = "\"";
  for (char c : name) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '"') {
      out += "&quot;";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace glossator
