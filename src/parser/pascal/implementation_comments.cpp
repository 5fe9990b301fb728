#include "parser/pascal/implementation_comments.h"

#include <deque>
#include <unordered_map>

#include "model/text_rules.h"
#include "parser/pascal/lexer.h"

namespace glossator::pascal {
namespace {

// One routine heading of the implementation part.
struct Heading {
  std::string key;     // "tfoo.bar"
  std::string params;  // ParameterKey of its parameter list
  std::string comment;
};

// "TList<T>" => "tlist": lower case, generic parameters left out.
std::string LowerName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  int depth = 0;
  for (char c : name) {
    if (c == '<') ++depth;
    if (depth == 0) out += ToLowerAscii(c);
    if (c == '>' && depth > 0) --depth;
  }
  return out;
}

bool IsRoutineWord(Id id) {
  return id == Id::kProcedure || id == Id::kFunction || id == Id::kConstructor ||
         id == Id::kDestructor || id == Id::kOperator;
}

bool IsOperatorName(Id id) {
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
    case Id::kAnd:
    case Id::kOr:
    case Id::kXor:
    case Id::kNot:
    case Id::kIn:
    case Id::kDiv:
    case Id::kMod:
    case Id::kShl:
    case Id::kShr:
    case Id::kIs:
    case Id::kAs:
      return true;
    default:
      return IsNameLike(id);
  }
}

// Walks the implementation part once, keeping count of open blocks, and collects the headings
// at its top level (not those of nested routines, nor method declarations of classes declared
// there).
class Scanner {
 public:
  Scanner(const TokenStream& stream, const CommentReader& comments, size_t start)
      : tokens_(stream.tokens), comments_(comments), pos_(start) {}

  std::vector<Heading> Run() {
    std::vector<Heading> headings;
    if (Cur() == Id::kImplementation) Advance();
    while (Cur() != Id::kEndOfStream) {
      if (blocks_.empty()) {
        if (!TopLevelStep(headings)) break;
      } else {
        BlockStep();
      }
    }
    return headings;
  }

 private:
  enum class Block : uint8_t { kCode, kType, kAsm };
  static constexpr size_t kLookahead = 512;  // how far a class heading's ancestors are looked for

  Id Cur() const { return tokens_[pos_].id; }
  Id At(size_t ahead) const {
    return pos_ + ahead < tokens_.size() ? tokens_[pos_ + ahead].id : Id::kEndOfStream;
  }
  Id Previous() const { return pos_ > 0 ? tokens_[pos_ - 1].id : Id::kEndOfStream; }
  void Advance() {
    if (pos_ + 1 < tokens_.size()) ++pos_;
  }

  // One token (or heading) outside every block; false at the end of the implementation part.
  bool TopLevelStep(std::vector<Heading>& headings) {
    if (AtHeading()) {
      const size_t before = pos_;
      Heading heading;
      bool body = false;
      ReadHeading(&heading, &body);
      if (pending_ == 0) headings.push_back(std::move(heading));
      if (body) ++pending_;
      if (pos_ == before) Advance();
      return true;
    }
    switch (Cur()) {
      case Id::kBegin:
      case Id::kAsm:
        if (pending_ == 0) return false;  // the unit's main block
        blocks_.push_back(Cur() == Id::kAsm ? Block::kAsm : Block::kCode);
        break;
      case Id::kInitialization:
      case Id::kFinalization:
        return false;
      case Id::kEnd:
        if (At(1) == Id::kDot) return false;
        break;
      default:
        OpenTypeBlock();
        break;
    }
    Advance();
    return true;
  }

  void BlockStep() {
    const Block top = blocks_.back();
    const Id id = Cur();
    if (top == Block::kAsm) {
      if (id == Id::kEnd) Close();
    } else if (id == Id::kBegin || id == Id::kTry || (id == Id::kCase && top == Block::kCode)) {
      blocks_.push_back(Block::kCode);
    } else if (id == Id::kAsm) {
      blocks_.push_back(Block::kAsm);
    } else if (id == Id::kEnd) {
      Close();
    } else {
      OpenTypeBlock();
    }
    Advance();
  }

