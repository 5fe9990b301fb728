#include "parser/line_list.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "base/errors.h"
#include "model/text_rules.h"

namespace glossator {

void LineList::SetText(std::string text) {
  text_ = std::move(text);
  Split();
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

// Sixteen bytes at a time, in the compiler's portable vector types (SSE2 on x86-64).
using Bytes16 = unsigned char __attribute__((vector_size(16)));
constexpr Bytes16 kLane = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// The OR of the sixteen lanes.
unsigned char OrLanes(Bytes16 v) {
  uint64_t half[2];
  std::memcpy(half, &v, sizeof half);
  uint64_t x = half[0] | half[1];
  x |= x >> 32;
  x |= x >> 16;
  x |= x >> 8;
  return static_cast<unsigned char>(x);
}

// What the sixteen bytes at `data` hold: the flags of the bytes before the first line end or
// NUL, and where that byte is (16 when there is none).
struct Block {
  unsigned char flags;
  unsigned first_stop;
};

Block ScanBlock(const char* data) {
  Bytes16 v;
  std::memcpy(&v, data, sizeof v);
  Bytes16 stop = (Bytes16)((v == '\r') | (v == '\n') | (v == 0));
  // The flag `bit` in the lanes where `is` holds.
  auto flag = [](auto is, LineList::Flag bit) {
    return (Bytes16)is & static_cast<unsigned char>(bit);
  };
  Bytes16 bits = flag(v > 32, LineList::kNonBlank) | flag(v == '{', LineList::kOpenBrace) |
                 flag(v == '}', LineList::kCloseBrace) | flag(v == '(', LineList::kOpenParen) |
                 flag(v == ')', LineList::kCloseParen) | flag(v == ';', LineList::kSemicolon);
  uint64_t half[2];
  std::memcpy(half, &stop, sizeof half);
  if ((half[0] | half[1]) == 0) return {OrLanes(bits), 16};
  // Lanes are in memory order, so on a little-endian machine the lowest set bit is the first.
  unsigned first = half[0] != 0 ? std::countr_zero(half[0]) / 8 : 8 + std::countr_zero(half[1]) / 8;
  return {OrLanes(bits & (Bytes16)(kLane < static_cast<unsigned char>(first))), first};
}

}  // namespace

void LineList::Split() {
  lines_.clear();
  flags_.clear();
  const char* data = text_.data();
  size_t size = text_.size();
  size_t start = 0;
  unsigned char flags = 0;
  size_t i = 0;
  // One pass: a line ends at CR LF, CR or LF; NUL ends the text. Whole blocks of sixteen bytes
  // are taken at once up to the next line end; the last few bytes one at a time.
  while (i < size) {
    if constexpr (std::endian::native == std::endian::little) {
      if (size - i >= 16) {
        Block block = ScanBlock(data + i);
        flags |= block.flags;
        i += block.first_stop;
        if (block.first_stop == 16) continue;  // else data[i] ends a line or the text
      }
    }
    unsigned char c = static_cast<unsigned char>(data[i]);
    unsigned char bits = kFlags.bits[c];
    if (!(bits & kStop)) {
      flags |= bits;
      ++i;
      continue;
    }
    if (c == 0) break;
    lines_.emplace_back(data + start, i - start);
    flags_.push_back(flags);
    flags = 0;
    if (c == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
    start = ++i;
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
