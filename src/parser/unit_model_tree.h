#ifndef GLOSSATOR_PARSER_UNIT_MODEL_TREE_H_
#define GLOSSATOR_PARSER_UNIT_MODEL_TREE_H_

#include <string>

#include "model/unit_model.h"

namespace glossator {

class TXMLNode;
class TXMLTree;
class UnitScan;

// The two readers meet here: the line reader fills the documentation tree, which the model is
// made from; the Pascal reader fills the model, which the tree the frame pages read is made from.

// The model of a unit item the line reader added, before the unit is sorted (its items are then
// in source order). It holds what the line rules know: classes with their members and public
// fields, routines and constants, with their comments; no lines, types or other kinds.
DocUnit ModelFromTree(const TXMLNode* unit, const std::string& file);

// Where AddUnitFromModel reports: the progress calls a parse makes for a file, with a class's
// name as the detail of the class pass.
class ModelTreeProgress {
 public:
  virtual ~ModelTreeProgress() = default;
  virtual bool Progress(std::string_view header, std::string_view detail, bool step) = 0;
};

// Adds `unit` to the tree below `parsed_units` as the frame pages show units: its classes (class
// items of the unit, not forward declarations) with their methods, constructors, destructors,
// operators and properties, and their public and published fields; its routines and its
// constants. Private and strict private members, and non-public fields, only with
// `parse_private`. Makes the four progress steps of a file ("Parsing unit in", "Parsing classes
// in" with each class's name, "Parsing functions in", "Parsing constants in") and stops where one
// answers "stop". Returns the unit item, or null when the first step stopped.
TXMLNode* AddUnitFromModel(const DocUnit& unit, bool parse_private, TXMLTree& tree,
                           TXMLNode* parsed_units, ModelTreeProgress& progress);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_UNIT_MODEL_TREE_H_
