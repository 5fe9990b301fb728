#include "app/selection_file.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/ini_file.h"
#include "html/selection.h"
#include "base/text_file.h"
#include "model/text_rules.h"

namespace glossator {

namespace {

constexpr std::string_view kFiles = "FILES";
constexpr std::string_view kSetup = "SETUP";
constexpr std::string_view kFileKey = "File";

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) {
  return IsDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The number of a "File<n>" key, as its digits, or empty for any other key. Only the form this
// program writes counts: "File" in any letter case, then decimal digits without leading zeros.
// "File01" is not entry 1 (a key looked up as "File1" would not find it either). The digits are
// kept as text, so any length works and nothing can overflow.
//
//   "File12" => "12"    "FILE0" => "0"    "File01" => ""    "File" => ""    "Files1" => ""
std::string_view FileNumber(std::string_view key) {
  if (key.size() <= kFileKey.size() || !StartsWithNoCase(key, kFileKey)) return {};
  std::string_view digits = key.substr(kFileKey.size());
  if (!std::all_of(digits.begin(), digits.end(), IsDecimalDigit)) return {};
  if (digits.size() > 1 && digits.front() == '0') return {};
  return digits;
}

// Digit strings without leading zeros order as their numbers do: shorter first, then by text.
bool NumberLess(std::string_view a, std::string_view b) {
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// The list, by key number. The INI layer gives each key once (its first occurrence), and equal
// numbers make equal keys, so every number appears at most once here.
std::vector<std::string> ReadFileList(const IniFile& ini) {
  std::vector<std::pair<std::string, std::string>> keys = ini.ReadSectionValues(kFiles);
  std::vector<std::pair<std::string_view, std::string*>> numbered;
  for (auto& [key, value] : keys) {
    std::string_view number = FileNumber(key);
    if (!number.empty() && !value.empty()) numbered.emplace_back(number, &value);
  }
  std::sort(numbered.begin(), numbered.end(),
            [](const auto& a, const auto& b) { return NumberLess(a.first, b.first); });
  std::vector<std::string> files;
  files.reserve(numbered.size());
  for (auto& entry : numbered) files.push_back(std::move(*entry.second));
  return files;
}

const char* FlagText(bool flag) { return flag ? "1" : "0"; }

}  // namespace

std::vector<Warning> SelectionKeyWarnings(const std::string& path) {
  std::vector<Warning> warnings;
  std::string bytes;
  if (!ReadRegularFile(path, bytes)) return warnings;
  std::string_view text = bytes;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  std::string section;  // lower-cased; empty before the first header
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, int>>>> seen;
  std::vector<std::pair<std::string, int>>* keys = nullptr;  // the keys of `section` so far
  auto warn = [&](int line, std::string message) {
    warnings.push_back({path, line, "selection-key", std::move(message), {}});
  };
  int line_number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == text.npos) end = text.size();
    std::string_view line = Trim(text.substr(start, end - start));
    ++line_number;
    // CR LF is one line end; a lone CR or LF is one as well.
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') {
      ++start;
    }
    if (line.empty()) continue;
    if (line.front() == '[' && line.find(']') != line.npos) {
      section = ToLowerAscii(Trim(line.substr(1, line.find(']') - 1)));
      auto it = std::find_if(seen.begin(), seen.end(),
                             [&](const auto& entry) { return entry.first == section; });
      if (it == seen.end()) it = seen.insert(seen.end(), {section, {}});
      keys = &it->second;
      continue;
    }
    size_t equals = line.find('=');
    if (keys == nullptr || line.front() == ';' || equals == line.npos) continue;
    std::string key(Trim(line.substr(0, equals)));
    if (key.empty()) continue;
    std::string lower = ToLowerAscii(key);
    auto earlier = std::find_if(keys->begin(), keys->end(),
                                [&](const auto& entry) { return entry.first == lower; });
    if (earlier != keys->end()) {
      warn(line_number, "key '" + key + "' ignored: it is given before, on line " +
                            std::to_string(earlier->second));
      continue;
    }
    keys->emplace_back(lower, line_number);
    if (section == "files") {
      if (FileNumber(key).empty()) {
        warn(line_number, "key '" + key + "' in [FILES] ignored: the files are listed as File0, " +
                              "File1, ... (no leading zeros)");
      } else if (Trim(line.substr(equals + 1)).empty()) {
        warn(line_number, "key '" + key + "' ignored: it names no file");
      }
    } else if (section == "setup") {
      static const char* const kKnown[] = {"outputdir", "descriptfile", "menubarfile",
                                           "parseprivate", "debugmode"};
      if (std::find(std::begin(kKnown), std::end(kKnown), lower) == std::end(kKnown)) {
        warn(line_number, "key '" + key + "' in [SETUP] ignored: the settings are OutputDir, " +
                              "DescriptFile, MenubarFile, ParsePrivate and DebugMode");
      }
    }
  }
  return warnings;
}

void SaveSelection(const std::string& path, const Selection& selection) {
  IniFile ini(path);
  ini.EraseSection(kFiles);
  std::string key(kFileKey);
  for (size_t i = 0; i < selection.files.size(); ++i) {
    key.resize(kFileKey.size());
    key += std::to_string(i);
    ini.WriteString(kFiles, key, selection.files[i]);
  }
  ini.WriteString(kSetup, "OutputDir", selection.out_dir);
  ini.WriteString(kSetup, "DescriptFile", selection.desc_file);
  ini.WriteString(kSetup, "MenubarFile", selection.menubar_file);
  ini.WriteString(kSetup, "ParsePrivate", FlagText(selection.parse_private));
  ini.WriteString(kSetup, "DebugMode", FlagText(selection.debug_mode));
  ini.Save();
}

void LoadSelection(const std::string& path, Selection& selection) {
  IniFile ini(path);
  selection.files = ReadFileList(ini);
  selection.out_dir = ini.ReadString(kSetup, "OutputDir");
  selection.desc_file = ini.ReadString(kSetup, "DescriptFile");
  selection.menubar_file = ini.ReadString(kSetup, "MenubarFile");
  selection.parse_private = ReadProfileBool(ini.ReadString(kSetup, "ParsePrivate"));
  selection.debug_mode = ReadProfileBool(ini.ReadString(kSetup, "DebugMode"));
}

bool ReadProfileBool(std::string_view value) {
  size_t i = 0;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) ++i;
  bool hex = false;
  if (value.substr(i, 1) == "$") {
    hex = true;
    i += 1;
  } else if (value.substr(i, 2) == "0x" || value.substr(i, 2) == "0X") {
    hex = true;
    i += 2;
  }
  if (i == value.size()) return false;
  bool nonzero = false;
  for (; i < value.size(); ++i) {
    char c = value[i];
    if (!(hex ? IsHexDigit(c) : IsDecimalDigit(c))) return false;
    nonzero = nonzero || c != '0';
  }
  return nonzero;
}

}  // namespace glossator
