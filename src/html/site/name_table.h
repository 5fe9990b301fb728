#ifndef GLOSSATOR_HTML_SITE_NAME_TABLE_H_
#define GLOSSATOR_HTML_SITE_NAME_TABLE_H_

#include <cstdint>
#include <string_view>
#include <vector>

namespace glossator {

class TextArena;

// A hash table from a scope number and a name, ASCII letters compared without case, to a
// number: one flat array probed linearly, so that a table of hundreds of thousands of names
// costs a few allocations rather than one per name. The names are views; what they point to
// must outlive the table. Empty names are never stored.
class NameTable {
 public:
  static constexpr uint32_t kMissing = UINT32_MAX;

  // A name with the hash of its lower case, made once for the many scopes it is looked up in.
  struct Key {
    explicit Key(std::string_view name);
    // A key whose hash was made before, by Key(name).
    Key(std::string_view name, uint32_t hash) : name(name), hash(hash) {}
    std::string_view name;
    uint32_t hash;
  };

  // Makes room for `count` names without growing.
  void Reserve(size_t count);
  // Stores `value` for the key unless the key is there; returns the value stored for it, which
  // may be changed through the pointer, and whether this call stored it.
  struct Inserted {
    uint32_t* value;
    bool added;
  };
  Inserted Insert(uint32_t scope, std::string_view name, uint32_t value) {
    return Insert(scope, Key(name), value);
  }
  Inserted Insert(uint32_t scope, const Key& key, uint32_t value);
  // The same, but a name it stores is a copy kept in `arena`, so that it outlives the text the
  // key views (the tables of the live preview outlive the units they were built from).
  Inserted InsertCopy(uint32_t scope, const Key& key, uint32_t value, TextArena& arena);
  // Removes the key; false when it was not there.
  bool Erase(uint32_t scope, const Key& key);
  // The value stored for the key, or kMissing.
  uint32_t Find(uint32_t scope, std::string_view name) const { return Find(scope, Key(name)); }
  uint32_t Find(uint32_t scope, const Key& key) const;
  size_t Size() const { return used_; }

 private:
  // 24 bytes: the table is large, and on some machines every fresh page of memory costs.
  struct Slot {
    const char* data = nullptr;  // the name; null: a free slot
    uint32_t size = 0;
    uint32_t scope = 0;
    uint32_t hash = 0;
    uint32_t value = 0;
    std::string_view Name() const { return {data, size}; }
  };
  static uint32_t Hash(uint32_t scope, const Key& key);
  // The slot of the key, or the free slot where it belongs.
  size_t Locate(uint32_t scope, std::string_view name, uint32_t hash) const;
  // Inserts with the name that `stored` views (equal to the key's).
  Inserted Insert(uint32_t scope, const Key& key, uint32_t value, std::string_view stored);
  void Grow(size_t capacity);

  std::vector<Slot> slots_;
  size_t used_ = 0;
};

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_NAME_TABLE_H_
