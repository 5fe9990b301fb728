// Routines with their directives, and the comment rules of both modes, the implementation's
// comments included.
#include <gtest/gtest.h>

#include "parser/pascal/xml_doc.h"
#include "pascal/reader_support.h"

namespace glossator {
namespace {

TEST(Routines, KeepEveryDirectiveAndEveryOverload) {
  ReadResult result = ReadSource(UnitWith(R"(
function Max(A, B: Integer): Integer; overload; inline;
function Max(A, B: Double): Double; overload;
procedure Ext(P: PChar); cdecl; external 'libc' name 'ext';
function Old: Boolean;
  deprecated 'Use New';
procedure Fwd(const S: string = ''); stdcall; platform;
generic function Pick<T>(const A: array of T): T;
operator + (const A, B: TVec) R: TVec;
operator >= (const A, B: TVec): Boolean;
operator := (const A: Integer): TVec; inline;
function Plain: TArray<string>;)"));
  auto items = ItemsOf(result);
  struct Row {
    ItemKind kind;
    const char* name;
    const char* declaration;
    const char* type;
  } rows[] = {
      {ItemKind::kRoutine, "Max", "function Max(A, B: Integer): Integer; overload; inline;",
       "Integer"},
      {ItemKind::kRoutine, "Max", "function Max(A, B: Double): Double; overload;", "Double"},
      {ItemKind::kRoutine, "Ext", "procedure Ext(P: PChar); cdecl; external 'libc' name 'ext';",
       ""},
      {ItemKind::kRoutine, "Old", "function Old: Boolean; deprecated 'Use New';", "Boolean"},
      {ItemKind::kRoutine, "Fwd", "procedure Fwd(const S: string = ''); stdcall; platform;", ""},
      {ItemKind::kRoutine, "Pick<T>", "generic function Pick<T>(const A: array of T): T;", "T"},
      {ItemKind::kOperator, "+", "operator +(const A, B: TVec) R: TVec;", "TVec"},
      {ItemKind::kOperator, ">=", "operator >=(const A, B: TVec): Boolean;", "Boolean"},
      {ItemKind::kOperator, ":=", "operator :=(const A: Integer): TVec; inline;", "TVec"},
      {ItemKind::kRoutine, "Plain", "function Plain: TArray<string>;", "TArray<string>"},
  };
  ASSERT_EQ(items.size(), std::size(rows));
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(rows[i].declaration);
    EXPECT_EQ(KindName(items[i].kind), KindName(rows[i].kind));
    EXPECT_EQ(items[i].name, rows[i].name);
    EXPECT_EQ(items[i].declaration, rows[i].declaration);
    EXPECT_EQ(items[i].type, rows[i].type);
  }
  EXPECT_TRUE(items[3].hints.deprecated);
  EXPECT_EQ(items[3].hints.deprecated_message, "Use New");
  EXPECT_TRUE(items[4].hints.platform);
  EXPECT_TRUE(result.warnings.empty()) << WarningTexts(result)[0];
}

// The comment of each item (and, for an enumeration, of each value) in `interface_part`.
std::vector<std::string> Comments(std::string_view interface_part, CommentMode mode) {
  ReaderOptions options;
  options.comments = mode;
  std::vector<std::string> comments;
  for (const DocItem& item : ItemsOf(ReadSource(UnitWith(interface_part), options))) {
    comments.push_back(item.name + "=" + item.comment);
    for (const EnumValue& value : item.values) comments.push_back(value.name + "=" + value.comment);
    for (const DocItem& member : item.members)
      comments.push_back(member.name + "=" + member.comment);
  }
  return comments;
}

TEST(Comments, FollowTheRulesOfEachMode) {
  using Names = std::vector<std::string>;
  struct Case {
    const char* source;
    Names doc_only;
    Names any;
  } cases[] = {
      {"{** Doc.\n  Second line. }\n\nprocedure A;",
       {"A=Doc.\r\n  Second line."},
       {"A=Doc.\r\n  Second line."}},
      {"{ Plain. }\nprocedure A;", {"A="}, {"A=Plain."}},
      {"(* Star. *)\nprocedure A;", {"A="}, {"A=Star."}},
      {"// One\n// two\n\nprocedure A;", {"A="}, {"A=One\r\ntwo"}},
      {"const X = 1; // not above Y\n  Y = 2;", {"X=", "Y="}, {"X=", "Y="}},
      {"const X = 1; //< back\n  Y = 2; {< brace back }", {"X=", "Y="}, {"X=back", "Y=brace back"}},
      {"procedure A;\n//< next line", {"A="}, {"A=next line"}},
      {"{** Doc. } // plain after it\nprocedure A;", {"A="}, {"A="}},
      {"{** Doc. }\n{$IFDEF FPC}\nprocedure A;\n{$ENDIF}", {"A="}, {"A="}},
      {"{%region}\nprocedure A;\n{%endregion}", {"A="}, {"A="}},
      {"/// <summary>Sum.</summary>\n/// <param name=\"x\">the x</param>\nprocedure A(x: "
       "Integer);",
       {"A=Sum.\r\n@param x the x"},
       {"A=Sum.\r\n@param x the x"}},
      {"type TE = (\n  {** first } a,\n  b, //< second\n  c //< third\n);",
       {"TE=", "a=first", "b=", "c="},
       {"TE=", "a=first", "b=second", "c=third"}},
      {"type TR = record\n  {** field } F: Integer;\n  G: Byte; //< g\n end;",
       {"TR=", "F=field", "G="},
       {"TR=", "F=field", "G=g"}},
      {"var\n  {** both } A, B: Integer;", {"A=both", "B=both"}, {"A=both", "B=both"}},
      {"type\n  {** Attr. }\n  [Weak]\n  TA = class end;", {"TA=Attr."}, {"TA=Attr."}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Comments(c.source, CommentMode::kDocOnly), c.doc_only) << c.source;
    EXPECT_EQ(Comments(c.source, CommentMode::kAny), c.any) << c.source;
  }
}

TEST(Comments, FindTheUnitComment) {
  struct Case {
    const char* source;
    const char* doc_only;
    const char* any;
  } cases[] = {
      {"{ License. }\n{** The unit. }\nunit U; interface implementation end.", "The unit.",
       "The unit."},
      {"{** First. }\n{ License. }\nunit U; interface implementation end.", "First.", "License."},
      {"{ unit Fake; }\nunit U; interface implementation end.", "", "unit Fake;"},
      {"/// <summary>Xml.</summary>\nunit U; interface implementation end.", "Xml.", "Xml."},
  };
  for (const Case& c : cases) {
    ReaderOptions any;
    any.comments = CommentMode::kAny;
    ReadResult doc_only = ReadSource(c.source);
    ReadResult plain = ReadSource(c.source, any);
    ASSERT_TRUE(doc_only.unit && plain.unit) << c.source;
    EXPECT_EQ(doc_only.unit->name, "U") << c.source;
    EXPECT_EQ(doc_only.unit->comment, c.doc_only) << c.source;
    EXPECT_EQ(plain.unit->comment, c.any) << c.source;
  }
}

TEST(UnitHeading, ReadsHintsAndTheUsesClause) {
  ReadResult result = ReadSource(
      "unit Vcl.Forms deprecated 'Use Fmx' platform;\ninterface\n"
      "uses A, B in '..\\b.pas', C.D {$IFDEF X}, E{$ENDIF};\nimplementation\nuses F;\nend.");
  ASSERT_TRUE(result.unit);
  EXPECT_EQ(result.unit->name, "Vcl.Forms");
  EXPECT_TRUE(result.unit->hints.deprecated && result.unit->hints.platform);
  EXPECT_EQ(result.unit->hints.deprecated_message, "Use Fmx");
  EXPECT_EQ(result.unit->uses, (std::vector<std::string>{"A", "B", "C.D"}));
  EXPECT_TRUE(result.warnings.empty()) << WarningTexts(result)[0];
}

TEST(XmlDoc, BecomesTheTagsThePagesRender) {
  struct Case {
    const char* xml;
    const char* tags;
  } cases[] = {
      {"<summary>Adds <c>A</c> to <see cref=\"TList\"/>.</summary>\n"
       "<param name=\"A\">the value</param>\n<returns>the index</returns>",
       "Adds <code>A</code> to TList.\r\n@param A the value\r\n@return the index\r\n@see TList"},
      {"<summary>Reads.</summary><remarks>Slow.<para>Really.</para></remarks>"
       "<exception cref=\"EReadError\">on failure</exception><seealso cref=\"Write\"/>",
       "Reads.\r\n<p>Slow.<p>Really.</p></p>\r\n<p>Raises EReadError: on failure</p>\r\n@see "
       "Write"},
      {"Just text, a < b.", "Just text, a < b."},
      {"<summary>Uses <paramref name=\"x\"/> and <b>bold</b>.</summary>",
       "Uses <code>x</code> and <b>bold</b>."},
      {"<summary>Open", "Open"},
      {"<<<<<", "<<<<<"},
  };
  for (const Case& c : cases) EXPECT_EQ(pascal::XmlDocToTags(c.xml), c.tags) << c.xml;
}

TEST(Comments, AboveImplementationsGoToTheirInterfaceItems) {
  std::string source = UnitWith(R"(type
  TFoo<T> = class
    procedure Bar(A: Integer); overload;
    procedure Bar(const S: string); overload;
    constructor Create;
  type
    TInner = class
      procedure Deep;
    end;
  end;
function Free(X: Integer = 0): Integer;
procedure NoBody;)",
                                R"(
type
  TLocal = class
    {** Not an interface method. }
    procedure Bar(A: Integer);
  end;

{** The string one. }
procedure TFoo<T>.Bar(const S: string);
  {** Nested, not a method. }
  procedure Bar(A: Integer);
  begin
  end;
begin
  case S of
    'x': begin end;
  end;
  try
    asm
      mov eax, 1 { end }
    end;
  finally
  end;
end;

{** The integer one. }
procedure tfoo<T>.BAR(A: Integer);
var R: record X: Integer; end;
begin
end;

{** Creates. }
constructor TFoo<T>.Create;
begin
end;

{** Deep. }
procedure TFoo<T>.TInner.Deep; begin end;

{** Free. }
function Free(X: Integer): Integer; begin end;

procedure NoBody; external 'lib';

{** Main. }
begin
end.)");
  auto items = ItemsOf(ReadSource(source));
  ASSERT_EQ(items.size(), 3u);
  const auto& foo = items[0].members;
  ASSERT_EQ(foo.size(), 4u);
  EXPECT_EQ(foo[0].long_comment, "The integer one.");
  EXPECT_EQ(foo[1].long_comment, "The string one.");
  EXPECT_EQ(foo[2].long_comment, "Creates.");
  EXPECT_EQ(foo[3].members[0].long_comment, "Deep.");
  EXPECT_EQ(items[1].long_comment, "Free.");
  EXPECT_EQ(items[2].long_comment, "");
}

TEST(Comments, PairOverloadsInOrderWhenTheParametersDiffer) {
  auto items =
      ItemsOf(ReadSource(UnitWith("procedure P(A: Integer); overload;\n"
                                  "procedure P(A: Byte); overload;",
                                  "{** first }\nprocedure P(Value: Integer); begin end;\n"
                                  "{** second }\nprocedure P(Value: Byte); begin end;")));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].long_comment, "first");
  EXPECT_EQ(items[1].long_comment, "second");
}

}  // namespace
}  // namespace glossator
