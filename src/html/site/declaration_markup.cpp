#include "html/site/declaration_markup.h"

#include <algorithm>
#include <array>

#include "html/site/pascal_lexer.h"
#include "html/site/site_html.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

constexpr uint32_t kText = UINT32_MAX;
// A dotted name longer than this is written as it is.
constexpr size_t kMaxParts = 16;

// Sorted, lower case.
constexpr std::array<std::string_view, 65> kReserved = {
    "and",
    "array",
    "as",
    "asm",
    "begin",
    "case",
    "class",
    "const",
    "constructor",
    "destructor",
    "dispinterface",
    "div",
    "do",
    "downto",
    "else",
    "end",
    "except",
    "exports",
    "file",
    "finalization",
    "finally",
    "for",
    "function",
    "goto",
    "if",
    "implementation",
    "in",
    "inherited",
    "initialization",
    "inline",
    "interface",
    "is",
    "label",
    "library",
    "mod",
    "nil",
    "not",
    "object",
    "of",
    "operator",
    "or",
    "packed",
    "procedure",
    "program",
    "property",
    "raise",
    "record",
    "repeat",
    "resourcestring",
    "set",
    "shl",
    "shr",
    "string",
    "then",
    "threadvar",
    "to",
    "try",
    "type",
    "unit",
    "until",
    "uses",
    "var",
    "while",
    "with",
    "xor",
};

// Per first letter, the lengths the reserved words of that letter have (bit n: length n): most
// identifiers are told from every reserved word by these two alone.
constexpr std::array<uint32_t, 26> kReservedLengths = [] {
  std::array<uint32_t, 26> lengths{};
  for (std::string_view word : kReserved) lengths[word[0] - 'a'] |= 1u << word.size();
  return lengths;
}();

// Lower case into `buffer` when the word is short enough to be a keyword; empty otherwise.
std::string_view Folded(std::string_view word, std::array<char, 16>& buffer) {
  if (word.size() > buffer.size()) return {};
  for (size_t i = 0; i < word.size(); ++i) buffer[i] = ToLowerAscii(word[i]);
  return std::string_view(buffer.data(), word.size());
}

bool OneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// Where the writer stands in a declaration.
enum class Mode : uint8_t {
  kDefining,    // the declared name and its keywords: "class procedure Foo"
  kTypeParams,  // inside "<...>" behind the declared name
  kParamNames,  // a parameter list where a name is due: "(const A, B"
  kLinked,      // a type or a value: names are looked up
  kEnumValues,  // the names of an enumeration's values
  kDirectives,  // behind the declaration's own ";": "default;"
};

// What came last, for the rules that depend on it.
enum class Last : uint8_t { kNothing, kOperand, kKeyword, kSymbol };

// One open bracket: the mode to go back to when it closes, the mode its separators return to.
struct Frame {
  char close;
  Mode outer;
  Mode base;
};

// The open brackets, in room of a fixed size so that a declaration costs no allocation.
// Brackets nested deeper are counted but change no mode.
class FrameStack {
 public:
  bool empty() const { return size_ == 0; }
  const Frame& back() const { return frames_[size_ - 1]; }
  // Whether the frame was kept (and the mode should change).
  bool Push(const Frame& frame) {
    if (size_ == kRoom) {
      ++deeper_;
      return false;
    }
    frames_[size_++] = frame;
    return true;
  }
  // Whether a kept frame closing with `close` was taken off.
  bool Pop(char close) {
    if (deeper_ > 0) {
      --deeper_;
      return false;
    }
    if (size_ == 0 || frames_[size_ - 1].close != close) return false;
    --size_;
    return true;
  }

 private:
  static constexpr size_t kRoom = 32;
  Frame frames_[kRoom];
  size_t size_ = 0;
  size_t deeper_ = 0;
};

class DeclarationWriter {
 public:
  DeclarationWriter(std::string& out, std::string_view text, ItemKind kind,
                    const DeclarationLinks& links)
      : out_(out), lexer_(text), kind_(kind), links_(links) {}

  void Write() {
    naming_operator_ = false;
    for (Token t = lexer_.Next(); t.type != Tok::kEnd; t = lexer_.Next()) Take(t);
  }

