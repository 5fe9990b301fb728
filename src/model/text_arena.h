#ifndef GLOSSATOR_MODEL_TEXT_ARENA_H_
#define GLOSSATOR_MODEL_TEXT_ARENA_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace glossator {

// A text kept in a TextArena (or by KeptText::Own), held by one pointer: the stored
// form is the length, in one byte when it is below 255 and else as 0xFF and eight bytes, then
// the bytes. A text kept once can be held by any number of nodes; it never changes.
class KeptText {
 public:
  // The empty text, which needs no storage.
  KeptText() : stored_(kEmptyForm) {}

  std::string_view View() const {
    auto length = static_cast<unsigned char>(*stored_);
    if (length < kLongMark) return std::string_view(stored_ + 1, length);
    size_t long_length;
    std::memcpy(&long_length, stored_ + 1, sizeof long_length);
    return std::string_view(stored_ + 1 + sizeof long_length, long_length);
  }

  // A copy of `text` in memory of its own, which `storage` takes over; the result reads it as
  // long as `storage` holds it.
  static KeptText Own(std::string_view text, std::unique_ptr<char[]>& storage);
  // Whether both hold the same stored copy (not merely equal texts).
  bool SameCopy(KeptText other) const { return stored_ == other.stored_; }

  // The address of the stored form, for a holder that packs it into a word of its own, and the
  // text such a word holds.
  uintptr_t Word() const { return reinterpret_cast<uintptr_t>(stored_); }
  static KeptText FromWord(uintptr_t word) { return KeptText(reinterpret_cast<const char*>(word)); }

 private:
  friend class TextArena;
  static constexpr unsigned char kLongMark = 0xFF;
  static constexpr char kEmptyForm[1] = {0};

  explicit KeptText(const char* stored) : stored_(stored) {}
  // The bytes the stored form of a text of `length` bytes takes.
  static size_t StoredSize(size_t length) {
    return length < kLongMark ? 1 + length : 1 + sizeof(size_t) + length;
  }
  // Writes the stored form of `text` at `out`, which has StoredSize(text.size()) bytes.
  static KeptText Write(std::string_view text, char* out);

  const char* stored_;
};

// Keeps copies of many small texts, and the child lists of a tree's nodes, in a few large blocks
// that are freed together, so that a text costs its characters and a length byte and no
// allocation of its own. The copies never move: what Keep and Allocate return stays valid as
// long as the arena, or the arena that absorbed it, lives. Short texts recur (element names,
// "TObject", "public"), so a short text equal to one kept shortly before shares that copy.
class TextArena {
 public:
  TextArena() = default;
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;

  // A copy of `text`, or the copy of an equal short text kept before; the empty text needs none.
  KeptText Keep(std::string_view text);

  // `bytes` bytes aligned for pointers. REQUIRES: bytes is a multiple of 8.
  void* Allocate(size_t bytes);

  // Takes over the blocks of `other`, which is left empty. What they hold stays valid.
  void Absorb(TextArena& other);

  void Clear();

 private:
  // Blocks handed out in pieces; they start small, so that the tree of one small file holds
  // little memory unused, and double up to a size at which one allocation serves thousands of
  // pieces.
  struct Blocks {
    // Unsigned char, so that the pieces may hold objects of any type.
    unsigned char* Take(size_t size);
    void Absorb(Blocks& other);
    void Clear();

    std::vector<std::unique_ptr<unsigned char[]>> list;
    unsigned char* free = nullptr;  // the next unused byte of the newest block
    size_t free_left = 0;
    size_t next_size = 0;
  };

  Blocks texts_;
  Blocks slots_;  // pieces of multiples of 8 bytes, so that every piece stays aligned
  // The latest copy of a short text for each hash slot; made with the first short text.
  std::unique_ptr<const char*[]> recent_;
};

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_TEXT_ARENA_H_
