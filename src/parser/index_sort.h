#ifndef GLOSSATOR_PARSER_INDEX_SORT_H_
#define GLOSSATOR_PARSER_INDEX_SORT_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace glossator {

class TXMLNode;

// The order of the four indexes: the user's locale collation, case ignored, accents kept. The
// locale comes from LC_ALL, else LC_COLLATE, else LANG; unset, "C" or "POSIX" mean the root
// locale. Names are decoded from UTF-8 when they are valid UTF-8, else from Windows-1252.
class IndexCollator {
 public:
  IndexCollator();
  explicit IndexCollator(const std::string& locale_name);
  ~IndexCollator();
  IndexCollator(const IndexCollator&) = delete;
  IndexCollator& operator=(const IndexCollator&) = delete;

  // A byte string whose plain comparison orders names as the collator does.
  std::string Key(std::string_view name) const;

  // The locale name the environment asks for ("" for the root locale).
  static std::string LocaleFromEnvironment();

 private:
  struct Impl;  // holds the ICU collator, kept out of this header
  std::unique_ptr<Impl> impl_;
};

// One name collected for an index, with the node it came from.
struct IndexItem {
  std::string key;  // IndexCollator::Key of the name
  const TXMLNode* node;
};

// Sorts by key with the index quicksort: a middle pivot that follows the element it names when
// it is exchanged. The sort is not stable; equal names end up in the order this procedure gives,
// which the indexes rely on, so it must not be replaced by another sort.
void IndexSort(std::vector<IndexItem>& items);

// Decodes an 8-bit name to UTF-16 for collation (exposed for tests).
std::u16string DecodeName(std::string_view name);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_INDEX_SORT_H_