 private:
  void Take(const Token& t) {
    switch (t.type) {
      case Tok::kSpace:
        AppendText(out_, t.text);
        return;
      case Tok::kComment:
        Span("c", t.text);
        return;
      case Tok::kNumber:
      case Tok::kString:
        Span(t.type == Tok::kNumber ? "n" : "s", t.text);
        last_ = Last::kOperand;
        return;
      case Tok::kWord:
        TakeWord(t.text);
        return;
      default:
        TakeSymbol(t.text[0]);
        return;
    }
  }

  void Span(std::string_view cls, std::string_view text) {
    out_.append("<span class=").append(cls).append(">");
    AppendText(out_, text);
    out_.append("</span>");
  }

  // Keywords that name a type or a value end an operand like a name does: "string read".
  void Keyword(std::string_view word, std::string_view folded) {
    out_.append("<b>");
    AppendText(out_, word);
    out_.append("</b>");
    bool operand = OneOf(folded, {"string", "nil", "object"}) ||
                   (folded == "const" && last_ == Last::kKeyword && last_keyword_ == "of");
    last_ = operand ? Last::kOperand : Last::kKeyword;
    last_keyword_.assign(folded);
  }

  void Plain(std::string_view word) {
    AppendText(out_, word);
    last_ = Last::kOperand;
  }

  void TakeWord(std::string_view word) {
    std::array<char, 16> buffer;
    std::string_view folded = word[0] == '&' ? std::string_view() : Folded(word, buffer);
    bool after_dot = last_ == Last::kSymbol && last_symbol_ == '.';
    if (!after_dot && IsReservedWord(folded)) {
      Keyword(word, folded);
      if (folded == "operator" && kind_ == ItemKind::kOperator) naming_operator_ = true;
      return;
    }
    if (naming_operator_) return Plain(word);
    switch (mode_) {
      case Mode::kLinked:
        return TakeLinkedWord(word, folded);
      case Mode::kDirectives:
        return Keyword(word, folded);
      case Mode::kDefining:
        // FPC's "generic TList<T> = class".
        if (folded == "generic") return Keyword(word, folded);
        return Plain(word);
      case Mode::kParamNames:
        if (OneOf(folded, {"out", "constref"}) && lexer_.PeekSignificant().type == Tok::kWord) {
          return Keyword(word, folded);
        }
        return Plain(word);
      case Mode::kTypeParams:
        if (!in_constraint_ && type_param_count_ < kMaxTypeParams) {
          type_params_[type_param_count_++] = word;
        }
        return Plain(word);
      default:
        return Plain(word);
    }
  }

  bool IsDirective(std::string_view folded) {
    if (last_ == Last::kOperand && stack_.empty()) return true;
    if (last_ == Last::kKeyword && OneOf(last_keyword_, {"class", "record", "object", "type"})) {
      return OneOf(folded, {"helper", "sealed", "abstract"});
    }
    Token next = lexer_.PeekSignificant();
    if (folded == "reference") return next.type == Tok::kWord && EqualsNoCase(next.text, "to");
    return OneOf(folded, {"specialize", "generic"}) && next.type == Tok::kWord;
  }

  void TakeLinkedWord(std::string_view word, std::string_view folded) {
    if (!folded.empty() && IsDirective(folded)) return Keyword(word, folded);
    std::string_view parts[kMaxParts];
    std::string_view joints[kMaxParts];
    size_t n = 0;
    parts[n++] = word;
    while (n < kMaxParts) {
      std::string_view joint = lexer_.TakeDot();
      if (joint.empty()) break;
      joints[n] = joint;
      parts[n++] = lexer_.Next().text;
    }
    uint32_t targets[kMaxParts];
    std::span<uint32_t> found(targets, n);
    if (n == 1 && IsTypeParameter(word)) {
      found[0] = kText;
    } else {
      links_.Resolve(std::span<const std::string_view>(parts, n), found);
    }
    for (size_t i = 0; i < n; ++i) {
      if (i > 0) AppendText(out_, joints[i]);
      WriteName(parts[i], found[i]);
    }
    last_ = Last::kOperand;
  }

  bool IsTypeParameter(std::string_view word) const {
    for (size_t i = 0; i < type_param_count_; ++i) {
      if (EqualsNoCase(type_params_[i], word)) return true;
    }
    return false;
  }

