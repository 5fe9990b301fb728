// Class-like items: classes, records, objects, interfaces and helpers, with their members in
// source order and their visibility.
#include "model/text_rules.h"
#include "parser/pascal/declaration_parser.h"

namespace glossator::pascal {
namespace {

bool IsRoutineWord(Id id) {
  return id == Id::kProcedure || id == Id::kFunction || id == Id::kConstructor ||
         id == Id::kDestructor || id == Id::kOperator;
}

ItemKind KindOf(Id keyword) {
  switch (keyword) {
    case Id::kRecord:
      return ItemKind::kRecord;
    case Id::kObject:
      return ItemKind::kObject;
    case Id::kInterface:
    case Id::kDispinterface:
    case Id::kObjcProtocol:
      return ItemKind::kInterface;
    case Id::kType:
    case Id::kObjcCategory:
      return ItemKind::kHelper;
    default:
      return ItemKind::kClass;
  }
}

const char* VisibilityName(Id id) {
  switch (id) {
    case Id::kPrivate:
      return "private";
    case Id::kProtected:
      return "protected";
    case Id::kPublished:
      return "published";
    case Id::kAutomated:
      return "automated";
    default:
      return "public";
  }
}

}  // namespace

// From the keyword ("class", "record", ...) to the ";" after "end" (or after the heading of a
// forward declaration or a class without a body such as "E = class(Exception);"). The
// declaration is the heading only: "TFoo = class(TBase, IBar)".
void DeclarationParser::ReadClassLike(DocItem& item, size_t first) {
  const Id keyword = Cur().id;
  item.kind = KindOf(keyword);
  Advance();
  if (keyword != Id::kInterface && keyword != Id::kDispinterface && Accept(Id::kHelper)) {
    item.kind = ItemKind::kHelper;
  }
  ReadHeadingRest(item, keyword);
  const size_t heading_end = pos_;
  if (Cur().id == Id::kSemicolon) {
    item.forward =
        item.ancestors.empty() && item.kind != ItemKind::kHelper && item.kind != ItemKind::kRecord;
    FinishItem(item, first, pos_);
    Advance();
    return;
  }
  ReadMembers(item);
  item.declaration = JoinTokens(tokens_, first, heading_end);
  if (!Accept(Id::kEnd)) {
    Warn(pos_, "expected 'end' of " + item.name + " but found " + Describe(Cur()));
    return;
  }
  ReadHints(item.hints);
  if (Cur().id != Id::kSemicolon) {
    Warn(pos_, "expected ';' after the 'end' of " + item.name);
    return;
  }
  if (item.comment.empty()) item.comment = comments_.Trailing(pos_);
  Advance();
}

// What follows the keyword: "abstract" or "sealed", the ancestors, a helper's "for T". An
// Objective-Pascal or Java class may be "external ['package'] [name 'x']"; a category names the
// class it extends where others name their ancestors.
void DeclarationParser::ReadHeadingRest(DocItem& item, Id keyword) {
  while (Cur().id == Id::kAbstract || Cur().id == Id::kSealed) Advance();
  // "objcclass external (NSObject)", "class external 'java.lang' name 'Object' (JLObject)".
  if (Accept(Id::kExternal)) {
    Accept(Id::kStringLiteral);
    if (Accept(Id::kName)) Accept(Id::kStringLiteral);
  }
  if (Cur().id == Id::kLParen) ReadAncestors(item.ancestors);
  if (keyword == Id::kObjcCategory && !item.ancestors.empty()) {
    item.type = item.ancestors.front();
    item.ancestors.clear();
    return;
  }
  if (item.kind != ItemKind::kHelper) return;
  Expect(Id::kFor, "'for'");
  const size_t begin = pos_;
  Accept(Id::kSpecialize);
  if (Cur().id == Id::kString) {
    Advance();
  } else {
    DottedName();
  }
  if (Cur().id == Id::kLess) SkipGenericArguments();
  item.type = JoinType(begin, pos_);
}

// "(TBase, IFoo<T>, specialize IBar<Integer>)" => TBase, IFoo<T>, IBar<Integer>.
void DeclarationParser::ReadAncestors(std::vector<std::string>& ancestors) {
  Advance();
  for (;;) {
    const size_t begin = pos_;
    Accept(Id::kSpecialize);
    DottedName();
    if (Cur().id == Id::kLess) SkipGenericArguments();
    ancestors.push_back(JoinType(begin, pos_));
    if (Accept(Id::kComma)) continue;
    Expect(Id::kRParen, "')'");
    return;
  }
}

// The members up to the item's "end" (the cursor stays on it, or on the end of the part when it
// is missing). Visibility starts as "public".
void DeclarationParser::ReadMembers(DocItem& owner) {
  NestingGuard guard(*this);
  Scope scope;
  scope.member = true;
  scope.visibility = "public";
  Section section = Section::kVar;
  while (Cur().id != Id::kEnd) {
    if (AtEnd() || Cur().id == Id::kImplementation) return;
    const size_t start = pos_;
    try {
      ReadMember(owner, scope, section);
    } catch (const SyntaxError& error) {
      Warn(error.position, error.message);
      RecoverMember(start);
      pending_comment_.clear();
    }
  }
}

// One step of a class-like item's body: a visibility, a section keyword, an attribute, or one
// member.
void DeclarationParser::ReadMember(DocItem& owner, Scope& scope, Section& section) {
  const Id id = Cur().id;
  const Id next = At(1);
  // A word followed by ":", "," or "=" is a name here ("Platform: Integer;").
  const bool declares_name = next == Id::kColon || next == Id::kComma || next == Id::kEqual;
  if (!declares_name) {
    // Java's "final var" and "final class var" sections.
    if (id == Id::kRoutineDirective && (next == Id::kVar || next == Id::kClass) &&
        EqualsNoCase(Cur().Text(), "final")) {
      return Advance();
    }
    if (ReadSectionWord(scope, section)) return;
    const bool routine = IsRoutineWord(id) ||
                         (id == Id::kGeneric &&
                          (IsRoutineWord(next) || (next == Id::kClass && IsRoutineWord(At(2))))) ||
                         (id == Id::kClass && (IsRoutineWord(next) || next == Id::kGeneric));
    if (routine || id == Id::kProperty || (id == Id::kClass && next == Id::kProperty)) {
      section = Section::kVar;
      scope.class_var = false;
      if (routine) return ReadRoutine(owner.members, scope);
      return ReadProperty(owner.members, scope);
    }
    if (id == Id::kLBracket) return SkipAttribute();
    if (id == Id::kCase) return ReadVariantPart(owner, scope);
  }
  if (IsNameLike(id) || (id == Id::kGeneric && section == Section::kType)) {
    return ReadSectionItem(section, owner.members, scope);
  }
  Fail("unexpected " + Describe(Cur()) + " in " + owner.name);
}

// Visibilities ("strict private", ...), "var", "class var", "const", "type", and the
// "required"/"optional" of an Objective-Pascal protocol. Returns false for anything else.
bool DeclarationParser::ReadSectionWord(Scope& scope, Section& section) {
  const Id id = Cur().id;
  const Id next = At(1);
  Section next_section = Section::kVar;
  bool class_var = false;
  switch (id) {
    case Id::kPrivate:
    case Id::kProtected:
    case Id::kPublic:
    case Id::kPublished:
    case Id::kAutomated:
      scope.visibility = VisibilityName(id);
      break;
    case Id::kStrict:
      if (next != Id::kPrivate && next != Id::kProtected) return false;
      scope.visibility = std::string("strict ") + VisibilityName(next);
      Advance();
      break;
    case Id::kClass:
      if (next != Id::kVar && next != Id::kThreadvar) return false;
      class_var = true;
      Advance();
      break;
    case Id::kVar:
    case Id::kThreadvar:
    case Id::kObjcSection:
      break;
    case Id::kConst:
      next_section = Section::kConst;
      break;
    case Id::kType:
      next_section = Section::kType;
      break;
    default:
      return false;
  }
  StartSection(section, next_section);
  scope.class_var = class_var;
  return true;
}

// "case Kind: TKind of 0: (A: Integer); 1: (B, C: Char; case Boolean of ...);": the tag (when
// named) and every field of every variant become fields of the record.
void DeclarationParser::ReadVariantPart(DocItem& owner, const Scope& scope) {
  NestingGuard guard(*this);
  Advance();
  const size_t tag_first = pos_;
  const bool named = IsNameLike(Cur().id) && At(1) == Id::kColon;
  if (named) {
    Advance();
    Advance();
  }
  const size_t type_begin = pos_;
  while (Cur().id != Id::kOf) {
    if (AtEnd() || Cur().id == Id::kSemicolon || Cur().id == Id::kEnd) Fail("expected 'of'");
    Advance();
  }
  if (named) {
    DocItem tag = NewItem(ItemKind::kField, tag_first, TokenText(tag_first), tag_first, scope);
    tag.type = JoinType(type_begin, pos_);
    DeclarationText text;
    text.AddRange(tokens_, tag_first, pos_);
    text.AppendRaw(";");
    FinishItem(tag, text, pos_ - 1);
    owner.members.push_back(std::move(tag));
  }
  Advance();
  while (Cur().id != Id::kEnd && Cur().id != Id::kRParen) {
    int depth = 0;
    while (!(depth == 0 && Cur().id == Id::kColon)) {
      if (AtEnd() || Cur().id == Id::kSemicolon || Cur().id == Id::kEnd) Fail("expected ':'");
      if (Cur().id == Id::kLParen) ++depth;
      if (Cur().id == Id::kRParen) --depth;
      Advance();
    }
    Advance();
    Expect(Id::kLParen, "'('");
    while (Cur().id != Id::kRParen) {
      if (AtEnd() || Cur().id == Id::kEnd) Fail("expected ')'");
      if (Cur().id == Id::kCase) {
        ReadVariantPart(owner, scope);
      } else {
        ReadVariables(owner.members, ItemKind::kField, scope, true);
      }
    }
    Advance();
    Accept(Id::kSemicolon);
  }
}

}  // namespace glossator::pascal
