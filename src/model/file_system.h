#ifndef GLOSSATOR_MODEL_FILE_SYSTEM_H_
#define GLOSSATOR_MODEL_FILE_SYSTEM_H_

#include <string>
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
};

// The file system of the machine.
FileSystem& SystemFileSystem();

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_FILE_SYSTEM_H_
