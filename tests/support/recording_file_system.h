#ifndef GLOSSATOR_TESTS_SUPPORT_RECORDING_FILE_SYSTEM_H_
#define GLOSSATOR_TESTS_SUPPORT_RECORDING_FILE_SYSTEM_H_

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/file_system.h"

namespace glossator {

// A file system that reads from the machine's but keeps every write in memory, in order, so
// that a test can check which files a run writes, in which order and with which bytes. A file
// written here reads back as written.
class RecordingFileSystem : public FileSystem {
 public:
  bool ReadFile(const std::string& path, std::string& bytes) override {
    auto written = files_.find(path);
    if (written == files_.end()) return SystemFileSystem().ReadFile(path, bytes);
    bytes = written->second;
    return true;
  }
  FileKind KindOf(const std::string& path) override {
    return files_.count(path) != 0 ? FileKind::kRegular : SystemFileSystem().KindOf(path);
  }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    return SystemFileSystem().ListFolder(path);
  }
  bool WriteFile(const std::string& path, std::string_view bytes) override {
    writes_.emplace_back(path, std::string(bytes));
    auto [it, added] = files_.try_emplace(path, bytes);
    if (!added && it->second == bytes) return false;
    it->second = std::string(bytes);
    return true;
  }
  void MakeFolders(const std::string& path) override { made_folders_.push_back(path); }
  bool CopyFile(const std::string& from, const std::string& to) override {
    std::string bytes;
    if (!ReadFile(from, bytes)) return false;
    WriteFile(to, bytes);
    return true;
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return a == b || SystemFileSystem().SameFile(a, b);
  }
  void RemoveStaleTemporaries(const std::string& folder) override { cleaned_.push_back(folder); }

  // Every write: path and bytes, in the order they were made.
  const std::vector<std::pair<std::string, std::string>>& Writes() const { return writes_; }
  // The folders cleaned of stale temporaries.
  const std::vector<std::string>& Cleaned() const { return cleaned_; }
  // The folders MakeFolders was asked for.
  const std::vector<std::string>& MadeFolders() const { return made_folders_; }

 private:
  std::vector<std::pair<std::string, std::string>> writes_;
  std::map<std::string, std::string> files_;
  std::vector<std::string> cleaned_;
  std::vector<std::string> made_folders_;
};

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SUPPORT_RECORDING_FILE_SYSTEM_H_
