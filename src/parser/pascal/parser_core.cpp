// The parser's cursor, its item helpers and its recovery after a declaration it cannot read.
#include <algorithm>

#include "parser/pascal/declaration_parser.h"

namespace glossator::pascal {
namespace {

constexpr size_t kMaxQuoted = 40;  // longest token text quoted in a warning

// The text of a string literal without its quotes: "'It''s'" => "It's". Character codes
// between quoted parts are left out.
std::string Unquote(std::string_view literal) {
  std::string text;
  bool inside = false;
  for (size_t i = 0; i < literal.size(); ++i) {
    char c = literal[i];
    if (c != '\'') {
      if (inside) text += c;
      continue;
    }
    if (inside && i + 1 < literal.size() && literal[i + 1] == '\'') {
      text += '\'';
      ++i;
    } else {
      inside = !inside;
    }
  }
  return text;
}

bool IsVisibilityWord(Id id) {
  return id == Id::kPrivate || id == Id::kProtected || id == Id::kPublic || id == Id::kPublished ||
         id == Id::kAutomated || id == Id::kStrict;
}

}  // namespace

DeclarationParser::DeclarationParser(TokenStream& stream, const CommentReader& comments,
                                     std::vector<StreamWarning>& warnings)
    : stream_(stream), tokens_(stream.tokens), comments_(comments), warnings_(warnings) {}

Id DeclarationParser::At(size_t ahead) const {
  size_t i = pos_ + ahead;
  return i < tokens_.size() ? tokens_[i].id : Id::kEndOfStream;
}

// The cursor never moves past the stream's end token.
void DeclarationParser::Advance() {
  if (pos_ + 1 < tokens_.size()) ++pos_;
}

bool DeclarationParser::Accept(Id id) {
  if (Cur().id != id) return false;
  Advance();
  return true;
}

size_t DeclarationParser::Expect(Id id, const char* what) {
  if (Cur().id != id) Fail(std::string("expected ") + what + " but found " + Describe(Cur()));
  size_t at = pos_;
  Advance();
  return at;
}

size_t DeclarationParser::ExpectName(const char* what) {
  if (!IsNameLike(Cur().id))
    Fail(std::string("expected ") + what + " but found " + Describe(Cur()));
  size_t at = pos_;
  Advance();
  return at;
}

void DeclarationParser::Fail(const std::string& message) const { throw SyntaxError{pos_, message}; }

std::string DeclarationParser::Describe(const Token& token) const {
  if (token.id == Id::kEndOfStream) return "the end of the file";
  std::string quoted = "'";
  quoted.append(token.Text().substr(0, kMaxQuoted));
  quoted.append(token.size > kMaxQuoted ? "...'" : "'");
  return quoted;
}

void DeclarationParser::Warn(size_t position, const std::string& text) {
  const Token& token = tokens_[std::min(position, tokens_.size() - 1)];
  warnings_.push_back(
      StreamWarning{static_cast<uint32_t>(position),
                    Warning{stream_.files[token.file], token.line, "pascal-syntax", text, {}}});
}

std::string DeclarationParser::TokenText(size_t index) const {
  return std::string(tokens_[index].Text());
}

// "Vcl.Forms", "System.Generics.Collections": names joined by dots.
std::string DeclarationParser::DottedName() {
  std::string name = TokenText(ExpectName("a name"));
  while (Cur().id == Id::kDot && IsNameLike(At(1))) {
    Advance();
    name += '.';
    name += TokenText(pos_);
    Advance();
  }
  return name;
}

// The parameters of a generic's declaration, constraints left out: "<T: class; U>" => "<T, U>".
// Marks the brackets (and those of constraints such as IComparable<T>) for the declaration text.
// REQUIRES: Cur() is "<".
std::string DeclarationParser::GenericParameters() {
  std::vector<std::string> names;
  bool expect_name = true;
  bool in_constraint = false;
  int depth = 0;
  do {
    const Id id = Cur().id;
    if (id == Id::kLess) {
      tokens_[pos_].flags |= kGenericBracket;
      ++depth;
    } else if (id == Id::kGreater) {
      tokens_[pos_].flags |= kGenericBracket;
      --depth;
    } else if (depth == 1 && id == Id::kSemicolon) {
      expect_name = true;
      in_constraint = false;
    } else if (depth == 1 && id == Id::kComma) {
      expect_name = !in_constraint;
    } else if (depth == 1 && id == Id::kColon) {
      in_constraint = true;
      expect_name = false;
    } else if (depth == 1 && expect_name && IsNameLike(id)) {
      names.push_back(TokenText(pos_));
      expect_name = false;
    } else if (id == Id::kEqual || id == Id::kEndOfStream || id == Id::kImplementation ||
               id == Id::kLParen || id == Id::kEnd) {
      Fail("unterminated generic parameters");
    }
    Advance();
  } while (depth > 0);
  std::string text = "<";
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += ", ";
    text += names[i];
  }
  return text + ">";
}

