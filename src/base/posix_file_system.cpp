// The POSIX implementation of the file system interface.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_system.h"
#include "base/text_file.h"

namespace glossator {

namespace {

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kDirectory;
  return FileKind::kOther;
}

class PosixFileSystem : public FileSystem {
 public:
  bool ReadFile(const std::string& path, std::string& bytes) override;
  FileKind KindOf(const std::string& path) override;
  std::vector<FolderEntry> ListFolder(const std::string& path) override;
  void WriteFile(const std::string& path, std::string_view bytes) override {
    WriteWholeFile(path, bytes);
  }
  bool CopyFile(const std::string& from, const std::string& to) override {
    return CopyFileReplacing(from, to);
  }
  bool SameFile(const std::string& a, const std::string& b) override;
  void RemoveStaleTemporaries(const std::string& folder) override {
    glossator::RemoveStaleTemporaries(folder);
  }
};

bool PosixFileSystem::SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool PosixFileSystem::ReadFile(const std::string& path, std::string& bytes) {
  return ReadRegularFile(path, bytes);
}

FileKind PosixFileSystem::KindOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FileKind::kMissing;
  return KindOfMode(st.st_mode);
}

std::vector<FolderEntry> PosixFileSystem::ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return entries;
  std::string base = path.empty() || path.back() == '/' ? path : path + "/";
  while (const dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back({name, KindOf(base + name)});
  }
  closedir(dir);
  return entries;
}

}  // namespace

FileSystem::~FileSystem() = default;

FileSystem& SystemFileSystem() {
  static PosixFileSystem system;
  return system;
}

}  // namespace glossator
