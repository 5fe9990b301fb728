#ifndef GLOSSATOR_HTML_SITE_PASCAL_LEXER_H_
#define GLOSSATOR_HTML_SITE_PASCAL_LEXER_H_

#include <cstdint>
#include <string_view>

namespace glossator {

// The kinds of token of a declaration's text.
enum class Tok : uint8_t { kSpace, kWord, kNumber, kString, kComment, kSymbol, kEnd };

struct Token {
  Tok type = Tok::kEnd;
  std::string_view text;
};

// Splits a declaration into tokens; every byte belongs to exactly one token, and a text that
// ends inside a string or a comment ends the token there. Words are identifiers and keywords
// (a leading "&" escapes a keyword); numbers are decimal, "$" hexadecimal, "%" binary and "&"
// octal; strings are quoted texts and character codes ("#13") run together.
//
//   "A: array[0..9] of 'x'#13;" => "A" ":" " " "array" "[" "0" "." "." "9" "]" " " "of" " "
//                                  "'x'#13" ";"
class PascalLexer {
 public:
  explicit PascalLexer(std::string_view text) : text_(text) {}

  // The next token; type kEnd at the end.
  Token Next();
  // The next token that is no space or comment, without taking anything.
  Token PeekSignificant() const;
  // Takes blanks and a "." (not "..") and blanks when a word follows them: the joint of a
  // dotted name. Returns the bytes taken, or nothing with nothing taken.
  std::string_view TakeDot();

 private:
  char At(size_t p) const { return p < text_.size() ? text_[p] : '\0'; }
  size_t SkipBlanks(size_t p) const;
  void While(bool (*accept)(char));
  void Through(std::string_view end);
  Tok Scan();
  Tok ScanNumber();
  Tok ScanString();
  Tok ScanCommentOrSymbol(char c);

  std::string_view text_;
  size_t pos_ = 0;
};

// Bytes that start a word: ASCII letters, "_", and every byte of UTF-8.
bool IsWordStart(char c);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_PASCAL_LEXER_H_
