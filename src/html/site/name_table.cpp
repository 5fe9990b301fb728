#include "html/site/name_table.h"

#include <cstring>

#include "model/text_arena.h"
#include "model/text_rules.h"

namespace glossator {

// The hash of the lower case, eight bytes at a time: names are hashed for every lookup, and a
// byte at a time was a tenth of rendering a site.
NameTable::Key::Key(std::string_view text) : name(text) {
  uint64_t mixed = 14695981039346656037ull ^ text.size();
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    mixed = (mixed ^ ToLowerAsciiWord(word)) * 0x9E3779B97F4A7C15ull;
    mixed ^= mixed >> 29;
  }
  if (i < text.size()) {
    uint64_t word = 0;
    std::memcpy(&word, text.data() + i, text.size() - i);
    mixed = (mixed ^ ToLowerAsciiWord(word)) * 0x9E3779B97F4A7C15ull;
    mixed ^= mixed >> 29;
  }
  hash = static_cast<uint32_t>(mixed ^ (mixed >> 32));
}

uint32_t NameTable::Hash(uint32_t scope, const Key& key) {
  uint64_t hash =
      (key.hash ^ (static_cast<uint64_t>(scope) * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
  return static_cast<uint32_t>(hash ^ (hash >> 31) ^ (hash >> 45));
}

size_t NameTable::Locate(uint32_t scope, std::string_view name, uint32_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.data == nullptr) return i;
    if (slot.hash == hash && slot.scope == scope && slot.size == name.size() &&
        (std::memcmp(slot.data, name.data(), name.size()) == 0 ||
         EqualsNoCase(slot.Name(), name))) {
      return i;
    }
  }
}

// The table is kept at most 70% full: probes stay short and the array small.
void NameTable::Grow(size_t capacity) {
  size_t size = 16;
  while (size * 7 < capacity * 10) size *= 2;
  if (size <= slots_.size()) return;
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.resize(size);
  for (const Slot& slot : old) {
    if (slot.data != nullptr) slots_[Locate(slot.scope, slot.Name(), slot.hash)] = slot;
  }
}

void NameTable::Reserve(size_t count) { Grow(count); }

NameTable::Inserted NameTable::Insert(uint32_t scope, const Key& key, uint32_t value) {
  return Insert(scope, key, value, key.name);
}

NameTable::Inserted NameTable::InsertCopy(uint32_t scope, const Key& key, uint32_t value,
                                          TextArena& arena) {
  // Only a name that is not there yet takes a copy.
  if (!slots_.empty() && !key.name.empty()) {
    Slot& slot = slots_[Locate(scope, key.name, Hash(scope, key))];
    if (slot.data != nullptr) return {&slot.value, false};
  }
  return Insert(scope, key, value, arena.Keep(key.name).View());
}

NameTable::Inserted NameTable::Insert(uint32_t scope, const Key& key, uint32_t value,
                                      std::string_view stored) {
  if (key.name.empty()) return {nullptr, false};
  if ((used_ + 1) * 10 > slots_.size() * 7) Grow((used_ + 1) * 2);
  uint32_t hash = Hash(scope, key);
  Slot& slot = slots_[Locate(scope, key.name, hash)];
  if (slot.data != nullptr) return {&slot.value, false};
  slot = Slot{stored.data(), static_cast<uint32_t>(key.name.size()), scope, hash, value};
  ++used_;
  return {&slot.value, true};
}

// Backward-shift deletion: the slots after the freed one move up while that brings them
// nearer their home slot, so that no probe ever stops early at the hole.
bool NameTable::Erase(uint32_t scope, const Key& key) {
  if (slots_.empty() || key.name.empty()) return false;
  size_t hole = Locate(scope, key.name, Hash(scope, key));
  if (slots_[hole].data == nullptr) return false;
  size_t mask = slots_.size() - 1;
  for (size_t j = (hole + 1) & mask; slots_[j].data != nullptr; j = (j + 1) & mask) {
    size_t home = slots_[j].hash & mask;
    bool stays = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
    if (stays) continue;
    slots_[hole] = slots_[j];
    hole = j;
  }
  slots_[hole] = Slot{};
  --used_;
  return true;
}

uint32_t NameTable::Find(uint32_t scope, const Key& key) const {
  if (slots_.empty() || key.name.empty()) return kMissing;
  const Slot& slot = slots_[Locate(scope, key.name, Hash(scope, key))];
  return slot.data == nullptr ? kMissing : slot.value;
}

}  // namespace glossator