  // "record", "object" (not "of object"), and "class" or "interface" that open a body.
  void OpenTypeBlock() {
    const Id id = Cur();
    if (id == Id::kRecord || (id == Id::kObject && Previous() != Id::kOf) ||
        ((id == Id::kClass || id == Id::kInterface || id == Id::kDispinterface ||
          id == Id::kObject || id == Id::kObjcClass || id == Id::kObjcProtocol ||
          id == Id::kObjcCategory) &&
         OpensTypeBody())) {
      if (id != Id::kObject || Previous() != Id::kOf) blocks_.push_back(Block::kType);
    }
  }

  void Close() {
    const Block closed = blocks_.back();
    blocks_.pop_back();
    if (blocks_.empty() && closed != Block::kType && pending_ > 0) --pending_;
  }

  // Whether the "class" or "interface" at the cursor (after "=") opens a body that ends with
  // "end": not "class of T", not "class;" nor "class(TBase);".
  bool OpensTypeBody() const {
    const Id before = Previous();
    if (before != Id::kEqual && before != Id::kPacked && before != Id::kBitpacked) return false;
    size_t j = pos_ + 1;
    while (j < tokens_.size() && (tokens_[j].id == Id::kAbstract || tokens_[j].id == Id::kSealed)) {
      ++j;
    }
    if (j >= tokens_.size()) return false;
    if (tokens_[j].id == Id::kHelper) return true;
    if (tokens_[j].id == Id::kExternal) {  // "class external ['package'] [name 'x'] (...)"
      ++j;
      if (j < tokens_.size() && tokens_[j].id == Id::kStringLiteral) ++j;
      if (j < tokens_.size() && tokens_[j].id == Id::kName) j += 2;
      if (j >= tokens_.size()) return false;
    }
    if (tokens_[j].id == Id::kOf) return false;
    if (tokens_[j].id == Id::kLParen) {
      int depth = 0;
      const size_t limit = j + kLookahead;
      for (; j < tokens_.size() && j < limit; ++j) {
        if (tokens_[j].id == Id::kLParen) ++depth;
        if (tokens_[j].id == Id::kRParen && --depth == 0) break;
      }
      ++j;
    }
    return j < tokens_.size() && tokens_[j].id != Id::kSemicolon;
  }

  bool AtHeading() const {
    const Id id = Cur();
    const Id next = At(1);
    // "TFoo = class procedure X; end" is a class type, not a class method.
    if (id == Id::kClass && (Previous() == Id::kEqual || Previous() == Id::kPacked)) return false;
    if (id == Id::kClass || id == Id::kGeneric) return IsRoutineWord(next);
    if (id == Id::kOperator) {
      return next != Id::kColon && next != Id::kComma && next != Id::kEqual && IsOperatorName(next);
    }
    return (id == Id::kProcedure || id == Id::kFunction || id == Id::kConstructor ||
            id == Id::kDestructor) &&
           IsNameLike(next);
  }

  void SkipGenericArguments() {
    int depth = 0;
    do {
      const Id id = Cur();
      if (id == Id::kLess) ++depth;
      if (id == Id::kGreater) --depth;
      if (id == Id::kSemicolon || id == Id::kLParen || id == Id::kEndOfStream) return;
      Advance();
    } while (depth > 0);
  }

