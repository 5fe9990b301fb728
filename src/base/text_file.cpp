#include "base/text_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "base/errors.h"
#include "base/path_text.h"

namespace glossator {

namespace {

constexpr size_t kChunkSize = 1 << 20;
constexpr std::string_view kTempPrefix = ".glossator-";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr size_t kTempRandom = 6;  // the X's of mkstemps

mode_t CreationMode() {
  static const mode_t mode = [] {
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

std::string ErrorText(int error) { return std::strerror(error); }

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now; returns the errno of a failed close, or 0.
  int Close() {
    int result = fd_ >= 0 && close(fd_) != 0 ? errno : 0;
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

// Writes all of `size` bytes; returns 0 or the errno of the failure.
int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    data += put;
    size -= static_cast<size_t>(put);
  }
  return 0;
}

// Reads up to `size` bytes, fewer only at the end; returns the count, or -1 with errno.
ssize_t ReadFull(int fd, char* data, size_t size) {
  size_t got = 0;
  while (got < size) {
    ssize_t n = read(fd, data + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

// Where the bytes of a file come from: a text in memory or an open regular file, read in chunks.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual long long Size() const = 0;
  // Starts again from the first byte; returns false when that fails.
  virtual bool Rewind() = 0;
  // The next chunk, empty at the end. Throws FileWriteError naming `target` when reading fails.
  virtual std::string_view Next(const std::string& target) = 0;
};

class TextSource : public ByteSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  long long Size() const override { return static_cast<long long>(text_.size()); }
  bool Rewind() override {
    offset_ = 0;
    return true;
  }
  std::string_view Next(const std::string&) override {
    std::string_view chunk = text_.substr(offset_, kChunkSize);
    offset_ += chunk.size();
    return chunk;
  }

 private:
  std::string_view text_;
  size_t offset_ = 0;
};

class FileSource : public ByteSource {
 public:
  FileSource(int fd, long long size) : fd_(fd), size_(size), chunk_(new char[kChunkSize]) {}
  long long Size() const override { return size_; }
  bool Rewind() override { return lseek(fd_, 0, SEEK_SET) == 0; }
  std::string_view Next(const std::string& target) override {
    ssize_t got = ReadFull(fd_, chunk_.get(), kChunkSize);
    if (got < 0) throw FileWriteError(target, ErrorText(errno));
    return {chunk_.get(), static_cast<size_t>(got)};
  }

 private:
  int fd_;
  long long size_;
  std::unique_ptr<char[]> chunk_;
};

// Writes the whole source into `fd`; throws FileWriteError naming `target` when that fails.
void Pour(ByteSource& source, int fd, const std::string& target) {
  for (std::string_view chunk = source.Next(target); !chunk.empty(); chunk = source.Next(target)) {
    if (int error = WriteAll(fd, chunk.data(), chunk.size()))
      throw FileWriteError(target, ErrorText(error));
  }
}

// Whether `path` is a regular file, not reached through a link, holding exactly the bytes of
// `source`. Never follows a link and never waits on a pipe.
bool RegularFileHolds(const std::string& path, ByteSource& source) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (fd.get() < 0 || fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size != source.Size() || !source.Rewind()) {
    return false;
  }
  std::unique_ptr<char[]> chunk(new char[kChunkSize]);
  for (;;) {
    std::string_view expected = source.Next(path);
    ssize_t got = ReadFull(fd.get(), chunk.get(), expected.empty() ? 1 : expected.size());
    if (got != static_cast<ssize_t>(expected.size())) return false;
    if (expected.empty()) return true;
    if (std::memcmp(chunk.get(), expected.data(), expected.size()) != 0) return false;
  }
}

// Creates a file under a name that must be free, never through a link. Returns -1 with errno
// EEXIST when the name is taken by anything, a dangling link included.
int CreateNew(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

// Writes a new file under a free name; removes it again when the write fails. Returns false
// (nothing written) when the name was taken meanwhile.
bool WriteNew(const std::string& path, ByteSource& source) {
  Descriptor fd(CreateNew(path));
  if (fd.get() < 0 && errno == EEXIST) return false;
  if (fd.get() < 0) throw FileCreateError(path, ErrorText(errno));
  try {
    Pour(source, fd.get(), path);
    if (int error = fd.Close()) throw FileWriteError(path, ErrorText(error));
  } catch (const FileWriteError&) {
    fd.Close();
    unlink(path.c_str());
    throw;
  }
  return true;
}

// Replaces what `path` names by the bytes of `source`, through a locked temporary file in the
// same folder that is renamed over the name. The lock is held until the rename is done. Returns
// false when the name already held these bytes.
bool Replace(const std::string& path, ByteSource& source) {
  if (RegularFileHolds(path, source)) return false;
  if (!source.Rewind()) throw FileWriteError(path, ErrorText(errno));
  std::string temp = DirectoryOf(path);
  temp.append(kTempPrefix).append(kTempRandom, 'X').append(kTempSuffix);
  Descriptor fd(mkostemps(temp.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC));
  if (fd.get() < 0) throw FileCreateError(path, ErrorText(errno));
  try {
    if (flock(fd.get(), LOCK_EX) != 0 || fchmod(fd.get(), CreationMode()) != 0) {
      throw FileWriteError(path, ErrorText(errno));
    }
    Pour(source, fd.get(), path);
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
      throw FileCreateError(path, ErrorText(errno));
    }
  } catch (const GlosError&) {
    unlink(temp.c_str());
    throw;
  }
  // The data is in the renamed file; a failing close now would report a write that was lost.
  if (int error = fd.Close()) throw FileWriteError(path, ErrorText(error));
  return true;
}

// Gives `path` the bytes of `source`: a new file when the name is free, else a replacement.
// Creating is tried first: in a fresh output folder every name is free, and a look at the name
// beforehand would cost a system call per page for nothing. Returns false when the name already
// held these bytes.
bool WriteFrom(const std::string& path, ByteSource& source) {
  if (path.empty() || path.back() == '/') throw FileCreateError(path);
  if (WriteNew(path, source)) return true;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    throw FileCreateError(path, ErrorText(EISDIR));
  }
  if (!source.Rewind()) throw FileWriteError(path, ErrorText(errno));
  return Replace(path, source);
}

// Opens a regular file for reading without waiting on a pipe; -1 when it is none.
int OpenRegular(const std::string& path, struct stat& st) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

TextFileWriter::TextFileWriter(std::string path) : path_(std::move(path)) {
  if (path_.empty() || path_.back() == '/') throw FileCreateError(path_);
  struct stat st;
  if (lstat(path_.c_str(), &st) == 0) {
    // A taken name is replaced on Close(), once the whole text is known.
    if (S_ISDIR(st.st_mode)) throw FileCreateError(path_, ErrorText(EISDIR));
    return;
  }
  fd_ = CreateNew(path_);
  if (fd_ < 0 && errno != EEXIST) throw FileCreateError(path_, ErrorText(errno));
}

TextFileWriter::~TextFileWriter() {
  if (!closed_) Discard();
}

void TextFileWriter::Discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
    // A new file that could not be finished goes away again.
    unlink(path_.c_str());
  }
  closed_ = true;
}

