// Routine headings with their directives (unit routines, methods, constructors, destructors,
// operators) and properties.
#include "parser/pascal/declaration_parser.h"

namespace glossator::pascal {
namespace {

ItemKind RoutineKind(Id keyword, bool member) {
  if (keyword == Id::kOperator) return ItemKind::kOperator;
  if (!member) return ItemKind::kRoutine;
  if (keyword == Id::kConstructor) return ItemKind::kConstructor;
  if (keyword == Id::kDestructor) return ItemKind::kDestructor;
  return ItemKind::kMethod;
}

// Words that end a property's type: its specifiers, and the hint directives.
bool EndsPropertyType(Id id) {
  switch (id) {
    case Id::kSemicolon:
    case Id::kRead:
    case Id::kWrite:
    case Id::kStored:
    case Id::kDefault:
    case Id::kNodefault:
    case Id::kImplements:
    case Id::kIndex:
    case Id::kReadonly:
    case Id::kWriteonly:
    case Id::kDispid:
    case Id::kEnd:
    case Id::kEndOfStream:
    case Id::kImplementation:
      return true;
    default:
      return IsHintWord(id);
  }
}

}  // namespace

// "[class] procedure|function|constructor|destructor|operator Name[<T>](...): T; directives;"
// as one item. A method resolution clause ("function IFoo.Bar = DoBar;") gives none.
void DeclarationParser::ReadRoutine(std::vector<DocItem>& out, const Scope& scope) {
  const size_t first = pos_;
  bool class_member = Accept(Id::kClass);
  Accept(Id::kGeneric);
  class_member = Accept(Id::kClass) || class_member;
  const Id keyword = Cur().id;
  if (keyword != Id::kProcedure && keyword != Id::kFunction && keyword != Id::kConstructor &&
      keyword != Id::kDestructor && keyword != Id::kOperator) {
    Fail("expected a routine but found " + Describe(Cur()));
  }
  Advance();
  const size_t name_token = pos_;
  std::string name = ReadRoutineName(keyword);
  if (Cur().id == Id::kEqual && name.find('.') != std::string::npos) {
    while (!AtEnd() && Cur().id != Id::kSemicolon) Advance();
    Advance();
    return;
  }
  DocItem item =
      NewItem(RoutineKind(keyword, scope.member), name_token, std::move(name), first, scope);
  item.class_member = class_member;
  if (Cur().id == Id::kLParen) {
    SkipBalanced();
    Advance();
  }
  // FPC names an operator's result: "operator + (A, B: T) R: T".
  if (keyword == Id::kOperator && IsNameLike(Cur().id) && At(1) == Id::kColon) Advance();
  if (Accept(Id::kColon)) ReadResultType(item);
  // Directives written before the ";" ("procedure Foo stdcall;", Amiga's "... syscall Base 462;").
  if (Cur().id != Id::kSemicolon && AtDirective(scope)) {
    while (!AtEnd() && Cur().id != Id::kSemicolon && Cur().id != Id::kImplementation) {
      if (!ReadHint(item.hints)) Advance();
    }
  }
  size_t last = Expect(Id::kSemicolon, "';'");
  last = ReadDirectives(scope, item.hints, last);
  FinishItem(item, first, last);
  out.push_back(std::move(item));
}

// A routine's name: "Foo", "Foo<T>", "IFoo.Bar" (a method resolution clause), or an operator's
// name or symbol ("Add", "+", ":=", ">=").
std::string DeclarationParser::ReadRoutineName(Id keyword) {
  if (keyword == Id::kOperator && !IsNameLike(Cur().id)) {
    const Id id = Cur().id;
    if (id == Id::kLParen || id == Id::kSemicolon || AtEnd()) {
      Fail("expected an operator but found " + Describe(Cur()));
    }
    std::string name = TokenText(pos_);
    Advance();
    if (id == Id::kGreater && Cur().id == Id::kEqual && (Cur().flags & kGlued)) {
      name += '=';
      Advance();
    }
    return name;
  }
  std::string name = TokenText(ExpectName("a routine name"));
  while (Cur().id == Id::kDot && IsNameLike(At(1))) {
    Advance();
    name += '.' + TokenText(pos_);
    Advance();
  }
  if (Cur().id == Id::kLess) name += GenericParameters();
  return name;
}

// A result type: a name, possibly dotted, generic ("TArray<string>") or "string[20]".
void DeclarationParser::ReadResultType(DocItem& item) {
  const size_t begin = pos_;
  Accept(Id::kSpecialize);
  if (Cur().id == Id::kString || Cur().id == Id::kFile) {
    Advance();
  } else if (Cur().id == Id::kArray) {  // FPC: "function F: array of Integer"
    Advance();
    Expect(Id::kOf, "'of'");
    DottedName();
  } else {
    DottedName();
  }
  if (Cur().id == Id::kLess) SkipGenericArguments();
  if (Cur().id == Id::kLBracket) {
    SkipBalanced();
    Advance();
  }
  item.type = JoinType(begin, pos_);
}

// Whether the cursor stands on a routine directive: a calling convention, "virtual",
// "overload", "external", a hint, ... A word followed by ":", "," or "=" starts a declaration
// instead (a field named "Platform"); "public" is a visibility inside class-like items.
bool DeclarationParser::AtDirective(const Scope& scope) const {
  const Id next = At(1);
  if (next == Id::kColon || next == Id::kComma || next == Id::kEqual) return false;
  switch (Cur().id) {
    case Id::kRoutineDirective:
    case Id::kAbstract:
    case Id::kStatic:
    case Id::kDispid:
    case Id::kExternal:
      return true;
    case Id::kPublic:
      return !scope.member;
    default:
      return IsHintWord(Cur().id);
  }
}

// The directives after a heading's ";", each with its arguments up to its ";"
// ("external 'lib' name 'x';", "message WM_PAINT;"). Returns the index of the last ";".
size_t DeclarationParser::ReadDirectives(const Scope& scope, Hints& hints, size_t last) {
  for (;;) {
    // FPC's "procedure P; [INTERNPROC: in_p];" on the heading's line (an attribute of the next
    // declaration would stand on a line of its own).
    if (Cur().id == Id::kLBracket && Cur().line == tokens_[last].line) {
      SkipBalanced();
      Advance();
      if (Cur().id == Id::kSemicolon) {
        last = pos_;
        Advance();
      } else {
        last = pos_ - 1;
      }
      continue;
    }
    if (!AtDirective(scope)) return last;
    if (!ReadHint(hints)) Advance();
    int depth = 0;
    while (!(depth == 0 && Cur().id == Id::kSemicolon)) {
      const Id id = Cur().id;
      if (AtEnd() || id == Id::kImplementation || (depth == 0 && id == Id::kEnd)) return last;
      if (id == Id::kLParen || id == Id::kLBracket) ++depth;
      if ((id == Id::kRParen || id == Id::kRBracket) && depth > 0) --depth;
      if (depth == 0 && IsHintWord(id)) {
        ReadHint(hints);
        continue;
      }
      Advance();
    }
    last = pos_;
    Advance();
  }
}

// "[class] property Name[Index: Integer]: T read ... write ... default ...; default;", and
// "property Name;" (a property made visible again, without a type).
void DeclarationParser::ReadProperty(std::vector<DocItem>& out, const Scope& scope) {
  const size_t first = pos_;
  const bool class_member = Accept(Id::kClass);
  Advance();
  const size_t name_token = ExpectName("a property name");
  DocItem item = NewItem(ItemKind::kProperty, name_token, TokenText(name_token), first, scope);
  item.class_member = class_member;
  if (Cur().id == Id::kLBracket) {
    SkipBalanced();
    Advance();
  }
  if (Accept(Id::kColon)) {
    const auto [begin, end] = SkipPropertyType();
    if (begin == end) Fail("expected a type but found " + Describe(Cur()));
    item.type = JoinType(begin, end);
  }
  SkipPropertySpecifiers(item.hints);
  size_t last = Expect(Id::kSemicolon, "';'");
  if (Cur().id == Id::kDefault && At(1) == Id::kSemicolon) {
    Advance();
    last = pos_;
    Advance();
  }
  while (IsHintWord(Cur().id) && (At(1) == Id::kSemicolon || At(1) == Id::kStringLiteral)) {
    ReadHint(item.hints);
    last = Expect(Id::kSemicolon, "';'");
  }
  FinishItem(item, first, last);
  out.push_back(std::move(item));
}

// The property's type, up to its first specifier.
std::pair<size_t, size_t> DeclarationParser::SkipPropertyType() {
  const size_t begin = pos_;
  while (!EndsPropertyType(Cur().id) || (pos_ == begin && IsHintWord(Cur().id))) {
    if (Cur().id == Id::kLess && pos_ > begin) {
      SkipGenericArguments();
      continue;
    }
    if (Cur().id == Id::kLParen || Cur().id == Id::kLBracket) {
      SkipBalanced();
    }
    Advance();
  }
  return {begin, pos_};
}

// "read FX write SetX stored False default 0 implements IFoo deprecated" up to the ";".
void DeclarationParser::SkipPropertySpecifiers(Hints& hints) {
  int depth = 0;
  while (!(depth == 0 && Cur().id == Id::kSemicolon)) {
    const Id id = Cur().id;
    if (AtEnd() || id == Id::kImplementation || (depth == 0 && id == Id::kEnd)) {
      Fail("expected ';' but found " + Describe(Cur()));
    }
    if (id == Id::kLParen || id == Id::kLBracket) ++depth;
    if ((id == Id::kRParen || id == Id::kRBracket) && depth > 0) --depth;
    if (depth == 0 && IsHintWord(id)) {
      ReadHint(hints);
      continue;
    }
    Advance();
  }
}

}  // namespace glossator::pascal
