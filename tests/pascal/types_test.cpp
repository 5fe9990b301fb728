// Type declarations, constants and variables: kind, name, declaration text and type of each.
#include <gtest/gtest.h>

#include "pascal/reader_support.h"

namespace glossator {
namespace {

struct Expected {
  const char* source;  // one declaration after the section keyword
  ItemKind kind;
  const char* name;
  const char* declaration;
  const char* type;
  const char* value = "";
};

void CheckTable(const char* section, const std::vector<Expected>& cases) {
  for (const Expected& c : cases) {
    ReadResult result = ReadSource(UnitWith(std::string(section) + "\n  " + c.source));
    auto items = ItemsOf(result);
    ASSERT_EQ(items.size(), 1u) << c.source;
    const DocItem& item = items[0];
    EXPECT_EQ(KindName(item.kind), KindName(c.kind)) << c.source;
    EXPECT_EQ(item.name, c.name) << c.source;
    EXPECT_EQ(item.declaration, c.declaration) << c.source;
    EXPECT_EQ(item.type, c.type) << c.source;
    EXPECT_EQ(item.value, c.value) << c.source;
    EXPECT_EQ(item.line, 4) << c.source;
    EXPECT_TRUE(item.visibility.empty()) << c.source;
    EXPECT_TRUE(result.warnings.empty()) << c.source << ": " << WarningTexts(result)[0];
  }
}

TEST(Types, ReadEveryKindOfTypeDeclaration) {
  using K = ItemKind;
  CheckTable(
      "type",
      {
          {"TE = (a, b = 4, c);", K::kEnum, "TE", "TE = (a, b = 4, c);", ""},
          {"TS = set of TE;", K::kSet, "TS", "TS = set of TE;", "TE"},
          {"TS = set of (x, y);", K::kSet, "TS", "TS = set of (x, y);", "(x, y)"},
          {"TA = array[0..9] of Integer;", K::kArray, "TA", "TA = array[0..9] of Integer;",
           "Integer"},
          {"TA = packed array[TE, Boolean] of array of Byte;", K::kArray, "TA",
           "TA = packed array[TE, Boolean] of array of Byte;", "array of Byte"},
          {"TD = array of TList<Integer>;", K::kArray, "TD", "TD = array of TList<Integer>;",
           "TList<Integer>"},
          {"PFoo = ^TFoo;", K::kPointer, "PFoo", "PFoo = ^TFoo;", "TFoo"},
          {"TProc = procedure(AKey: Word);", K::kProcedureType, "TProc",
           "TProc = procedure(AKey: Word);", ""},
          {"TEvent = procedure(Sender: TObject) of object;", K::kProcedureType, "TEvent",
           "TEvent = procedure(Sender: TObject) of object;", ""},
          {"TFunc = function(const S: string; out N: Integer): Boolean of object; stdcall;",
           K::kProcedureType, "TFunc",
           "TFunc = function(const S: string; out N: Integer): Boolean of object; stdcall;",
           "Boolean"},
          {"TCb = function: Integer; cdecl;", K::kProcedureType, "TCb",
           "TCb = function: Integer; cdecl;", "Integer"},
          {"TRef = reference to function(X: Integer): string;", K::kProcedureType, "TRef",
           "TRef = reference to function(X: Integer): string;", "string"},
          {"TNest = procedure is nested;", K::kProcedureType, "TNest",
           "TNest = procedure is nested;", ""},
          {"TAlias = Integer;", K::kAlias, "TAlias", "TAlias = Integer;", "Integer"},
          {"TDistinct = type Integer;", K::kAlias, "TDistinct", "TDistinct = type Integer;",
           "Integer"},
          {"TRange = -1..High(Byte);", K::kAlias, "TRange", "TRange = -1..High(Byte);",
           "-1..High(Byte)"},
          {"TChars = 'a'..'z';", K::kAlias, "TChars", "TChars = 'a'..'z';", "'a'..'z'"},
          {"TShort = string[20];", K::kAlias, "TShort", "TShort = string[20];", "string[20]"},
          {"TCp = type AnsiString(1252);", K::kAlias, "TCp", "TCp = type AnsiString(1252);",
           "AnsiString(1252)"},
          {"TBytes = file of Byte;", K::kAlias, "TBytes", "TBytes = file of Byte;", "file of Byte"},
          {"TMeta = class of TFoo;", K::kAlias, "TMeta", "TMeta = class of TFoo;", "class of TFoo"},
          {"TInts = specialize TList<Integer>;", K::kAlias, "TInts",
           "TInts = specialize TList<Integer>;", "TList<Integer>"},
          {"TMap = TDictionary<string, TList<Integer>>;", K::kAlias, "TMap",
           "TMap = TDictionary<string, TList<Integer>>;", "TDictionary<string, TList<Integer>>"},
          {"TQual = System.Classes.TStrings;", K::kAlias, "TQual",
           "TQual = System.Classes.TStrings;", "System.Classes.TStrings"},
          {"TOld = Integer deprecated 'Use TNew';", K::kAlias, "TOld",
           "TOld = Integer deprecated 'Use TNew';", "Integer"},
          {"&Type = (&begin, &end);", K::kEnum, "Type", "&Type = (&begin, &end);", ""},
      });
}

TEST(Types, ReadConstantsVariablesAndResourceStrings) {
  using K = ItemKind;
  CheckTable("const",
             {
                 {"X = -5;", K::kConstant, "X", "X = -5;", "", "-5"},
                 {"Y: Integer = 5 deprecated;", K::kConstant, "Y", "Y: Integer = 5 deprecated;",
                  "Integer", "5"},
                 {"A: array[0..1] of string =\n    ('a',\n     'b');", K::kConstant, "A",
                  "A: array[0..1] of string = ('a', 'b');", "array[0..1] of string", "('a', 'b')"},
                 {"P: TPoint = (X: 1; Y: 2);", K::kConstant, "P", "P: TPoint = (X: 1; Y: 2);",
                  "TPoint", "(X: 1; Y: 2)"},
                 {"S = ['a'..'z', '_'];", K::kConstant, "S", "S = ['a'..'z', '_'];", "",
                  "['a'..'z', '_']"},
                 {"CRLF = #13#10;", K::kConstant, "CRLF", "CRLF = #13#10;", "", "#13#10"},
             });
  CheckTable("resourcestring", {
                                   {"SHello = 'Hello' + ' world';", K::kResourceString, "SHello",
                                    "SHello = 'Hello' + ' world';", "", "'Hello' + ' world'"},
                               });
  CheckTable("var", {
                        {"V: Integer;", K::kVariable, "V", "V: Integer;", "Integer"},
                        {"V: Integer = 3;", K::kVariable, "V", "V: Integer = 3;", "Integer", "3"},
                        {"V: Byte absolute W;", K::kVariable, "V", "V: Byte absolute W;", "Byte"},
                        {"V: cint; cvar; external;", K::kVariable, "V", "V: cint; cvar; external;",
                         "cint"},
                        {"V: record A, B: Integer; end;", K::kVariable, "V",
                         "V: record A, B: Integer; end;", "record A, B: Integer; end"},
                        {"V: procedure(A: Integer); cdecl;", K::kVariable, "V",
                         "V: procedure(A: Integer); cdecl;", "procedure(A: Integer)"},
                        {"V: TList<Integer> platform;", K::kVariable, "V",
                         "V: TList<Integer> platform;", "TList<Integer>"},
                    });
  CheckTable("threadvar", {{"T: Integer;", K::kVariable, "T", "T: Integer;", "Integer"}});
}

TEST(Types, GiveEveryNameOfAListItsOwnItemAndReadHints) {
  auto items = ItemsOf(ReadSource(
      UnitWith("var\n  A, B: Integer;\nconst\n  Old = 1 deprecated 'gone';\n  P = 2 platform "
               "experimental;\ntype TL = Byte library;")));
  ASSERT_EQ(Outline(items), (std::vector<std::string>{"variable A", "variable B", "constant Old",
                                                      "constant P", "alias TL"}));
  EXPECT_EQ(items[1].declaration, "B: Integer;");
  EXPECT_EQ(items[1].line, 4);
  EXPECT_TRUE(items[2].hints.deprecated);
  EXPECT_EQ(items[2].hints.deprecated_message, "gone");
  EXPECT_EQ(items[2].value, "1");
  EXPECT_TRUE(items[3].hints.platform && items[3].hints.experimental);
  EXPECT_FALSE(items[3].hints.deprecated);
  EXPECT_TRUE(items[4].hints.library);
  std::vector<EnumValue> values =
      ItemsOf(ReadSource(UnitWith("type\n  TE = (\n    a,\n    b = 1 shl 2,\n    c := 9);")))[0]
          .values;
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[1].name, "b");
  EXPECT_EQ(values[1].ordinal, "1 shl 2");
  EXPECT_EQ(values[1].line, 6);
  EXPECT_EQ(values[2].ordinal, "9");
  EXPECT_EQ(values[0].ordinal, "");
}

}  // namespace
}  // namespace glossator
