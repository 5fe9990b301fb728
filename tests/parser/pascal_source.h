#ifndef GLOSSATOR_TESTS_PARSER_PASCAL_SOURCE_H_
#define GLOSSATOR_TESTS_PARSER_PASCAL_SOURCE_H_

#include <initializer_list>
#include <string>
#include <vector>

#include "model/uXMLparser.h"

namespace glossator {

// Joins source lines with CR LF, as a unit file written on Windows holds them.
inline std::string Source(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

inline std::vector<std::string> ChildNames(const TXMLNode* node) {
  std::vector<std::string> names;
  if (node == nullptr) return names;
  for (size_t i = 0; i < node->ChildCount(); ++i) names.emplace_back(node->Child(i)->Name());
  return names;
}

// The first value of the leaf `name` under `node`.
inline std::string Value(const TXMLNode* node, const std::string& name) {
  const TXMLNode* leaf = node == nullptr ? nullptr : node->FindChild(name);
  return leaf == nullptr ? "<missing>" : std::string(leaf->FirstValue());
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_PARSER_PASCAL_SOURCE_H_