  void WriteName(std::string_view name, uint32_t target) {
    if (target == kText) {
      AppendText(out_, name);
      return;
    }
    out_.append("<a href=\"");
    links_.AppendHref(target, out_);
    out_.append("\">");
    AppendText(out_, name);
    out_.append("</a>");
  }

  void TakeSymbol(char c) {
    if (naming_operator_ && c != '(') {
      AppendText(out_, std::string_view(&c, 1));
      return;
    }
    naming_operator_ = false;
    ChangeMode(c);
    AppendText(out_, std::string_view(&c, 1));
    bool closes = c == ')' || c == ']' || (c == '>' && closed_type_params_);
    last_ = closes ? Last::kOperand : Last::kSymbol;
    last_symbol_ = c;
    closed_type_params_ = false;
  }

  void ChangeMode(char c) {
    switch (c) {
      case '(':
      case '[':
        return Open(c == '(' ? ')' : ']');
      case ')':
      case ']':
      case '>':
        return Close(c);
      case '<':
        if (mode_ == Mode::kDefining) Push('>', Mode::kTypeParams);
        return;
      case ':':
        if (mode_ == Mode::kTypeParams) in_constraint_ = true;
        if (mode_ == Mode::kDefining || mode_ == Mode::kParamNames) mode_ = Mode::kLinked;
        return;
      case '=':
        if (mode_ != Mode::kTypeParams && mode_ != Mode::kDirectives) mode_ = Mode::kLinked;
        return;
      case ';':
        if (mode_ == Mode::kTypeParams) in_constraint_ = false;
        if (stack_.empty()) {
          mode_ = Mode::kDirectives;
        } else {
          mode_ = stack_.back().base;
        }
        return;
      case ',':
        if (!stack_.empty() && stack_.back().base == Mode::kEnumValues) mode_ = Mode::kEnumValues;
        return;
      default:
        return;
    }
  }

  // A bracket behind the declared name or behind "procedure" opens a parameter list; one right
  // behind the "=" of an enumeration opens its values; any other holds a type or a value.
  void Open(char close) {
    bool routine_keyword =
        last_ == Last::kKeyword &&
        OneOf(last_keyword_, {"procedure", "function", "constructor", "destructor"});
    if (mode_ == Mode::kDefining || (mode_ == Mode::kLinked && routine_keyword)) {
      return Push(close, Mode::kParamNames);
    }
    bool enum_values =
        kind_ == ItemKind::kEnum && stack_.empty() && last_ == Last::kSymbol && last_symbol_ == '=';
    Push(close, enum_values                  ? Mode::kEnumValues
                : mode_ == Mode::kDirectives ? mode_
                                             : Mode::kLinked);
  }

  void Push(char close, Mode inner) {
    if (stack_.Push({close, mode_, inner})) mode_ = inner;
  }

  void Close(char c) {
    Mode outer = stack_.empty() ? mode_ : stack_.back().outer;
    if (!stack_.Pop(c)) return;
    if (c == '>') {
      closed_type_params_ = true;
      in_constraint_ = false;
    }
    mode_ = outer;
  }

  std::string& out_;
  PascalLexer lexer_;
  ItemKind kind_;
  const DeclarationLinks& links_;
  Mode mode_ = Mode::kDefining;
  Last last_ = Last::kNothing;
  std::string last_keyword_;  // lower case
  char last_symbol_ = 0;
  FrameStack stack_;
  static constexpr size_t kMaxTypeParams = 16;
  std::string_view type_params_[kMaxTypeParams];
  size_t type_param_count_ = 0;
  bool in_constraint_ = false;
  bool closed_type_params_ = false;
  bool naming_operator_ = false;
};

}  // namespace

bool IsReservedWord(std::string_view word) {
  if (word.empty() || word.size() >= 32) return false;
  char first = ToLowerAscii(word[0]);
  if (first < 'a' || first > 'z' || (kReservedLengths[first - 'a'] & (1u << word.size())) == 0) {
    return false;
  }
  std::array<char, 16> buffer;
  std::string_view folded = Folded(word, buffer);
  return !folded.empty() && std::binary_search(kReserved.begin(), kReserved.end(), folded);
}

void AppendDeclaration(std::string& out, std::string_view declaration, ItemKind kind,
                       const DeclarationLinks& links) {
  DeclarationWriter(out, declaration, kind, links).Write();
}

}  // namespace glossator
