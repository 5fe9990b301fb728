#include "parser/pascal/directive_expression.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "model/text_rules.h"

namespace glossator::pascal {

std::string Symbols::Key(std::string_view name) { return ToUpperAscii(Trim(name)); }

void Symbols::Define(std::string_view name, std::string_view value) {
  values_[Key(name)] = std::string(Trim(value));
}

void Symbols::Undefine(std::string_view name) { values_.erase(Key(name)); }

bool Symbols::IsDefined(std::string_view name) const { return values_.count(Key(name)) != 0; }

const std::string* Symbols::Value(std::string_view name) const {
  auto found = values_.find(Key(name));
  return found == values_.end() ? nullptr : &found->second;
}

namespace {

// A value of the expression language: unknown, a truth, a number or a text.
struct Value {
  enum Kind { kUnknown, kBool, kNumber, kText } kind = kUnknown;
  bool truth = false;
  double number = 0;
  std::string text;

  static Value Bool(bool b) { return {kBool, b, 0, {}}; }
  static Value Number(double n) { return {kNumber, false, n, {}}; }
  static Value Text(std::string t) { return {kText, false, 0, std::move(t)}; }
  // The value as a truth: numbers are true when not zero; texts and unknowns are unknown.
  Truth AsTruth() const {
    if (kind == kBool) return truth ? Truth::kTrue : Truth::kFalse;
    if (kind == kNumber) return number != 0 ? Truth::kTrue : Truth::kFalse;
    return Truth::kUnknown;
  }
};

// A number written in Pascal ("30202", "$FF", "23.0"); false when the text is none.
bool ParseNumber(std::string_view text, double* number) {
  if (text.empty()) return false;
  std::string digits(text);
  char* end = nullptr;
  if (digits[0] == '$') {
    *number = static_cast<double>(std::strtoll(digits.c_str() + 1, &end, 16));
    return digits.size() > 1 && *end == '\0';
  }
  *number = std::strtod(digits.c_str(), &end);
  return *end == '\0' && (std::isdigit(static_cast<unsigned char>(digits[0])) || digits[0] == '.');
}

// A recursive-descent reader over the expression text. Its depth is bounded, so that a run of
// thousands of "(" cannot exhaust the stack.
class Evaluator {
 public:
  Evaluator(std::string_view text, const Symbols& symbols) : text_(text), symbols_(symbols) {}

  Evaluation Run() {
    Evaluation result;
    Value value = Expression();
    SkipBlanks();
    // Trailing words that are no part of the expression make it unreadable.
    result.truth = at_ < text_.size() ? Truth::kUnknown : value.AsTruth();
    result.asked_declared = asked_declared_;
    return result;
  }

 private:
  static constexpr int kMaxDepth = 100;

  void SkipBlanks() {
    while (at_ < text_.size() && static_cast<unsigned char>(text_[at_]) <= ' ') ++at_;
  }

  // The next word (letters, digits, "_") without consuming it; empty when none.
  std::string_view PeekWord() {
    SkipBlanks();
    size_t end = at_;
    while (end < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_')) {
      ++end;
    }
    if (end == at_ || std::isdigit(static_cast<unsigned char>(text_[at_]))) return {};
    return text_.substr(at_, end - at_);
  }

  bool AcceptWord(std::string_view word) {
    std::string_view next = PeekWord();
    if (next.empty() || !EqualsNoCase(next, word)) return false;
    at_ += next.size();
    return true;
  }

  bool AcceptSymbol(std::string_view symbol) {
    SkipBlanks();
    if (text_.substr(at_, symbol.size()) != symbol) return false;
    at_ += symbol.size();
    return true;
  }

  Value Expression() {
    if (++depth_ > kMaxDepth) {
      at_ = text_.size();
      return Value();
    }
    Value left = Simple();
    for (const char* op : {"<>", "<=", ">=", "=", "<", ">"}) {
      if (AcceptSymbol(op)) {
        left = Compare(left, Simple(), op);
        break;
      }
    }
    --depth_;
    return left;
  }

  Value Simple() {
    Value left = Term();
    for (;;) {
      if (AcceptWord("or")) {
        left = Or(left, Term());
      } else if (AcceptWord("xor")) {
        Truth a = left.AsTruth(), b = Term().AsTruth();
        left = (a == Truth::kUnknown || b == Truth::kUnknown) ? Value() : Value::Bool(a != b);
      } else if (AcceptSymbol("+")) {
        left = Arithmetic(left, Term(), '+');
      } else if (AcceptSymbol("-")) {
        left = Arithmetic(left, Term(), '-');
      } else {
        return left;
      }
    }
  }

  Value Term() {
    Value left = Factor();
    for (;;) {
      if (AcceptWord("and")) {
        left = And(left, Factor());
      } else if (AcceptSymbol("*")) {
        left = Arithmetic(left, Factor(), '*');
      } else if (AcceptSymbol("/") || AcceptWord("div")) {
        left = Arithmetic(left, Factor(), '/');
      } else if (AcceptWord("mod")) {
        left = Arithmetic(left, Factor(), '%');
      } else {
        return left;
      }
    }
  }

  Value Factor() {
    if (++depth_ > kMaxDepth) {
      at_ = text_.size();
      return Value();
    }
    Value value = FactorInner();
    --depth_;
    return value;
  }

