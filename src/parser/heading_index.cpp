#include "parser/heading_index.h"

#include <algorithm>

#include "model/text_rules.h"
#include "parser/line_list.h"
#include "parser/member_words.h"

namespace glossator {

namespace {

// Polynomial hashing modulo 2^64 (plain wrapping arithmetic). A match is always confirmed by
// comparing the texts, so a collision costs time, never a wrong answer.
constexpr uint64_t kBase = 0x9e3779b97f4a7c15ULL;

// kBase to the power `exponent`, by squaring.
uint64_t BasePower(uint64_t exponent) {
  uint64_t result = 1;
  uint64_t base = kBase;
  while (exponent > 0) {
    if (exponent & 1) result *= base;
    base *= base;
    exponent >>= 1;
  }
  return result;
}

// Appends one character to a hash. Every character counts as its code plus one, so none counts
// as zero: with a zero digit, texts that differ only by leading NUL characters would hash alike.
uint64_t Step(uint64_t hash, char c) {
  return hash * kBase + (static_cast<unsigned char>(ToLowerAscii(c)) + uint64_t{1});
}

// hash(a + b) from the hashes of a and b.
uint64_t Join(uint64_t a, uint64_t b, uint64_t b_length) { return a * BasePower(b_length) + b; }

// Whether the line, lower-cased and without spaces, starts with one of the words every key
// starts with. Only the start matters: twelve characters hold the longest word, "constructor"
// (eleven), so the copy stops there whatever the line's length.
bool StartsLikeHeading(std::string_view trimmed) {
  char head[12];
  size_t len = 0;
  for (char c : trimmed) {
    if (c == ' ') continue;
    head[len++] = ToLowerAscii(c);
    if (len == sizeof head) break;
  }
  std::string_view start(head, len);
  for (std::string_view word : {"procedure", "function", "constructor", "destructor", "property"}) {
    if (start.substr(0, word.size()) == word) return true;
  }
  return false;
}

}  // namespace

void HeadingIndex::Build(const LineList& lines) {
  lines_ = &lines;
  n_ = lines.Count();
  size_t n = static_cast<size_t>(n_);
  end_.assign(n, 0);
  last_non_blank_.assign(n, -1);
  trimmed_hash_.assign(n, 0);
  right_hash_.assign(n, 0);
  trimmed_len_.assign(n, 0);
  right_len_.assign(n, 0);
  prefix_hash_.assign(n + 1, 0);
  prefix_len_.assign(n + 1, 0);

  // Where each declaration ends: a member heading runs to the first line that holds its closer
  // (")" when the heading holds "(", else ";"), or to the last line.
  int next_paren = -1;
  int next_semi = -1;
  std::vector<char>& candidate = candidate_;
  candidate.assign(n, 0);
  for (int q = n_ - 1; q >= 0; --q) {
    if (lines.Has(q, LineList::kCloseParen)) next_paren = q;
    if (lines.Has(q, LineList::kSemicolon)) next_semi = q;
    end_[q] = q;
    if (lines.IsBlank(q)) continue;
    std::string_view head = lines.TrimmedAt(q);
    // Member words and the words keys start with all begin with one of these letters.
    char first = ToLowerAscii(head.front());
    if (first != 'p' && first != 'f' && first != 'c' && first != 'd') continue;
    if (StartsWithMemberWord(head)) {
      int closer_line = lines.Has(q, LineList::kOpenParen) ? next_paren : next_semi;
      end_[q] = closer_line < 0 ? n_ - 1 : closer_line;
    }
    candidate[q] = StartsLikeHeading(head) ? 1 : 0;
  }

  // Only candidate lines need the hash of their own text, and only lines that some heading
  // gathers need the others: usually a handful of lines in a file.
  int reach = -1;
  for (size_t i = 0; i < n; ++i) {
    bool gathered = reach >= static_cast<int>(i);
    if (end_[i] > reach) reach = end_[i];
    last_non_blank_[i] = lines.IsBlank(static_cast<int>(i)) ? (i > 0 ? last_non_blank_[i - 1] : -1)
                                                            : static_cast<int>(i);
    prefix_hash_[i + 1] = prefix_hash_[i];
    prefix_len_[i + 1] = prefix_len_[i];
    if (!gathered && !candidate[i]) continue;
    HashLine(static_cast<int>(i), gathered);
  }

  // A search that reads the declaration at line q goes on at the line after its last one,
  // end_[q] + 1 (n_ when it used the last line). Taken as parent links these make a tree rooted
  // at n_ in which every parent has a larger number than its children, and the lines a search
  // from q reads are q and its ancestors. Children come before their parent in an ascending
  // pass, so one such pass adds up the subtree sizes; parents come before their children in a
  // descending pass, so one such pass hands out the pre-order numbers. next_slot[p] is the
  // number the next child of p gets: the root takes 0, a line's first child comes right after
  // it, and each child's subtree takes the next size_[child] numbers.
  size_.assign(n + 1, 1);
  for (size_t q = 0; q < n; ++q) size_[end_[q] + 1] += size_[q];
  preorder_.assign(n + 1, 0);
  std::vector<int>& next_slot = next_slot_;
  next_slot.assign(n + 1, 0);
  next_slot[n] = 1;
  for (size_t q = n; q > 0; --q) {
    int parent = end_[q - 1] + 1;
    preorder_[q - 1] = next_slot[parent];
    next_slot[parent] += size_[q - 1];
    next_slot[q - 1] = preorder_[q - 1] + 1;
  }

  candidates_.clear();
  for (int q = 0; q < n_; ++q) {
    if (candidate[q]) candidates_.emplace_back(LineHash(q).hash, q);
  }
  std::sort(candidates_.begin(), candidates_.end());
}

void HeadingIndex::HashLine(int i, bool gathered) {
  std::string_view line = lines_->At(i);
  uint64_t full = 0;
  uint64_t full_len = 0;
  uint64_t right = 0;
  uint64_t right_len = 0;
  uint64_t before_first = 0;  // hash of the part before the first significant character
  uint64_t before_first_len = 0;
  bool seen = false;
  for (char c : line) {
    if (c == ' ') continue;
    if (!seen && IsTrimmed(c)) {
      before_first = Step(before_first, c);
      ++before_first_len;
    }
    full = Step(full, c);
    ++full_len;
    if (!IsTrimmed(c)) {
      seen = true;
      right = full;
      right_len = full_len;
    }
  }
  right_hash_[i] = right;
  right_len_[i] = static_cast<uint32_t>(right_len);
  if (seen) {
    // `right` hashes the leading control characters followed by the trimmed text. Since
    // hash(a + b) = hash(a) * kBase^|b| + hash(b), taking away hash(a) * kBase^|b| leaves the
    // hash of the trimmed text alone; wrapping arithmetic makes the subtraction exact.
    uint64_t len = right_len - before_first_len;
    trimmed_hash_[i] = right - before_first * Power(len);
    trimmed_len_[i] = static_cast<uint32_t>(len);
  }
  // Cumulative over gathered lines only: a gathered stretch is always contiguous. The entry at
  // i + 1 covers the lines before i + 1, so the entry at 0 is the empty text.
  if (gathered) {
    prefix_hash_[i + 1] = prefix_hash_[i] * Power(full_len) + full;
    prefix_len_[i + 1] = prefix_len_[i] + full_len;
  }
}

// Exponents are line lengths. Powers up to 4,096 (32 KiB of table) are kept, which covers every
// ordinary line; a longer line is computed by squaring instead, so that a file made of one huge
// line does not grow the table to eight bytes per character of that line.
uint64_t HeadingIndex::Power(uint64_t exponent) {
  if (exponent >= powers_.size()) {
    if (exponent > 4096) return BasePower(exponent);
    if (powers_.empty()) powers_.push_back(1);
    while (powers_.size() <= exponent) powers_.push_back(powers_.back() * kBase);
  }
  return powers_[exponent];
}

HeadingIndex::Hashed HeadingIndex::LineHash(int q) const {
  uint64_t hash = trimmed_hash_[q];
  uint64_t length = trimmed_len_[q];
  int last = end_[q] > q ? last_non_blank_[end_[q]] : -1;
  if (last > q) {
    // The first line trimmed, the lines after it whole, the last non-blank one up to its last
    // significant character; blank lines at the end fall to the final trim. The lines
    // q + 1 .. last - 1 are all gathered by q, so the prefix hashes before them and before
    // `last` differ by exactly these lines: the same subtraction as in HashLine.
    uint64_t mid_len = prefix_len_[last] - prefix_len_[q + 1];
    uint64_t mid = prefix_hash_[last] - prefix_hash_[q + 1] * BasePower(mid_len);
    hash = Join(Join(hash, mid, mid_len), right_hash_[last], right_len_[last]);
    length += mid_len + right_len_[last];
  }
  return {hash, length};
}

// Whether a search from `from` reads the declaration at line s, that is whether s is `from` or
// one of its ancestors in the path tree. A subtree holds consecutive pre-order numbers, starting
// with its root's and size_[s] of them, so s is an ancestor exactly when the number of `from`
// falls in that range.
bool HeadingIndex::OnPath(int from, int s) const {
  return preorder_[s] <= preorder_[from] && preorder_[from] < preorder_[s] + size_[s];
}

std::string HeadingIndex::Normalized(int q) const {
  std::string text(Trim(lines_->At(q)));
  for (int i = q + 1; i <= end_[q]; ++i) text += lines_->At(i);
  std::string out;
  for (char c : Trim(text)) {
    if (c != ' ') out += ToLowerAscii(c);
  }
  return out;
}

int HeadingIndex::Find(int from, std::string_view key) const {
  if (from < 0 || from >= n_ || key.empty()) return -1;
  uint64_t hash = 0;
  for (char c : key) hash = Step(hash, c);
  // Candidates are sorted by hash, then by line. A search from `from` reads only `from` and the
  // lines after it, so equal hashes on earlier lines are skipped by starting at (hash, from).
  // The path visits lines in ascending order, so the first confirmed match is the line the
  // search reaches first; a hash collision falls to the text comparison and the loop goes on.
  auto s = std::lower_bound(candidates_.begin(), candidates_.end(), std::make_pair(hash, from));
  for (; s != candidates_.end() && s->first == hash; ++s) {
    int line = s->second;
    if (OnPath(from, line) && LineHash(line).length == key.size() && Normalized(line) == key) {
      return line;
    }
  }
  return -1;
}

}  // namespace glossator
