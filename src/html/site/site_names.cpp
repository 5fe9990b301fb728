#include "html/site/site_names.h"

#include <algorithm>
#include <array>

#include "model/text_rules.h"

namespace glossator {
namespace {

// Stems longer than this are cut; with the unit's stem in front and "-N.html" behind, a file
// name stays well below the 255 bytes that file systems allow.
constexpr size_t kMaxStem = 120;

bool IsNameByte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Device names that Windows refuses as file names whatever the extension.
bool IsDeviceName(std::string_view stem) {
  static constexpr std::array<std::string_view, 22> kDevices = {
      "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
      "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};
  std::string first = ToLowerAscii(stem.substr(0, stem.find('.')));
  for (std::string_view device : kDevices) {
    if (first == device) return true;
  }
  return false;
}

}  // namespace

std::string FileStem(std::string_view name) {
  std::string stem;
  stem.reserve(name.size());
  bool replacing = false;
  for (char c : name.substr(0, kMaxStem)) {
    bool kept = IsNameByte(c) || c == '.';
    // A run of other bytes (", " between type parameters, a character of UTF-8) is one "_".
    if (kept) {
      stem += c;
    } else if (!replacing) {
      stem += '_';
    }
    replacing = !kept;
  }
  // A "_" written for bytes at the end goes; one of the name stays.
  if (replacing) stem.pop_back();
  // Inserted as a character: GCC 12 warns falsely (-Wrestrict) on inserting the text "_".
  if (stem.empty() || stem[0] == '.') stem.insert(stem.begin(), '_');
  if (stem.back() == '.' || IsDeviceName(stem)) stem += '_';
  return stem;
}

void AppendAnchorStem(std::string& out, std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  // Most names are their own stem: one copy, no byte-by-byte append.
  if (IsAnchorStem(name)) {
    out.append(name);
    return;
  }
  std::string_view base = name.substr(0, std::min(name.find('<'), kMaxStem));
  size_t start = out.size();
  bool any_name_byte = false;
  for (char c : base) {
    any_name_byte = any_name_byte || IsNameByte(c);
    out += IsNameByte(c) ? c : '_';
  }
  if (any_name_byte) return;
  out.resize(start);
  out.append("op");
  for (char c : name.substr(0, kMaxStem / 2)) {
    unsigned char byte = static_cast<unsigned char>(c);
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
  }
}

std::string AnchorStem(std::string_view name) {
  std::string stem;
  AppendAnchorStem(stem, name);
  return stem;
}

bool IsAnchorStem(std::string_view name) {
  if (name.empty() || name.size() > kMaxStem) return false;
  for (char c : name) {
    if (!IsNameByte(c)) return false;
  }
  return true;
}

std::string UniqueNames::Take(std::string_view stem, std::string_view extension) {
  std::string name = std::string(stem).append(extension);
  std::string key = ToLowerAscii(name);
  if (taken_.insert(key).second) return name;
  // The counter remembers where the last search for this name ended, so that n equal names
  // cost n tries in all rather than n * n / 2.
  int& next = next_suffix_.try_emplace(key, 2).first->second;
  for (;; ++next) {
    std::string numbered = std::string(stem) + "-" + std::to_string(next);
    numbered.append(extension);
    if (taken_.insert(ToLowerAscii(numbered)).second) {
      ++next;
      return numbered;
    }
  }
}

bool UniqueNames::Taken(std::string_view name) const {
  return taken_.count(ToLowerAscii(name)) > 0;
}

void UniqueNames::Clear() {
  taken_.clear();
  next_suffix_.clear();
}

}  // namespace glossator
