#ifndef GLOSSATOR_MODEL_TEXT_FILE_H_
#define GLOSSATOR_MODEL_TEXT_FILE_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace glossator {

// Writes one text file line by line, each line ending in CR LF, so that a failure never costs
// what was on disk before:
// - a new file is written under its own name and removed again if the write fails;
// - an existing file is replaced only once the whole new text is written: the text goes to a
//   temporary file beside it that is renamed over it on Close(). When the existing file already
//   holds exactly the new text it is left as it is;
// - a target that is not a regular file (a device such as /dev/null) is written in place; a
//   named pipe without a reader cannot be created.
// Errors throw FileCreateError or FileWriteError naming the target.
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

  const std::string& Path() const { return path_; }

 private:
  enum class Mode { kNew, kReplace, kInPlace };
  void Flush();
  void Discard();
  void WriteOut(std::FILE* file, const std::string& target);
  bool ExistingFileHolds(const std::string& text) const;

  std::string path_;
  Mode mode_ = Mode::kNew;
  long long existing_size_ = 0;
  std::FILE* file_ = nullptr;  // open while writing a new file or in place
  std::string buffer_;
  bool closed_ = false;
};

// Copies a regular file byte for byte, replacing the target the same way. Returns false when the
// copy could not be made (or `from` is no regular file); the target is then left as it was.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Writes `bytes` as the whole content of `path`, replacing it the same way.
void WriteWholeFile(const std::string& path, std::string_view bytes);

// Replaces `bytes` with the whole content of a regular file (its memory is reused). Returns
// false, with `bytes` empty, when the file cannot be opened or read or is no regular file.
// Opening never waits: a named pipe that nobody writes to is refused at once, and a device such
// as /dev/zero is never read, since it would fill the memory.
bool ReadRegularFile(const std::string& path, std::string& bytes);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_TEXT_FILE_H_
