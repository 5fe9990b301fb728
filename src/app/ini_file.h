#ifndef GLOSSATOR_APP_INI_FILE_H_
#define GLOSSATOR_APP_INI_FILE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace glossator {

// An INI file held in memory, read and written the way the Windows profile functions treat one,
// so that selection files written by hand or by other tools read as their authors expect.
//
// Reading:
//   - lines end in CR LF, LF or a lone CR; a UTF-8 byte-order mark at the start is skipped (and
//     written back);
//   - blanks (codes 0 to 32) around a line, a section name, a key name and a value are dropped;
//   - "[name]" starts a section; text after the first "]" is ignored;
//   - "key=value" is split at the first "="; a value enclosed in one pair of matching quotes
//     (' or ") loses them;
//   - lines starting with ";" are comments; they, blank lines, lines without "=" and lines before
//     the first section are kept as they are but hold no key;
//   - section and key names match without regard to the case of the ASCII letters; of two equal
//     keys the first one counts, also across two sections of the same name.
//
//   " File0 = C:\a.pas "   => key "File0", value "C:\a.pas"
//   "DescriptFile=\" x \"" => value " x "
//   "FILE0=b" after "File0=a" in the same section => ReadString("files", "file0") gives "a"
//
// Writing updates the first key of that name in place, or appends a new key at the end of its
// section (after its last non-blank line), or a new section at the end of the file. Everything
// else keeps its text and its place. The file is written with CR LF line ends.
//
// Loading and saving take time linear in the size of the file; lookups use an index per section.
class IniFile {
 public:
  // Reads `path`. A file that does not exist reads as empty. A file that exists but cannot be
  // read also reads as empty, and Save() then refuses to replace it.
  explicit IniFile(std::string path);

  // Replaces the content with `bytes`, parsed as if read from the file.
  void LoadText(std::string_view bytes);

  // The value of `key` in `section`, or nothing when the key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // The value of `key` in `section`, or `default_value` when the key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value = {}) const;
  // The keys of `section` with their values, in file order, each key once (its first occurrence).
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(
      std::string_view section) const;

  // One key line of a section, in file order, later copies of a key included.
  struct KeyLine {
    std::string key;     // as spelt in the file
    std::string value;   // as read; empty for a later copy
    int line = 0;        // 1-based line in the file; 0 for a key set by WriteString
    int first_line = 0;  // a later copy: the line of the copy that counts; 0 otherwise
  };
  std::vector<KeyLine> KeyLines(std::string_view section) const;
  // The section names, lower-cased, in the order they first appear, each once.
  const std::vector<std::string>& SectionNames() const { return section_order_; }
  // The lines read that are neither blank, a comment, a section header, nor a key inside a
  // section: text that no INI file holds.
  int StrayLines() const { return stray_lines_; }

  // Sets `key` in `section` to `value`, creating the key or the section if needed. A value that
  // would not read back unchanged (blanks at either end, or enclosed in matching quotes) is
  // written enclosed in double quotes.
  // REQUIRES: `section` and `key` are non-empty and trimmed; `section` holds no "]", `key` holds
  // no "=" and does not start with "[" or ";"; none of the three holds a CR or an LF. A text that
  // breaks this cannot be stored, and the call throws GlosError("Unable to write to " + path).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Removes every section named `section` with its header, its keys and its comments.
  void EraseSection(std::string_view section);

  // The whole file as it would be written.
  std::string Text() const;

  // Writes the file. The old file is replaced only once the new one is complete, so a failed
  // write leaves it as it was. A refused write throws GlosError("Unable to write to " + path).
  void Save() const;

 private:
  enum class EntryKind { kText, kKey, kHiddenKey };  // kHiddenKey: a later copy of a key

  // One line inside a section.
  struct Entry {
    std::string line;   // the text written back
    std::string key;    // kKey and kHiddenKey: the trimmed name, as spelt in the file
    std::string value;  // kKey: the value as read
    EntryKind kind = EntryKind::kText;
    int number = 0;  // 1-based line in the file as read; 0 for an entry added later
  };

  // A section header and the lines up to the next one. The first block of a file has no header
  // and holds the lines before the first section.
  struct Block {
    std::string header;  // the header line; empty for the lines before the first section
    std::vector<Entry> entries;
    size_t trailing_blanks = 0;  // blank lines after the last entry, kept behind new keys
    bool erased = false;
  };

  struct KeyRef {
    size_t block;
    size_t entry;
  };

  // All blocks that share one section name, and the first entry of every key among them.
  struct Section {
    std::vector<size_t> blocks;
    std::unordered_map<std::string, KeyRef> keys;  // by lower-cased key name
  };

  void Clear();
  void AddLine(std::string_view raw, int number, Section*& current);
  const Section* FindSection(std::string_view name) const;
  Section& SectionForWriting(std::string_view name);
  [[noreturn]] void ThrowUnableToWrite() const;

  std::string path_;
  bool has_bom_ = false;
  bool unreadable_ = false;
  std::vector<Block> blocks_;
  std::unordered_map<std::string, Section> sections_;  // by lower-cased section name
  std::vector<std::string> section_order_;
  int stray_lines_ = 0;
};

}  // namespace glossator

#endif  // GLOSSATOR_APP_INI_FILE_H_
