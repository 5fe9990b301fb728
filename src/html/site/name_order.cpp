// The alphabetical order of the entries, for the A-Z pages and the search index.

#include <algorithm>

#include "html/site/site_index.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

// Eight bytes of a name from `from` on, lower case, packed into a number that sorts like them.
uint64_t Packed(std::string_view name, size_t from) {
  uint64_t packed = 0;
  for (size_t i = from; i < from + 8; ++i) {
    unsigned char c = i < name.size() ? static_cast<unsigned char>(ToLowerAscii(name[i])) : 0;
    packed = (packed << 8) | c;
  }
  return packed;
}

}  // namespace

const std::vector<uint32_t>& SiteIndex::ByName() const {
  std::lock_guard lock(sort_mutex_);
  if (!sorted_) SortByName();
  sorted_ = true;
  return by_name_;
}

const std::vector<uint32_t>& SiteIndex::NamesUnder(char letter) const {
  ByName();
  return by_letter_[LetterSlot(letter)];
}

uint32_t SiteIndex::CountUnder(char letter) const { return letter_counts_[LetterSlot(letter)]; }

bool SiteIndex::NameOrderLess(uint32_t a, uint32_t b) const {
  std::string_view na = entries_[a].name;
  std::string_view nb = entries_[b].name;
  for (size_t from : {0, 8}) {
    uint64_t pa = Packed(na, from);
    uint64_t pb = Packed(nb, from);
    if (pa != pb) return pa < pb;
  }
  if (na.size() > 16 || nb.size() > 16) {
    if (FoldedLess(na, nb)) return true;
    if (FoldedLess(nb, na)) return false;
  }
  return a < b;
}

// Sorts on the first sixteen bytes of each name packed into two numbers, and compares whole
// names only when those are equal: most comparisons are then one or two of integers. The order
// is NameOrderLess's.
void SiteIndex::SortByName() const {
  struct Key {
    uint64_t head;
    uint64_t next;
    uint32_t id;
  };
  std::vector<Key> keys;
  keys.reserve(entries_.size());
  for (uint32_t id = 0; id < entries_.size(); ++id) {
    std::string_view name = entries_[id].name;
    keys.push_back({Packed(name, 0), Packed(name, 8), id});
  }
  std::sort(keys.begin(), keys.end(), [this](const Key& a, const Key& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    std::string_view na = entries_[a.id].name;
    std::string_view nb = entries_[b.id].name;
    if (na.size() > 16 || nb.size() > 16) {
      if (FoldedLess(na, nb)) return true;
      if (FoldedLess(nb, na)) return false;
    }
    return a.id < b.id;
  });
  by_name_.clear();
  by_name_.reserve(keys.size());
  for (const Key& key : keys) by_name_.push_back(key.id);
  SortByLetter();
}

void SiteIndex::SortByLetter() const {
  for (std::vector<uint32_t>& letter : by_letter_) letter.clear();
  for (uint32_t id : by_name_) {
    by_letter_[LetterSlot(NameLetter(entries_[id].name))].push_back(id);
  }
}

}  // namespace glossator
