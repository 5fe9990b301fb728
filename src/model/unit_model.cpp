#include "model/unit_model.h"

namespace glossator {

std::string_view KindName(ItemKind kind) {
  switch (kind) {
    case ItemKind::kClass:
      return "class";
    case ItemKind::kRecord:
      return "record";
    case ItemKind::kObject:
      return "object";
    case ItemKind::kInterface:
      return "interface";
    case ItemKind::kHelper:
      return "helper";
    case ItemKind::kEnum:
      return "enum";
    case ItemKind::kSet:
      return "set";
    case ItemKind::kArray:
      return "array";
    case ItemKind::kPointer:
      return "pointer";
    case ItemKind::kProcedureType:
      return "procedure-type";
    case ItemKind::kAlias:
      return "alias";
    case ItemKind::kConstant:
      return "constant";
    case ItemKind::kResourceString:
      return "resourcestring";
    case ItemKind::kVariable:
      return "variable";
    case ItemKind::kRoutine:
      return "routine";
    case ItemKind::kMethod:
      return "method";
    case ItemKind::kConstructor:
      return "constructor";
    case ItemKind::kDestructor:
      return "destructor";
    case ItemKind::kProperty:
      return "property";
    case ItemKind::kField:
      return "field";
    case ItemKind::kOperator:
      return "operator";
  }
  return "alias";
}

bool IsClassLike(ItemKind kind) {
  return kind == ItemKind::kClass || kind == ItemKind::kRecord || kind == ItemKind::kObject ||
         kind == ItemKind::kInterface || kind == ItemKind::kHelper;
}

bool IsRoutineLike(ItemKind kind) {
  return kind == ItemKind::kRoutine || kind == ItemKind::kMethod ||
         kind == ItemKind::kConstructor || kind == ItemKind::kDestructor ||
         kind == ItemKind::kOperator;
}

void DropPrivateMembers(std::vector<DocItem>& items) {
  std::erase_if(items, [](const DocItem& item) { return item.visibility.ends_with("private"); });
  for (DocItem& item : items) DropPrivateMembers(item.members);
}

}  // namespace glossator
