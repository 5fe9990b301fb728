#ifndef GLOSSATOR_PARSER_LINE_LIST_H_
#define GLOSSATOR_PARSER_LINE_LIST_H_

#include <string>
#include <string_view>
#include <vector>

namespace glossator {

// The lines of the unit file being parsed, indexed from 0. Reading a line outside the list throws
// ListIndexError, as the scanning rules expect. Besides the lines it keeps a few facts per line,
// computed once per file, that let the upward comment walks answer without rescanning.
class LineList {
 public:
  // Replaces the content with `text` split into lines: a line ends at CR LF, a lone CR or a
  // lone LF; a line end at the very end adds no empty line; a NUL byte ends the text.
  void SetText(std::string text);

  // Hands over the text the lines were split from and leaves the list empty.
  std::string TakeText();

  int Count() const { return static_cast<int>(lines_.size()); }
  int Last() const { return Count() - 1; }
  // Throws ListIndexError when i is outside 0..Count()-1.
  std::string_view At(int i) const;
  std::string_view TrimmedAt(int i) const;

  // What a line holds, found in the one pass that splits the text.
  enum Flag : unsigned char {
    kOpenBrace = 1,   // "{"
    kCloseBrace = 2,  // "}"
    kOpenParen = 4,   // "("
    kCloseParen = 8,  // ")"
    kSemicolon = 16,  // ";"
    kNonBlank = 32,   // a character above code 32
  };
  bool Has(int i, Flag flag) const { return (flags_[Checked(i)] & flag) != 0; }
  bool IsBlank(int i) const { return !Has(i, kNonBlank); }
  // The nearest line k <= i with k > 0 whose text holds "{", or 0 when there is none.
  int OpenBraceAtOrAbove(int i) const { return open_brace_above_[Checked(i)]; }
  // The first line k >= i whose text holds "}", or -1 when there is none.
  int CloseBraceAtOrBelow(int i) const { return close_brace_below_[Checked(i)]; }

 private:
  void Split();
  size_t Checked(int i) const;

  std::string text_;
  std::vector<std::string_view> lines_;
  std::vector<unsigned char> flags_;
  std::vector<int> open_brace_above_;
  std::vector<int> close_brace_below_;
};

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_LINE_LIST_H_
