// Fuzz target: arbitrary bytes as a unit and its include files, through the Pascal reader and
// the JSON export.
//
// Input layout: the first byte holds the reader's options, the rest is the unit's text, split at
// each kSeparator byte into the unit ("src/u.pas") and the include files "src/a.inc" and
// "inc/B.inc" (the unit can reach them as {$I a}, {$I b.inc} with -I inc, and so on).
//
//   bit 0   comments: CommentMode::kAny (else kDocOnly)
//   bit 1   Delphi's built-in symbols (else FPC's)
//   bit 2   -D FUZZ -D LEVEL=3
//
// What a read must give: no exception and no crash; warnings that name a file, a line and a
// text; items and enumeration values on lines of the file they name; a unit or the reason it is
// none; and a JSON export that is well-formed UTF-8 JSON without raw control characters.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "fuzz_support.h"
#include "html/json_export.h"
#include "parser/pascal/pascal_reader.h"

namespace {

using namespace glossator;

constexpr char kSeparator = '\x1e';

[[noreturn]] void Fault(const std::string& what) { fuzz_support::Fault("fuzz_reader", what); }

// The include files, in memory; folders are what paths hold before their last "/".
class MemoryFiles : public FileSystem {
 public:
  std::map<std::string, std::string> files;

  bool ReadFile(const std::string& path, std::string& bytes) override {
    auto found = files.find(path);
    bytes = found == files.end() ? std::string() : found->second;
    return found != files.end();
  }
  FileKind KindOf(const std::string& path) override {
    return files.count(path) != 0 ? FileKind::kRegular : FileKind::kMissing;
  }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    std::string folder = path == "." ? "" : path;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    std::vector<FolderEntry> entries;
    for (const auto& [name, bytes] : files) {
      if (name.size() > folder.size() && name.compare(0, folder.size(), folder) == 0 &&
          name.find('/', folder.size()) == std::string::npos) {
        entries.push_back({name.substr(folder.size()), FileKind::kRegular});
      }
    }
    return entries;
  }
  bool WriteFile(const std::string&, std::string_view) override { Fault("the reader wrote"); }
  void MakeFolders(const std::string&) override { Fault("the reader made a folder"); }
  bool CopyFile(const std::string&, const std::string&) override { Fault("the reader copied"); }
  bool SameFile(const std::string& a, const std::string& b) override { return a == b; }
  void RemoveStaleTemporaries(const std::string&) override {}
};

int LineCount(std::string_view text) {
  int lines = 1;
  for (char c : text) lines += c == '\n';
  return lines;
}

// A strict JSON reader that only says whether the text is one well-formed value.
class JsonCheck {
 public:
  explicit JsonCheck(std::string_view text) : text_(text) {}
  bool Valid() {
    if (!Value(0)) return false;
    Blanks();
    return at_ == text_.size();
  }

 private:
  void Blanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n')) ++at_;
  }
  bool Eat(char c) {
    Blanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool Value(int depth) {
    if (depth > 200) return false;
    Blanks();
    if (at_ >= text_.size()) return false;
    char c = text_[at_];
    if (c == '{') return Sequence('}', depth, true);
    if (c == '[') return Sequence(']', depth, false);
    if (c == '"') return String();
    if (text_.compare(at_, 4, "true") == 0) return (at_ += 4, true);
    size_t start = at_;
    while (at_ < text_.size() &&
           (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '-')) {
      ++at_;
    }
    return at_ > start;
  }
  bool Sequence(char close, int depth, bool object) {
    ++at_;
    if (Eat(close)) return true;
    do {
      if (object && !(Blanks(), String() && Eat(':'))) return false;
      if (!Value(depth + 1)) return false;
    } while (Eat(','));
    return Eat(close);
  }
  bool String() {
    if (at_ >= text_.size() || text_[at_] != '"') return false;
    for (++at_; at_ < text_.size(); ++at_) {
      unsigned char c = static_cast<unsigned char>(text_[at_]);
      if (c < 0x20) return false;
      if (c == '"') return (++at_, true);
      if (c == '\\') {
        ++at_;
        if (at_ >= text_.size()) return false;
        if (text_[at_] == 'u') {
          if (at_ + 4 >= text_.size()) return false;
          at_ += 4;
        } else if (text_[at_] != '"' && text_[at_] != '\\') {
          return false;
        }
      }
    }
    return false;
  }
  std::string_view text_;
  size_t at_ = 0;
};

// Whether the text is valid UTF-8 (the export writes nothing else).
bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

void CheckItems(const std::vector<DocItem>& items, const std::map<std::string, int>& lines,
                int depth) {
  if (depth > 100) Fault("items nested deeper than the parser allows");
  for (const DocItem& item : items) {
    auto file = lines.find(item.file);
    if (file == lines.end()) Fault("an item in an unknown file: " + item.file);
    if (item.line < 1 || item.line > file->second) Fault("an item on a line outside its file");
    if (item.name.empty()) Fault("an item without a name");
    for (const EnumValue& value : item.values) {
      if (value.line < 1 || value.line > file->second) Fault("a value outside its file");
    }
    CheckItems(item.members, lines, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t options_byte = data[0];
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  static const char* const kIncludes[] = {"src/a.inc", "inc/B.inc"};
  MemoryFiles files;
  std::map<std::string, int> lines;
  std::string_view unit = text.substr(0, text.find(kSeparator));
  lines["src/u.pas"] = LineCount(unit);
  size_t at = text.find(kSeparator);
  for (const char* include : kIncludes) {
    if (at == std::string_view::npos) break;
    size_t next = text.find(kSeparator, at + 1);
    std::string_view part =
        text.substr(at + 1, next == std::string_view::npos ? next : next - at - 1);
    files.files[include] = std::string(part);
    lines[include] = LineCount(part);
    at = next;
  }

  ReaderOptions options;
  if (options_byte & 1) options.comments = CommentMode::kAny;
  if (options_byte & 2) options.compiler = CompilerMode::kDelphi;
  if (options_byte & 4) options.defines = {"FUZZ", "LEVEL=3"};
  options.include_dirs = {"inc"};

  ReadResult result;
  try {
    result = ReadPascalUnit("src/u.pas", unit, options, files);
  } catch (const std::exception& error) {
    Fault(std::string("the reader threw: ") + error.what());
  }
  for (const Warning& warning : result.warnings) {
    if (lines.count(warning.file) == 0 || warning.text.empty() || warning.kind.empty()) {
      Fault("a warning without a known file, kind or text: " + FormatWarning(warning));
    }
    if (warning.line < 1 || warning.line > lines[warning.file]) Fault("a warning off its file");
  }
  if (result.unit.has_value() == !result.not_a_unit.empty()) Fault("unit and reason disagree");
  std::vector<DocUnit> units;
  if (result.unit) {
    if (result.unit->name.empty()) Fault("a unit without a name");
    CheckItems(result.unit->items, lines, 0);
    units.push_back(std::move(*result.unit));
  }
  const std::string json = UnitsToJson(units);
  if (!IsUtf8(json)) Fault("the export is no UTF-8");
  if (!JsonCheck(json).Valid()) Fault("the export is no well-formed JSON");
  return 0;
}
