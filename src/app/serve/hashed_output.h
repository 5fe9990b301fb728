#ifndef GLOSSATOR_APP_SERVE_HASHED_OUTPUT_H_
#define GLOSSATOR_APP_SERVE_HASHED_OUTPUT_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/file_system.h"

namespace glossator {

// The output of whole runs into one folder, one run after another (the live preview of the frame
// set): a file whose bytes hash as those this object last wrote there is not touched, and the
// files an earlier run wrote that the last one did not are removed afterwards, so that the
// folder holds what a run into an empty folder would write. Reads pass through.
class HashedOutput : public FileSystem {
 public:
  explicit HashedOutput(FileSystem& files) : files_(files) {}

  bool ReadFile(const std::string& path, std::string& bytes) override {
    return files_.ReadFile(path, bytes);
  }
  FileKind KindOf(const std::string& path) override { return files_.KindOf(path); }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    return files_.ListFolder(path);
  }
  // Writes unless the path holds these bytes from this object's last write; returns whether
  // it wrote.
  bool WriteFile(const std::string& path, std::string_view bytes) override;
  void MakeFolders(const std::string& path) override { files_.MakeFolders(path); }
  bool CopyFile(const std::string& from, const std::string& to) override;
  bool SameFile(const std::string& a, const std::string& b) override {
    return files_.SameFile(a, b);
  }
  void RemoveStaleTemporaries(const std::string& folder) override {
    files_.RemoveStaleTemporaries(folder);
  }

  // Starts a run: nothing of it written yet.
  void BeginRun() { run_.clear(), written_.clear(); }
  // Ends a run: removes the files written by earlier runs that this one did not write. Returns
  // the paths written (bytes changed) and removed by the run.
  void EndRun(std::vector<std::string>& written, std::vector<std::string>& removed);

 private:
  FileSystem& files_;
  std::unordered_map<std::string, uint64_t> hashes_;  // every file written, by path
  std::unordered_set<std::string> run_;               // the paths the current run wrote
  std::vector<std::string> written_;                  // those whose bytes changed, in order
};

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_HASHED_OUTPUT_H_
