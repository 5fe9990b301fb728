#include "parser/pascal/declaration_text.h"

#include <algorithm>

namespace glossator::pascal {
namespace {

bool IsGeneric(const Token& token) { return (token.flags & kGenericBracket) != 0; }

// A token after which a value ends: a name, a literal, a closing bracket, a postfix "^".
bool EndsOperand(const Token& token) {
  switch (token.id) {
    case Id::kNumber:
    case Id::kStringLiteral:
    case Id::kRParen:
    case Id::kRBracket:
    case Id::kNil:
    case Id::kString:
      return true;
    case Id::kGreater:
      return IsGeneric(token);
    default:
      return IsNameLike(token.id);
  }
}

// Words that take their "(" or "[" without a blank: "class(TBase)", "procedure(A: Integer)",
// "array[0..1]", "string[20]".
bool TakesBracketDirectly(Id id) {
  switch (id) {
    case Id::kProcedure:
    case Id::kFunction:
    case Id::kClass:
    case Id::kInterface:
    case Id::kDispinterface:
    case Id::kObject:
    case Id::kString:
    case Id::kArray:
    case Id::kRParen:
    case Id::kRBracket:
      return true;
    default:
      return IsNameLike(id);
  }
}

bool IsOperatorSymbol(Id id) {
  switch (id) {
    case Id::kPlus:
    case Id::kMinus:
    case Id::kStar:
    case Id::kSlash:
    case Id::kPower:
    case Id::kEqual:
    case Id::kNotEqual:
    case Id::kLess:
    case Id::kGreater:
    case Id::kLessEqual:
    case Id::kAssign:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool DeclarationText::SpaceBefore(const Token& next) const {
  if (previous_ == nullptr) return false;
  const Token& prev = *previous_;
  const Id n = next.id;
  const Id p = prev.id;
  switch (n) {
    case Id::kSemicolon:
    case Id::kComma:
    case Id::kRParen:
    case Id::kRBracket:
    case Id::kDotDot:
    case Id::kDot:
    case Id::kColon:
      return false;
    default:
      break;
  }
  if ((n == Id::kGreater || n == Id::kLess) && IsGeneric(next)) return false;
  // ">" and a glued "=" are the operator ">=" (unless the ">" closed a generic).
  if (n == Id::kEqual && p == Id::kGreater && !IsGeneric(prev) && (next.flags & kGlued)) {
    return false;
  }
  if (n == Id::kCaret && EndsOperand(prev)) return false;  // P^
  switch (p) {
    case Id::kLParen:
    case Id::kLBracket:
    case Id::kDot:
    case Id::kDotDot:
    case Id::kAt:
    case Id::kCaret:
      return false;
    default:
      break;
  }
  if (p == Id::kLess && IsGeneric(prev)) return false;
  // A sign: "-" or "+" with no operand before it.
  if ((p == Id::kMinus || p == Id::kPlus) &&
      (before_previous_ == nullptr || !EndsOperand(*before_previous_))) {
    return false;
  }
  if (n == Id::kLParen || n == Id::kLBracket) {
    if (TakesBracketDirectly(p) || (p == Id::kGreater && IsGeneric(prev))) return false;
    // FPC's "operator +(A, B: T)", "operator >=(A, B: T)".
    if (n == Id::kLParen && in_operator_name_) return false;
  }
  return true;
}

void DeclarationText::Add(const Token& token) {
  if (SpaceBefore(token)) text_ += ' ';
  if (token.flags & kEscaped) text_ += '&';
  text_.append(token.text, token.size);
  in_operator_name_ =
      token.id == Id::kOperator || (in_operator_name_ && IsOperatorSymbol(token.id));
  before_previous_ = previous_;
  previous_ = &token;
}

void DeclarationText::AddRange(const std::vector<Token>& tokens, size_t begin, size_t end) {
  end = std::min(end, tokens.size());
  // Room for each token and a space before it (an escaped name's "&" may still grow it): a
  // unit's model keeps the text, which should not carry the spare room of growing by doubling.
  size_t room = text_.size();
  for (size_t i = begin; i < end; ++i) room += tokens[i].size + 1;
  text_.reserve(room);
  for (size_t i = begin; i < end; ++i) Add(tokens[i]);
}

std::string JoinTokens(const std::vector<Token>& tokens, size_t begin, size_t end) {
  DeclarationText text;
  text.AddRange(tokens, begin, end);
  return text.Take();
}

}  // namespace glossator::pascal
