#ifndef GLOSSATOR_PARSER_PASCAL_TOKEN_H_
#define GLOSSATOR_PARSER_PASCAL_TOKEN_H_

#include <cstdint>
#include <string_view>

namespace glossator::pascal {

// What a token is: a symbol, a reserved word, a directive word that only counts in some places
// (such as "read" or "virtual"), or a plain identifier (kIdentifier). Words are found without
// case.
enum class Id : uint8_t {
  kIdentifier,  // an identifier that is no word of the table, or an escaped one ("&Type")
  kNumber,
  kStringLiteral,
  kEndOfStream,
  // Symbols.
  kSemicolon,
  kComma,
  kColon,
  kAssign,  // :=
  kEqual,
  kNotEqual,   // <>
  kLess,       // <
  kGreater,    // > (">=" comes as ">" and a glued "=", so that "TList<T>=class" reads)
  kLessEqual,  // <=
  kLParen,
  kRParen,
  kLBracket,  // [ or (.
  kRBracket,  // ] or .)
  kDot,
  kDotDot,
  kCaret,
  kAt,
  kPlus,
  kMinus,
  kStar,
  kSlash,
  kPower,        // **
  kOtherSymbol,  // anything else: "#", "$", "!", "?", "\", a stray byte
  // Reserved words: never names.
  kAnd,
  kArray,
  kAs,
  kAsm,
  kBegin,
  kCase,
  kClass,
  kConst,
  kConstructor,
  kDestructor,
  kDispinterface,
  kDiv,
  kDo,
  kDownto,
  kElse,
  kEnd,
  kExcept,
  kExports,
  kFile,
  kFinalization,
  kFinally,
  kFor,
  kFunction,
  kGoto,
  kIf,
  kImplementation,
  kIn,
  kInherited,
  kInitialization,
  kInterface,
  kIs,
  kLabel,
  kLibrary,
  kMod,
  kNil,
  kNot,
  kObject,
  kOf,
  kOr,
  kPacked,
  kBitpacked,
  kProcedure,
  kProgram,
  kProperty,
  kRaise,
  kRecord,
  kRepeat,
  kResourcestring,
  kSet,
  kShl,
  kShr,
  kString,
  kThen,
  kThreadvar,
  kTo,
  kTry,
  kType,
  kUnit,
  kUntil,
  kUses,
  kVar,
  kWhile,
  kWith,
  kXor,
  // Words that are names everywhere but in a few places.
  kFirstContextual,
  kAbstract = kFirstContextual,
  kAbsolute,
  kAutomated,
  kDefault,
  kDeprecated,
  kExperimental,
  kExternal,
  kGeneric,
  kHelper,
  kImplements,
  kIndex,
  kName,
  kNested,
  kNodefault,
  kOperator,
  kOut,
  kPackage,
  kPlatform,
  kPrivate,
  kProtected,
  kPublic,
  kPublished,
  kRead,
  kReadonly,
  kReference,
  kSealed,
  kSpecialize,
  kStatic,
  kStored,
  kStrict,
  kWrite,
  kWriteonly,
  kDispid,
  kUnimplemented,
  kObjcClass,  // FPC's Objective-Pascal: "objcclass", "objcprotocol", "objccategory"
  kObjcProtocol,
  kObjcCategory,
  kObjcSection,  // "required" and "optional" in an objcprotocol
  // Routine directives without a meaning of their own here ("virtual", "cdecl", ...).
  kRoutineDirective,
  kVarDirective,  // "cvar" and "absolute"
};

inline bool IsReserved(Id id) { return id >= Id::kAnd && id < Id::kFirstContextual; }
// An identifier that may name an item here: a plain or escaped name or a contextual word.
inline bool IsNameLike(Id id) { return id == Id::kIdentifier || id >= Id::kFirstContextual; }
// The hint directives; FPC's "unimplemented" is read as one but has no place in the model.
inline bool IsHintWord(Id id) {
  return id == Id::kDeprecated || id == Id::kPlatform || id == Id::kExperimental ||
         id == Id::kLibrary || id == Id::kUnimplemented;
}

// Token flags.
enum : uint8_t {
  kEscaped = 1,         // written with "&" in front ("&Type"); the text holds no "&"
  kGlued = 2,           // no blank between this and the lexeme before it
  kFollowsComment = 4,  // the lexeme before it in its file is a comment
  kGenericBracket = 8,  // a "<" or ">" the parser read as a generic's bracket
};

// One token of the reader's stream: a view into the file's bytes, its line and where it came
// from. Small and trivially copyable: a unit of 100,000 tokens costs about 2.4 MB.
struct Token {
  const char* text = nullptr;
  uint32_t size = 0;
  int32_t line = 0;              // 1-based
  uint32_t comments_before = 0;  // how many comments of the stream come before it
  uint16_t file = 0;             // index into the stream's file list; 0 is the unit
  Id id = Id::kEndOfStream;
  uint8_t flags = 0;

  std::string_view Text() const { return {text, size}; }
};

// The word (reserved or contextual) an identifier is, or Id::kIdentifier. Case-insensitive.
Id LookupWord(std::string_view word);

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_TOKEN_H_
