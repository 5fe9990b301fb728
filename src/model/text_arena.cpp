#include "model/text_arena.h"

#include <algorithm>
#include <functional>

namespace glossator {

namespace {

constexpr size_t kFirstBlockSize = 1024;
constexpr size_t kMaxBlockSize = 256 * 1024;

// Texts up to this length are looked up among the recent copies before they are copied.
constexpr size_t kShareLimit = 32;
// The number of recent copies remembered, one per hash slot (a power of two).
constexpr size_t kRecentSlots = 256;

}  // namespace

KeptText KeptText::Write(std::string_view text, char* out) {
  if (text.size() < kLongMark) {
    out[0] = static_cast<char>(text.size());
    std::memcpy(out + 1, text.data(), text.size());
  } else {
    out[0] = static_cast<char>(kLongMark);
    size_t length = text.size();
    std::memcpy(out + 1, &length, sizeof length);
    std::memcpy(out + 1 + sizeof length, text.data(), text.size());
  }
  return KeptText(out);
}

KeptText KeptText::Own(std::string_view text, std::unique_ptr<char[]>& storage) {
  storage = std::make_unique_for_overwrite<char[]>(StoredSize(text.size()));
  return Write(text, storage.get());
}

KeptText TextArena::Keep(std::string_view text) {
  if (text.empty()) return KeptText();
  size_t size = KeptText::StoredSize(text.size());
  if (text.size() > kShareLimit)
    return KeptText::Write(text, reinterpret_cast<char*>(texts_.Take(size)));
  if (!recent_) recent_ = std::make_unique<const char*[]>(kRecentSlots);
  const char*& recent = recent_[std::hash<std::string_view>()(text) & (kRecentSlots - 1)];
  if (recent != nullptr && KeptText(recent).View() == text) return KeptText(recent);
  KeptText kept = KeptText::Write(text, reinterpret_cast<char*>(texts_.Take(size)));
  recent = kept.stored_;
  return kept;
}

void* TextArena::Allocate(size_t bytes) { return slots_.Take(bytes); }

void TextArena::Absorb(TextArena& other) {
  texts_.Absorb(other.texts_);
  slots_.Absorb(other.slots_);
  other.Clear();
}

void TextArena::Clear() {
  texts_.Clear();
  slots_.Clear();
  recent_.reset();
}

unsigned char* TextArena::Blocks::Take(size_t size) {
  if (size > free_left) {
    size_t block_size = next_size == 0 ? kFirstBlockSize : std::min(2 * next_size, kMaxBlockSize);
    if (size > block_size / 4) {
      // A large piece gets a block of its own, and the newest block stays the one to fill.
      auto block = std::make_unique_for_overwrite<unsigned char[]>(size);
      unsigned char* piece = block.get();
      list.insert(list.end() - (list.empty() ? 0 : 1), std::move(block));
      return piece;
    }
    next_size = block_size;
    list.push_back(std::make_unique_for_overwrite<unsigned char[]>(block_size));
    free = list.back().get();
    free_left = block_size;
  }
  unsigned char* piece = free;
  free += size;
  free_left -= size;
  return piece;
}

void TextArena::Blocks::Absorb(Blocks& other) {
  // This arena's newest block stays the one Take fills.
  auto at = list.end() - (list.empty() ? 0 : 1);
  list.insert(at, std::make_move_iterator(other.list.begin()),
              std::make_move_iterator(other.list.end()));
  other.Clear();
}

void TextArena::Blocks::Clear() {
  list.clear();
  free = nullptr;
  free_left = 0;
  next_size = 0;
}

}  // namespace glossator
