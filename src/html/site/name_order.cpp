// The alphabetical order of the entries, for the A-Z pages and the search index.

#include <algorithm>
#include <bit>
#include <cstring>

#include "html/site/site_index.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

// Eight bytes of a name from `from` on, lower case, packed into a number that sorts like them:
// the first byte is the most significant, and bytes past the end are zero.
uint64_t Packed(std::string_view name, size_t from) {
  uint64_t word = 0;
  if (from < name.size()) {
    std::memcpy(&word, name.data() + from, std::min<size_t>(8, name.size() - from));
  }
  word = ToLowerAsciiWord(word);
  if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
  return word;
}

// A name's sort key: its first sixteen bytes in lower case, packed, its entry and its length.
// With the length here, only names that need their whole text are looked up again.
struct NameKey {
  uint64_t head;
  uint64_t next;
  uint32_t id;
  uint32_t size;
};

// Sixteen bits of a key: digits 0 to 3 of `next`, then 4 to 7 of `head`, the least significant
// first.
uint32_t Digit(const NameKey& key, int d) {
  uint64_t word = d < 4 ? key.next : key.head;
  return static_cast<uint32_t>(word >> (16 * (d % 4))) & 0xFFFF;
}

// Orders keys given in entry order by head, then next, then entry: a stable radix sort, a
// sixteen-bit digit a pass, least significant first. A pass whose digit is the same for every
// key is left out.
void RadixSort(std::vector<NameKey>& keys) {
  constexpr size_t kBuckets = 1 << 16;
  if (keys.size() < 2) return;
  std::vector<uint32_t> counts(8 * kBuckets);
  for (const NameKey& key : keys) {
    for (int d = 0; d < 8; ++d) ++counts[d * kBuckets + Digit(key, d)];
  }
  std::vector<NameKey> spare(keys.size());
  for (int d = 0; d < 8; ++d) {
    uint32_t* count = &counts[d * kBuckets];
    if (count[Digit(keys[0], d)] == keys.size()) continue;
    uint32_t at = 0;
    for (size_t b = 0; b < kBuckets; ++b) {
      uint32_t n = count[b];
      count[b] = at;
      at += n;
    }
    for (const NameKey& key : keys) spare[count[Digit(key, d)]++] = key;
    keys.swap(spare);
  }
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

// Compares the names eight bytes at a time, in lower case, past the end as zeros; names alike
// in all that go by length when one is longer than sixteen bytes (as the whole text would), and
// then by entry.
bool SiteIndex::NameOrderLess(uint32_t a, uint32_t b) const {
  std::string_view na = entries_[a].name;
  std::string_view nb = entries_[b].name;
  const size_t longest = std::max<size_t>(16, std::max(na.size(), nb.size()));
  for (size_t from = 0; from < longest; from += 8) {
    uint64_t pa = Packed(na, from);
    uint64_t pb = Packed(nb, from);
    if (pa != pb) return pa < pb;
  }
  if (longest > 16 && na.size() != nb.size()) return na.size() < nb.size();
  return a < b;
}

// Sorts on the first sixteen bytes of each name packed into two numbers, and compares whole
// names only when those are equal: most comparisons are then one or two of integers. The order
// is NameOrderLess's.
void SiteIndex::SortByName() const {
  std::vector<NameKey> keys;
  keys.reserve(entries_.size());
  for (uint32_t id = 0; id < entries_.size(); ++id) {
    std::string_view name = entries_[id].name;
    auto size = static_cast<uint32_t>(std::min<size_t>(name.size(), UINT32_MAX));
    keys.push_back({Packed(name, 0), Packed(name, 8), id, size});
  }
  RadixSort(keys);
  // Names alike in their first sixteen bytes and longer than that go by their whole text.
  auto less = [this](const NameKey& a, const NameKey& b) { return NameOrderLess(a.id, b.id); };
  for (size_t i = 0; i < keys.size();) {
    size_t j = i + 1;
    bool long_name = keys[i].size > 16;
    while (j < keys.size() && keys[j].head == keys[i].head && keys[j].next == keys[i].next) {
      long_name = long_name || keys[j].size > 16;
      ++j;
    }
    if (long_name && j - i > 1) std::sort(keys.begin() + i, keys.begin() + j, less);
    i = j;
  }
  by_name_.clear();
  by_name_.reserve(keys.size());
  for (std::vector<uint32_t>& letter : by_letter_) letter.clear();
  for (const NameKey& key : keys) {
    by_name_.push_back(key.id);
    // The key's first byte is the name's first (0 for an empty name), all NameLetter reads.
    const auto first = static_cast<char>(key.head >> 56);
    by_letter_[LetterSlot(NameLetter(std::string_view(&first, 1)))].push_back(key.id);
  }
}

}  // namespace glossator
