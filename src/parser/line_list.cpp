#include "parser/line_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/errors.h"
#include "model/text_rules.h"

namespace glossator {

void TLineList::SetText(std::string text) {
  text_ = std::move(text);
  Split();
}

void TLineList::LoadFromFile(const std::string& path) {
  // Only regular files are units. Opening without blocking keeps a named pipe that nobody
  // writes to from stopping the run, and refusing devices keeps one like /dev/zero from
  // filling the memory.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw FileOpenError(path);
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    throw FileOpenError(path);
  }
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    throw FileOpenError(path);
  }
  // Read into the buffer of the previous file, whose memory is reused.
  text_.clear();
  text_.reserve(static_cast<size_t>(st.st_size));
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text_.append(chunk, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    text_.clear();
    Split();
    throw FileOpenError(path);
  }
  Split();
}

namespace {

// Flag bits per byte; line ends and NUL are handled by the splitting loop itself.
struct FlagTable {
  unsigned char bits[256] = {};
  FlagTable() {
    for (int c = 33; c < 256; ++c) bits[c] = TLineList::kNonBlank;
    bits[static_cast<unsigned char>('{')] |= TLineList::kOpenBrace;
    bits[static_cast<unsigned char>('}')] |= TLineList::kCloseBrace;
    bits[static_cast<unsigned char>('(')] |= TLineList::kOpenParen;
    bits[static_cast<unsigned char>(')')] |= TLineList::kCloseParen;
    bits[static_cast<unsigned char>(';')] |= TLineList::kSemicolon;
  }
};

const FlagTable kFlags;

}  // namespace

void TLineList::Split() {
  lines_.clear();
  flags_.clear();
  const char* data = text_.data();
  size_t size = text_.size();
  size_t start = 0;
  unsigned char flags = 0;
  size_t i = 0;
  // One pass: a line ends at CR LF, CR or LF; NUL ends the text.
  for (; i < size; ++i) {
    unsigned char c = static_cast<unsigned char>(data[i]);
    if (c == '\r' || c == '\n') {
      lines_.emplace_back(data + start, i - start);
      flags_.push_back(flags);
      flags = 0;
      if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
      start = i + 1;
    } else if (c == 0) {
      break;
    } else {
      flags |= kFlags.bits[c];
    }
  }
  if (start < i) {
    lines_.emplace_back(data + start, i - start);
    flags_.push_back(flags);
  }

  size_t n = lines_.size();
  open_brace_above_.assign(n, 0);
  close_brace_below_.assign(n, -1);
  for (size_t k = 1; k < n; ++k) {
    open_brace_above_[k] =
        (flags_[k] & kOpenBrace) ? static_cast<int>(k) : open_brace_above_[k - 1];
  }
  for (size_t k = n; k > 0; --k) {
    close_brace_below_[k - 1] = (flags_[k - 1] & kCloseBrace)
                                    ? static_cast<int>(k - 1)
                                    : (k < n ? close_brace_below_[k] : -1);
  }
}

size_t TLineList::Checked(int i) const {
  if (i < 0 || static_cast<size_t>(i) >= lines_.size()) throw ListIndexError(i);
  return static_cast<size_t>(i);
}

std::string_view TLineList::At(int i) const { return lines_[Checked(i)]; }

std::string_view TLineList::TrimmedAt(int i) const { return Trim(lines_[Checked(i)]); }

}  // namespace glossator
