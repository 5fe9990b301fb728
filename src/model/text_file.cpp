#include "model/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "model/errors.h"

namespace glossator {

namespace {

constexpr size_t kFlushSize = 1 << 20;

mode_t CreationMode() {
  static const mode_t mode = [] {
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TextFileWriter::TextFileWriter(std::string path) : path_(std::move(path)) {
  if (path_.empty() || path_.back() == '/') throw FileCreateError(path_);
  struct stat st;
  bool exists = stat(path_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) throw FileCreateError(path_);
  if (exists && !S_ISREG(st.st_mode)) {
    file_ = std::fopen(path_.c_str(), "wb");
    if (file_ == nullptr) throw FileCreateError(path_);
    return;
  }
  std::string pattern = DirectoryOf(path_) + "." + FileNameOf(path_) + ".XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) throw FileCreateError(path_);
  temp_path_ = pattern;
  fchmod(fd, CreationMode());
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    unlink(temp_path_.c_str());
    throw FileCreateError(path_);
  }
}

TextFileWriter::~TextFileWriter() { Discard(); }

void TextFileWriter::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_path_.empty()) {
    unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

void TextFileWriter::WriteLine(std::string_view line) {
  buffer_.append(line);
  buffer_.append("\r\n");
  if (buffer_.size() >= kFlushSize) Flush();
}

void TextFileWriter::Write(std::string_view bytes) {
  buffer_.append(bytes);
  if (buffer_.size() >= kFlushSize) Flush();
}

void TextFileWriter::Flush() {
  if (file_ == nullptr) throw FileWriteError(path_, "file is closed");
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    std::string reason = std::strerror(errno);
    Discard();
    throw FileWriteError(path_, reason);
  }
  buffer_.clear();
}

void TextFileWriter::Close() {
  Flush();
  errno = 0;
  bool failed = std::fflush(file_) != 0;
  std::string reason = failed ? std::strerror(errno) : "";
  failed = (std::fclose(file_) != 0) || failed;
  if (failed && reason.empty()) reason = std::strerror(errno);
  file_ = nullptr;
  if (failed) {
    Discard();
    throw FileWriteError(path_, reason);
  }
  if (!temp_path_.empty()) {
    if (std::rename(temp_path_.c_str(), path_.c_str()) != 0) {
      Discard();
      throw FileCreateError(path_);
    }
    temp_path_.clear();
  }
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  try {
    WriteWholeFile(to, bytes);
  } catch (const GlosError&) {
    return false;
  }
  return true;
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  TextFileWriter file(path);
  file.Write(bytes);
  file.Close();
}

}  // namespace glossator
