#include "parser/line_list.h"

#include "model/errors.h"
#include "model/text_file.h"
#include "model/text_rules.h"

namespace glossator {

void LineList::SetText(std::string text) {
  text_ = std::move(text);
  Split();
}

void LineList::LoadFromFile(const std::string& path) {
  // Only regular files are units (a named pipe could stop the run, a device fill the memory).
  // The text goes into the buffer of the previous file, whose memory is reused.
  bool read = ReadRegularFile(path, text_);
  Split();
  if (!read) throw FileOpenError(path);
}

std::string LineList::TakeText() {
  std::string text = std::move(text_);
  text_.clear();
  Split();
  return text;
}

namespace {

// Flag bits per byte. Line ends and NUL carry kStop alone, which sends the splitting loop to its
// slow path, so that an ordinary character costs one lookup and one test.
constexpr unsigned char kStop = 128;

struct FlagTable {
  unsigned char bits[256] = {};
  FlagTable() {
    for (int c = 33; c < 256; ++c) bits[c] = LineList::kNonBlank;
    bits[0] = bits[static_cast<unsigned char>('\r')] = bits[static_cast<unsigned char>('\n')] =
        kStop;
    bits[static_cast<unsigned char>('{')] |= LineList::kOpenBrace;
    bits[static_cast<unsigned char>('}')] |= LineList::kCloseBrace;
    bits[static_cast<unsigned char>('(')] |= LineList::kOpenParen;
    bits[static_cast<unsigned char>(')')] |= LineList::kCloseParen;
    bits[static_cast<unsigned char>(';')] |= LineList::kSemicolon;
  }
};

const FlagTable kFlags;

}  // namespace

void LineList::Split() {
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
    unsigned char bits = kFlags.bits[c];
    if (!(bits & kStop)) {
      flags |= bits;
    } else if (c != 0) {
      lines_.emplace_back(data + start, i - start);
      flags_.push_back(flags);
      flags = 0;
      if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
      start = i + 1;
    } else {
      break;
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

size_t LineList::Checked(int i) const {
  if (i < 0 || static_cast<size_t>(i) >= lines_.size()) throw ListIndexError(i);
  return static_cast<size_t>(i);
}

std::string_view LineList::At(int i) const { return lines_[Checked(i)]; }

std::string_view LineList::TrimmedAt(int i) const { return Trim(lines_[Checked(i)]); }

}  // namespace glossator
