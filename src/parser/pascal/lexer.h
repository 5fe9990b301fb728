#ifndef GLOSSATOR_PARSER_PASCAL_LEXER_H_
#define GLOSSATOR_PARSER_PASCAL_LEXER_H_

#include <cstdint>
#include <string_view>

#include "parser/pascal/token.h"

namespace glossator::pascal {

enum class LexKind : uint8_t { kToken, kComment, kDirective, kEnd };

// How a comment is written; the comment rules read only some of them.
enum class CommentStyle : uint8_t {
  kBrace,        // { ... }
  kParenStar,    // (* ... *)
  kSlashes,      // // ...
  kDocBrace,     // {** ... }
  kTripleSlash,  // /// ...
  kBackBrace,    // {< ... }
  kBackSlashes,  // //< ...
  kIdeMarker,    // {%H-}, {%region}: the IDE's marks, never documentation
};

// Comment flags.
enum : uint8_t {
  kOwnLine = 1,       // nothing but blanks before it on its first line
  kAfterComment = 2,  // the lexeme before it in its file is a comment
  kAfterToken = 4,    // the lexeme before it in its file is a token
};

// One lexeme of a file: a token, a comment or a directive.
struct Lexeme {
  LexKind kind = LexKind::kEnd;
  Id id = Id::kEndOfStream;  // tokens
  uint8_t flags = 0;         // token flags (token.h) or comment flags (above)
  CommentStyle style = CommentStyle::kBrace;
  bool unterminated = false;  // a comment, directive or string that the file ends inside
  int line = 0;               // the first line
  // Tokens: the token's text (an escaped identifier without its "&"). Comments: the whole
  // comment with its markers. Directives: the text between "{$" (or "(*$") and the closer.
  std::string_view text;
};

// Splits the bytes of one file into lexemes. Any byte sequence is accepted: what is no Pascal
// comes out as kOtherSymbol tokens, and an unterminated comment or string ends at the end of the
// file (or, for a string, at the end of its line) with `unterminated` set. Linear in the input.
//
//   "X := $FF; // c"  => X, :=, $FF, ;, comment "// c"
//   "{$IFDEF A}&Type" => directive "IFDEF A", identifier "Type" (escaped)
//   "'a'#13#10'b'"    => one string token
class Lexer {
 public:
  // `first_line` numbers the text's first line (a macro's text takes the line it is used on).
  explicit Lexer(std::string_view text, int first_line = 1);

  // The next lexeme; kind kEnd (repeatedly) once the text is read.
  Lexeme Next();
  int Line() const { return line_; }

 private:
  void SkipBlanks();
  void ReadBraceComment(Lexeme& lexeme);
  void ReadParenStarComment(Lexeme& lexeme);
  void ReadLineComment(Lexeme& lexeme);
  void ReadString(Lexeme& lexeme);
  bool ReadMultiLineString();
  void ReadNumber(int base);
  void ReadSymbol(Lexeme& lexeme);
  void CountLines(const char* from, const char* to);

  const char* p_;
  const char* end_;
  int line_ = 1;
  LexKind previous_ = LexKind::kEnd;  // kEnd: nothing read yet
  int previous_end_line_ = 0;
  const char* previous_end_ = nullptr;
};

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_LEXER_H_
