#include "html/site/name_table.h"

#include "model/text_rules.h"

namespace glossator {

uint32_t NameTable::Hash(uint32_t scope, std::string_view name) {
  uint64_t hash = 14695981039346656037ull ^ (static_cast<uint64_t>(scope) * 0x9E3779B97F4A7C15ull);
  for (char c : name) {
    hash ^= static_cast<unsigned char>(ToLowerAscii(c));
    hash *= 1099511628211ull;
  }
  return static_cast<uint32_t>(hash ^ (hash >> 32));
}

size_t NameTable::Locate(uint32_t scope, std::string_view name, uint32_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.data == nullptr) return i;
    if (slot.hash == hash && slot.scope == scope && EqualsNoCase(slot.Name(), name)) return i;
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

NameTable::Inserted NameTable::Insert(uint32_t scope, std::string_view name, uint32_t value) {
  if (name.empty()) return {nullptr, false};
  if ((used_ + 1) * 10 > slots_.size() * 7) Grow((used_ + 1) * 2);
  uint32_t hash = Hash(scope, name);
  Slot& slot = slots_[Locate(scope, name, hash)];
  if (slot.data != nullptr) return {&slot.value, false};
  slot = Slot{name.data(), static_cast<uint32_t>(name.size()), scope, hash, value};
  ++used_;
  return {&slot.value, true};
}

uint32_t NameTable::Find(uint32_t scope, std::string_view name) const {
  if (slots_.empty() || name.empty()) return kMissing;
  const Slot& slot = slots_[Locate(scope, name, Hash(scope, name))];
  return slot.data == nullptr ? kMissing : slot.value;
}

}  // namespace glossator
