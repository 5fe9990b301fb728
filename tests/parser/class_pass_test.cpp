#include <gtest/gtest.h>

#include "parser/pascal_source.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"
#include "support/fake_platform.h"

namespace glossator {
namespace {

// Runs the class pass over `source` and keeps what it recorded.
struct ClassRun {
  explicit ClassRun(const std::string& source, bool parse_private = false, int cancel_at = 0)
      : parser(&platform) {
    platform.cancel_at = cancel_at;
    parser.SetParsePrivate(parse_private);
    parser.SetSource(source);
    tree.SetRoot(std::make_unique<TXMLNode>("classes"));
    parser.ParseClasses(tree.Root());
  }
  const TXMLNode* Class(const std::string& name) const { return tree.Root()->FindChild(name); }
  const TXMLNode* Member(const std::string& cls, const std::string& name) const {
    const TXMLNode* list = Class(cls)->FindChild("methodList");
    return list == nullptr ? nullptr : list->FindChild(name);
  }
  std::vector<std::string> Members(const std::string& cls) const {
    return ChildNames(Class(cls)->FindChild("methodList"));
  }
  std::vector<std::string> Fields(const std::string& cls) const {
    return ChildNames(Class(cls)->FindChild("fieldList"));
  }

  FakePlatform platform;
  UnitScan parser;
  TXMLTree tree;
};

std::string ShapeUnit() {
  return Source({"unit Shapes;", "interface", "type", "{** A base shape. }",
                 "TShape = class(TObject)", "private", "FName: string;", "public",
                 "Count, Size: Integer;", "{** Draws it. }",
                 "procedure Paint(ACanvas: TCanvas); virtual;", "property Name: string read FName;",
                 "end;", "implementation", "{** Paint body. }",
                 "procedure TShape.Paint(ACanvas: TCanvas);", "begin", "end;", "end."});
}

TEST(ClassPass, RecordsAncestorCommentFieldsAndMembersOfAClass) {
  ClassRun run(ShapeUnit());
  ASSERT_EQ(ChildNames(run.tree.Root()), (std::vector<std::string>{"TShape"}));
  const TXMLNode* shape = run.Class("TShape");
  EXPECT_EQ(ChildNames(shape),
            (std::vector<std::string>{"inheritFrom", "classComment", "fieldList", "methodList"}));
  EXPECT_EQ(Value(shape, "inheritFrom"), "TObject");
  EXPECT_EQ(Value(shape, "classComment"), "A base shape.");
  EXPECT_EQ(run.Fields("TShape"), (std::vector<std::string>{"Count", "Size"}));
  const TXMLNode* size = shape->FindChild("fieldList")->FindChild("Size");
  EXPECT_EQ(Value(size, "fieldType"), "Integer");
  EXPECT_EQ(Value(size, "fieldComment"), "");
  EXPECT_EQ(run.Members("TShape"), (std::vector<std::string>{"Paint", "Name"}));
  const TXMLNode* paint = run.Member("TShape", "Paint");
  EXPECT_EQ(ChildNames(paint),
            (std::vector<std::string>{"procDecl", "procType", "procComment", "longComment"}));
  EXPECT_EQ(Value(paint, "procDecl"), "procedure Paint(ACanvas: TCanvas); virtual;");
  EXPECT_EQ(Value(paint, "procType"), "public");
  EXPECT_EQ(Value(paint, "procComment"), "Draws it.");
  EXPECT_EQ(Value(paint, "longComment"), "Paint body.");
  const TXMLNode* name = run.Member("TShape", "Name");
  EXPECT_EQ(Value(name, "procComment"), "");
  EXPECT_EQ(Value(name, "longComment"), "");
  // One progress call per class, with the class name and no step.
  ASSERT_EQ(run.platform.progress.size(), 1u);
  EXPECT_EQ(run.platform.progress[0].header, "");
  EXPECT_EQ(run.platform.progress[0].detail, "TShape");
  EXPECT_FALSE(run.platform.progress[0].step);
}

struct AncestorCase {
  std::string heading;
  std::string name;
  std::string ancestor;
};

TEST(ClassPass, HeadingNameAndAncestor) {
  const AncestorCase cases[] = {
      {"TA = class", "TA", "TObject"},
      {"TA = class(TObject)", "TA", "TObject"},
      {"TA = class(TBase, IFoo, IBar)", "TA", "TBase,IFoo,IBar"},
      {"TA = CLASS(TBase)", "TA", "TBase"},
      {"TA=Class (TBase)", "TA", "TBase"},
      {"TA = class // base", "TA", "/bas"},
      {"TA = class(TBase) // the (first) one", "TA", "TBase"},
      {"TA = class()", "TA", "TObject"},
  };
  for (const AncestorCase& c : cases) {
    ClassRun run(Source({"unit U;", "type", c.heading, "public", "end;", "implementation"}));
    ASSERT_EQ(ChildNames(run.tree.Root()), (std::vector<std::string>{c.name})) << c.heading;
    EXPECT_EQ(Value(run.Class(c.name), "inheritFrom"), c.ancestor) << c.heading;
  }
}

TEST(ClassPass, LinesThatAreNoClassHeading) {
  ClassRun run(Source({"unit U;", "type", "TFwd = class;", "EError = class(Exception);",
                       "TMeta = class of TFwd;", "TRec = record", "end;", "implementation"}));
  EXPECT_EQ(run.tree.Root()->ChildCount(), 0u);
}

TEST(ClassPass, VisibilityRules) {
  ClassRun run(Source({"unit U;", "type", "TA = class",
                       "Early: Integer;",   // field before any visibility: dropped
                       "procedure First;",  // member before any visibility: public
                       "After: Integer;",   // visibility now "public": recorded
                       "protected", "procedure Prot;", "FProt: Integer;", "private",
                       "procedure Priv;", "FPriv: Integer;", "published",
                       "procedure Pub;",  // "published" is no visibility line
                       "Public", "procedure StillPrivate;", "end;", "implementation"}));
  EXPECT_EQ(run.Members("TA"), (std::vector<std::string>{"First", "Prot"}));
  EXPECT_EQ(Value(run.Member("TA", "First"), "procType"), "public");
  EXPECT_EQ(Value(run.Member("TA", "Prot"), "procType"), "protected");
  EXPECT_EQ(run.Fields("TA"), (std::vector<std::string>{"After"}));

  ClassRun with_private(Source({"unit U;", "type", "TA = class", "private", "procedure Priv;",
                                "FPriv: Integer;", "published", "procedure Pub;", "end;"}),
                        /*parse_private=*/true);
  EXPECT_EQ(with_private.Members("TA"), (std::vector<std::string>{"Priv", "Pub"}));
  EXPECT_EQ(Value(with_private.Member("TA", "Pub"), "procType"), "private");
  EXPECT_EQ(with_private.Class("TA")->FindChild("fieldList"), nullptr);
}

struct MemberCase {
  std::string line;
  std::string name;
};

TEST(ClassPass, MemberNames) {
  const MemberCase cases[] = {
      {"procedure Paint(ACanvas: TCanvas); virtual;", "Paint"},
      {"function Count: Integer;", "Count"},
      {"procedure Paint; override;", "Paint"},
      {"property Items[Index: Integer]: TItem read GetItem;", "Items[Index"},
      {"constructor Create(AOwner: TComponent); override;", "Create"},
      {"destructor Destroy; override;", "Destroy"},
      {"procedure Overload;", "--Unparseable--"},
      {"procedure Virtual;", "--Unparseable--"},
      {"procedure Override;", "--Unparseable--"},
      {"procedure Update; virtual; abstract;", "Update; virtual; abstract"},
  };
  for (const MemberCase& c : cases) {
    ClassRun run(Source({"unit U;", "type", "TA = class", "public", c.line, "end;"}));
    EXPECT_EQ(run.Members("TA"), (std::vector<std::string>{c.name})) << c.line;
  }
}

TEST(ClassPass, AppendWithoutParametersEndsTheBody) {
  ClassRun run(Source({"unit U;", "type", "TA = class", "public", "procedure First;",
                       "procedure Append;", "procedure Lost;", "end;", "implementation"}));
  EXPECT_EQ(run.Members("TA"), (std::vector<std::string>{"First"}));
}

TEST(ClassPass, FieldRules) {
  ClassRun run(
      Source({"unit U;", "type", "TA = class", "public", "A, B: Integer;", "{** The width. }",
              "Width: Integer;", "Commented: Integer; // not a field", "FClassName: string;",
              "class procedure Make;", "Multi: array of", "  string;", "Procedure Foo;", "end;"}));
  EXPECT_EQ(run.Fields("TA"),
            (std::vector<std::string>{"A", "B", "Width", "Multi", "Procedure Foo;"}));
  const TXMLNode* fields = run.Class("TA")->FindChild("fieldList");
  EXPECT_EQ(Value(fields->FindChild("A"), "fieldType"), "Integer");
  EXPECT_EQ(Value(fields->FindChild("Width"), "fieldComment"), "The width.");
  EXPECT_EQ(Value(fields->FindChild("Multi"), "fieldType"), "array of  string");
  EXPECT_EQ(Value(fields->FindChild("Procedure Foo;"), "fieldType"), "");
  // The empty type is reported at its line, with the class name as the window's box.
  ASSERT_EQ(run.platform.warnings.size(), 1u);
  EXPECT_EQ(run.platform.warnings[0].line, 13);
  EXPECT_EQ(run.platform.warnings[0].text, "field without a type in class TA: Procedure Foo;");
  EXPECT_EQ(run.platform.warnings[0].box, "TA");
  EXPECT_EQ(run.Class("TA")->FindChild("methodList"), nullptr);
}

TEST(ClassPass, OverloadsGiveTwoItems) {
  ClassRun run(Source({"unit U;", "type", "TA = class", "public", "procedure Add(X: Integer);",
                       "procedure Add(X: string);", "end;"}));
  EXPECT_EQ(run.Members("TA"), (std::vector<std::string>{"Add", "Add"}));
  EXPECT_EQ(Value(run.tree.Root()->Child(0)->FindChild("methodList")->Child(1), "procDecl"),
            "procedure Add(X: string);");
}

TEST(ClassPass, ImplementationComment) {
  ClassRun run(Source({"unit U;", "type", "TFoo = class", "public", "procedure Paint; override;",
                       "procedure Draw(X: Integer);", "function Calc(A,", "  B: Integer): Integer;",
                       "end;", "implementation", "{** paints }", "PROCEDURE  TFoo.Paint ;",
                       "begin end;", "{** no parameters, no match }", "procedure TFoo.Draw;",
                       "{** calc }", "function TFoo.Calc(A, B: Integer):", "   Integer;", "end."}));
  EXPECT_EQ(Value(run.Member("TFoo", "Paint"), "longComment"), "paints");
  EXPECT_EQ(Value(run.Member("TFoo", "Draw"), "longComment"), "");
  EXPECT_EQ(Value(run.Member("TFoo", "Calc"), "longComment"), "");  // gathering stops at ")"
  EXPECT_EQ(Value(run.Member("TFoo", "Calc"), "procDecl"),
            "function Calc(A,  B: Integer): Integer;");
}

TEST(ClassPass, BodyWithoutEndRunsToTheLastLine) {
  ClassRun run(Source({"unit U;", "type", "TA = class", "public", "procedure A;", "implementation",
                       "procedure B;"}));
  EXPECT_EQ(run.Members("TA"), (std::vector<std::string>{"A", "B"}));
}

TEST(ClassPass, CancelAtAClassEndsThePass) {
  ClassRun run(Source({"unit U;", "type", "TA = class", "end;", "TB = class", "end;", "TC = class",
                       "end;", "implementation"}),
               false, /*cancel_at=*/2);
  EXPECT_EQ(ChildNames(run.tree.Root()), (std::vector<std::string>{"TA"}));
  EXPECT_TRUE(run.parser.Cancelled());
}

}  // namespace
}  // namespace glossator
