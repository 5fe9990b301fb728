#ifndef GLOSSATOR_MODEL_UNIT_MODEL_H_
#define GLOSSATOR_MODEL_UNIT_MODEL_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace glossator {

// What a reader makes of one unit: the unit and every item declared in its interface part, in
// source order. Both readers produce it (the line reader only what it knows: classes with their
// members and fields, routines, constants); the JSON export, the site and the live preview read
// it whole. It holds texts only, no pointers, so that it can be copied, compared and kept.

// The kinds of item. The names KindName gives are those of the JSON export; do not change them.
enum class ItemKind : uint8_t {
  // Class-like items: they have members, and the site gives each a page of its own.
  kClass,
  kRecord,
  kObject,
  kInterface,  // interfaces and dispinterfaces
  kHelper,     // class, record and type helpers
  // Other types.
  kEnum,
  kSet,
  kArray,
  kPointer,
  kProcedureType,  // procedure/function types, "of object", "reference to"
  kAlias,          // "X = Y", "X = type Y", subranges, strings, specialisations, class of
  // Unit-level items that are not types.
  kConstant,
  kResourceString,
  kVariable,  // var and threadvar
  kRoutine,
  // Members of class-like items.
  kMethod,
  kConstructor,
  kDestructor,
  kProperty,
  kField,  // fields, "class var" included
  kOperator,
};

// "class", "record", "object", "interface", "helper", "enum", "set", "array", "pointer",
// "procedure-type", "alias", "constant", "resourcestring", "variable", "routine", "method",
// "constructor", "destructor", "property", "field", "operator".
std::string_view KindName(ItemKind kind);
bool IsClassLike(ItemKind kind);
// Methods, constructors, destructors, operators and routines.
bool IsRoutineLike(ItemKind kind);

// One value of an enumeration.
struct EnumValue {
  std::string name;
  std::string ordinal;  // the explicit value as written ("= 4" gives "4"); empty when none
  std::string comment;
  int line = 0;
};

// The hint directives of an item.
struct Hints {
  std::string deprecated_message;  // the text of deprecated 'message', unquoted; may be empty
  bool deprecated = false;
  bool platform = false;
  bool experimental = false;
  bool library = false;
  bool Any() const { return deprecated || platform || experimental || library; }
};

// One declared item. The small fields come first, together: a large set keeps hundreds of
// thousands of items, and each gap between fields would be kept that often.
struct DocItem {
  ItemKind kind = ItemKind::kAlias;
  bool class_member = false;  // "class procedure", "class var", "class property", class operators
  bool forward = false;       // a forward declaration ("TFoo = class;")
  int line = 0;               // 1-based line of the declaration's first token
  std::string name;           // as declared; a generic keeps its parameters: "TList<T>"
  std::string file;  // the file the declaration stands in (an include file's path when it came
                     // from one); the unit's file otherwise
  // The declaration as a reader wants to see it: its tokens joined by single spaces, without
  // comments and directives, ending in ";" (a class-like item: its heading only, such as
  // "TFoo = class(TBase, IBar)"; an enumeration: the whole "TE = (a, b, c);").
  std::string declaration;
  std::string comment;       // the documentation comment, as the comment rules read it
  std::string long_comment;  // routines and methods: the comment above the implementation
  // Members: "private", "strict private", "protected", "strict protected", "public",
  // "published" or "automated". Empty for items of the unit.
  std::string visibility;
  // The type of a field, variable, property, typed constant or alias; the result type of a
  // function; the extended type of a helper; the base type of a set, the element type of an
  // array, the target of a pointer. Empty when there is none.
  std::string type;
  std::string value;  // a constant's value text, normalised like the declaration
  // Class-like items: the ancestor first, then the interfaces, as written ("TBase",
  // "IFoo<T>"); empty when the heading names none.
  std::vector<std::string> ancestors;
  std::vector<EnumValue> values;  // enumerations
  std::vector<DocItem> members;   // class-like items: members and nested items, in source order
  Hints hints;
};

// One unit.
struct DocUnit {
  std::string name;  // as declared, dotted names whole ("Vcl.Forms")
  std::string file;  // the file as listed
  int line = 0;      // 1-based line of the unit heading; 0 when unknown
  std::string comment;
  std::vector<std::string> uses;  // the interface's uses clause, in order, as written
  Hints hints;
  std::vector<DocItem> items;  // in source order
};

// Takes the private and strict private members out of the items, at every depth: a run without
// "--private" neither shows nor keeps them.
void DropPrivateMembers(std::vector<DocItem>& items);

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_UNIT_MODEL_H_
