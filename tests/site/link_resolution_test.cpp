#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/site/declaration_markup.h"
#include "html/site/site_index.h"
#include "html/site/site_render.h"
#include "site_test_units.h"

namespace glossator {
namespace {

// Units that give each lookup rule a case: A declares classes with members, nested types, a
// generic and an enumeration; B repeats two of A's names and declares "T"; C and D use A and B
// in the two orders; E uses nothing; F declares a name of its own; "Vcl.Forms" has a dotted name.
std::vector<DocUnit> LookupUnits() {
  DocItem secret = TestItem(ItemKind::kField, "FSecret", "FSecret: Integer;");
  secret.visibility = "private";
  DocItem inner = TestClass("TInner", {}, {TestItem(ItemKind::kField, "Deep", "Deep: Integer;")});
  DocItem foo = TestClass("TFoo", {},
                          {TestItem(ItemKind::kField, "FValue", "FValue: Integer;"), secret, inner,
                           TestItem(ItemKind::kProperty, "Value", "property Value: Integer;")});
  DocItem forward = TestClass("TBar", {});
  forward.forward = true;
  DocItem bar =
      TestClass("TBar", {"TFoo"}, {TestItem(ItemKind::kMethod, "GetIt", "function GetIt: T;")});
  DocItem list =
      TestClass("TList<T>", {}, {TestItem(ItemKind::kMethod, "Get", "function Get: T;")});
  DocItem colors = TestItem(ItemKind::kEnum, "TColorKind", "TColorKind = (ckRed, ckBlue);");
  colors.values = {{"ckRed", "", "", 0}, {"ckBlue", "", "", 0}};
  DocItem form = TestClass("TForm", {});
  return {
      TestUnit("A", {}, {forward, foo, bar, list, colors, TestItem(ItemKind::kConstant, "Shared")}),
      TestUnit("B", {},
               {TestItem(ItemKind::kConstant, "Shared"), TestClass("TFoo", {}),
                TestClass("TOnlyB", {}), TestItem(ItemKind::kConstant, "T")}),
      TestUnit("C", {"A", "B"}, {}),
      TestUnit("D", {"B", "A"}, {}),
      TestUnit("E", {}, {}),
      TestUnit("F", {"A"}, {TestItem(ItemKind::kConstant, "Shared")}),
      TestUnit("Vcl.Forms", {}, {form}),
  };
}

// The entry of a dotted path of names: "A.TFoo.TInner" (the first part a unit).
uint32_t EntryAt(const SiteIndex& index, const std::string& path) {
  for (uint32_t e = 0; e < index.Entries().size(); ++e) {
    std::string name;
    AppendQualifiedName(index, e, name);
    if (name == path) return e;
  }
  ADD_FAILURE() << "no entry " << path;
  return kNone;
}

std::string PathOf(const SiteIndex& index, uint32_t entry) {
  std::string name;
  if (entry != kNone) AppendQualifiedName(index, entry, name);
  return name;
}

Scope ScopeAt(const SiteIndex& index, const std::string& unit, const std::string& cls) {
  uint32_t unit_entry = EntryAt(index, unit);
  return {index.At(unit_entry).unit, cls.empty() ? kNone : EntryAt(index, cls)};
}

struct LookupCase {
  std::string label, unit, cls, name;
  std::vector<std::string> expected;  // one path per dotted part; "" for text
};

TEST(LinkResolution, ResolvesAsTheCompilerDoesTable) {
  std::vector<DocUnit> units = LookupUnits();
  SiteIndex index(units, false);
  const LookupCase cases[] = {
      {"same unit", "A", "", "TFoo", {"A.TFoo"}},
      {"any case", "A", "", "tfoo", {"A.TFoo"}},
      {"member of the class", "A", "A.TFoo", "FValue", {"A.TFoo.FValue"}},
      {"nested scope first", "A", "A.TFoo", "Value", {"A.TFoo.Value"}},
      {"member of the enclosing class", "A", "A.TFoo.TInner", "FValue", {"A.TFoo.FValue"}},
      {"own member of a nested class", "A", "A.TFoo.TInner", "Deep", {"A.TFoo.TInner.Deep"}},
      {"member of the ancestor", "A", "A.TBar", "FValue", {"A.TFoo.FValue"}},
      {"nested type of the ancestor", "A", "A.TBar", "TInner", {"A.TFoo.TInner"}},
      {"private member left out", "A", "A.TFoo", "FSecret", {""}},
      {"member names stay out of unit scope", "A", "", "FValue", {""}},
      {"the full declaration, not the forward one", "A", "", "TBar", {"A.TBar"}},
      {"uses clause, last unit first", "C", "", "Shared", {"B.Shared"}},
      {"uses clause in the other order", "D", "", "Shared", {"A.Shared"}},
      {"uses clause, last unit first (class)", "C", "", "TFoo", {"B.TFoo"}},
      {"own unit before the uses clause", "F", "", "Shared", {"F.Shared"}},
      {"any unit when nothing is used", "E", "", "Shared", {"A.Shared"}},
      {"any unit for a name used units lack", "C", "", "TOnlyB", {"B.TOnlyB"}},
      {"unknown name stays text", "A", "", "TUnknown", {""}},
      {"generic by the name before <", "E", "", "TList", {"A.TList<T>"}},
      {"generic written with arguments", "E", "", "TList<Integer>", {"A.TList<T>"}},
      {"type parameter hides an item", "A", "A.TList<T>", "T", {""}},
      {"the same name outside the generic", "A", "", "T", {"B.T"}},
      {"enum value in the unit's scope", "E", "", "ckBlue", {"A.TColorKind.ckBlue"}},
      {"unit-qualified", "E", "", "B.TFoo", {"B", "B.TFoo"}},
      {"unit-qualified member", "C", "", "A.TFoo.TInner", {"A", "A.TFoo", "A.TFoo.TInner"}},
      {"class-qualified member", "E", "", "TFoo.Value", {"A.TFoo", "A.TFoo.Value"}},
      {"qualified enum value", "E", "", "TColorKind.ckRed", {"A.TColorKind", "A.TColorKind.ckRed"}},
      {"dotted unit name",
       "E",
       "",
       "Vcl.Forms.TForm",
       {"Vcl.Forms", "Vcl.Forms", "Vcl.Forms.TForm"}},
      {"unknown qualifier", "E", "", "Nowhere.TFoo", {"", ""}},
      {"unit name without an item behind", "E", "", "B.TMissing", {"", ""}},
  };
  for (const LookupCase& c : cases) {
    std::vector<std::string_view> parts;
    std::string_view rest = c.name;
    for (size_t dot = rest.find('.'); dot != rest.npos; dot = rest.find('.')) {
      parts.push_back(rest.substr(0, dot));
      rest.remove_prefix(dot + 1);
    }
    parts.push_back(rest);
    std::vector<uint32_t> targets(parts.size());
    index.ResolveDotted(ScopeAt(index, c.unit, c.cls), parts, targets);
    std::vector<std::string> found;
    for (uint32_t t : targets) found.push_back(PathOf(index, t));
    EXPECT_EQ(found, c.expected) << c.label;
  }
}

TEST(LinkResolution, ClassesFindTheirBaseAndIgnoreCycles) {
  std::vector<DocUnit> units = {
      TestUnit("U", {},
               {TestClass("TA", {"TB"}), TestClass("TB", {"TA"}), TestClass("TC", {"TA"}),
                TestClass("TSelf", {"TSelf"}), TestClass("TOut", {"TPersistent", "IFoo"})})};
  SiteIndex index(units, false);
  EXPECT_EQ(index.Warnings().size(), 1u) << "one cycle: TA and TB";
  // Following the bases from any class ends.
  for (uint32_t e = 0; e < index.Entries().size(); ++e) {
    int steps = 0;
    for (uint32_t c = index.At(e).base; c != kNone && steps < 10; c = index.At(c).base) ++steps;
    EXPECT_LT(steps, 10) << PathOf(index, e);
  }
  EXPECT_EQ(PathOf(index, index.At(EntryAt(index, "U.TC")).base), "U.TA");
  EXPECT_EQ(index.At(EntryAt(index, "U.TSelf")).base, kNone);
  EXPECT_EQ(index.At(EntryAt(index, "U.TOut")).base, kNone) << "TPersistent is outside the set";
}

// Writes links as "@" and the target's path, so that the table reads easily.
class PathLinks : public DeclarationLinks {
 public:
  PathLinks(const SiteIndex& index, Scope scope) : index_(index), scope_(scope) {}
  void Resolve(std::span<const std::string_view> parts,
               std::span<uint32_t> targets) const override {
    index_.ResolveDotted(scope_, parts, targets);
  }
  void AppendHref(uint32_t target, std::string& out) const override {
    out += '@';
    AppendQualifiedName(index_, target, out);
  }

