#include "html/site/pascal_lexer.h"

namespace glossator {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordByte(char c) { return IsWordStart(c) || IsDigit(c); }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

bool IsWordStart(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

Token PascalLexer::Next() {
  if (pos_ >= text_.size()) return {};
  size_t start = pos_;
  Tok type = Scan();
  return {type, text_.substr(start, pos_ - start)};
}

Token PascalLexer::PeekSignificant() const {
  PascalLexer copy = *this;
  for (;;) {
    Token t = copy.Next();
    if (t.type != Tok::kSpace && t.type != Tok::kComment) return t;
  }
}

std::string_view PascalLexer::TakeDot() {
  size_t p = SkipBlanks(pos_);
  if (p >= text_.size() || text_[p] != '.' || At(p + 1) == '.') return {};
  size_t after = SkipBlanks(p + 1);
  if (after >= text_.size() || !IsWordStart(text_[after])) return {};
  std::string_view joint = text_.substr(pos_, after - pos_);
  pos_ = after;
  return joint;
}

size_t PascalLexer::SkipBlanks(size_t p) const {
  while (p < text_.size() && text_[p] == ' ') ++p;
  return p;
}

void PascalLexer::While(bool (*accept)(char)) {
  while (pos_ < text_.size() && accept(text_[pos_])) ++pos_;
}

// Moves behind `end`, or to the end of the text when it never comes.
void PascalLexer::Through(std::string_view end) {
  size_t found = text_.find(end, pos_);
  pos_ = found == std::string_view::npos ? text_.size() : found + end.size();
}

Tok PascalLexer::Scan() {
  char c = text_[pos_];
  if (static_cast<unsigned char>(c) <= ' ') {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') ++pos_;
    return Tok::kSpace;
  }
  if (IsWordStart(c) || (c == '&' && IsWordStart(At(pos_ + 1)))) {
    ++pos_;
    While(IsWordByte);
    return Tok::kWord;
  }
  if (IsDigit(c)) return ScanNumber();
  if ((c == '$' && IsHexDigit(At(pos_ + 1))) || (c == '&' && IsDigit(At(pos_ + 1))) ||
      (c == '%' && (At(pos_ + 1) == '0' || At(pos_ + 1) == '1'))) {
    ++pos_;
    While(IsHexDigit);
    return Tok::kNumber;
  }
  if (c == '\'' || (c == '#' && (IsDigit(At(pos_ + 1)) || At(pos_ + 1) == '$'))) {
    return ScanString();
  }
  return ScanCommentOrSymbol(c);
}

Tok PascalLexer::ScanNumber() {
  While(IsDigit);
  if (At(pos_) == '.' && IsDigit(At(pos_ + 1))) {
    ++pos_;
    While(IsDigit);
  }
  char e = At(pos_);
  size_t digits = pos_ + 1 + ((At(pos_ + 1) == '+' || At(pos_ + 1) == '-') ? 1 : 0);
  if ((e == 'e' || e == 'E') && IsDigit(At(digits))) {
    pos_ = digits;
    While(IsDigit);
  }
  return Tok::kNumber;
}

// A quoted string ('' inside is a quote) or a character code (#13, #$0D), and whatever of
// either follows at once: 'a'#13'b' is one string.
Tok PascalLexer::ScanString() {
  for (;;) {
    char c = At(pos_);
    if (c == '\'') {
      ++pos_;
      Through("'");
    } else if (c == '#' && (IsDigit(At(pos_ + 1)) || At(pos_ + 1) == '$')) {
      pos_ += 2;
      While(IsHexDigit);
    } else {
      return Tok::kString;
    }
  }
}

Tok PascalLexer::ScanCommentOrSymbol(char c) {
  ++pos_;
  if (c == '{') {
    Through("}");
  } else if (c == '(' && At(pos_) == '*') {
    ++pos_;
    Through("*)");
  } else if (c == '/' && At(pos_) == '/') {
    Through("\n");
  } else {
    return Tok::kSymbol;
  }
  return Tok::kComment;
}

}  // namespace glossator
