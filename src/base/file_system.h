#ifndef GLOSSATOR_BASE_FILE_SYSTEM_H_
#define GLOSSATOR_BASE_FILE_SYSTEM_H_

#include <string>
#include <string_view>
#include <vector>

namespace glossator {

// What a path names, links followed.
enum class FileKind { kMissing, kRegular, kDirectory, kOther };

// One name in a folder.
struct FolderEntry {
  std::string name;  // without the folder
  FileKind kind;     // links followed
};

// Every access of the program to files goes through this interface: one POSIX implementation
// (SystemFileSystem) and, in tests, fakes that keep files in memory and record what was written.
// Paths are texts as the user gave them, "/" between folders; nothing is resolved.
class FileSystem {
 public:
  virtual ~FileSystem();

  // Replaces `bytes` with the whole content of a regular file. Returns false, with `bytes`
  // empty, when the file cannot be opened or read or is no regular file. Never waits: a named
  // pipe that nobody writes to is refused at once, and a device is never read.
  virtual bool ReadFile(const std::string& path, std::string& bytes) = 0;

  virtual FileKind KindOf(const std::string& path) = 0;

  // The entries of a folder (without "." and ".."), in no particular order; empty when it
  // cannot be read.
  virtual std::vector<FolderEntry> ListFolder(const std::string& path) = 0;

  // Gives `path` the bytes as its whole content, never through a link, so that a failure
  // costs nothing that was on disk (text_file.h says how). Returns false when the path already
  // held exactly these bytes (nothing was written). Throws FileCreateError or FileWriteError
  // naming the path.
  virtual bool WriteFile(const std::string& path, std::string_view bytes) = 0;

  // Creates the folder `path` with every missing parent. Throws FileCreateError naming the
  // first folder that could not be made.
  virtual void MakeFolders(const std::string& path) = 0;

  // Copies a regular file the same way, in chunks. Returns false when the copy could not be
  // made; the target is then left as it was.
  virtual bool CopyFile(const std::string& from, const std::string& to) = 0;

  // Whether two paths name the same file (links followed); false when either is missing.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;

  // Removes the temporary files that runs which died left in `folder`.
  virtual void RemoveStaleTemporaries(const std::string& folder) = 0;
};

// The file system of the machine.
FileSystem& SystemFileSystem();

}  // namespace glossator

#endif  // GLOSSATOR_BASE_FILE_SYSTEM_H_
