// The unit heading, the uses clause, the interface's sections, and the declarations that the
// unit and class-like items share: constants, variables and fields.
#include "model/text_rules.h"
#include "parser/pascal/declaration_parser.h"

namespace glossator::pascal {
namespace {

bool IsRoutineWord(Id id) {
  return id == Id::kProcedure || id == Id::kFunction || id == Id::kConstructor ||
         id == Id::kDestructor;
}

}  // namespace

bool DeclarationParser::ReadUnit(DocUnit& unit, std::string* why) {
  switch (Cur().id) {
    case Id::kUnit:
      break;
    case Id::kProgram:
      *why = "the file is a program, not a unit";
      return false;
    case Id::kLibrary:
      *why = "the file is a library, not a unit";
      return false;
    case Id::kPackage:
      *why = "the file is a package, not a unit";
      return false;
    default:
      *why = "the file has no unit heading";
      return false;
  }
  const size_t heading = pos_;
  Advance();
  try {
    unit.name = DottedName();
  } catch (const SyntaxError& error) {
    Warn(error.position, error.message);
    *why = "the file has no unit heading";
    return false;
  }
  unit.line = tokens_[heading].line;
  unit.comment = comments_.UnitComment(heading);
  ReadHints(unit.hints);
  if (!Accept(Id::kSemicolon)) Warn(pos_, "expected ';' after the unit name");
  if (!Accept(Id::kInterface)) Warn(pos_, "expected 'interface' but found " + Describe(Cur()));
  if (Cur().id == Id::kUses) {
    const size_t start = pos_;
    try {
      ReadUses(unit.uses);
    } catch (const SyntaxError& error) {
      Warn(error.position, error.message);
      Recover(start);
    }
  }
  ReadInterface(unit.items);
  return true;
}

// "uses A, B in 'b.pas', Vcl.Forms;" => A, B, Vcl.Forms.
void DeclarationParser::ReadUses(std::vector<std::string>& uses) {
  Advance();
  for (;;) {
    uses.push_back(DottedName());
    if (Accept(Id::kIn)) Expect(Id::kStringLiteral, "a file name");
    if (Accept(Id::kComma)) continue;
    Expect(Id::kSemicolon, "';'");
    return;
  }
}

void DeclarationParser::ReadInterface(std::vector<DocItem>& items) {
  Section section = Section::kNone;
  for (;;) {
    const Id id = Cur().id;
    if (id == Id::kEndOfStream || id == Id::kImplementation || id == Id::kBegin ||
        id == Id::kInitialization || id == Id::kFinalization) {
      return;
    }
    if (id == Id::kEnd && At(1) == Id::kDot) return;
    const size_t start = pos_;
    try {
      ReadInterfaceItem(section, items);
    } catch (const SyntaxError& error) {
      Warn(error.position, error.message);
      Recover(start);
      pending_comment_.clear();
    }
  }
}

// A comment above a section keyword documents none of its items (as with the line reader).
void DeclarationParser::StartSection(Section& section, Section next) {
  section = next;
  Advance();
}

// One step of the interface part: a section keyword, or one declaration.
void DeclarationParser::ReadInterfaceItem(Section& section, std::vector<DocItem>& items) {
  const Scope unit_scope;
  const Id id = Cur().id;
  const Id next = At(1);
  const bool declares_name = next == Id::kEqual || next == Id::kColon || next == Id::kComma;
  switch (id) {
    case Id::kType:
      return StartSection(section, Section::kType);
    case Id::kConst:
      return StartSection(section, Section::kConst);
    case Id::kResourcestring:
      return StartSection(section, Section::kResourceString);
    case Id::kVar:
    case Id::kThreadvar:
      return StartSection(section, Section::kVar);
    case Id::kProcedure:
    case Id::kFunction:
      section = Section::kNone;
      return ReadRoutine(items, unit_scope);
    case Id::kLBracket:
      return SkipAttribute();
    case Id::kLabel:
    case Id::kUses:
    case Id::kExports:
      while (!AtEnd() && Cur().id != Id::kSemicolon) Advance();
      Advance();
      return;
    default:
      break;
  }
  // FPC's "operator = (A, B: T): Boolean;" looks like a declaration of "operator" at first.
  if (id == Id::kOperator && (!declares_name || At(2) == Id::kLParen)) {
    section = Section::kNone;
    return ReadRoutine(items, unit_scope);
  }
  if (!declares_name) {
    if (id == Id::kProperty) {
      section = Section::kNone;
      return ReadProperty(items, unit_scope);
    }
    if (id == Id::kGeneric && IsRoutineWord(next)) {
      section = Section::kNone;
      return ReadRoutine(items, unit_scope);
    }
  }
  if (section != Section::kNone && (IsNameLike(id) || id == Id::kGeneric)) {
    return ReadSectionItem(section, items, unit_scope);
  }
  Fail("unexpected " + Describe(Cur()));
}

void DeclarationParser::ReadSectionItem(Section section, std::vector<DocItem>& out,
                                        const Scope& scope) {
  switch (section) {
    case Section::kType:
      return ReadTypeDeclaration(out, scope);
    case Section::kConst:
      return ReadConstant(out, ItemKind::kConstant, scope);
    case Section::kResourceString:
      return ReadConstant(out, ItemKind::kResourceString, scope);
    case Section::kVar:
    case Section::kNone:
      return ReadVariables(out, scope.member ? ItemKind::kField : ItemKind::kVariable, scope,
                           false);
  }
}

// "A, B: Integer = 0 platform; cvar;" gives one item per name, each declared as
// "A: Integer = 0 platform; cvar;". In a record's variant part a field may end at ")", and the
// last field of a record may end at "end" without ";".
void DeclarationParser::ReadVariables(std::vector<DocItem>& out, ItemKind kind, const Scope& scope,
                                      bool in_variant) {
  const size_t first = pos_;
  std::vector<size_t> names{ExpectName("a name")};
  while (Accept(Id::kComma)) names.push_back(ExpectName("a name"));
  const size_t colon = Expect(Id::kColon, "':'");
  const auto [type_begin, type_end] = SkipType(true);
  if (type_begin == type_end) Fail("expected a type but found " + Describe(Cur()));
  std::pair<size_t, size_t> value{0, 0};
  if (Accept(Id::kEqual)) value = SkipValue();
  if (Accept(Id::kAbsolute)) SkipValue();
  Hints hints;
  ReadHints(hints);
  size_t last = pos_ - 1;
  bool closed = false;
  if (Cur().id == Id::kSemicolon) {
    last = pos_;
    closed = true;
    Advance();
  } else if (!((in_variant && Cur().id == Id::kRParen) || Cur().id == Id::kEnd)) {
    Fail("expected ';' but found " + Describe(Cur()));
  }
  const Id type_word = tokens_[type_begin].id;
  const bool procedural =
      type_word == Id::kProcedure || type_word == Id::kFunction || type_word == Id::kReference;
  if (closed) last = ReadTrailingDirectives(procedural, scope, hints, last);
  std::string shared_comment;
  const std::string trailing = comments_.Trailing(last);  // once for all the names
  for (size_t n = 0; n < names.size(); ++n) {
    DocItem item = NewItem(kind, names[n], TokenText(names[n]), n == 0 ? first : names[n], scope);
    if (n == 0) shared_comment = item.comment;
    if (item.comment.empty()) item.comment = shared_comment;
    DeclarationText text;
    text.Add(tokens_[names[n]]);
    text.AddRange(tokens_, colon, last + 1);
    if (!closed) text.AppendRaw(";");
    item.type = JoinType(type_begin, type_end);
    if (value.second > value.first) item.value = JoinTokens(tokens_, value.first, value.second);
    item.hints = hints;
    item.declaration = text.Take();
    if (item.comment.empty()) item.comment = trailing;
    out.push_back(std::move(item));
  }
}

// "X = 5;", "Y: Integer = 5 deprecated;", "A: array[0..1] of string = ('a', 'b');".
void DeclarationParser::ReadConstant(std::vector<DocItem>& out, ItemKind kind, const Scope& scope) {
  const size_t first = pos_;
  const size_t name = ExpectName("a constant name");
  std::pair<size_t, size_t> type{0, 0};
  if (Accept(Id::kColon)) type = SkipType(true);
  Expect(Id::kEqual, "'='");
  const auto [value_begin, value_end] = SkipValue();
  if (value_begin == value_end) Fail("expected a value but found " + Describe(Cur()));
  Hints hints;
  ReadHints(hints);
  const size_t last = Expect(Id::kSemicolon, "';'");
  DocItem item = NewItem(kind, name, TokenText(name), first, scope);
  item.class_member = false;
  item.type = JoinType(type.first, type.second);
  item.value = JoinTokens(tokens_, value_begin, value_end);
  item.hints = hints;
  FinishItem(item, first, last);
  out.push_back(std::move(item));
}

// Moves over a type expression up to the token that ends it at depth 0 (";", ")", "]", "end",
// "=" when asked, "absolute", a hint directive after the type's first token), and returns its
// tokens [begin, end). Anonymous records and objects count as brackets up to their "end"; "<"
// after a name opens a generic's arguments.
std::pair<size_t, size_t> DeclarationParser::SkipType(bool stop_at_equal) {
  const size_t begin = pos_;
  int depth = 0;
  int generic = 0;
  for (;; Advance()) {
    const Id id = Cur().id;
    if (id == Id::kEndOfStream || id == Id::kImplementation) break;
    if (depth == 0 && generic == 0) {
      if (id == Id::kSemicolon || id == Id::kRParen || id == Id::kRBracket || id == Id::kEnd ||
          id == Id::kAssign || (id == Id::kEqual && stop_at_equal)) {
        break;
      }
      if (pos_ > begin && (IsHintWord(id) || id == Id::kAbsolute) &&
          tokens_[pos_ - 1].id != Id::kDot) {
        break;
      }
    }
    switch (id) {
      case Id::kLParen:
      case Id::kLBracket:
      case Id::kRecord:
        ++depth;
        break;
      case Id::kObject:
        if (pos_ == 0 || tokens_[pos_ - 1].id != Id::kOf) ++depth;
        break;
      case Id::kRParen:
      case Id::kRBracket:
      case Id::kEnd:
        if (depth > 0) --depth;
        break;
      case Id::kLess:
        if (pos_ > begin &&
            (IsNameLike(tokens_[pos_ - 1].id) || tokens_[pos_ - 1].id == Id::kString)) {
          tokens_[pos_].flags |= kGenericBracket;
          ++generic;
        }
        break;
      case Id::kGreater:
        if (generic > 0) {
          tokens_[pos_].flags |= kGenericBracket;
          --generic;
        }
        break;
      default:
        break;
    }
  }
  return {begin, pos_};
}

// Moves over a value (a constant's expression) up to ";", an unmatched ")" or "]", or a hint
// directive at depth 0, and returns its tokens.
std::pair<size_t, size_t> DeclarationParser::SkipValue() {
  const size_t begin = pos_;
  int depth = 0;
  for (;; Advance()) {
    const Id id = Cur().id;
    if (id == Id::kEndOfStream || id == Id::kImplementation) break;
    if (id == Id::kLParen || id == Id::kLBracket) {
      ++depth;
    } else if (id == Id::kRParen || id == Id::kRBracket) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0) {
      if (id == Id::kSemicolon || id == Id::kEnd) break;
      if (pos_ > begin && IsHintWord(id) &&
          (At(1) == Id::kSemicolon || At(1) == Id::kStringLiteral || IsHintWord(At(1)))) {
        break;
      }
    }
  }
  return {begin, pos_};
}

