#ifndef GLOSSATOR_MODEL_TEXT_ARENA_H_
#define GLOSSATOR_MODEL_TEXT_ARENA_H_

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace glossator {

// Keeps copies of many small texts in a few large blocks that are freed together, so that a
// text costs its characters and no allocation of its own. The copies never move: the views
// Keep returns stay valid as long as the arena, or the arena that absorbed it, lives.
class TextArena {
 public:
  TextArena() = default;
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;

  // A view of a copy of `text`; the empty text needs no copy.
  std::string_view Keep(std::string_view text);

  // Takes over the blocks of `other`, which is left empty. Views into them stay valid.
  void Absorb(TextArena& other);

  void Clear();

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;  // the next unused character of the newest block
  size_t free_left_ = 0;
  size_t next_block_size_ = 0;
};

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_TEXT_ARENA_H_
