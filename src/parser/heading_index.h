#ifndef GLOSSATOR_PARSER_HEADING_INDEX_H_
#define GLOSSATOR_PARSER_HEADING_INDEX_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace glossator {

class LineList;

// Finds implementation headings quickly. The search it answers reads, from a start line to the
// end of the file, one declaration after another: at line q it takes what ReadDeclaration(q)
// gathers (a member heading over several lines, any other line alone), compares it lower-cased
// and without blanks with a key, and goes on after the last line it used. Done literally for
// every member that costs members x lines; this index answers each search in about the length
// of its key.
//
// Built once per file. It knows, for every line, where the declaration read from it ends (which
// fixes the path a search from any start takes through the file: a tree whose parent links go
// from line q to the line after its declaration), and a hash of the normalised declaration of
// every line that can match a key at all, since every key starts with a member keyword.
class HeadingIndex {
 public:
  HeadingIndex() = default;
  explicit HeadingIndex(const LineList& lines) { Build(lines); }

  // Indexes `lines` (not owned; they must outlive the searches), reusing the memory of the
  // previous file.
  void Build(const LineList& lines);

  // The first line s on the search path from `from` whose declaration, lower-cased and with its
  // blanks removed, equals `key`; -1 when there is none.
  int Find(int from, std::string_view key) const;

  // The declaration read from line q, lower-cased and with its blanks removed.
  std::string Normalized(int q) const;

 private:
  struct Hashed {
    uint64_t hash;
    uint64_t length;
  };
  Hashed LineHash(int q) const;
  void HashLine(int i, bool gathered);
  uint64_t Power(uint64_t exponent);
  bool OnPath(int from, int s) const;

  const LineList* lines_ = nullptr;  // not owned
  int n_ = 0;
  std::vector<int> end_;       // last line of the declaration read from each line
  std::vector<int> preorder_;  // number of each line in a pre-order walk of the path tree
  std::vector<int> size_;      // lines in each line's subtree of the path tree, itself included
  std::vector<int> last_non_blank_;  // nearest non-blank line at or above, or -1
  // Per line, over its text lower-cased without spaces: hash/length of the part between the
  // first and last character above code 32, and of the part up to the last such character.
  std::vector<uint64_t> trimmed_hash_, right_hash_;
  std::vector<uint32_t> trimmed_len_, right_len_;
  // Hash and length of the gathered lines before line i, each lower-cased without spaces.
  std::vector<uint64_t> prefix_hash_, prefix_len_;
  std::vector<char> candidate_;                       // lines that can match a key at all
  std::vector<int> next_slot_;                        // scratch for the pre-order numbering
  std::vector<std::pair<uint64_t, int>> candidates_;  // (hash, line), sorted
  std::vector<uint64_t> powers_;                      // kBase^k for short lengths
};

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_HEADING_INDEX_H_
