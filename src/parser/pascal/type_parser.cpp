// Type declarations: the dispatch on what follows "=", enumerations, procedural types, sets,
// arrays, pointers and aliases. Class-like types are read in class_parser.cpp.
#include "parser/pascal/declaration_parser.h"

namespace glossator::pascal {

// "TFoo = ...;" in a type section, FPC's "generic TList<T> = class ... end;" included.
void DeclarationParser::ReadTypeDeclaration(std::vector<DocItem>& out, const Scope& scope) {
  NestingGuard guard(*this);
  const size_t first = pos_;
  Accept(Id::kGeneric);
  const size_t name_token = ExpectName("a type name");
  std::string name = TokenText(name_token);
  if (Cur().id == Id::kLess) name += GenericParameters();
  Expect(Id::kEqual, "'='");
  DocItem item = NewItem(ItemKind::kAlias, name_token, std::move(name), first, scope);
  item.class_member = false;
  const size_t body = pos_;
  // "type X" (a distinct type) unless it is FPC's "type helper for X".
  if (Cur().id == Id::kType && At(1) != Id::kHelper) Advance();
  while (Cur().id == Id::kPacked || Cur().id == Id::kBitpacked) Advance();
  const Id id = Cur().id;
  const bool class_like = (id == Id::kClass && At(1) != Id::kOf) || id == Id::kRecord ||
                          id == Id::kObject || id == Id::kInterface || id == Id::kDispinterface ||
                          (id == Id::kType && pos_ == body) || id == Id::kObjcClass ||
                          id == Id::kObjcProtocol || id == Id::kObjcCategory;
  if (class_like) {
    ReadClassLike(item, first);
    out.push_back(std::move(item));
    return;
  }
  bool procedural = false;
  if (id == Id::kLParen) {
    ReadEnum(item);
  } else if (id == Id::kProcedure || id == Id::kFunction ||
             (id == Id::kReference && At(1) == Id::kTo)) {
    ReadProceduralType(item);
    procedural = true;
  } else {
    ReadOtherType(item);
  }
  ReadHints(item.hints);
  size_t last = Expect(Id::kSemicolon, "';'");
  last = ReadTrailingDirectives(procedural || item.kind == ItemKind::kPointer, scope, item.hints,
                                last);
  FinishItem(item, first, last);
  out.push_back(std::move(item));
}

// "(a, b = 4, c)": the values with their ordinals and comments. A value's back comment may stand
// after its comma.
void DeclarationParser::ReadEnum(DocItem& item) {
  item.kind = ItemKind::kEnum;
  Advance();
  for (;;) {
    const size_t value_token = ExpectName("an enumeration value");
    EnumValue value;
    value.name = TokenText(value_token);
    value.line = tokens_[value_token].line;
    value.comment = comments_.Leading(value_token);
    if (Accept(Id::kEqual) || Accept(Id::kAssign)) {
      const size_t begin = pos_;
      int depth = 0;
      while (!(depth == 0 && (Cur().id == Id::kComma || Cur().id == Id::kRParen))) {
        if (AtEnd() || Cur().id == Id::kSemicolon) Fail("unterminated enumeration");
        if (Cur().id == Id::kLParen || Cur().id == Id::kLBracket) ++depth;
        if (Cur().id == Id::kRParen || Cur().id == Id::kRBracket) --depth;
        Advance();
      }
      value.ordinal = JoinTokens(tokens_, begin, pos_);
    }
    const bool more = Cur().id == Id::kComma;
    const size_t end_token = more ? pos_ : pos_ - 1;
    if (value.comment.empty()) value.comment = comments_.Trailing(end_token);
    item.values.push_back(std::move(value));
    if (!more) break;
    Advance();
  }
  Expect(Id::kRParen, "')'");
}

// "procedure(A: Integer) of object", "function(X: T): T is nested",
// "reference to function: string", with calling conventions before the ";".
void DeclarationParser::ReadProceduralType(DocItem& item) {
  item.kind = ItemKind::kProcedureType;
  if (Accept(Id::kReference)) Expect(Id::kTo, "'to'");
  const Id keyword = Cur().id;
  Advance();
  if (Cur().id == Id::kLParen) {
    SkipBalanced();
    Advance();
  }
  if (keyword == Id::kFunction) {
    Expect(Id::kColon, "':'");
    ReadResultType(item);
  }
  if (Accept(Id::kOf)) Expect(Id::kObject, "'object'");
  if (Accept(Id::kIs)) Accept(Id::kNested);
  while (Cur().id == Id::kRoutineDirective && At(1) != Id::kColon && At(1) != Id::kEqual) {
    Advance();
  }
}

// Sets, arrays, pointers and every kind of alias: "X = Y", "X = type Y", "X = 0..9",
// "X = string[20]", "X = specialize TList<Integer>", "X = class of TFoo", "X = file of Byte".
void DeclarationParser::ReadOtherType(DocItem& item) {
  const size_t start = pos_;
  const Id id = Cur().id;
  if (id == Id::kSet) {
    item.kind = ItemKind::kSet;
    Advance();
    Expect(Id::kOf, "'of'");
  } else if (id == Id::kArray) {
    item.kind = ItemKind::kArray;
    Advance();
    if (Cur().id == Id::kLBracket) {
      SkipBalanced();
      Advance();
    }
    Expect(Id::kOf, "'of'");
  } else if (id == Id::kCaret) {
    item.kind = ItemKind::kPointer;
    Advance();
  } else {
    item.kind = ItemKind::kAlias;
  }
  const auto [begin, end] = SkipType(false);
  if (begin == end) Fail("expected a type but found " + Describe(Cur()));
  // An alias's type is what it names; "type Y" names Y.
  item.type = JoinType(item.kind == ItemKind::kAlias ? start : begin, end);
}

}  // namespace glossator::pascal
