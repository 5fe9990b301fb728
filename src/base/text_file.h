#ifndef GLOSSATOR_BASE_TEXT_FILE_H_
#define GLOSSATOR_BASE_TEXT_FILE_H_

#include <string>
#include <string_view>

namespace glossator {

// Files are written so that a failure never costs what was on disk before, and so that no write
// ever goes through a link or into a device:
// - a name that is free is created as a new file (O_CREAT | O_EXCL | O_NOFOLLOW) and removed
//   again if the write fails;
// - a name that is taken (by a file, a link, a pipe, a device) is replaced only once the whole
//   new content is written: it goes to a temporary file in the same folder that is renamed over
//   the name, which replaces a link itself. When the name is a regular file (not a link) that
//   already holds exactly the new content, it is left as it is;
// - a folder under the name is refused.
// Temporary files are named ".glossator-XXXXXX.tmp" and locked (flock) while they are written,
// so that RemoveStaleTemporaries can tell those of a run that died from those in use.
// Errors throw FileCreateError or FileWriteError naming the target.

// Writes one text file line by line, each line ending in CR LF. A new file is written as the
// lines come; a replaced one is collected first.
class TextFileWriter {
 public:
  explicit TextFileWriter(std::string path);
  ~TextFileWriter();
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  void WriteLine(std::string_view line);
  // Writes bytes as they are, with no line end.
  void Write(std::string_view bytes);
  void Close();

 private:
  void Flush();
  void Discard();

  std::string path_;
  int fd_ = -1;  // open while writing a new file
  std::string buffer_;
  bool closed_ = false;
};

// Copies a regular file byte for byte, in chunks (memory stays the same whatever its size),
// replacing the target as above. Returns false when the copy could not be made (or `from` is no
// regular file); the target is then left as it was.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Writes `bytes` as the whole content of `path`, replacing it as above. Returns false when the
// path already held exactly these bytes.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Removes from `folder` the temporary files that runs which died left behind: names of the
// temporary pattern, regular files, older than this call, that no process holds locked.
// Nothing else is touched.
void RemoveStaleTemporaries(const std::string& folder);

// Replaces `bytes` with the whole content of a regular file (its memory is reused). Returns
// false, with `bytes` empty, when the file cannot be opened or read or is no regular file.
// Opening never waits: a named pipe that nobody writes to is refused at once, and a device such
// as /dev/zero is never read, since it would fill the memory.
bool ReadRegularFile(const std::string& path, std::string& bytes);

}  // namespace glossator

#endif  // GLOSSATOR_BASE_TEXT_FILE_H_
