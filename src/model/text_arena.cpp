#include "model/text_arena.h"

#include <algorithm>
#include <cstring>

namespace glossator {

namespace {

// Blocks start small, so that the tree of one small file holds little memory unused, and double
// up to a size at which one allocation serves thousands of texts.
constexpr size_t kFirstBlockSize = 1024;
constexpr size_t kMaxBlockSize = 256 * 1024;

}  // namespace

std::string_view TextArena::Keep(std::string_view text) {
  if (text.empty()) return std::string_view();
  if (text.size() > free_left_) {
    size_t size =
        next_block_size_ == 0 ? kFirstBlockSize : std::min(2 * next_block_size_, kMaxBlockSize);
    if (text.size() > size / 4) {
      // A long text gets a block of its own, and the newest block stays the one to fill.
      auto block = std::make_unique_for_overwrite<char[]>(text.size());
      std::memcpy(block.get(), text.data(), text.size());
      std::string_view kept(block.get(), text.size());
      blocks_.insert(blocks_.end() - (blocks_.empty() ? 0 : 1), std::move(block));
      return kept;
    }
    next_block_size_ = size;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    free_ = blocks_.back().get();
    free_left_ = size;
  }
  std::memcpy(free_, text.data(), text.size());
  std::string_view kept(free_, text.size());
  free_ += text.size();
  free_left_ -= text.size();
  return kept;
}

void TextArena::Absorb(TextArena& other) {
  // This arena's newest block stays the one Keep fills.
  auto at = blocks_.end() - (blocks_.empty() ? 0 : 1);
  blocks_.insert(at, std::make_move_iterator(other.blocks_.begin()),
                 std::make_move_iterator(other.blocks_.end()));
  other.Clear();
}

void TextArena::Clear() {
  blocks_.clear();
  free_ = nullptr;
  free_left_ = 0;
  next_block_size_ = 0;
}

}  // namespace glossator
