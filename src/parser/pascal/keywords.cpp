// The word table behind LookupWord: an open-addressing hash table of lower-case words, built
// once. A lookup hashes a few letters of the identifier and compares at most a few entries, so
// that the tokenizer can give every identifier its Id without allocating.
#include <array>
#include <cstring>

#include "parser/pascal/token.h"

namespace glossator::pascal {
namespace {

struct Word {
  const char* text;
  Id id;
};

constexpr Word kWords[] = {
    {"and", Id::kAnd},
    {"array", Id::kArray},
    {"as", Id::kAs},
    {"asm", Id::kAsm},
    {"begin", Id::kBegin},
    {"case", Id::kCase},
    {"class", Id::kClass},
    {"const", Id::kConst},
    {"constructor", Id::kConstructor},
    {"destructor", Id::kDestructor},
    {"dispinterface", Id::kDispinterface},
    {"div", Id::kDiv},
    {"do", Id::kDo},
    {"downto", Id::kDownto},
    {"else", Id::kElse},
    {"end", Id::kEnd},
    {"except", Id::kExcept},
    {"exports", Id::kExports},
    {"file", Id::kFile},
    {"finalization", Id::kFinalization},
    {"finally", Id::kFinally},
    {"for", Id::kFor},
    {"function", Id::kFunction},
    {"goto", Id::kGoto},
    {"if", Id::kIf},
    {"implementation", Id::kImplementation},
    {"in", Id::kIn},
    {"inherited", Id::kInherited},
    {"initialization", Id::kInitialization},
    {"interface", Id::kInterface},
    {"is", Id::kIs},
    {"label", Id::kLabel},
    {"library", Id::kLibrary},
    {"mod", Id::kMod},
    {"nil", Id::kNil},
    {"not", Id::kNot},
    {"object", Id::kObject},
    {"of", Id::kOf},
    {"or", Id::kOr},
    {"packed", Id::kPacked},
    {"bitpacked", Id::kBitpacked},
    {"procedure", Id::kProcedure},
    {"program", Id::kProgram},
    {"property", Id::kProperty},
    {"raise", Id::kRaise},
    {"record", Id::kRecord},
    {"repeat", Id::kRepeat},
    {"resourcestring", Id::kResourcestring},
    {"set", Id::kSet},
    {"shl", Id::kShl},
    {"shr", Id::kShr},
    {"string", Id::kString},
    {"then", Id::kThen},
    {"threadvar", Id::kThreadvar},
    {"to", Id::kTo},
    {"try", Id::kTry},
    {"type", Id::kType},
    {"unit", Id::kUnit},
    {"until", Id::kUntil},
    {"uses", Id::kUses},
    {"var", Id::kVar},
    {"while", Id::kWhile},
    {"with", Id::kWith},
    {"xor", Id::kXor},
    // Contextual words.
    {"abstract", Id::kAbstract},
    {"absolute", Id::kAbsolute},
    {"automated", Id::kAutomated},
    {"default", Id::kDefault},
    {"deprecated", Id::kDeprecated},
    {"experimental", Id::kExperimental},
    {"external", Id::kExternal},
    {"generic", Id::kGeneric},
    {"helper", Id::kHelper},
    {"implements", Id::kImplements},
    {"index", Id::kIndex},
    {"name", Id::kName},
    {"nested", Id::kNested},
    {"nodefault", Id::kNodefault},
    {"operator", Id::kOperator},
    {"out", Id::kOut},
    {"package", Id::kPackage},
    {"platform", Id::kPlatform},
    {"private", Id::kPrivate},
    {"protected", Id::kProtected},
    {"public", Id::kPublic},
    {"published", Id::kPublished},
    {"read", Id::kRead},
    {"readonly", Id::kReadonly},
    {"reference", Id::kReference},
    {"sealed", Id::kSealed},
    {"specialize", Id::kSpecialize},
    {"static", Id::kStatic},
    {"stored", Id::kStored},
    {"strict", Id::kStrict},
    {"write", Id::kWrite},
    {"writeonly", Id::kWriteonly},
    {"dispid", Id::kDispid},
    {"unimplemented", Id::kUnimplemented},
    {"objcclass", Id::kObjcClass},
    {"objcprotocol", Id::kObjcProtocol},
    {"objccategory", Id::kObjcCategory},
    {"required", Id::kObjcSection},
    {"optional", Id::kObjcSection},
    {"cvar", Id::kVarDirective},
    // Routine directives: calling conventions, binding, FPC's own.
    {"assembler", Id::kRoutineDirective},
    {"cdecl", Id::kRoutineDirective},
    {"cppdecl", Id::kRoutineDirective},
    {"dynamic", Id::kRoutineDirective},
    {"export", Id::kRoutineDirective},
    {"far", Id::kRoutineDirective},
    {"far16", Id::kRoutineDirective},
    {"final", Id::kRoutineDirective},
    {"forward", Id::kRoutineDirective},
    {"hardfloat", Id::kRoutineDirective},
    {"inline", Id::kRoutineDirective},
    {"interrupt", Id::kRoutineDirective},
    {"iocheck", Id::kRoutineDirective},
    {"local", Id::kRoutineDirective},
    {"message", Id::kRoutineDirective},
    {"ms_abi_cdecl", Id::kRoutineDirective},
    {"ms_abi_default", Id::kRoutineDirective},
    {"mwpascal", Id::kRoutineDirective},
    {"near", Id::kRoutineDirective},
    {"noinline", Id::kRoutineDirective},
    {"noreturn", Id::kRoutineDirective},
    {"nostackframe", Id::kRoutineDirective},
    {"oldfpccall", Id::kRoutineDirective},
    {"overload", Id::kRoutineDirective},
    {"override", Id::kRoutineDirective},
    {"pascal", Id::kRoutineDirective},
    {"register", Id::kRoutineDirective},
    {"reintroduce", Id::kRoutineDirective},
    {"safecall", Id::kRoutineDirective},
    {"saveregisters", Id::kRoutineDirective},
    {"softfloat", Id::kRoutineDirective},
    {"stdcall", Id::kRoutineDirective},
    {"syscall", Id::kRoutineDirective},
    {"sysv_abi_cdecl", Id::kRoutineDirective},
    {"sysv_abi_default", Id::kRoutineDirective},
    {"varargs", Id::kRoutineDirective},
    {"vectorcall", Id::kRoutineDirective},
    {"virtual", Id::kRoutineDirective},
    {"winapi", Id::kRoutineDirective},
    {"alias", Id::kRoutineDirective},
    {"weakexternal", Id::kRoutineDirective},
    {"rtlproc", Id::kRoutineDirective},
    {"compilerproc", Id::kRoutineDirective},
    {"internproc", Id::kRoutineDirective},
    {"internconst", Id::kRoutineDirective},
    {"enumerator", Id::kRoutineDirective},
};

constexpr size_t kMaxWord = 16;  // no word of the table is longer
constexpr size_t kSlots = 512;   // a power of two, about three times the words

inline unsigned char Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

struct Slot {
  char text[kMaxWord + 1] = {};
  uint8_t size = 0;
  Id id = Id::kIdentifier;
};

// A hash of the length and three letters without case: cheap enough for every identifier of a
// unit, and spread enough for the table (its words collide in pairs at most).
inline uint32_t Hash(const char* text, size_t size) {
  auto at = [text](size_t i) {
    return static_cast<uint32_t>(Lower(static_cast<unsigned char>(text[i])));
  };
  return static_cast<uint32_t>(size) * 97u + at(0) * 31u + at(1) * 7u + at(size - 1) * 3u;
}

// Whether `text` equals the lower-case `word` of the same size, the ASCII letters without case.
inline bool SameWord(const char* text, const char* word, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (Lower(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(word[i])) {
      return false;
    }
  }
  return true;
}

struct Table {
  std::array<Slot, kSlots> slots;
  Table() {
    for (const Word& word : kWords) {
      size_t size = std::strlen(word.text);
      uint32_t at = Hash(word.text, size) & (kSlots - 1);
      while (slots[at].size != 0) at = (at + 1) & (kSlots - 1);
      std::memcpy(slots[at].text, word.text, size);
      slots[at].size = static_cast<uint8_t>(size);
      slots[at].id = word.id;
    }
  }
};

const Table& TheTable() {
  static const Table table;
  return table;
}

}  // namespace

Id LookupWord(std::string_view word) {
  if (word.size() < 2 || word.size() > kMaxWord) return Id::kIdentifier;
  static const Table& table = TheTable();
  uint32_t at = Hash(word.data(), word.size()) & (kSlots - 1);
  for (;;) {
    const Slot& slot = table.slots[at];
    if (slot.size == 0) return Id::kIdentifier;
    if (slot.size == word.size() && SameWord(word.data(), slot.text, word.size())) return slot.id;
    at = (at + 1) & (kSlots - 1);
  }
}

}  // namespace glossator::pascal
