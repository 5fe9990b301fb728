#include "parser/pascal/lexer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace glossator::pascal {
namespace {

// Byte classes: identifier bytes (bytes of 128 and above count as letters, so that UTF-8 names
// read whole), digits of the three bases.
enum : uint8_t { kIdentStart = 1, kIdentPart = 2, kDecimal = 4, kHex = 8 };

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 128;
    bool digit = c >= '0' && c <= '9';
    bool hex = digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    classes[c] = static_cast<uint8_t>((letter ? kIdentStart | kIdentPart : 0) |
                                      (digit ? kIdentPart | kDecimal : 0) | (hex ? kHex : 0));
  }
  return classes;
}

constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

// The symbols of one character; everything else is Id::kOtherSymbol.
constexpr std::array<Id, 256> MakeSymbols() {
  std::array<Id, 256> symbols{};
  symbols.fill(Id::kOtherSymbol);
  const std::pair<char, Id> singles[] = {
      {';', Id::kSemicolon}, {',', Id::kComma},    {':', Id::kColon},  {'=', Id::kEqual},
      {'<', Id::kLess},      {'>', Id::kGreater},  {'(', Id::kLParen}, {')', Id::kRParen},
      {'[', Id::kLBracket},  {']', Id::kRBracket}, {'.', Id::kDot},    {'^', Id::kCaret},
      {'@', Id::kAt},        {'+', Id::kPlus},     {'-', Id::kMinus},  {'*', Id::kStar},
      {'/', Id::kSlash}};
  for (const auto& [c, id] : singles) symbols[static_cast<unsigned char>(c)] = id;
  return symbols;
}

constexpr std::array<Id, 256> kSymbols = MakeSymbols();

// The symbols of two characters. ">=" is not one of them: a generic's ">" may stand right before
// "=" ("TList<T>=class"), so ">" and "=" come apart and the declaration text joins them again.
struct SymbolPair {
  char first;
  char second;
  Id id;
};

constexpr SymbolPair kPairs[] = {{':', '=', Id::kAssign},    {'<', '>', Id::kNotEqual},
                                 {'<', '=', Id::kLessEqual}, {'(', '.', Id::kLBracket},
                                 {'.', '.', Id::kDotDot},    {'.', ')', Id::kRBracket},
                                 {'*', '*', Id::kPower}};

inline bool Has(char c, uint8_t what) {
  return (kClasses[static_cast<unsigned char>(c)] & what) != 0;
}

}  // namespace

Lexer::Lexer(std::string_view text, int first_line)
    : p_(text.data()), end_(text.data() + text.size()), line_(first_line) {
  // A UTF-8 byte order mark is no part of the source.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") p_ += 3;
}

void Lexer::CountLines(const char* from, const char* to) {
  line_ += static_cast<int>(std::count(from, to, '\n'));
}

void Lexer::SkipBlanks() {
  while (p_ < end_ && static_cast<unsigned char>(*p_) <= ' ') {
    if (*p_ == '\n') ++line_;
    ++p_;
  }
}

