#ifndef GLOSSATOR_PARSER_PASCAL_DIRECTIVE_EXPRESSION_H_
#define GLOSSATOR_PARSER_PASCAL_DIRECTIVE_EXPRESSION_H_

#include <string>
#include <string_view>
#include <unordered_map>

namespace glossator::pascal {

// The conditional symbols of one read: names without case, each with a value text that may be
// empty ("FPC_FULLVERSION" => "30202", "FPC" => "").
class Symbols {
 public:
  void Define(std::string_view name, std::string_view value = {});
  void Undefine(std::string_view name);
  bool IsDefined(std::string_view name) const;
  // The value of a defined symbol; nullptr when it is not defined.
  const std::string* Value(std::string_view name) const;

 private:
  static std::string Key(std::string_view name);
  std::unordered_map<std::string, std::string> values_;
};

// What a {$IF} expression came to. kUnknown when a part that decides it cannot be evaluated
// (an undefined name compared with a number, a function such as SizeOf).
enum class Truth { kFalse, kTrue, kUnknown };

struct Evaluation {
  Truth truth = Truth::kUnknown;
  bool asked_declared = false;  // declared(...) was asked; it is answered false
};

// Evaluates the expression of {$IF} or {$ELSEIF}: defined(X), declared(X), not/and/or/xor,
// comparisons (= <> < > <= >=) of numbers and of symbols' values, + - * / div mod, parentheses,
// True and False. "and"/"or" decide without an unknown side when the other side decides:
//
//   "defined(FPC) and (FPC_FULLVERSION >= 30000)" => kTrue    (with FPC, FPC_FULLVERSION=30202)
//   "not defined(X)"                              => kTrue    (X undefined)
//   "defined(FPC) or (CompilerVersion > 20)"      => kTrue    (CompilerVersion undefined)
//   "SizeOf(Pointer) = 8"                         => kUnknown
Evaluation EvaluateCondition(std::string_view expression, const Symbols& symbols);

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_DIRECTIVE_EXPRESSION_H_
