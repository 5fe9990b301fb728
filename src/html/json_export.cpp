#include "html/json_export.h"

#include <cstdint>

namespace glossator {
namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F; the five unassigned bytes keep their
// own code point.
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The length of the valid UTF-8 sequence at text[at] (a byte of 0x80 or above), 0 when there is
// none: overlong forms, surrogates and code points above U+10FFFF are not valid.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (byte(at + k) < 0x80 || byte(at + k) > 0xBF) return 0;
  }
  return length;
}

void AppendKey(std::string& out, std::string_view key) {
  out += '"';
  out.append(key);
  out += "\":";
}

void AppendString(std::string& out, std::string_view key, std::string_view value) {
  out += ',';
  AppendKey(out, key);
  AppendJsonString(out, value);
}

void AppendOptional(std::string& out, std::string_view key, std::string_view value) {
  if (!value.empty()) AppendString(out, key, value);
}

void AppendStrings(std::string& out, std::string_view key, const std::vector<std::string>& list) {
  out += ',';
  AppendKey(out, key);
  out += '[';
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) out += ',';
    AppendJsonString(out, list[i]);
  }
  out += ']';
}

void AppendHints(std::string& out, const Hints& hints) {
  if (!hints.Any()) return;
  out += ",\"hints\":{";
  bool first = true;
  auto flag = [&](std::string_view key, bool on) {
    if (!on) return;
    if (!first) out += ',';
    first = false;
    AppendKey(out, key);
    out += "true";
  };
  flag("deprecated", hints.deprecated);
  if (hints.deprecated && !hints.deprecated_message.empty()) {
    AppendString(out, "deprecatedMessage", hints.deprecated_message);
  }
  flag("platform", hints.platform);
  flag("experimental", hints.experimental);
  flag("library", hints.library);
  out += '}';
}

void AppendValues(std::string& out, const std::vector<EnumValue>& values) {
  if (values.empty()) return;
  out += ",\"values\":[";
  for (size_t i = 0; i < values.size(); ++i) {
    const EnumValue& value = values[i];
    if (i > 0) out += ',';
    out += "{\"name\":";
    AppendJsonString(out, value.name);
    AppendOptional(out, "ordinal", value.ordinal);
    AppendOptional(out, "comment", value.comment);
    out += ",\"line\":" + std::to_string(value.line) + "}";
  }
  out += ']';
}

void AppendItem(std::string& out, const DocItem& item) {
  out += "{\"kind\":";
  AppendJsonString(out, KindName(item.kind));
  AppendString(out, "name", item.name);
  out += ",\"line\":" + std::to_string(item.line);
  AppendString(out, "file", item.file);
  AppendString(out, "declaration", item.declaration);
  AppendString(out, "comment", item.comment);
  AppendOptional(out, "visibility", item.visibility);
  AppendOptional(out, "type", item.type);
  AppendOptional(out, "value", item.value);
  AppendOptional(out, "longComment", item.long_comment);
  AppendHints(out, item.hints);
  if (item.class_member) out += ",\"classMember\":true";
  if (item.forward) out += ",\"forward\":true";
  if (!item.ancestors.empty()) AppendStrings(out, "ancestors", item.ancestors);
  AppendValues(out, item.values);
  if (!item.members.empty()) {
    out += ",\"members\":[";
    for (size_t i = 0; i < item.members.size(); ++i) {
      if (i > 0) out += ',';
      AppendItem(out, item.members[i]);
    }
    out += ']';
  }
  out += '}';
}

void AppendUnit(std::string& out, const DocUnit& unit) {
  out += "{\"name\":";
  AppendJsonString(out, unit.name);
  AppendString(out, "file", unit.file);
  out += ",\"line\":" + std::to_string(unit.line);
  AppendString(out, "comment", unit.comment);
  AppendStrings(out, "uses", unit.uses);
  AppendHints(out, unit.hints);
  out += ",\"items\":[";
  for (size_t i = 0; i < unit.items.size(); ++i) {
    if (i > 0) out += ',';
    AppendItem(out, unit.items[i]);
  }
  out += "]}";
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c < 0x20) {
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 15];
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    const size_t length = Utf8Length(text, i);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      AppendUtf8(out, c < 0xA0 ? kWindows1252[c - 0x80] : c);
      ++i;
    }
  }
  out += '"';
}

std::string UnitsToJson(const std::vector<DocUnit>& units) {
  std::string out = "{\"units\":[";
  for (size_t i = 0; i < units.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    AppendUnit(out, units[i]);
  }
  out += "\n]}\n";
  return out;
}

}  // namespace glossator
