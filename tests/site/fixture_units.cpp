#include "fixture_units.h"

#include <cstdint>
#include <utility>

namespace glossator {
namespace {

DocItem Item(ItemKind kind, std::string name, std::string declaration, int line,
             std::string comment = {}) {
  DocItem item;
  item.kind = kind;
  item.name = std::move(name);
  item.declaration = std::move(declaration);
  item.line = line;
  item.comment = std::move(comment);
  return item;
}

DocItem Member(ItemKind kind, std::string visibility, std::string name, std::string declaration,
               int line, std::string comment = {}) {
  DocItem item = Item(kind, std::move(name), std::move(declaration), line, std::move(comment));
  item.visibility = std::move(visibility);
  return item;
}

DocItem Class(ItemKind kind, std::string name, std::string declaration, int line,
              std::vector<std::string> ancestors, std::string comment = {}) {
  DocItem item = Item(kind, std::move(name), std::move(declaration), line, std::move(comment));
  item.ancestors = std::move(ancestors);
  return item;
}

void SetFile(std::vector<DocItem>& items, const std::string& file) {
  for (DocItem& item : items) {
    item.file = file;
    SetFile(item.members, file);
  }
}

DocUnit Unit(std::string name, std::string file, std::vector<std::string> uses, std::string comment,
             std::vector<DocItem> items) {
  DocUnit unit;
  unit.name = std::move(name);
  unit.file = std::move(file);
  unit.line = 1;
  unit.uses = std::move(uses);
  unit.comment = std::move(comment);
  unit.items = std::move(items);
  SetFile(unit.items, unit.file);
  return unit;
}

DocUnit GeometryUnit() {
  DocItem point =
      Class(ItemKind::kRecord, "TPoint", "TPoint = record", 8, {}, "A point of the plane.");
  point.members = {Member(ItemKind::kField, "public", "X", "X: Double;", 9, "Across."),
                   Member(ItemKind::kField, "public", "Y", "Y: Double;", 10, "Down.")};
  DocItem canvas =
      Class(ItemKind::kClass, "TCanvas", "TCanvas = class", 13, {}, "Where shapes are drawn.");
  canvas.members = {
      Member(ItemKind::kMethod, "public", "MoveTo", "procedure MoveTo(const P: TPoint);", 15),
      Member(ItemKind::kMethod, "public", "LineTo", "procedure LineTo(const P: TPoint);", 16)};
  DocItem distance =
      Item(ItemKind::kRoutine, "Distance", "function Distance(const A, B: TPoint): Double;", 20,
           "The distance of two points.\r\n@param A one point\r\n"
           "@param B the other\r\n@return the length of AB");
  DocItem two_pi = Item(ItemKind::kConstant, "TwoPi", "TwoPi = 6.2831853;", 5);
  two_pi.value = "6.2831853";
  return Unit("Geometry", "src/geometry.pas", {"Math"},
              "Points and distances. Everything here is plain arithmetic.",
              {two_pi, point, canvas, distance});
}

std::vector<DocItem> ShapeMembers() {
  DocItem create = Member(ItemKind::kConstructor, "public", "Create",
                          "constructor Create(AKind: TShapeKind);", 41, "Makes a shape of a kind.");
  DocItem create_named =
      Member(ItemKind::kConstructor, "public", "Create",
             "constructor Create(const AName: string; AKind: TShapeKind = skCircle);", 42,
             "Makes a named shape.\r\n@param AName its name\r\n@param AKind its kind");
  DocItem area = Member(ItemKind::kMethod, "public", "Area", "function Area: Double;", 44,
                        "The area.\r\n@return square units, never negative\r\n@see TCircle.Area");
  DocItem draw = Member(ItemKind::kMethod, "public", "Draw", "procedure Draw(Canvas: TCanvas);", 45,
                        "Draws the shape on <b>Canvas</b>.");
  draw.long_comment = "Calls <code>Canvas.MoveTo</code> first.";
  DocItem kind = Member(ItemKind::kProperty, "published", "Kind",
                        "property Kind: TShapeKind read FKind;", 47, "What it is.");
  DocItem name = Member(ItemKind::kProperty, "published", "Name",
                        "property Name: string read FName write SetName;", 48);
  DocItem count = Member(ItemKind::kField, "public", "Count", "Count: Integer;", 49);
  count.class_member = true;
  count.declaration = "class var Count: Integer;";
  return {Member(ItemKind::kField, "private", "FKind", "FKind: TShapeKind;", 36),
          Member(ItemKind::kField, "protected", "FName", "FName: string;", 38),
          Member(ItemKind::kMethod, "private", "SetName", "procedure SetName(const Value: string);",
                 37),
          create,
          create_named,
          Member(ItemKind::kDestructor, "public", "Destroy", "destructor Destroy;", 43),
          area,
          draw,
          kind,
          name,
          count};
}

DocItem BoundsRecord() {
  DocItem bounds =
      Class(ItemKind::kRecord, "TBounds", "TBounds = record", 70, {}, "A rectangle's corners.");
  DocItem corner = Item(ItemKind::kEnum, "TCorner", "TCorner = (cTopLeft, cBottomRight);", 71);
  corner.visibility = "public";
  corner.values = {{"cTopLeft", "", "", 71}, {"cBottomRight", "", "", 71}};
  DocItem inner = Class(ItemKind::kRecord, "TInner", "TInner = record", 72, {}, "Nested record.");
  inner.visibility = "public";
  inner.members = {Member(ItemKind::kField, "public", "Corner", "Corner: TCorner;", 73)};
  DocItem add = Member(ItemKind::kOperator, "public", "Add",
                       "class operator Add(const A, B: TBounds): TBounds;", 76, "Sum of two.");
  add.class_member = true;
  DocItem plus = Member(ItemKind::kOperator, "public", "+",
                        "operator +(const A: TBounds; B: Integer): TBounds;", 77);
  bounds.members = {corner,
                    inner,
                    Member(ItemKind::kField, "public", "Left", "Left, Top: Integer;", 74),
                    Member(ItemKind::kField, "public", "Top", "Left, Top: Integer;", 74),
                    add,
                    plus};
  return bounds;
}

std::vector<DocItem> ShapeTypes() {
  DocItem kinds =
      Item(ItemKind::kEnum, "TShapeKind", "TShapeKind = (skCircle, skRect = 4, skPolygon);", 10,
           "The kinds of shape.");
  kinds.values = {
      {"skCircle", "", "Round.", 10}, {"skRect", "4", "", 10}, {"skPolygon", "", "", 10}};
  DocItem forward = Class(ItemKind::kClass, "TShape", "TShape = class;", 12, {});
  forward.forward = true;
  DocItem shape = Class(ItemKind::kClass, "TShape", "TShape = class(TPersistent, IDrawable)", 34,
                        {"TPersistent", "IDrawable"},
                        "The base of all shapes.\r\n\r\nEvery shape has a <i>kind</i> and a name."
                        "\r\n@see TCircle");
  shape.members = ShapeMembers();
  DocItem circle = Class(ItemKind::kClass, "TCircle", "TCircle = class(TShape)", 52, {"TShape"},
                         "A round shape.");
  circle.members = {
      Member(ItemKind::kField, "public", "Radius", "Radius: Double;", 53),
      Member(ItemKind::kMethod, "public", "Area", "function Area: Double; override;", 54)};
  DocItem rect = Class(ItemKind::kClass, "TRectangle", "TRectangle = class(TShape)", 57, {"TShape"},
                       "Four right angles.");
  rect.hints.deprecated = true;
  rect.hints.deprecated_message = "use TBounds";
  return {kinds,
          Item(ItemKind::kSet, "TShapeKinds", "TShapeKinds = set of TShapeKind;", 11),
          forward,
          Item(ItemKind::kPointer, "PShape", "PShape = ^TShape;", 13),
          Item(ItemKind::kArray, "TPointArray", "TPointArray = array of TPoint;", 14),
          Item(ItemKind::kProcedureType, "TShapeEvent",
               "TShapeEvent = procedure(Sender: TShape; Kind: TShapeKind) of object;", 15),
          Item(ItemKind::kAlias, "TShapeClass", "TShapeClass = class of TShape;", 16),
          shape,
          circle,
          rect};
}

std::vector<DocItem> ShapeGenerics() {
  DocItem list = Class(ItemKind::kClass, "TShapeList<T>", "TShapeList<T: TShape> = class(TObject)",
                       60, {"TObject"}, "A list of shapes of one type.");
  list.members = {
      Member(ItemKind::kField, "private", "FItems", "FItems: array of T;", 61),
      Member(ItemKind::kMethod, "public", "Get", "function Get(Index: Integer): T;", 63),
      Member(ItemKind::kProperty, "public", "Items",
             "property Items[Index: Integer]: T read Get; default;", 64),
      Member(ItemKind::kMethod, "public", "Sort<TKey>", "procedure Sort<TKey>(const Key: TKey);",
             65, "Sorts by a key.")};
  DocItem helper = Class(ItemKind::kHelper, "TShapeHelper",
                         "TShapeHelper = class helper for TShape", 66, {}, "Describes shapes.");
  helper.members = {
      Member(ItemKind::kMethod, "public", "Describe", "function Describe: string;", 67)};
  DocItem drawable = Class(ItemKind::kInterface, "IDrawable", "IDrawable = interface(IInterface)",
                           8, {"IInterface"}, "Anything that can be drawn.");
  drawable.members = {
      Member(ItemKind::kMethod, "public", "Draw", "procedure Draw(Canvas: TCanvas);", 9)};
  DocItem old =
      Class(ItemKind::kObject, "TOldShape", "TOldShape = object", 80, {}, "Old-style object.");
  old.members = {Member(ItemKind::kMethod, "public", "Init", "procedure Init;", 81)};
  return {drawable, list, helper, BoundsRecord(), old};
}

// Comments that would run code or break the page if they were written as they are.
std::vector<DocItem> HostileItems() {
  DocItem script =
      Item(ItemKind::kConstant, "Hostile", "Hostile = 1;", 90,
           "Harmless <script>document.title='hacked'</script> text. "
           "<img src=x onerror=\"document.title='hacked'\"> "
           "<a href=\"jav&#x61;script:alert(1)\">click</a> "
           "<iframe src=\"data:text/html,hi\"></iframe> <style>body{display:none}</style>"
           " <b>unclosed <i>tags</div>");
  DocItem amp = Item(ItemKind::kConstant, "&begin", "&begin = 'a < b & c';", 91,
                     "An escaped keyword as a name; its value holds <, > and &amp;.");
  DocItem pair = Class(ItemKind::kRecord, "TPair<K, V>", "TPair<K, V> = record", 92, {},
                       "A generic record whose name holds < and >.");
  pair.members = {Member(ItemKind::kField, "public", "Key", "Key: K;", 93),
                  Member(ItemKind::kField, "public", "Value", "Value: V;", 94)};
  return {script, amp, pair};
}

DocUnit ShapesUnit() {
  std::vector<DocItem> items = ShapeTypes();
  for (DocItem& item : ShapeGenerics()) items.push_back(std::move(item));
  DocItem max_sides =
      Item(ItemKind::kConstant, "MaxSides", "MaxSides = 12;", 20, "The most sides a polygon has.");
  DocItem caption = Item(ItemKind::kResourceString, "SCaption", "SCaption = 'Shape <&>';", 21);
  DocItem count =
      Item(ItemKind::kVariable, "ShapeCount", "ShapeCount: Integer;", 22, "How many shapes exist.");
  DocItem make =
      Item(ItemKind::kRoutine, "MakeShape", "function MakeShape(Kind: TShapeKind): TShape;", 100,
           "Makes a shape.\r\n@param Kind what to make\r\n@return a new shape\r\n"
           "@see Geometry.Distance");
  DocItem make_named =
      Item(ItemKind::kRoutine, "MakeShape",
           "function MakeShape(const Name: string; Sides: Integer = MaxSides): TShape;", 101,
           "Makes a shape by name.");
  DocItem old_draw = Item(ItemKind::kRoutine, "OldDraw", "procedure OldDraw(S: PShape);", 102,
                          "Draws the old way.\r\n@deprecated Call TShape.Draw.");
  old_draw.hints.deprecated = true;
  old_draw.hints.deprecated_message = "use TShape.Draw";
  old_draw.hints.platform = true;
  for (DocItem item : {max_sides, caption, count, make, make_named, old_draw})
    items.push_back(item);
  for (DocItem& item : HostileItems()) items.push_back(std::move(item));
  DocUnit unit = Unit("Shapes", "src/shapes.pas", {"Classes", "Geometry", "SysUtils"},
                      "Shapes to draw on a canvas. The base class and a few figures.\r\n"
                      "@see Geometry.TCanvas",
                      std::move(items));
  return unit;
}

DocUnit DrawingUnit() {
  DocItem drawing = Class(ItemKind::kClass, "TDrawing", "TDrawing = class(Shapes.TShape)", 10,
                          {"Shapes.TShape"}, "A drawing made of shapes.");
  drawing.members = {
      Member(ItemKind::kField, "private", "FShapes", "FShapes: TShapeList<TShape>;", 11),
      Member(ItemKind::kField, "public", "First", "First: Shapes.TCircle;", 12,
             "The first circle, from the Shapes unit."),
      Member(ItemKind::kField, "public", "Local", "Local: TCircle;", 13, "This unit's own circle."),
      Member(ItemKind::kMethod, "public", "Add", "procedure Add(Shape: TShape; At: TPoint);", 14),
      Member(ItemKind::kMethod, "public", "Draw", "procedure Draw(Canvas: TCanvas);", 15)};
  DocItem undo = Class(ItemKind::kClass, "TUndoDrawing", "TUndoDrawing = class(TDrawing)", 20,
                       {"TDrawing"}, "A drawing that can take steps back.");
  undo.members = {Member(ItemKind::kMethod, "public", "Undo", "procedure Undo;", 21)};
  DocItem circle = Class(ItemKind::kClass, "TCircle", "TCircle = class(TUndoDrawing)", 25,
                         {"TUndoDrawing"}, "A circle of the Drawing unit, not the shape.");
  return Unit("Drawing", "src/drawing.pas", {"Geometry", "Shapes"},
              "Drawings: shapes together, with undo.", {drawing, undo, circle});
}

DocUnit IndexUnit() {
  DocItem index = Class(ItemKind::kClass, "TIndex", "TIndex = class", 5, {},
                        "A unit whose name is that of the overview page.");
  return Unit("Index", "src/index.pas", {}, "", {index});
}

}  // namespace

std::vector<DocUnit> FixtureUnits() {
  return {GeometryUnit(), ShapesUnit(), DrawingUnit(), IndexUnit()};
}

}  // namespace glossator
