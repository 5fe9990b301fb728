#include "model/doc_tree.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "model/uXMLparser.h"

namespace glossator {
namespace {

// A documentation tree built by hand, with the queries on it.
class TreeFixture : public DocTreeReader {
 public:
  TreeFixture() {
    tree.SetRoot(std::make_unique<TXMLNode>("root"));
    parsed = tree.AddNode(tree.Root(), "parsedUnits");
    SetQueryTree(&tree);
  }

  TXMLNode* Leaf(TXMLNode* parent, const std::string& name, const std::string& value) {
    TXMLNode* leaf = tree.AddNode(parent, name);
    tree.AddValue(leaf, value);
    return leaf;
  }

  TXMLNode* AddUnit(const std::string& name, const std::string& comment) {
    TXMLNode* unit = tree.AddNode(parsed, name);
    Leaf(unit, "unitComment", comment);
    Leaf(unit, "unitFileName", name + ".pas");
    tree.AddNode(unit, "classes");
    tree.AddNode(unit, "functions");
    tree.AddNode(unit, "constants");
    return unit;
  }

  TXMLNode* AddClass(TXMLNode* unit, const std::string& name, const std::string& ancestor) {
    TXMLNode* cls = tree.AddNode(unit->FindChild("classes"), name);
    Leaf(cls, "inheritFrom", ancestor);
    Leaf(cls, "classComment", "about " + name);
    return cls;
  }

  void AddIndexes() {
    all_units = tree.AddNode(tree.Root(), "allUnits");
    all_classes = tree.AddNode(tree.Root(), "allClasses");
    tree.AddNode(tree.Root(), "allFunctions");
    tree.AddNode(tree.Root(), "allConstants");
  }

  void AddClassEntry(const std::string& name, const std::string& unit) {
    TXMLNode* entry = tree.AddNode(all_classes, name);
    Leaf(entry, "unit", unit);
    Leaf(entry, "classComment", "");
  }

  std::vector<std::string> Ancestors(const std::string& name) {
    std::vector<std::string> list;
    GetAncestors(name, list);
    return list;
  }