  // Reads "[class] procedure A.B<T>.C(params): R; directives;" and tells whether a body follows
  // (not after "forward" or "external").
  void ReadHeading(Heading* heading, bool* body) {
    const size_t first = pos_;
    while (Cur() == Id::kClass || Cur() == Id::kGeneric) Advance();
    const Id keyword = Cur();
    Advance();
    std::string key;
    if (keyword == Id::kOperator && !IsNameLike(Cur())) {
      key = LowerName(tokens_[pos_].Text());
      Advance();
      if (key == ">" && Cur() == Id::kEqual) {
        key += '=';
        Advance();
      }
    } else {
      if (!IsNameLike(Cur())) return;
      key = LowerName(tokens_[pos_].Text());
      Advance();
      if (Cur() == Id::kLess) SkipGenericArguments();
      while (Cur() == Id::kDot && IsNameLike(At(1))) {
        Advance();
        key += '.' + LowerName(tokens_[pos_].Text());
        Advance();
        if (Cur() == Id::kLess) SkipGenericArguments();
      }
    }
    heading->key = std::move(key);
    heading->comment = comments_.Leading(first);
    if (Cur() == Id::kLParen) {
      const size_t open = pos_;
      if (!SkipTo(Id::kSemicolon)) return;
      size_t close = open;
      for (int depth = 0; close < pos_; ++close) {
        if (tokens_[close].id == Id::kLParen) ++depth;
        if (tokens_[close].id == Id::kRParen && --depth == 0) break;
      }
      heading->params = ParameterKey(tokens_, open + 1, close);
    } else if (!SkipTo(Id::kSemicolon)) {
      return;
    }
    Advance();
    *body = true;
    ReadDirectives(body);
  }

  // Moves to the next `target` outside brackets; false when a block keyword or the end comes
  // first (a broken heading: the cursor stays there).
  bool SkipTo(Id target) {
    int depth = 0;
    for (;;) {
      const Id id = Cur();
      if (id == Id::kEndOfStream || id == Id::kBegin || id == Id::kImplementation) return false;
      if (depth == 0 && id == target) return true;
      if (id == Id::kLParen || id == Id::kLBracket) ++depth;
      if ((id == Id::kRParen || id == Id::kRBracket) && depth > 0) --depth;
      Advance();
    }
  }

  void ReadDirectives(bool* body) {
    for (;;) {
      const Id id = Cur();
      const Id next = At(1);
      if (next == Id::kColon || next == Id::kComma || next == Id::kEqual) return;
      if (id == Id::kLBracket) {  // FPC: "[public, alias: 'x'];"
        if (!SkipTo(Id::kRBracket)) return;
        Advance();
        if (Cur() == Id::kSemicolon) Advance();
        continue;
      }
      const bool directive = id == Id::kRoutineDirective || id == Id::kExternal ||
                             id == Id::kStatic || id == Id::kAbstract || id == Id::kPublic ||
                             id == Id::kDispid || IsHintWord(id);
      if (!directive) return;
      if (id == Id::kExternal || EqualsNoCase(tokens_[pos_].Text(), "forward")) *body = false;
      if (!SkipTo(Id::kSemicolon)) return;
      Advance();
    }
  }

  const std::vector<Token>& tokens_;
  const CommentReader& comments_;
  size_t pos_;
  std::vector<Block> blocks_;
  int pending_ = 0;  // routine headings whose bodies have not been read yet
};

// The parameter key of an interface item, from its declaration text.
std::string DeclarationParameters(const DocItem& item) {
  std::vector<Token> tokens;
  Lexer lexer(item.declaration);
  for (Lexeme lexeme = lexer.Next(); lexeme.kind != LexKind::kEnd; lexeme = lexer.Next()) {
    if (lexeme.kind != LexKind::kToken) continue;
    Token token;
    token.text = lexeme.text.data();
    token.size = static_cast<uint32_t>(lexeme.text.size());
    token.id = lexeme.id;
    tokens.push_back(token);
  }
  size_t i = 0;
  while (i < tokens.size() && (tokens[i].id == Id::kClass || tokens[i].id == Id::kGeneric)) ++i;
  ++i;  // the keyword
  // The name: one token (an operator's symbol or a name), dots and generic parameters.
  int depth = 0;
  for (++i; i < tokens.size(); ++i) {
    const Id id = tokens[i].id;
    if (id == Id::kLess) ++depth;
    if (id == Id::kGreater && depth > 0) --depth;
    if (depth == 0 && id != Id::kGreater && id != Id::kDot && !IsNameLike(id) &&
        !(id == Id::kEqual && tokens[i - 1].id == Id::kGreater)) {
      break;
    }
  }
  if (i >= tokens.size() || tokens[i].id != Id::kLParen) return {};
  size_t close = i;
  for (int level = 0; close < tokens.size(); ++close) {
    if (tokens[close].id == Id::kLParen) ++level;
    if (tokens[close].id == Id::kRParen && --level == 0) break;
  }
  return ParameterKey(tokens, i + 1, close);
}

