// Class-like items: headings, members, visibility, records with variant parts, helpers,
// interfaces, generics.
#include <gtest/gtest.h>

#include "pascal/reader_support.h"

namespace glossator {
namespace {

// "kind name [visibility] declaration" of each member, nested members indented.
void Describe(const std::vector<DocItem>& items, const std::string& indent,
              std::vector<std::string>& out) {
  for (const DocItem& item : items) {
    out.push_back(indent + std::string(KindName(item.kind)) + " " + item.name + " [" +
                  item.visibility + "] " + item.declaration);
    Describe(item.members, indent + "  ", out);
  }
}

std::vector<std::string> Members(const DocItem& item) {
  std::vector<std::string> out;
  Describe(item.members, "", out);
  return out;
}

TEST(Classes, ReadEveryMemberWithItsVisibility) {
  ReadResult result = ReadSource(UnitWith(R"(type
  TFoo = class abstract(TBase, IBar)
    FA, FB: Integer;
  strict private
    FC: string;
    class var Count: Integer;
    procedure SetA(Value: Integer);
  private
    type
      TInner = record X: Byte; end;
    const
      Limit = 10;
    var
      FD: TInner;
  protected
    function GetItem(I: Integer): TFoo; virtual; abstract;
    class function Make<T: class>(const A: array of T): T; static;
  public
    constructor Create(AOwner: TComponent); overload; override;
    constructor Create; overload;
    destructor Destroy; override;
    class operator Add(const A, B: TFoo): TFoo;
    procedure Handle(var Msg: TMessage); message WM_PAINT;
    [Weak] FRef: TObject;
    property A: Integer read FA write SetA default 0;
    property Items[I: Integer]: TFoo
      read GetItem; default;
    property B: Integer index 2 read FB stored False nodefault;
    class property Total: Integer read Count;
  published
    property Name;
    property OnClick: TNotifyEvent read FOnClick implements IFoo;
  automated
    procedure Auto; dispid 5;
  end deprecated;)"));
  auto items = ItemsOf(result);
  ASSERT_EQ(items.size(), 1u);
  const DocItem& foo = items[0];
  EXPECT_EQ(foo.kind, ItemKind::kClass);
  EXPECT_EQ(foo.declaration, "TFoo = class abstract(TBase, IBar)");
  EXPECT_EQ(foo.ancestors, (std::vector<std::string>{"TBase", "IBar"}));
  EXPECT_TRUE(foo.hints.deprecated);
  EXPECT_EQ(Members(foo),
            (std::vector<std::string>{
                "field FA [public] FA: Integer;",
                "field FB [public] FB: Integer;",
                "field FC [strict private] FC: string;",
                "field Count [strict private] Count: Integer;",
                "method SetA [strict private] procedure SetA(Value: Integer);",
                "record TInner [private] TInner = record",
                "  field X [public] X: Byte;",
                "constant Limit [private] Limit = 10;",
                "field FD [private] FD: TInner;",
                "method GetItem [protected] function GetItem(I: Integer): TFoo; virtual; abstract;",
                "method Make<T> [protected] class function Make<T: class>(const A: array of T): "
                "T; static;",
                "constructor Create [public] constructor Create(AOwner: TComponent); overload; "
                "override;",
                "constructor Create [public] constructor Create; overload;",
                "destructor Destroy [public] destructor Destroy; override;",
                "operator Add [public] class operator Add(const A, B: TFoo): TFoo;",
                "method Handle [public] procedure Handle(var Msg: TMessage); message WM_PAINT;",
                "field FRef [public] FRef: TObject;",
                "property A [public] property A: Integer read FA write SetA default 0;",
                "property Items [public] property Items[I: Integer]: TFoo read GetItem; default;",
                "property B [public] property B: Integer index 2 read FB stored False nodefault;",
                "property Total [public] class property Total: Integer read Count;",
                "property Name [published] property Name;",
                "property OnClick [published] property OnClick: TNotifyEvent read FOnClick "
                "implements IFoo;",
                "method Auto [automated] procedure Auto; dispid 5;",
            }));
  const auto& m = foo.members;
  EXPECT_TRUE(m[3].class_member);   // class var
  EXPECT_FALSE(m[7].class_member);  // var after class var
  EXPECT_TRUE(m[9].class_member);   // class function
  EXPECT_EQ(m[9].type, "T");
  EXPECT_EQ(m[8].type, "TFoo");
  EXPECT_EQ(m[16].type, "Integer");
  EXPECT_EQ(m[20].type, "");  // a property made visible again has no type
  EXPECT_TRUE(m[19].class_member);
  EXPECT_TRUE(result.warnings.empty()) << WarningTexts(result)[0];
}

TEST(Classes, ReadHeadingsOfEveryClassLikeKind) {
  struct Case {
    const char* source;
    ItemKind kind;
    const char* name;
    const char* declaration;
    std::vector<std::string> ancestors;
    const char* type;
    bool forward;
  } cases[] = {
      {"TFoo = class;", ItemKind::kClass, "TFoo", "TFoo = class;", {}, "", true},
      {"E = class(Exception);",
       ItemKind::kClass,
       "E",
       "E = class(Exception);",
       {"Exception"},
       "",
       false},
      {"TS = class sealed end;", ItemKind::kClass, "TS", "TS = class sealed", {}, "", false},
      {"IFoo = interface;", ItemKind::kInterface, "IFoo", "IFoo = interface;", {}, "", true},
      {"IFoo = interface(IInterface) ['{00000000-0000-0000-0000-000000000001}'] "
       "function F: Integer; end;",
       ItemKind::kInterface,
       "IFoo",
       "IFoo = interface(IInterface)",
       {"IInterface"},
       "",
       false},
      {"DFoo = dispinterface ['{1}'] property P: Integer dispid 1; end;",
       ItemKind::kInterface,
       "DFoo",
       "DFoo = dispinterface",
       {},
       "",
       false},
      {"TR = packed record A: Byte; end;",
       ItemKind::kRecord,
       "TR",
       "TR = packed record",
       {},
       "",
       false},
      {"TObj = object(TParent) procedure P; end;",
       ItemKind::kObject,
       "TObj",
       "TObj = object(TParent)",
       {"TParent"},
       "",
       false},
      {"TH = class helper(TBaseHelper) for TFoo end;",
       ItemKind::kHelper,
       "TH",
       "TH = class helper(TBaseHelper) for TFoo",
       {"TBaseHelper"},
       "TFoo",
       false},
      {"TRH = record helper for System.TGUID end;",
       ItemKind::kHelper,
       "TRH",
       "TRH = record helper for System.TGUID",
       {},
       "System.TGUID",
       false},
      {"TTH = type helper for Integer end;",
       ItemKind::kHelper,
       "TTH",
       "TTH = type helper for Integer",
       {},
       "Integer",
       false},
      {"TList<T: class, constructor> = class(TEnumerable<T>) end;",
       ItemKind::kClass,
       "TList<T>",
       "TList<T: class, constructor> = class(TEnumerable<T>)",
       {"TEnumerable<T>"},
       "",
       false},
      {"generic TMap<K, V> = class(specialize TBase<K>, IMap) end;",
       ItemKind::kClass,
       "TMap<K, V>",
       "generic TMap<K, V> = class(specialize TBase<K>, IMap)",
       {"TBase<K>", "IMap"},
       "",
       false},
      {"TOC = objcclass external (NSObject) procedure m; message 'm:'; end;",
       ItemKind::kClass,
       "TOC",
       "TOC = objcclass external(NSObject)",
       {"NSObject"},
       "",
       false},
  };
  for (const Case& c : cases) {
    ReadResult result = ReadSource(UnitWith(std::string("type\n  ") + c.source));
    auto items = ItemsOf(result);
    ASSERT_EQ(items.size(), 1u) << c.source;
    EXPECT_EQ(KindName(items[0].kind), KindName(c.kind)) << c.source;
    EXPECT_EQ(items[0].name, c.name) << c.source;
    EXPECT_EQ(items[0].declaration, c.declaration) << c.source;
    EXPECT_EQ(items[0].ancestors, c.ancestors) << c.source;
    EXPECT_EQ(items[0].type, c.type) << c.source;
    EXPECT_EQ(items[0].forward, c.forward) << c.source;
    EXPECT_TRUE(result.warnings.empty()) << c.source << ": " << WarningTexts(result)[0];
  }
}

TEST(Classes, ReadVariantPartsAndAdvancedRecords) {
  ReadResult result = ReadSource(UnitWith(R"(type
  TRec = record
    Kind: Byte;
    case Tag: TKind of
      kA: (A: Integer);
      kB, kC: (B, C: Char;
               case Boolean of
                 True: (D: Double);
                 False: (E: record F: Word end));
  end;
  TAdv = record
  private
    FX: Integer;
  public
    const Zero = 0;
    constructor Create(X: Integer);
    class operator Equal(const L, R: TAdv): Boolean;
    property X: Integer read FX;
  end;)"));
  auto items = ItemsOf(result);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(
      Members(items[0]),
      (std::vector<std::string>{"field Kind [public] Kind: Byte;", "field Tag [public] Tag: TKind;",
                                "field A [public] A: Integer;", "field B [public] B: Char;",
                                "field C [public] C: Char;", "field D [public] D: Double;",
                                "field E [public] E: record F: Word end;"}));
  EXPECT_EQ(items[0].members[6].type, "record F: Word end");
  EXPECT_EQ(Members(items[1]),
            (std::vector<std::string>{
                "field FX [private] FX: Integer;", "constant Zero [public] Zero = 0;",
                "constructor Create [public] constructor Create(X: Integer);",
                "operator Equal [public] class operator Equal(const L, R: TAdv): Boolean;",
                "property X [public] property X: Integer read FX;"}));
  EXPECT_TRUE(result.warnings.empty()) << WarningTexts(result)[0];
}

TEST(Classes, SkipMethodResolutionClausesAndKeepNamesThatLookLikeWords) {
  auto items = ItemsOf(ReadSource(UnitWith(R"(type
  TImpl = class(TInterfacedObject, IFoo)
    function IFoo.Bar = DoBar;
    Platform: Integer;
    Read, Name: string;
    procedure Default; virtual;
    property Index: Integer read FIndex;
  end;)")));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(Outline(items[0].members),
            (std::vector<std::string>{"field Platform", "field Read", "field Name",
                                      "method Default", "property Index"}));
}

}  // namespace
}  // namespace glossator
