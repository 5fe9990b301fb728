#include "app/selection_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "app/ini_file.h"
#include "base/errors.h"
#include "base/text_file.h"
#include "html/selection.h"
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

constexpr const char* kSetupKeys[] = {"OutputDir", "DescriptFile", "MenubarFile", "ParsePrivate",
                                      "DebugMode", "Reader",       "Style"};
constexpr std::string_view kSetupKeyList =
    "OutputDir, DescriptFile, MenubarFile, ParsePrivate, DebugMode, Reader and Style";

// "Reader" and "Style": a word of each pair, any letter case; the first word is the default.
constexpr std::string_view kReaders[] = {"lines", "pascal"};
constexpr std::string_view kStyles[] = {"frames", "site"};

// The position of `value` among `words` (0 when it is none of them or empty).
template <size_t N>
size_t WordIndex(std::string_view value, const std::string_view (&words)[N]) {
  for (size_t k = 0; k < N; ++k) {
    if (EqualsNoCase(value, words[k])) return k;
  }
  return 0;
}

template <size_t N>
bool IsWordOf(std::string_view value, const std::string_view (&words)[N]) {
  for (std::string_view word : words) {
    if (EqualsNoCase(value, word)) return true;
  }
  return false;
}

bool IsSetupKey(std::string_view key) {
  for (std::string_view known : kSetupKeys) {
    if (EqualsNoCase(key, known)) return true;
  }
  return false;
}

void ReadInto(const IniFile& ini, Selection& selection);

}  // namespace

namespace {

// The keys of `ini` that LoadSelection passes over, each with its line.
std::vector<Warning> KeyWarnings(const IniFile& ini, const std::string& path) {
  std::vector<Warning> warnings;
  auto warn = [&](int line, std::string message) {
    warnings.push_back({path, line, "selection-key", std::move(message), {}});
  };
  // Sections in the order they first appear, and their keys in file order; the warnings are put
  // in line order afterwards.
  for (const std::string& section : ini.SectionNames()) {
    for (const IniFile::KeyLine& key : ini.KeyLines(section)) {
      if (key.first_line != 0) {
        warn(key.line, "key '" + key.key + "' ignored: it is given before, on line " +
                           std::to_string(key.first_line));
      } else if (section == "files") {
        if (FileNumber(key.key).empty()) {
          warn(key.line, "key '" + key.key + "' in [FILES] ignored: the files are listed as " +
                             "File0, File1, ... (no leading zeros)");
        } else if (key.value.empty()) {
          warn(key.line, "key '" + key.key + "' ignored: it names no file");
        }
      } else if (section == "setup" && !IsSetupKey(key.key)) {
        warn(key.line, "key '" + key.key + "' in [SETUP] ignored: the settings are " +
                           std::string(kSetupKeyList));
      } else if (section == "setup" && EqualsNoCase(key.key, "Reader") && !key.value.empty() &&
                 !IsWordOf(key.value, kReaders)) {
        warn(key.line, "key 'Reader' ignored: the readers are lines and pascal");
      } else if (section == "setup" && EqualsNoCase(key.key, "Style") && !key.value.empty() &&
                 !IsWordOf(key.value, kStyles)) {
        warn(key.line, "key 'Style' ignored: the styles are frames and site");
      }
    }
  }
  std::stable_sort(warnings.begin(), warnings.end(),
                   [](const Warning& a, const Warning& b) { return a.line < b.line; });
  return warnings;
}

}  // namespace

std::vector<Warning> SelectionKeyWarnings(const std::string& path) {
  return KeyWarnings(IniFile(path), path);
}

SelectionFileContents ReadSelectionFile(const std::string& path) {
  if (std::string reason = UnreadableSelection(path); !reason.empty()) {
    throw SelectionFileError("cannot read selection file '" + path + "': " + reason);
  }
  IniFile ini(path);
  SelectionFileContents contents;
  ReadInto(ini, contents.selection);
  contents.warnings = KeyWarnings(ini, path);
  return contents;
}

std::string UnreadableSelection(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::strerror(errno);
  if (S_ISDIR(st.st_mode)) return "it is a folder";
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  std::string bytes;
  if (!ReadRegularFile(path, bytes)) return std::strerror(errno == 0 ? EACCES : errno);
  // A selection file is text; a NUL byte says this is something else (a picture, a program).
  if (bytes.find('\0') != std::string::npos) return "not a text file";
  return "";
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
  // Written only when they are not what a selection file means without them, so that a file
  // saved for the frame set by the line rules keeps the bytes it always had.
  if (selection.reader != ReaderKind::kLines || ini.Find(kSetup, "Reader")) {
    ini.WriteString(kSetup, "Reader", kReaders[selection.reader == ReaderKind::kPascal ? 1 : 0]);
  }
  if (selection.style != OutputStyle::kFrames || ini.Find(kSetup, "Style")) {
    ini.WriteString(kSetup, "Style", kStyles[selection.style == OutputStyle::kSite ? 1 : 0]);
  }
  ini.Save();
}

void LoadSelection(const std::string& path, Selection& selection) {
  ReadInto(IniFile(path), selection);
}

namespace {

void ReadInto(const IniFile& ini, Selection& selection) {
  selection.files = ReadFileList(ini);
  selection.out_dir = ini.ReadString(kSetup, "OutputDir");
  selection.desc_file = ini.ReadString(kSetup, "DescriptFile");
  selection.menubar_file = ini.ReadString(kSetup, "MenubarFile");
  selection.parse_private = ReadProfileBool(ini.ReadString(kSetup, "ParsePrivate"));
  selection.debug_mode = ReadProfileBool(ini.ReadString(kSetup, "DebugMode"));
  selection.reader = WordIndex(ini.ReadString(kSetup, "Reader"), kReaders) == 1
                         ? ReaderKind::kPascal
                         : ReaderKind::kLines;
  selection.style = WordIndex(ini.ReadString(kSetup, "Style"), kStyles) == 1 ? OutputStyle::kSite
                                                                             : OutputStyle::kFrames;
}

}  // namespace

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