 private:
  const SiteIndex& index_;
  Scope scope_;
};

struct MarkupCase {
  std::string label, unit, cls;
  ItemKind kind;
  std::string declaration, expected;
};

TEST(DeclarationMarkup, HighlightsAndLinksOnlyWhereNamesReferTable) {
  std::vector<DocUnit> units = LookupUnits();
  SiteIndex index(units, false);
  const MarkupCase cases[] = {
      {"parameters: names stay, types and defaults link", "A", "", ItemKind::kRoutine,
       "procedure Draw(Canvas: TFoo; Count: Integer = Shared);",
       "<b>procedure</b> Draw(Canvas: <a href=\"@A.TFoo\">TFoo</a>; Count: Integer = "
       "<a href=\"@A.Shared\">Shared</a>);"},
      {"a parameter named like an item", "A", "", ItemKind::kRoutine,
       "function Make(const TFoo: Integer; out X: Shared): TFoo;",
       "<b>function</b> Make(<b>const</b> TFoo: Integer; <b>out</b> X: <a href=\"@A.Shared\">"
       "Shared</a>): <a href=\"@A.TFoo\">TFoo</a>;"},
      {"property accessors in the class's scope", "A", "A.TFoo", ItemKind::kProperty,
       "property Value: TFoo read FValue write FValue; default;",
       "<b>property</b> Value: <a href=\"@A.TFoo\">TFoo</a> <b>read</b> <a href=\"@A.TFoo.FValue\">"
       "FValue</a> <b>write</b> <a href=\"@A.TFoo.FValue\">FValue</a>; <b>default</b>;"},
      {"a directive behind a keyword type", "A", "A.TFoo", ItemKind::kProperty,
       "property Name: string read GetName;",
       "<b>property</b> Name: <b>string</b> <b>read</b> GetName;"},
      {"indexed property", "A", "A.TFoo", ItemKind::kProperty,
       "property Items[Value: Integer]: TFoo read FValue;",
       "<b>property</b> Items[Value: Integer]: <a href=\"@A.TFoo\">TFoo</a> <b>read</b> "
       "<a href=\"@A.TFoo.FValue\">FValue</a>;"},
      {"enumeration values are names, not links", "A", "", ItemKind::kEnum,
       "TColorKind = (ckRed, ckBlue = 4);",
       "TColorKind = (ckRed, ckBlue = <span class=n>4</span>);"},
      {"ancestors link, unknown ones stay text", "A", "", ItemKind::kClass,
       "TBar = class(TFoo, IUnknown)",
       "TBar = <b>class</b>(<a href=\"@A.TFoo\">TFoo</a>, IUnknown)"},
      {"type parameters of the heading hide items", "A", "", ItemKind::kArray,
       "TPairs<T> = array of T;", "TPairs&lt;T&gt; = <b>array</b> <b>of</b> T;"},
      {"type parameter of the class in a member", "A", "A.TList<T>", ItemKind::kMethod,
       "function Get: T;", "<b>function</b> Get: T;"},
      {"specialisation", "E", "", ItemKind::kAlias, "TFoos = specialize TList<TFoo>;",
       "TFoos = <b>specialize</b> <a href=\"@A.TList<T>\">TList</a>&lt;<a href=\"@A.TFoo\">TFoo"
       "</a>&gt;;"},
      {"procedure type", "A", "", ItemKind::kProcedureType,
       "TEvent = procedure(Sender: TFoo) of object;",
       "TEvent = <b>procedure</b>(Sender: <a href=\"@A.TFoo\">TFoo</a>) <b>of</b> <b>object</b>;"},
      {"class operator", "A", "A.TFoo", ItemKind::kOperator,
       "class operator Add(const A, B: TFoo): TFoo;",
       "<b>class</b> <b>operator</b> Add(<b>const</b> A, B: <a href=\"@A.TFoo\">TFoo</a>): "
       "<a href=\"@A.TFoo\">TFoo</a>;"},
      {"operator named by symbols", "A", "", ItemKind::kOperator,
       "operator :=(const S: string): TFoo;",
       "<b>operator</b> :=(<b>const</b> S: <b>string</b>): <a href=\"@A.TFoo\">TFoo</a>;"},
      {"unit-qualified type", "E", "", ItemKind::kVariable, "F: B.TFoo;",
       "F: <a href=\"@B\">B</a>.<a href=\"@B.TFoo\">TFoo</a>;"},
      {"strings, numbers and comments escaped", "A", "", ItemKind::kConstant,
       "S = 'a<b' + #13#$0A + $FF {x<y};",
       "S = <span class=s>'a&lt;b'</span> + <span class=s>#13#$0A</span> + <span class=n>$FF"
       "</span> <span class=c>{x&lt;y}</span>;"},
      {"an escaped keyword as a name", "A", "", ItemKind::kConstant, "&begin = 1;",
       "&amp;begin = <span class=n>1</span>;"},
      {"an unterminated string", "A", "", ItemKind::kConstant, "S = 'abc",
       "S = <span class=s>'abc</span>"},
      {"a range is no dotted name", "A", "", ItemKind::kArray, "TA = array[0..Shared] of TFoo;",
       "TA = <b>array</b>[<span class=n>0</span>..<a href=\"@A.Shared\">Shared</a>] <b>of</b> "
       "<a href=\"@A.TFoo\">TFoo</a>;"},
      {"helper", "A", "", ItemKind::kHelper, "TH = class helper for TFoo",
       "TH = <b>class</b> <b>helper</b> <b>for</b> <a href=\"@A.TFoo\">TFoo</a>"},
  };
  for (const MarkupCase& c : cases) {
    std::string out;
    AppendDeclaration(out, c.declaration, c.kind, PathLinks(index, ScopeAt(index, c.unit, c.cls)));
    EXPECT_EQ(out, c.expected) << c.label;
  }
}

}  // namespace
}  // namespace glossator