void CollectRoutines(std::vector<DocItem>& items, const std::string& prefix,
                     std::unordered_map<std::string, std::vector<DocItem*>>& by_key) {
  for (DocItem& item : items) {
    if (IsRoutineLike(item.kind)) {
      by_key[prefix + LowerName(item.name)].push_back(&item);
    } else if (IsClassLike(item.kind)) {
      CollectRoutines(item.members, prefix + LowerName(item.name) + ".", by_key);
    }
  }
}

void Give(DocItem* item, const Heading& heading) {
  if (!heading.comment.empty()) item->long_comment = heading.comment;
}

// Pairs the headings of one name with the interface items of that name: equal parameter lists
// first, then the rest in order.
void Match(const std::vector<DocItem*>& items, const std::vector<const Heading*>& headings) {
  if (items.size() == 1 && headings.size() == 1) return Give(items[0], *headings[0]);
  std::unordered_map<std::string, std::deque<size_t>> by_params;
  for (size_t i = 0; i < items.size(); ++i)
    by_params[DeclarationParameters(*items[i])].push_back(i);
  std::vector<bool> item_done(items.size(), false);
  std::vector<bool> heading_done(headings.size(), false);
  for (size_t h = 0; h < headings.size(); ++h) {
    auto found = by_params.find(headings[h]->params);
    if (found == by_params.end() || found->second.empty()) continue;
    size_t i = found->second.front();
    found->second.pop_front();
    item_done[i] = heading_done[h] = true;
    Give(items[i], *headings[h]);
  }
  size_t next_item = 0;
  for (size_t h = 0; h < headings.size(); ++h) {
    if (heading_done[h]) continue;
    while (next_item < items.size() && item_done[next_item]) ++next_item;
    if (next_item == items.size()) return;
    item_done[next_item] = true;
    Give(items[next_item], *headings[h]);
  }
}

}  // namespace

std::string ParameterKey(const std::vector<Token>& tokens, size_t begin, size_t end) {
  std::string key;
  int depth = 0;
  bool in_default = false;
  for (size_t i = begin; i < end && i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (token.id == Id::kLParen || token.id == Id::kLBracket) ++depth;
    if ((token.id == Id::kRParen || token.id == Id::kRBracket) && depth > 0) --depth;
    if (depth == 0 && token.id == Id::kEqual) in_default = true;
    if (depth == 0 && token.id == Id::kSemicolon) in_default = false;
    if (in_default) continue;
    if (!key.empty()) key += ' ';
    for (char c : token.Text()) key += ToLowerAscii(c);
  }
  return key;
}

void ReadImplementationComments(const TokenStream& stream, const CommentReader& comments,
                                size_t start, DocUnit& unit) {
  std::vector<Heading> headings = Scanner(stream, comments, start).Run();
  std::unordered_map<std::string, std::vector<const Heading*>> by_name;
  for (const Heading& heading : headings) {
    if (!heading.key.empty()) by_name[heading.key].push_back(&heading);
  }
  if (by_name.empty()) return;
  std::unordered_map<std::string, std::vector<DocItem*>> items;
  CollectRoutines(unit.items, "", items);
  for (const auto& [key, named] : by_name) {
    auto found = items.find(key);
    if (found != items.end()) Match(found->second, named);
  }
}

}  // namespace glossator::pascal