// The directives after a variable's ";": FPC's "cvar; external;" and "public name 'x';", and the
// calling conventions of a procedural or pointer type ("TProc = procedure; cdecl;", 16-bit
// "PChar = ^Char; far;"). Returns the index of the last ";" read.
size_t DeclarationParser::ReadTrailingDirectives(bool procedural, const Scope& scope, Hints& hints,
                                                 size_t last) {
  for (;;) {
    const Id id = Cur().id;
    const Id next = At(1);
    if (next == Id::kColon || next == Id::kComma) return last;
    // "P: function: Integer; cdecl = nil;": a calling convention, then the initial value.
    const bool convention = procedural && id == Id::kRoutineDirective;
    if (next == Id::kEqual && !convention) return last;
    bool take = convention || id == Id::kVarDirective || id == Id::kExternal ||
                (id == Id::kPublic && !scope.member) ||
                (IsHintWord(id) && (next == Id::kSemicolon || next == Id::kStringLiteral));
    if (!take) return last;
    if (!ReadHint(hints)) Advance();
    while (Cur().id != Id::kSemicolon) {
      if (AtEnd() || Cur().id == Id::kImplementation || Cur().id == Id::kEnd) return last;
      Advance();
    }
    last = pos_;
    Advance();
  }
}

}  // namespace glossator::pascal