Lexeme Lexer::Next() {
  SkipBlanks();
  Lexeme lexeme;
  if (p_ >= end_) return lexeme;
  const char* start = p_;
  lexeme.line = line_;
  const char c = *p_;
  const char next = p_ + 1 < end_ ? p_[1] : '\0';
  if (c == '{') {
    ReadBraceComment(lexeme);
  } else if (c == '(' && next == '*') {
    ReadParenStarComment(lexeme);
  } else if (c == '/' && next == '/') {
    ReadLineComment(lexeme);
  } else if (c == '\'' || (c == '#' && (Has(next, kDecimal) || next == '$' || next == '%'))) {
    ReadString(lexeme);
  } else if (Has(c, kIdentStart)) {
    while (p_ < end_ && Has(*p_, kIdentPart)) ++p_;
    lexeme.kind = LexKind::kToken;
    lexeme.text = std::string_view(start, p_ - start);
    lexeme.id = LookupWord(lexeme.text);
  } else if (c == '&' && Has(next, kIdentStart)) {
    ++p_;
    while (p_ < end_ && Has(*p_, kIdentPart)) ++p_;
    lexeme.kind = LexKind::kToken;
    lexeme.text = std::string_view(start + 1, p_ - start - 1);
    lexeme.id = Id::kIdentifier;
    lexeme.flags |= kEscaped;
  } else if (Has(c, kDecimal) || (c == '$' && Has(next, kHex)) ||
             (c == '%' && (next == '0' || next == '1')) ||
             (c == '&' && next >= '0' && next <= '7')) {
    ReadNumber(c == '$' ? 16 : c == '%' ? 2 : c == '&' ? 8 : 10);
    lexeme.kind = LexKind::kToken;
    lexeme.id = Id::kNumber;
    lexeme.text = std::string_view(start, p_ - start);
  } else {
    ReadSymbol(lexeme);
  }
  // Where it stands relative to the lexeme before it.
  if (lexeme.kind == LexKind::kToken) {
    if (start == previous_end_) lexeme.flags |= kGlued;
    if (previous_ == LexKind::kComment) lexeme.flags |= kFollowsComment;
  } else if (lexeme.kind == LexKind::kComment) {
    if (previous_ == LexKind::kEnd || previous_end_line_ < lexeme.line) lexeme.flags |= kOwnLine;
    if (previous_ == LexKind::kComment) lexeme.flags |= kAfterComment;
    if (previous_ == LexKind::kToken) lexeme.flags |= kAfterToken;
  }
  previous_ = lexeme.kind;
  previous_end_line_ = line_;
  previous_end_ = p_;
  return lexeme;
}

void Lexer::ReadBraceComment(Lexeme& lexeme) {
  const char* start = p_;
  const char* close = static_cast<const char*>(std::memchr(p_, '}', end_ - p_));
  lexeme.unterminated = close == nullptr;
  const char* stop = close == nullptr ? end_ : close + 1;
  CountLines(p_, stop);
  p_ = stop;
  const char second = start + 1 < end_ ? start[1] : '\0';
  const char third = start + 2 < end_ ? start[2] : '\0';
  if (second == '$') {
    lexeme.kind = LexKind::kDirective;
    lexeme.text = std::string_view(start + 2, (close == nullptr ? end_ : close) - (start + 2));
    return;
  }
  lexeme.kind = LexKind::kComment;
  lexeme.text = std::string_view(start, stop - start);
  if (second == '*' && third == '*') {
    lexeme.style = CommentStyle::kDocBrace;
  } else if (second == '<') {
    lexeme.style = CommentStyle::kBackBrace;
  } else if (second == '%') {
    lexeme.style = CommentStyle::kIdeMarker;
  }
}

void Lexer::ReadParenStarComment(Lexeme& lexeme) {
  const char* start = p_;
  const char* close = nullptr;
  for (const char* q = p_ + 2; q + 1 < end_;) {
    q = static_cast<const char*>(std::memchr(q, '*', end_ - q - 1));
    if (q == nullptr) break;
    if (q[1] == ')') {
      close = q;
      break;
    }
    ++q;
  }
  lexeme.unterminated = close == nullptr;
  const char* stop = close == nullptr ? end_ : close + 2;
  CountLines(p_, stop);
  p_ = stop;
  if (start + 2 < end_ && start[2] == '$') {
    lexeme.kind = LexKind::kDirective;
    lexeme.text = std::string_view(start + 3, (close == nullptr ? end_ : close) - (start + 3));
    return;
  }
  lexeme.kind = LexKind::kComment;
  lexeme.style = CommentStyle::kParenStar;
  lexeme.text = std::string_view(start, stop - start);
}

void Lexer::ReadLineComment(Lexeme& lexeme) {
  const char* start = p_;
  const char* eol = static_cast<const char*>(std::memchr(p_, '\n', end_ - p_));
  p_ = eol == nullptr ? end_ : eol;
  const char* stop = p_;
  if (stop > start && stop[-1] == '\r') --stop;
  lexeme.kind = LexKind::kComment;
  lexeme.style = CommentStyle::kSlashes;
  lexeme.text = std::string_view(start, stop - start);
  const char third = start + 2 < stop ? start[2] : '\0';
  const char fourth = start + 3 < stop ? start[3] : '\0';
  if (third == '/' && fourth != '/') {
    lexeme.style = CommentStyle::kTripleSlash;
  } else if (third == '<') {
    lexeme.style = CommentStyle::kBackSlashes;
  }
}

