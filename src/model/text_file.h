#ifndef GLOSSATOR_MODEL_TEXT_FILE_H_
#define GLOSSATOR_MODEL_TEXT_FILE_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace glossator {

// Writes one text file line by line, each line ending in CR LF, and replaces any earlier file of
// that name only when the whole file has been written: the text goes to a temporary file beside
// it that is renamed over the target on Close(). A failed or abandoned write leaves the earlier
// file as it was. Targets that are not regular files (a device such as /dev/null) are written in
// place. Errors throw FileCreateError or FileWriteError naming the target.
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
  void Flush();
  void Discard();

  std::string path_;
  std::string temp_path_;  // empty when writing in place
  std::FILE* file_ = nullptr;
  std::string buffer_;
};

// Copies a file byte for byte, replacing the target the same way. Returns false when the copy
// could not be made; the target is then left as it was.
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Writes `bytes` as the whole content of `path`, replacing it the same way.
void WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_TEXT_FILE_H_
