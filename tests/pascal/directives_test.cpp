// Conditional directives: the expression language and which branches the reader takes.
#include <gtest/gtest.h>

#include "parser/pascal/directive_expression.h"
#include "pascal/reader_support.h"

namespace glossator {
namespace {

using pascal::EvaluateCondition;
using pascal::Symbols;
using pascal::Truth;

TEST(EvaluateCondition, EvaluatesTheExpressionLanguage) {
  Symbols symbols;
  symbols.Define("FPC");
  symbols.Define("FPC_FULLVERSION", "30202");
  symbols.Define("RTLVersion", "35");
  symbols.Define("TARGET", "linux");
  struct Case {
    const char* expression;
    Truth truth;
  } cases[] = {
      {"defined(FPC)", Truth::kTrue},
      {"DEFINED(fpc)", Truth::kTrue},
      {"defined(DELPHI)", Truth::kFalse},
      {"not defined(X)", Truth::kTrue},
      {"defined(FPC) and (FPC_FULLVERSION >= 30000)", Truth::kTrue},
      {"FPC_FULLVERSION < 30000", Truth::kFalse},
      {"FPC_FULLVERSION = 30202", Truth::kTrue},
      {"FPC_FULLVERSION <> 30202", Truth::kFalse},
      {"RTLVersion >= 23.0", Truth::kTrue},
      {"(RTLVersion > 20) and not (RTLVersion > 40)", Truth::kTrue},
      {"FPC_FULLVERSION div 10000 = 3", Truth::kTrue},
      {"TARGET = 'LINUX'", Truth::kTrue},
      {"defined(FPC) or (CompilerVersion > 20)", Truth::kTrue},
      {"defined(X) and (CompilerVersion > 20)", Truth::kFalse},
      {"CompilerVersion > 20", Truth::kUnknown},
      {"SizeOf(Pointer) = 8", Truth::kUnknown},
      {"defined(FPC) xor defined(X)", Truth::kTrue},
      {"True", Truth::kTrue},
      {"defined(FPC) )", Truth::kUnknown},
      {"((((defined(FPC))))", Truth::kUnknown},
      {"", Truth::kUnknown},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EvaluateCondition(c.expression, symbols).truth, c.truth) << c.expression;
  }
  auto declared = EvaluateCondition("declared(Foo) or defined(X)", symbols);
  EXPECT_EQ(declared.truth, Truth::kFalse);
  EXPECT_TRUE(declared.asked_declared);
  // Deep nesting ends in "unknown", not in a crash.
  std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  EXPECT_EQ(EvaluateCondition(deep, symbols).truth, Truth::kUnknown);
}

// The names of the constants a unit declares: each branch declares its own.
std::vector<std::string> Taken(std::string_view interface_part, const ReaderOptions& options = {}) {
  std::vector<std::string> names;
  for (const DocItem& item : ItemsOf(ReadSource(UnitWith(interface_part), options))) {
    names.push_back(item.name);
  }
  return names;
}

TEST(Conditionals, TakeTheBranchesTheCompilerTakes) {
  using Names = std::vector<std::string>;
  struct Case {
    const char* source;
    Names names;
  } cases[] = {
      {"const {$IFDEF FPC} A = 1; {$ELSE} B = 1; {$ENDIF} C = 1;", {"A", "C"}},
      {"const {$IFNDEF FPC} A = 1; {$ELSE} B = 1; {$ENDIF}", {"B"}},
      {"const {$IFDEF X} A = 1; {$ELSEIF defined(FPC)} B = 1; {$ELSE} C = 1; {$ENDIF}", {"B"}},
      {"const {$IF FPC_FULLVERSION >= 30200} A = 1; {$IFEND}", {"A"}},
      {"const {$IFDEF X} {$IFDEF FPC} A = 1; {$ELSE} B = 1; {$ENDIF} {$ELSE} C = 1; {$ENDIF}",
       {"C"}},
      {"const {$DEFINE MINE} {$IFDEF mine} A = 1; {$ENDIF} {$UNDEF MINE} {$IFDEF MINE} B = 1; "
       "{$ENDIF}",
       {"A"}},
      {"const {$MODE DELPHI} {$IFDEF FPC_DELPHI} A = 1; {$ENDIF} {$IFDEF FPC_OBJFPC} B = 1; "
       "{$ENDIF} {$MODE objfpc} {$IFDEF FPC_DELPHI} C = 1; {$ENDIF}",
       {"A"}},
      {"const {$R+} {$IFOPT R+} A = 1; {$ENDIF} {$R-,Q+} {$IFOPT R+} B = 1; {$ENDIF} "
       "{$IFOPT Q+} C = 1; {$ENDIF}",
       {"A", "C"}},
      {"const (*$IFDEF FPC*) A = 1; (*$ENDIF*) {$I+} B = 1;", {"A", "B"}},
      {"const {$IFDEF UNIX} {$IFDEF LINUX} {$IFDEF CPUX86_64} A = 1; {$ENDIF} {$ENDIF} {$ENDIF}",
       {"A"}},
      // Not Delphi's symbols; an undefined name makes "unknown", which reads the first branch.
      {"const {$IFDEF MSWINDOWS} A = 1; {$ENDIF} {$IF CompilerVersion >= 35} B = 1; {$ELSE} C = 1; "
       "{$IFEND}",
       {"B"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Taken(c.source), c.names) << c.source;

  ReaderOptions delphi;
  delphi.compiler = CompilerMode::kDelphi;
  delphi.defines = {"EXTRA", "LEVEL=3"};
  EXPECT_EQ(Taken("const {$IFDEF FPC} A = 1; {$ENDIF} {$IFDEF MSWINDOWS} B = 1; {$ENDIF} "
                  "{$IF CompilerVersion >= 35} C = 1; {$IFEND} {$IFDEF EXTRA} D = 1; {$ENDIF} "
                  "{$IF LEVEL > 2} E = 1; {$IFEND} {$IFDEF UNICODE} F = 1; {$ENDIF}",
                  delphi),
            (Names{"B", "C", "D", "E", "F"}));
}

TEST(Conditionals, WarnAndGoOnWhenTheyCannotBeFollowed) {
  ReadResult result = ReadSource(
      "unit U;\ninterface\nconst\n"
      "{$IF SizeOf(Pointer) = 8} A = 1; {$ELSE} B = 1; {$IFEND}\n"  // 4: unknown, first branch
      "{$IF declared(Foo)} C = 1; {$ELSE} D = 1; {$IFEND}\n"        // 5: declared is false
      "{$ENDIF}\n"                                                  // 6: without $IF
      "{$ELSE}\n"                                                   // 7: without $IF
      "E = 1;\n"
      "{$IFDEF FPC}\n"  // 9: never closed
      "implementation\nend.\n");
  EXPECT_EQ(Outline(ItemsOf(result)),
            (std::vector<std::string>{"constant A", "constant D", "constant E"}));
  EXPECT_EQ(WarningTexts(result),
            (std::vector<std::string>{
                "src/u.pas:4: warning: cannot evaluate {$IF SizeOf(Pointer) = 8}; reading its "
                "first branch",
                "src/u.pas:5: warning: declared() is not known here; taken as false",
                "src/u.pas:6: warning: {$ENDIF} without {$IF}",
                "src/u.pas:7: warning: {$ELSE} without {$IF}",
                "src/u.pas:9: warning: conditional directive without {$ENDIF}"}));
  for (const Warning& warning : result.warnings) EXPECT_EQ(warning.kind, "pascal-directive");
}

TEST(Conditionals, ExpandMacrosWhenTheyAreOn) {
  ReadResult result =
      ReadSource(UnitWith("{$MACRO ON}{$DEFINE extdecl := stdcall}{$DEFINE TNum := Integer}\n"
                          "type TCallback = function(A: TNum): TNum; extdecl;\n"
                          "{$MACRO OFF}\nvar V: TNum;"));
  auto items = ItemsOf(result);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].declaration, "TCallback = function(A: Integer): Integer; stdcall;");
  EXPECT_EQ(items[0].line, 4);
  EXPECT_EQ(items[1].declaration, "V: TNum;");
  // Macros that use each other twice over would double at each level: the expansions stop at
  // a budget, with a warning, and the read ends.
  std::string doubling = "{$MACRO ON}";
  for (int i = 0; i < 30; ++i) {
    doubling += "{$DEFINE M" + std::to_string(i) + " := M" + std::to_string(i + 1) + " M" +
                std::to_string(i + 1) + "}";
  }
  ReadResult doubled = ReadSource(UnitWith(doubling + "\nvar V: M0;"));
  ASSERT_TRUE(doubled.unit);
  ASSERT_FALSE(doubled.warnings.empty());
  EXPECT_NE(doubled.warnings[0].text.find("macros expand too much"), std::string::npos);
  // A macro whose text names itself is expanded once.
  auto looped = ItemsOf(ReadSource(UnitWith("{$MACRO ON}{$DEFINE T := T}var V: T;")));
  ASSERT_EQ(looped.size(), 1u);
  EXPECT_EQ(looped[0].type, "T");
}

}  // namespace
}  // namespace glossator
