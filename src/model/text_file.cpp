#include "model/text_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

std::string ErrorText(int error) { return std::strerror(error); }

}  // namespace

TextFileWriter::TextFileWriter(std::string path) : path_(std::move(path)) {
  if (path_.empty() || path_.back() == '/') throw FileCreateError(path_);
  struct stat st;
  if (stat(path_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw FileCreateError(path_);
    if (S_ISREG(st.st_mode)) {
      mode_ = Mode::kReplace;
      existing_size_ = st.st_size;
      return;
    }
    mode_ = Mode::kInPlace;
    // Opened without waiting: a named pipe that nobody reads from is refused instead of
    // stopping the run. Writes block as usual afterwards.
    int fd = open(path_.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw FileCreateError(path_);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
      close(fd);
      throw FileCreateError(path_);
    }
    return;
  }
  int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0 && errno == EEXIST) {
    // Made by someone else meanwhile: replace it like any existing file.
    mode_ = Mode::kReplace;
    existing_size_ = -1;
    return;
  }
  if (fd < 0) throw FileCreateError(path_);
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    unlink(path_.c_str());
    throw FileCreateError(path_);
  }
}

TextFileWriter::~TextFileWriter() {
  if (!closed_) Discard();
}

void TextFileWriter::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
    // A new file that could not be finished goes away again.
    if (mode_ == Mode::kNew) unlink(path_.c_str());
  }
  closed_ = true;
}

void TextFileWriter::WriteLine(std::string_view line) {
  buffer_.append(line);
  buffer_.append("\r\n");
  if (file_ != nullptr && buffer_.size() >= kFlushSize) Flush();
}

void TextFileWriter::Write(std::string_view bytes) {
  buffer_.append(bytes);
  if (file_ != nullptr && buffer_.size() >= kFlushSize) Flush();
}

void TextFileWriter::Flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    std::string reason = ErrorText(errno);
    Discard();
    throw FileWriteError(path_, reason);
  }
  buffer_.clear();
}

// Writes the rest of the buffer and closes `file`; throws naming `target` when that fails.
void TextFileWriter::WriteOut(std::FILE* file, const std::string& target) {
  errno = 0;
  bool failed =
      !buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file) != buffer_.size();
  failed = std::fflush(file) != 0 || failed;
  std::string reason = failed ? ErrorText(errno) : "";
  if (std::fclose(file) != 0 && !failed) {
    failed = true;
    reason = ErrorText(errno);
  }
  buffer_.clear();
  if (failed) throw FileWriteError(target, reason);
}

bool TextFileWriter::ExistingFileHolds(const std::string& text) const {
  if (existing_size_ != static_cast<long long>(text.size())) return false;
  std::FILE* file = std::fopen(path_.c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[1 << 16];
  size_t offset = 0;
  bool same = true;
  size_t got;
  while (same && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    same = offset + got <= text.size() && std::memcmp(chunk, text.data() + offset, got) == 0;
    offset += got;
  }
  same = same && std::ferror(file) == 0 && offset == text.size();
  std::fclose(file);
  return same;
}

void TextFileWriter::Close() {
  if (closed_) throw FileWriteError(path_, "already closed");
  closed_ = true;
  if (mode_ != Mode::kReplace) {
    std::FILE* file = file_;
    file_ = nullptr;
    try {
      WriteOut(file, path_);
    } catch (const FileWriteError&) {
      if (mode_ == Mode::kNew) unlink(path_.c_str());
      throw;
    }
    return;
  }
  if (ExistingFileHolds(buffer_)) return;
  // The temporary name must be a valid file name too: a long page name is cut short in it.
  std::string temp =
      DirectoryOf(path_) + "." + FileNameOf(path_).substr(0, NAME_MAX - 8) + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) throw FileCreateError(path_);
  fchmod(fd, CreationMode());
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
    unlink(temp.c_str());
    throw FileCreateError(path_);
  }
  try {
    WriteOut(file, path_);
  } catch (const FileWriteError&) {
    unlink(temp.c_str());
    throw;
  }
  if (std::rename(temp.c_str(), path_.c_str()) != 0) {
    unlink(temp.c_str());
    throw FileCreateError(path_);
  }
}

bool ReadRegularFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    return false;
  }
  bytes.reserve(static_cast<size_t>(st.st_size));
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) bytes.clear();
  return !failed;
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  std::string bytes;
  if (!ReadRegularFile(from, bytes)) return false;
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
