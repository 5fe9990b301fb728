#ifndef GLOSSATOR_PARSER_PASCAL_DECLARATION_TEXT_H_
#define GLOSSATOR_PARSER_PASCAL_DECLARATION_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

#include "parser/pascal/token.h"

namespace glossator::pascal {

// Joins tokens into a declaration as a reader writes it: one space between tokens, except none
// before ";" "," ")" "]" ":" "." ".." and a generic's brackets, none after "(" "[" "." ".." "@"
// "^" and a sign, and none between a name (or "procedure", "function", "class", "array", ...)
// and the "(" or "[" after it. Escaped identifiers keep their "&".
//
//   procedure Foo ( A : Integer ; const B : string ) : Boolean ;
//       => "procedure Foo(A: Integer; const B: string): Boolean;"
//   TList < T : class > = class ( TObject )   => "TList<T: class> = class(TObject)"
//   X = - 1 .. 1 ;                            => "X = -1..1;"
//   A : array [ 0 .. 9 ] of ^ TFoo            => "A: array[0..9] of ^TFoo"
class DeclarationText {
 public:
  // REQUIRES: `token` outlives this object (the previous two tokens are kept for spacing).
  void Add(const Token& token);
  // Tokens [begin, end) of `tokens`.
  void AddRange(const std::vector<Token>& tokens, size_t begin, size_t end);
  // Appends `text` as it is, such as the ";" of a declaration written without one.
  void AppendRaw(std::string_view text) { text_.append(text); }
  bool Empty() const { return text_.empty(); }
  const std::string& Text() const { return text_; }
  std::string Take() { return std::move(text_); }

 private:
  bool SpaceBefore(const Token& next) const;

  std::string text_;
  const Token* previous_ = nullptr;
  const Token* before_previous_ = nullptr;
  bool in_operator_name_ = false;  // after "operator", while its symbol's tokens come
};

// The tokens [begin, end) joined by the rules above.
std::string JoinTokens(const std::vector<Token>& tokens, size_t begin, size_t end);

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_DECLARATION_TEXT_H_
