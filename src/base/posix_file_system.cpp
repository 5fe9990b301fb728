// The POSIX implementation of the file system interface.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/errors.h"
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
  bool WriteFile(const std::string& path, std::string_view bytes) override {
    return WriteWholeFile(path, bytes);
  }
  void MakeFolders(const std::string& path) override;
  bool CopyFile(const std::string& from, const std::string& to) override {
    return CopyFileReplacing(from, to);
  }
  bool SameFile(const std::string& a, const std::string& b) override;
  void RemoveStaleTemporaries(const std::string& folder) override {
    glossator::RemoveStaleTemporaries(folder);
  }
};

void PosixFileSystem::MakeFolders(const std::string& path) {
  // Each folder of the path from the top down; one that exists already is passed over.
  for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    std::string folder = path.substr(0, end);
    if (!folder.empty() && mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      throw FileCreateError(folder, std::strerror(errno));
    }
    if (end == std::string::npos) break;
  }
  if (KindOf(path) != FileKind::kDirectory) throw FileCreateError(path, std::strerror(ENOTDIR));
}

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
    // The folder says what most entries are; links and file systems that do not say are
    // looked at, links followed.
    FileKind kind = entry->d_type == DT_REG                                  ? FileKind::kRegular
                    : entry->d_type == DT_DIR                                ? FileKind::kDirectory
                    : entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN ? KindOf(base + name)
                                                                             : FileKind::kOther;
    entries.push_back({std::move(name), kind});
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