  Value FactorInner() {
    SkipBlanks();
    if (at_ >= text_.size()) return Value();
    if (AcceptWord("not")) {
      Truth t = Factor().AsTruth();
      return t == Truth::kUnknown ? Value() : Value::Bool(t == Truth::kFalse);
    }
    if (AcceptSymbol("(")) {
      Value inner = Expression();
      if (!AcceptSymbol(")")) return Value();
      return inner;
    }
    if (AcceptSymbol("-")) return Arithmetic(Value::Number(0), Factor(), '-');
    char c = text_[at_];
    if (c == '\'') return QuotedText();
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '$') return NumberLiteral();
    std::string_view word = PeekWord();
    if (word.empty()) {
      at_ = text_.size();  // a stray symbol: nothing after it can be read
      return Value();
    }
    at_ += word.size();
    return Word(word);
  }

  Value Word(std::string_view word) {
    if (EqualsNoCase(word, "true")) return Value::Bool(true);
    if (EqualsNoCase(word, "false")) return Value::Bool(false);
    if (EqualsNoCase(word, "defined")) return Value::Bool(symbols_.IsDefined(Argument()));
    if (EqualsNoCase(word, "declared")) {
      Argument();
      asked_declared_ = true;
      return Value::Bool(false);
    }
    SkipBlanks();
    if (at_ < text_.size() && text_[at_] == '(') {  // SizeOf(...), High(...): not evaluated
      Argument();
      return Value();
    }
    const std::string* value = symbols_.Value(word);
    if (value == nullptr || value->empty()) return Value();
    double number = 0;
    if (ParseNumber(*value, &number)) return Value::Number(number);
    return Value::Text(*value);
  }

  // The text between "(" and the matching ")" after a function's name, trimmed.
  std::string_view Argument() {
    if (!AcceptSymbol("(")) return PeekAndTakeWord();
    size_t start = at_;
    int depth = 1;
    while (at_ < text_.size() && depth > 0) {
      if (text_[at_] == '(') ++depth;
      if (text_[at_] == ')') --depth;
      ++at_;
    }
    size_t end = depth == 0 ? at_ - 1 : at_;
    return Trim(text_.substr(start, end - start));
  }

  std::string_view PeekAndTakeWord() {
    std::string_view word = PeekWord();
    at_ += word.size();
    return word;
  }

  Value QuotedText() {
    std::string text;
    ++at_;
    while (at_ < text_.size()) {
      char c = text_[at_++];
      if (c == '\'') {
        if (at_ < text_.size() && text_[at_] == '\'') {
          text += '\'';
          ++at_;
          continue;
        }
        return Value::Text(text);
      }
      text += c;
    }
    return Value();
  }

  Value NumberLiteral() {
    size_t start = at_;
    ++at_;
    while (at_ < text_.size() &&
           (std::isxdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '.')) {
      ++at_;
    }
    double number = 0;
    if (!ParseNumber(text_.substr(start, at_ - start), &number)) return Value();
    return Value::Number(number);
  }

  static Value And(const Value& a, const Value& b) {
    Truth x = a.AsTruth(), y = b.AsTruth();
    if (x == Truth::kFalse || y == Truth::kFalse) return Value::Bool(false);
    if (x == Truth::kUnknown || y == Truth::kUnknown) return Value();
    return Value::Bool(true);
  }

  static Value Or(const Value& a, const Value& b) {
    Truth x = a.AsTruth(), y = b.AsTruth();
    if (x == Truth::kTrue || y == Truth::kTrue) return Value::Bool(true);
    if (x == Truth::kUnknown || y == Truth::kUnknown) return Value();
    return Value::Bool(false);
  }

  static Value Arithmetic(const Value& a, const Value& b, char op) {
    if (a.kind != Value::kNumber || b.kind != Value::kNumber) return Value();
    switch (op) {
      case '+':
        return Value::Number(a.number + b.number);
      case '-':
        return Value::Number(a.number - b.number);
      case '*':
        return Value::Number(a.number * b.number);
      case '/':
        return b.number == 0 ? Value() : Value::Number(std::trunc(a.number / b.number));
      default:
        return b.number == 0 ? Value() : Value::Number(std::fmod(a.number, b.number));
    }
  }

  static Value Compare(const Value& a, const Value& b, std::string_view op) {
    int order = 0;
    if (a.kind == Value::kNumber && b.kind == Value::kNumber) {
      order = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    } else if (a.kind == Value::kText && b.kind == Value::kText) {
      order = ToUpperAscii(a.text).compare(ToUpperAscii(b.text));
    } else if (a.kind == Value::kBool && b.kind == Value::kBool) {
      order = static_cast<int>(a.truth) - static_cast<int>(b.truth);
    } else {
      return Value();
    }
    if (op == "=") return Value::Bool(order == 0);
    if (op == "<>") return Value::Bool(order != 0);
    if (op == "<") return Value::Bool(order < 0);
    if (op == ">") return Value::Bool(order > 0);
    if (op == "<=") return Value::Bool(order <= 0);
    return Value::Bool(order >= 0);
  }

  std::string_view text_;
  const Symbols& symbols_;
  size_t at_ = 0;
  int depth_ = 0;
  bool asked_declared_ = false;
};

}  // namespace

Evaluation EvaluateCondition(std::string_view expression, const Symbols& symbols) {
  return Evaluator(expression, symbols).Run();
}

}  // namespace glossator::pascal