// Skips "<...>" after a generic type's name, marking its brackets. REQUIRES: Cur() is "<".
void DeclarationParser::SkipGenericArguments() {
  int depth = 0;
  do {
    const Id id = Cur().id;
    if (id == Id::kLess) {
      tokens_[pos_].flags |= kGenericBracket;
      ++depth;
    } else if (id == Id::kGreater) {
      tokens_[pos_].flags |= kGenericBracket;
      --depth;
    } else if (id == Id::kSemicolon || id == Id::kEqual || id == Id::kEndOfStream ||
               id == Id::kImplementation || id == Id::kEnd) {
      Fail("unterminated generic arguments");
    }
    Advance();
  } while (depth > 0);
}

// A type's text for DocItem::type: its tokens joined, FPC's "specialize" left out.
std::string DeclarationParser::JoinType(size_t begin, size_t end) const {
  DeclarationText text;
  for (size_t i = begin; i < end; ++i) {
    if (tokens_[i].id != Id::kSpecialize) text.Add(tokens_[i]);
  }
  return text.Take();
}

// Moves to the ")" or "]" that closes the bracket at the cursor and returns its index; the cursor
// stays on it. Fails at the end of the part when it is missing.
size_t DeclarationParser::SkipBalanced() {
  int depth = 0;
  for (;;) {
    const Id id = Cur().id;
    if (id == Id::kLParen || id == Id::kLBracket) {
      ++depth;
    } else if (id == Id::kRParen || id == Id::kRBracket) {
      if (--depth == 0) return pos_;
    } else if (id == Id::kEndOfStream || id == Id::kImplementation) {
      Fail("unclosed bracket");
    }
    Advance();
  }
}

// Attributes ("[Weak]", "[Attr(1)]") and an interface's GUID are skipped; a comment above them
// belongs to the item that follows.
void DeclarationParser::SkipAttribute() {
  std::string comment = comments_.Leading(pos_);
  if (!comment.empty()) pending_comment_ = std::move(comment);
  SkipBalanced();
  Advance();
}

void DeclarationParser::EnterNesting() {
  if (nesting_ >= kMaxNesting) Fail("declarations nested too deeply");
  ++nesting_;
}

DocItem DeclarationParser::NewItem(ItemKind kind, size_t name_token, std::string name,
                                   size_t first_token, const Scope& scope) {
  DocItem item;
  item.kind = kind;
  item.name = std::move(name);
  // The declaration's first token gives the place ("class function" may stand a line above
  // its name only in odd layouts, but an item is where its declaration starts).
  const Token& token = tokens_[first_token];
  item.file = stream_.files[tokens_[name_token].file];
  item.line = tokens_[name_token].file == token.file ? token.line : tokens_[name_token].line;
  if (scope.member) item.visibility = scope.visibility;
  item.class_member = scope.class_var;
  item.comment = comments_.Leading(first_token);
  if (item.comment.empty()) item.comment = std::move(pending_comment_);
  pending_comment_.clear();
  return item;
}

