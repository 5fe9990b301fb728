#ifndef GLOSSATOR_TESTS_SITE_SITE_TEST_UNITS_H_
#define GLOSSATOR_TESTS_SITE_SITE_TEST_UNITS_H_

#include <string>
#include <utility>
#include <vector>

#include "model/unit_model.h"

namespace glossator {

// Short builders for the units of a test.
inline DocItem TestItem(ItemKind kind, std::string name, std::string declaration = {},
                        std::vector<DocItem> members = {}) {
  DocItem item;
  item.kind = kind;
  item.name = std::move(name);
  item.declaration = declaration.empty() ? item.name + ";" : std::move(declaration);
  item.members = std::move(members);
  item.visibility = "";
  return item;
}

inline DocItem TestClass(std::string name, std::vector<std::string> ancestors,
                         std::vector<DocItem> members = {}) {
  DocItem item = TestItem(ItemKind::kClass, name, name + " = class", std::move(members));
  item.ancestors = std::move(ancestors);
  for (DocItem& member : item.members) {
    if (member.visibility.empty()) member.visibility = "public";
  }
  return item;
}

inline DocUnit TestUnit(std::string name, std::vector<std::string> uses,
                        std::vector<DocItem> items) {
  DocUnit unit;
  unit.name = std::move(name);
  unit.file = unit.name + ".pas";
  unit.uses = std::move(uses);
  unit.items = std::move(items);
  return unit;
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SITE_SITE_TEST_UNITS_H_