void TextFileWriter::WriteLine(std::string_view line) {
  buffer_.append(line);
  buffer_.append("\r\n");
  if (fd_ >= 0 && buffer_.size() >= kChunkSize) Flush();
}

void TextFileWriter::Write(std::string_view bytes) {
  buffer_.append(bytes);
  if (fd_ >= 0 && buffer_.size() >= kChunkSize) Flush();
}

void TextFileWriter::Flush() {
  if (int error = WriteAll(fd_, buffer_.data(), buffer_.size())) {
    Discard();
    throw FileWriteError(path_, ErrorText(error));
  }
  buffer_.clear();
}

void TextFileWriter::Close() {
  if (closed_) throw FileWriteError(path_, "already closed");
  if (fd_ < 0) {
    closed_ = true;
    TextSource source(buffer_);
    Replace(path_, source);
    return;
  }
  Flush();
  closed_ = true;
  int error = close(fd_);
  fd_ = -1;
  if (error != 0) {
    error = errno;
    unlink(path_.c_str());
    throw FileWriteError(path_, ErrorText(error));
  }
}

bool ReadRegularFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  struct stat st;
  Descriptor fd(OpenRegular(path, st));
  if (fd.get() < 0) return false;
  bytes.reserve(static_cast<size_t>(st.st_size));
  char chunk[1 << 16];
  ssize_t got;
  while ((got = ReadFull(fd.get(), chunk, sizeof chunk)) > 0)
    bytes.append(chunk, static_cast<size_t>(got));
  if (got < 0) bytes.clear();
  return got == 0;
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  struct stat st;
  Descriptor fd(OpenRegular(from, st));
  if (fd.get() < 0) return false;
  FileSource source(fd.get(), st.st_size);
  try {
    WriteFrom(to, source);
  } catch (const GlosError&) {
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  TextSource source(bytes);
  return WriteFrom(path, source);
}

void RemoveStaleTemporaries(const std::string& folder) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  Descriptor dir(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return;
  DIR* stream = fdopendir(dup(dir.get()));
  if (stream == nullptr) return;
  while (const dirent* entry = readdir(stream)) {
    std::string_view name = entry->d_name;
    if (name.size() != kTempPrefix.size() + kTempRandom + kTempSuffix.size() ||
        !name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix)) {
      continue;
    }
    Descriptor temp(
        openat(dir.get(), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (temp.get() < 0 || fstat(temp.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // One made after this run started belongs to a run that is going on.
    bool older = st.st_ctim.tv_sec < now.tv_sec ||
                 (st.st_ctim.tv_sec == now.tv_sec && st.st_ctim.tv_nsec < now.tv_nsec);
    // A lock that can be taken is held by nobody: its run has ended without removing it.
    if (older && flock(temp.get(), LOCK_EX | LOCK_NB) == 0) unlinkat(dir.get(), entry->d_name, 0);
  }
  closedir(stream);
}

}  // namespace glossator