  TXMLTree tree;
  TXMLNode* parsed;
  TXMLNode* all_units = nullptr;
  TXMLNode* all_classes = nullptr;
};

TEST(DocTree, CountsAreZeroAndTextsEmptyWhenContainersAreMissing) {
  TreeFixture t;
  EXPECT_EQ(t.UnitCount(), 0);
  EXPECT_EQ(t.ClassCount(), 0);
  EXPECT_EQ(t.FunctionCount(), 0);
  EXPECT_EQ(t.ConstantCount(), 0);
  EXPECT_EQ(t.UnitName(0), "");
  EXPECT_EQ(t.FindUnit("X"), nullptr);
  EXPECT_EQ(t.UnitClassCount(nullptr), 0);
  EXPECT_EQ(t.UnitClassName(nullptr, 3), "");
  TXMLNode* unit = t.AddUnit("U", "");
  t.AddClass(unit, "TPlain", "TObject");
  EXPECT_EQ(t.MethodCount(unit, 0), 0);  // no "methodList"
  EXPECT_EQ(t.FieldCount(unit, 0), 0);   // no "fieldList"
  EXPECT_EQ(t.MethodDecl(unit, 0, 0), "");
}

TEST(DocTree, PositionAtOrPastCountRaisesIndexError) {
  TreeFixture t;
  TXMLNode* unit = t.AddUnit("U", "c");
  t.AddIndexes();
  t.Leaf(t.all_units, "U", "c");
  EXPECT_EQ(t.UnitName(0), "U");
  try {
    t.UnitName(1);
    FAIL();
  } catch (const ListIndexError& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (1)");
  }
  EXPECT_THROW(t.UnitClassName(unit, 0), ListIndexError);
  EXPECT_THROW(t.UnitFunctionDecl(unit, -1), ListIndexError);
}

TEST(DocTree, UnitQueriesReadOneUnitItem) {
  TreeFixture t;
  TXMLNode* unit = t.AddUnit("Shapes", "Shape unit");
  TXMLNode* cls = t.AddClass(unit, "TShape", "TObject");
  TXMLNode* members = t.tree.AddNode(cls, "methodList");
  TXMLNode* paint = t.tree.AddNode(members, "Paint");
  t.Leaf(paint, "procDecl", "procedure Paint;");
  t.Leaf(paint, "procType", "public");
  t.Leaf(paint, "procComment", "short");
  t.Leaf(paint, "longComment", "long");
  TXMLNode* fields = t.tree.AddNode(cls, "fieldList");
  TXMLNode* count = t.tree.AddNode(fields, "Count");
  t.Leaf(count, "fieldType", "Integer");
  t.Leaf(count, "fieldComment", "how many");
  TXMLNode* area = t.tree.AddNode(unit->FindChild("functions"), "Area");
  t.Leaf(area, "procDecl", "function Area: Double;");
  t.Leaf(area, "procComment", "");
  t.Leaf(area, "longComment", "impl");
  TXMLNode* max = t.tree.AddNode(unit->FindChild("constants"), "Max");
  t.Leaf(max, "constValue", " 10");
  t.Leaf(max, "constComment", "limit");

  const TXMLNode* u = t.FindUnit("Shapes");
  ASSERT_EQ(u, unit);
  EXPECT_EQ(t.UnitClassCount(u), 1);
  EXPECT_EQ(t.UnitClassName(u, 0), "TShape");
  EXPECT_EQ(t.UnitClassComment(u, 0), "about TShape");
  EXPECT_EQ(t.MethodCount(u, 0), 1);
  EXPECT_EQ(t.MethodDecl(u, 0, 0), "procedure Paint;");
  EXPECT_EQ(t.MethodVisibility(u, 0, 0), "public");
  EXPECT_EQ(t.MethodComment(u, 0, 0), "short");
  EXPECT_EQ(t.MethodLongComment(u, 0, 0), "long");
  EXPECT_EQ(t.FieldCount(u, 0), 1);
  EXPECT_EQ(t.FieldName(u, 0, 0), "Count");
  EXPECT_EQ(t.FieldType(u, 0, 0), "Integer");
  EXPECT_EQ(t.FieldComment(u, 0, 0), "how many");
  EXPECT_EQ(t.UnitFunctionCount(u), 1);
  EXPECT_EQ(t.UnitFunctionName(u, 0), "Area");
  EXPECT_EQ(t.UnitFunctionDecl(u, 0), "function Area: Double;");
  EXPECT_EQ(t.UnitFunctionComment(u, 0), "");  // no fallback to the long comment here
  EXPECT_EQ(t.UnitFunctionLongComment(u, 0), "impl");
  EXPECT_EQ(t.UnitConstantCount(u), 1);
  EXPECT_EQ(t.UnitConstantName(u, 0), "Max");
  EXPECT_EQ(t.UnitConstantValue(u, 0), " 10");
  EXPECT_EQ(t.UnitConstantComment(u, 0), "limit");
}

TEST(DocTree, DeclaredNamesEqualToElementNamesAreNotMistakenForContainers) {
  TreeFixture t;
  // An earlier unit declares a class named after a later unit, and a class named "functions".
  TXMLNode* a = t.AddUnit("A", "first");
  t.AddClass(a, "B", "TObject");
  TXMLNode* functions_class = t.AddClass(a, "functions", "TObject");
  TXMLNode* members = t.tree.AddNode(functions_class, "methodList");
  t.Leaf(t.tree.AddNode(members, "procDecl"), "procDecl", "procedure procDecl;");
  TXMLNode* b = t.AddUnit("B", "second");
  TXMLNode* routine = t.tree.AddNode(b->FindChild("functions"), "Run");
  t.Leaf(routine, "procDecl", "procedure Run;");
  t.AddIndexes();
  t.Leaf(t.all_units, "A", "first");
  t.Leaf(t.all_units, "B", "second");

  EXPECT_EQ(t.FindUnit("B"), b);
  EXPECT_EQ(t.UnitComment(1), "second");
  EXPECT_EQ(t.UnitFunctionCount(a), 0);  // the class "functions" is no container
  EXPECT_EQ(t.UnitFunctionCount(b), 1);
  EXPECT_EQ(t.MethodDecl(a, 1, 0), "procedure procDecl;");
  // A unit named like the unit container.
  TreeFixture u;
  TXMLNode* odd = u.AddUnit("parsedUnits", "odd");
  u.AddIndexes();
  u.Leaf(u.all_units, "parsedUnits", "odd");
  EXPECT_EQ(u.FindUnit("parsedUnits"), odd);
  EXPECT_EQ(u.UnitComment(0), "odd");
}

TEST(DocTree, GetAncestors_FollowsDocumentedClassesUpToTObject) {
  TreeFixture t;
  TXMLNode* unit = t.AddUnit("U", "");
  t.AddClass(unit, "TA", "TObject");
  t.AddClass(unit, "TB", "TA");
  t.AddClass(unit, "TC", "TB");
  t.AddClass(unit, "TLib", "TForm");
  t.AddClass(unit, "TIntf", "TA,IFoo");
  t.AddIndexes();
  for (const char* name : {"TA", "TB", "TC", "TIntf", "TLib"}) t.AddClassEntry(name, "U");

  EXPECT_EQ(t.Ancestors("TC"), (std::vector<std::string>{"TObject", "TA", "TB"}));
  EXPECT_EQ(t.Ancestors("TA"), (std::vector<std::string>{"TObject"}));
  EXPECT_EQ(t.Ancestors("TLib"), (std::vector<std::string>{"TForm"}));     // undocumented
  EXPECT_EQ(t.Ancestors("TIntf"), (std::vector<std::string>{"TA,IFoo"}));  // interfaces
  std::vector<std::string> list{"kept"};
  t.GetAncestors("TB", list);
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "TObject", "TA"}));  // appends
}

