#ifndef GLOSSATOR_TESTS_PASCAL_READER_SUPPORT_H_
#define GLOSSATOR_TESTS_PASCAL_READER_SUPPORT_H_

// What the Pascal reader's tests share: an in-memory file system, a one-call read of a unit
// source, and look-ups of items by name.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "parser/pascal/pascal_reader.h"

namespace glossator {

// Files kept in memory, by path; folders are whatever paths have in front of their last "/".
// Counts the reads, so that a test can see which files were opened.
class MemoryFileSystem : public FileSystem {
 public:
  void Add(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }

  bool ReadFile(const std::string& path, std::string& bytes) override {
    auto found = files_.find(path);
    bytes.clear();
    if (found == files_.end()) return false;
    ++reads_[path];
    bytes = found->second;
    return true;
  }
  FileKind KindOf(const std::string& path) override {
    return files_.count(path) != 0 ? FileKind::kRegular : FileKind::kMissing;
  }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    std::string folder = path == "." ? "" : path;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    std::vector<FolderEntry> entries;
    for (const auto& [name, bytes] : files_) {
      if (name.compare(0, folder.size(), folder) != 0) continue;
      std::string rest = name.substr(folder.size());
      if (!rest.empty() && rest.find('/') == std::string::npos) {
        entries.push_back({rest, FileKind::kRegular});
      }
    }
    return entries;
  }
  bool WriteFile(const std::string& path, std::string_view bytes) override {
    files_[path] = std::string(bytes);
    return true;
  }
  void MakeFolders(const std::string&) override {}
  bool CopyFile(const std::string&, const std::string&) override { return false; }
  bool SameFile(const std::string& a, const std::string& b) override { return a == b; }
  void RemoveStaleTemporaries(const std::string&) override {}

  int Reads(const std::string& path) const {
    auto found = reads_.find(path);
    return found == reads_.end() ? 0 : found->second;
  }

 private:
  std::map<std::string, std::string> files_;
  std::map<std::string, int> reads_;
};

// Reads `text` as the file "src/u.pas" of `files`.
inline ReadResult ReadSource(std::string_view text, const ReaderOptions& options = {},
                             FileSystem* files = nullptr) {
  MemoryFileSystem none;
  return ReadPascalUnit("src/u.pas", text, options, files != nullptr ? *files : none);
}

// A unit around an interface part: "unit U; interface <body> implementation end.".
inline std::string UnitWith(std::string_view interface_part,
                            std::string_view implementation_part = "") {
  return "unit U;\ninterface\n" + std::string(interface_part) + "\nimplementation\n" +
         std::string(implementation_part) + "\nend.\n";
}

// The unit's items when the source is a unit (a failed expectation otherwise).
inline std::vector<DocItem> ItemsOf(const ReadResult& result) {
  EXPECT_TRUE(result.unit.has_value()) << result.not_a_unit;
  return result.unit ? result.unit->items : std::vector<DocItem>{};
}

// The first item of that name, or nullptr.
inline const DocItem* Find(const std::vector<DocItem>& items, std::string_view name) {
  for (const DocItem& item : items) {
    if (item.name == name) return &item;
  }
  return nullptr;
}

// "kind name" of each item, in order: a compact picture of what was read.
inline std::vector<std::string> Outline(const std::vector<DocItem>& items) {
  std::vector<std::string> outline;
  for (const DocItem& item : items) {
    outline.push_back(std::string(KindName(item.kind)) + " " + item.name);
  }
  return outline;
}

inline std::vector<std::string> WarningTexts(const ReadResult& result) {
  std::vector<std::string> texts;
  for (const Warning& warning : result.warnings) texts.push_back(FormatWarning(warning));
  return texts;
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_PASCAL_READER_SUPPORT_H_
