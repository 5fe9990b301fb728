#ifndef GLOSSATOR_PARSER_PASCAL_DECLARATION_PARSER_H_
#define GLOSSATOR_PARSER_PASCAL_DECLARATION_PARSER_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/unit_model.h"
#include "parser/pascal/comment_text.h"
#include "parser/pascal/declaration_text.h"
#include "parser/pascal/pascal_reader.h"
#include "parser/pascal/token_stream.h"

namespace glossator::pascal {

// A declaration the parser cannot read: where (a token index) and what it expected. Thrown inside
// the parser only; every item loop catches it, warns and goes on at the next item.
struct SyntaxError {
  size_t position;
  std::string message;
};

// Reads the unit heading and the interface part of a token stream into the unit model: every
// declaration with its kind, name, line, normalised declaration text and comment, class-like
// items with their members. A declaration it cannot read gets a warning and is skipped up to the
// next one it can read, so that the rest of the unit is still documented.
class DeclarationParser {
 public:
  // All three must outlive the parser.
  DeclarationParser(TokenStream& stream, const CommentReader& comments,
                    std::vector<StreamWarning>& warnings);

  // Reads the heading and the interface part into `unit` (name, line, comment, hints, uses,
  // items; its file is set by the caller). Returns false with *why when the file is no unit.
  bool ReadUnit(DocUnit& unit, std::string* why);
  // The token the interface part ended at ("implementation", or the stream's end).
  size_t Position() const { return pos_; }

 private:
  // Where declarations are being read: the unit, or the body of a class-like item.
  struct Scope {
    bool member = false;     // inside a class-like item
    std::string visibility;  // members: the current visibility
    bool class_var = false;  // in a "class var" section
  };
  enum class Section { kNone, kType, kConst, kResourceString, kVar };

  // Cursor (parser_core.cpp).
  const Token& Cur() const { return tokens_[pos_]; }
  Id At(size_t ahead) const;
  bool AtEnd() const { return Cur().id == Id::kEndOfStream; }
  void Advance();
  bool Accept(Id id);
  size_t Expect(Id id, const char* what);
  size_t ExpectName(const char* what);
  [[noreturn]] void Fail(const std::string& message) const;
  std::string Describe(const Token& token) const;
  void Warn(size_t position, const std::string& text);
  std::string TokenText(size_t index) const;
  std::string DottedName();
  std::string GenericParameters();
  std::string JoinType(size_t begin, size_t end) const;
  size_t SkipBalanced();
  void SkipGenericArguments();
  void SkipAttribute();
  void EnterNesting();
  void LeaveNesting() { --nesting_; }

  // Items (parser_core.cpp).
  DocItem NewItem(ItemKind kind, size_t name_token, std::string name, size_t first_token,
                  const Scope& scope);
  void FinishItem(DocItem& item, size_t first, size_t last);
  void FinishItem(DocItem& item, DeclarationText& text, size_t last);
  bool ReadHint(Hints& hints);
  void ReadHints(Hints& hints);
  void Recover(size_t start);
  void RecoverMember(size_t start);

  // The unit and its sections (unit_parser.cpp).
  void ReadUses(std::vector<std::string>& uses);
  void ReadInterface(std::vector<DocItem>& items);
  void ReadInterfaceItem(Section& section, std::vector<DocItem>& items);
  void ReadSectionItem(Section section, std::vector<DocItem>& out, const Scope& scope);
  void ReadVariables(std::vector<DocItem>& out, ItemKind kind, const Scope& scope, bool in_variant);
  void ReadConstant(std::vector<DocItem>& out, ItemKind kind, const Scope& scope);
  std::pair<size_t, size_t> SkipType(bool stop_at_equal);
  std::pair<size_t, size_t> SkipValue();
  size_t ReadTrailingDirectives(bool procedural, const Scope& scope, Hints& hints, size_t last);
  void StartSection(Section& section, Section next);

  // Types (type_parser.cpp).
  void ReadTypeDeclaration(std::vector<DocItem>& out, const Scope& scope);
  void ReadEnum(DocItem& item);
  void ReadProceduralType(DocItem& item);
  void ReadOtherType(DocItem& item);

  // Class-like items (class_parser.cpp).
  void ReadClassLike(DocItem& item, size_t first);
  void ReadHeadingRest(DocItem& item, Id keyword);
  void ReadAncestors(std::vector<std::string>& ancestors);
  void ReadMembers(DocItem& owner);
  void ReadMember(DocItem& owner, Scope& scope, Section& section);
  bool ReadSectionWord(Scope& scope, Section& section);
  void ReadVariantPart(DocItem& owner, const Scope& scope);

  // Routines and properties (routine_parser.cpp).
  void ReadRoutine(std::vector<DocItem>& out, const Scope& scope);
  std::string ReadRoutineName(Id keyword);
  void ReadResultType(DocItem& item);
  std::pair<size_t, size_t> SkipPropertyType();
  void SkipPropertySpecifiers(Hints& hints);
  bool AtDirective(const Scope& scope) const;
  size_t ReadDirectives(const Scope& scope, Hints& hints, size_t last);
  void ReadProperty(std::vector<DocItem>& out, const Scope& scope);

  // Bounds the recursion of nested types, so that deep nesting in bad input cannot exhaust the
  // stack; a declaration nested deeper is skipped with a warning.
  class NestingGuard {
   public:
    explicit NestingGuard(DeclarationParser& parser) : parser_(parser) { parser_.EnterNesting(); }
    ~NestingGuard() { parser_.LeaveNesting(); }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

   private:
    DeclarationParser& parser_;
  };
  static constexpr int kMaxNesting = 64;

  TokenStream& stream_;
  std::vector<Token>& tokens_;
  const CommentReader& comments_;
  std::vector<StreamWarning>& warnings_;
  size_t pos_ = 0;
  int nesting_ = 0;
  // A comment waiting for the next item: the one above an attribute.
  std::string pending_comment_;
};

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_DECLARATION_PARSER_H_