TEST(DocTree, GetAncestors_WithoutClassIndexAppendsEmptyText) {
  TreeFixture t;
  EXPECT_EQ(t.Ancestors("TX"), (std::vector<std::string>{""}));
}

// Every entry of a name stands for the same chain: following each one would repeat it, and over
// a deep hierarchy of duplicated names the diagram would grow exponentially.
TEST(DocTree, GetAncestors_FollowsANameWithSeveralEntriesOnce) {
  TreeFixture t;
  TXMLNode* u1 = t.AddUnit("U1", "");
  TXMLNode* u2 = t.AddUnit("U2", "");
  t.AddClass(u1, "TA", "TObject");
  t.AddClass(u2, "TA", "TObject");
  t.AddClass(u1, "TB", "TA");
  t.AddIndexes();
  t.AddClassEntry("TA", "U1");
  t.AddClassEntry("TA", "U2");
  t.AddClassEntry("TB", "U1");
  EXPECT_EQ(t.Ancestors("TB"), (std::vector<std::string>{"TObject", "TA"}));
}

TEST(DocTree, GetAncestors_EndsOnACycle) {
  TreeFixture t;
  TXMLNode* unit = t.AddUnit("U", "");
  t.AddClass(unit, "TSelf", "TSelf");
  t.AddClass(unit, "TP", "TQ");
  t.AddClass(unit, "TQ", "TP");
  t.AddIndexes();
  for (const char* name : {"TP", "TQ", "TSelf"}) t.AddClassEntry(name, "U");
  EXPECT_EQ(t.Ancestors("TSelf"), (std::vector<std::string>{"TSelf"}));
  // TP -> TQ (followed) -> TP (on the chain: appended, not followed).
  EXPECT_EQ(t.Ancestors("TP"), (std::vector<std::string>{"TP", "TQ"}));
}

TEST(DocTree, GetAncestors_LongChainNeedsNoDeepRecursion) {
  TreeFixture t;
  TXMLNode* unit = t.AddUnit("U", "");
  t.AddIndexes();
  const int kDepth = 200000;
  for (int i = 0; i < kDepth; ++i) {
    std::string name = "T" + std::to_string(i);
    t.AddClass(unit, name, i == 0 ? "TObject" : "T" + std::to_string(i - 1));
    t.AddClassEntry(name, "U");
  }
  std::vector<std::string> list = t.Ancestors("T" + std::to_string(kDepth - 1));
  ASSERT_EQ(list.size(), static_cast<size_t>(kDepth));
  EXPECT_EQ(list.front(), "TObject");
  EXPECT_EQ(list.back(), "T" + std::to_string(kDepth - 2));
}

}  // namespace
}  // namespace glossator