// A string: quoted parts and character codes without blanks between ("'a'#13#10'b'"). A quoted
// part ends at its line's end when the closing quote is missing.
void Lexer::ReadString(Lexeme& lexeme) {
  const char* start = p_;
  lexeme.kind = LexKind::kToken;
  lexeme.id = Id::kStringLiteral;
  if (ReadMultiLineString()) {
    lexeme.text = std::string_view(start, p_ - start);
    return;
  }
  while (p_ < end_) {
    if (*p_ == '\'') {
      ++p_;
      for (;;) {
        if (p_ >= end_ || *p_ == '\n' || *p_ == '\r') {
          lexeme.unterminated = true;
          break;
        }
        if (*p_++ == '\'') {
          if (p_ < end_ && *p_ == '\'') {
            ++p_;
            continue;
          }
          break;
        }
      }
      if (lexeme.unterminated) break;
    } else if (*p_ == '#') {
      ++p_;
      if (p_ < end_ && *p_ == '$') {
        ++p_;
        while (p_ < end_ && Has(*p_, kHex)) ++p_;
      } else if (p_ < end_ && *p_ == '%') {
        ++p_;
        while (p_ < end_ && (*p_ == '0' || *p_ == '1')) ++p_;
      } else {
        while (p_ < end_ && Has(*p_, kDecimal)) ++p_;
      }
    } else {
      break;
    }
  }
  lexeme.text = std::string_view(start, p_ - start);
}

// A multi-line string opens with ''' and nothing but blanks up to the line's end, and closes with
// ''' as the first thing on a later line. Returns false, reading nothing, for anything else.
bool Lexer::ReadMultiLineString() {
  if (end_ - p_ < 3 || p_[1] != '\'' || p_[2] != '\'') return false;
  const char* q = p_ + 3;
  while (q < end_ && (*q == ' ' || *q == '\t' || *q == '\r')) ++q;
  if (q >= end_ || *q != '\n') return false;
  for (;;) {
    const char* eol = static_cast<const char*>(std::memchr(q, '\n', end_ - q));
    if (eol == nullptr) {
      CountLines(p_, end_);
      p_ = end_;
      return true;
    }
    q = eol + 1;
    while (q < end_ && (*q == ' ' || *q == '\t')) ++q;
    if (end_ - q >= 3 && q[0] == '\'' && q[1] == '\'' && q[2] == '\'') {
      q += 3;
      CountLines(p_, q);
      p_ = q;
      return true;
    }
  }
}

void Lexer::ReadNumber(int base) {
  if (base != 10) {
    ++p_;
    while (p_ < end_ && (Has(*p_, base == 16 ? kHex : kDecimal) || *p_ == '_')) ++p_;
    return;
  }
  while (p_ < end_ && (Has(*p_, kDecimal) || *p_ == '_')) ++p_;
  // A fraction needs a digit after the point: "1..9" is a range, not "1." and ".9".
  if (end_ - p_ >= 2 && *p_ == '.' && Has(p_[1], kDecimal)) {
    ++p_;
    while (p_ < end_ && (Has(*p_, kDecimal) || *p_ == '_')) ++p_;
  }
  if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
    const char* q = p_ + 1;
    if (q < end_ && (*q == '+' || *q == '-')) ++q;
    if (q < end_ && Has(*q, kDecimal)) {
      p_ = q;
      while (p_ < end_ && Has(*p_, kDecimal)) ++p_;
    }
  }
}

void Lexer::ReadSymbol(Lexeme& lexeme) {
  const char* start = p_;
  const char c = *p_++;
  const char next = p_ < end_ ? *p_ : '\0';
  Id id = kSymbols[static_cast<unsigned char>(c)];
  for (const SymbolPair& pair : kPairs) {
    if (c == pair.first && next == pair.second) {
      id = pair.id;
      ++p_;
      break;
    }
  }
  lexeme.kind = LexKind::kToken;
  lexeme.id = id;
  lexeme.text = std::string_view(start, p_ - start);
}

}  // namespace glossator::pascal