void DeclarationParser::FinishItem(DocItem& item, size_t first, size_t last) {
  item.declaration = JoinTokens(tokens_, first, last + 1);
  if (item.comment.empty()) item.comment = comments_.Trailing(last);
}

void DeclarationParser::FinishItem(DocItem& item, DeclarationText& text, size_t last) {
  item.declaration = text.Take();
  if (item.comment.empty()) item.comment = comments_.Trailing(last);
}

// A hint directive at the cursor ("deprecated 'Use Y'", "platform", ...): read into `hints`.
bool DeclarationParser::ReadHint(Hints& hints) {
  switch (Cur().id) {
    case Id::kDeprecated:
      hints.deprecated = true;
      Advance();
      if (Cur().id == Id::kStringLiteral) {
        hints.deprecated_message = Unquote(Cur().Text());
        Advance();
      }
      return true;
    case Id::kPlatform:
      hints.platform = true;
      break;
    case Id::kExperimental:
      hints.experimental = true;
      break;
    case Id::kLibrary:
      hints.library = true;
      break;
    case Id::kUnimplemented:
      break;
    default:
      return false;
  }
  Advance();
  return true;
}

void DeclarationParser::ReadHints(Hints& hints) {
  while (ReadHint(hints)) Accept(Id::kComma);
}

// After a unit-level declaration it cannot read: on to the next ";" at bracket depth 0 that is
// followed by something that starts an item, or to the next section keyword.
void DeclarationParser::Recover(size_t start) {
  if (pos_ == start) Advance();
  int depth = 0;
  while (!AtEnd()) {
    const Id id = Cur().id;
    switch (id) {
      case Id::kImplementation:
      case Id::kType:
      case Id::kResourcestring:
      case Id::kThreadvar:
      case Id::kBegin:
      case Id::kInitialization:
      case Id::kFinalization:
        return;
      case Id::kConst:
      case Id::kVar:
      case Id::kProcedure:
      case Id::kFunction:
      case Id::kProperty:
        if (depth == 0) return;
        break;
      case Id::kEnd:
        if (At(1) == Id::kDot) return;
        break;
      case Id::kLParen:
      case Id::kLBracket:
        ++depth;
        break;
      case Id::kRParen:
      case Id::kRBracket:
        depth = std::max(0, depth - 1);
        break;
      case Id::kSemicolon:
        if (depth == 0) {
          Advance();
          const Id next = Cur().id;
          const Id after = At(1);
          if (IsNameLike(next) && (after == Id::kEqual || after == Id::kColon ||
                                   after == Id::kComma || after == Id::kLess)) {
            return;
          }
          continue;
        }
        break;
      default:
        break;
    }
    Advance();
  }
}

// After a member it cannot read: on to the ";" that ends it, or to the next visibility, routine
// or property keyword, or to the "end" of its class-like item.
void DeclarationParser::RecoverMember(size_t start) {
  if (pos_ == start) Advance();
  int depth = 0;
  int records = 0;
  while (!AtEnd()) {
    const Id id = Cur().id;
    if (id == Id::kImplementation) return;
    if (id == Id::kLParen || id == Id::kLBracket) ++depth;
    if (id == Id::kRParen || id == Id::kRBracket) depth = std::max(0, depth - 1);
    if (depth == 0) {
      if (id == Id::kEnd) {
        if (records == 0) return;
        --records;
      } else if (records == 0 && At(1) != Id::kColon &&
                 (IsVisibilityWord(id) || id == Id::kProcedure || id == Id::kFunction ||
                  id == Id::kConstructor || id == Id::kDestructor || id == Id::kProperty)) {
        return;
      } else if (id == Id::kRecord ||
                 (id == Id::kObject && pos_ > 0 && tokens_[pos_ - 1].id != Id::kOf)) {
        ++records;
      } else if (id == Id::kSemicolon && records == 0) {
        Advance();
        return;
      }
    }
    Advance();
  }
}

}  // namespace glossator::pascal
