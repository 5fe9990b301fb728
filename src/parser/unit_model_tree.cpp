#include "parser/unit_model_tree.h"

#include "model/doc_tree.h"
#include "model/text_rules.h"
#include "model/uXMLparser.h"

namespace glossator {

namespace {

std::string_view Leaf(const TXMLNode* node, std::string_view name) {
  const TXMLNode* leaf = node == nullptr ? nullptr : node->FindChild(name);
  return leaf == nullptr ? std::string_view() : leaf->FirstValue();
}

// The kind of a member by the first word of its declaration.
ItemKind MemberKind(std::string_view decl) {
  std::string_view word = decl.substr(0, decl.find(' '));
  if (EqualsNoCase(word, "constructor")) return ItemKind::kConstructor;
  if (EqualsNoCase(word, "destructor")) return ItemKind::kDestructor;
  if (EqualsNoCase(word, "property")) return ItemKind::kProperty;
  return ItemKind::kMethod;
}

// "TBar,IFoo" => {"TBar", "IFoo"}; "TObject", the text the line rules give a heading without
// ancestor, stays as written.
std::vector<std::string> SplitAncestors(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    size_t comma = text.find(',');
    names.emplace_back(Trim(text.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return names;
}

DocItem ClassFromTree(const TXMLNode* cls, const std::string& file) {
  DocItem item;
  item.kind = ItemKind::kClass;
  item.name = cls->Name();
  item.file = file;
  std::string_view inherit = Leaf(cls, elem::kInheritFrom);
  item.ancestors = SplitAncestors(inherit);
  item.declaration = item.name + " = class(" + std::string(inherit) + ")";
  item.comment = Leaf(cls, elem::kClassComment);
  if (const TXMLNode* members = cls->FindChild(elem::kMethodList)) {
    for (size_t m = 0; m < members->ChildCount(); ++m) {
      const TXMLNode* member = members->Child(m);
      DocItem& each = item.members.emplace_back();
      each.declaration = Leaf(member, elem::kProcDecl);
      each.kind = MemberKind(each.declaration);
      each.name = member->Name();
      each.file = file;
      each.visibility = Leaf(member, elem::kProcType);
      each.comment = Leaf(member, elem::kProcComment);
      each.long_comment = Leaf(member, elem::kLongComment);
    }
  }
  if (const TXMLNode* fields = cls->FindChild(elem::kFieldList)) {
    for (size_t f = 0; f < fields->ChildCount(); ++f) {
      const TXMLNode* field = fields->Child(f);
      DocItem& each = item.members.emplace_back();
      each.kind = ItemKind::kField;
      each.name = field->Name();
      each.file = file;
      each.type = Leaf(field, elem::kFieldType);
      each.declaration = each.name + ": " + each.type + ";";
      each.visibility = "public";
      each.comment = Leaf(field, elem::kFieldComment);
    }
  }
  return item;
}

}  // namespace

DocUnit ModelFromTree(const TXMLNode* unit, const std::string& file) {
  DocUnit model;
  model.name = unit->Name();
  model.file = file;
  model.comment = Leaf(unit, elem::kUnitComment);
  if (const TXMLNode* classes = unit->FindChild(elem::kClasses)) {
    for (size_t c = 0; c < classes->ChildCount(); ++c) {
      model.items.push_back(ClassFromTree(classes->Child(c), file));
    }
  }
  if (const TXMLNode* functions = unit->FindChild(elem::kFunctions)) {
    for (size_t r = 0; r < functions->ChildCount(); ++r) {
      const TXMLNode* routine = functions->Child(r);
      DocItem& item = model.items.emplace_back();
      item.kind = ItemKind::kRoutine;
      item.name = routine->Name();
      item.file = file;
      item.declaration = Leaf(routine, elem::kProcDecl);
      item.comment = Leaf(routine, elem::kProcComment);
      item.long_comment = Leaf(routine, elem::kLongComment);
    }
  }
  if (const TXMLNode* constants = unit->FindChild(elem::kConstants)) {
    for (size_t k = 0; k < constants->ChildCount(); ++k) {
      const TXMLNode* constant = constants->Child(k);
      DocItem& item = model.items.emplace_back();
      item.kind = ItemKind::kConstant;
      item.name = constant->Name();
      item.file = file;
      item.value = Trim(Leaf(constant, elem::kConstValue));
      item.declaration = item.name + " = " + item.value + ";";
      item.comment = Leaf(constant, elem::kConstComment);
    }
  }
  return model;
}

namespace {

// The visibility the frame pages know: "private", "protected" or "public" (they have a picture
// for each).
std::string_view PageVisibility(std::string_view visibility) {
  if (visibility.ends_with("private")) return "private";
  if (visibility.ends_with("protected")) return "protected";
  return "public";
}

bool Shown(const DocItem& member, bool parse_private) {
  std::string_view shown = PageVisibility(member.visibility);
  if (member.kind == ItemKind::kField) return parse_private || shown == "public";
  return parse_private || shown != "private";
}

bool IsPageMember(ItemKind kind) {
  return kind == ItemKind::kMethod || kind == ItemKind::kConstructor ||
         kind == ItemKind::kDestructor || kind == ItemKind::kProperty ||
         kind == ItemKind::kOperator;
}

class TreeBuilder {
 public:
  TreeBuilder(TXMLTree& tree, bool parse_private) : tree_(tree), parse_private_(parse_private) {}

  void Leaf(TXMLNode* parent, std::string_view name, std::string_view value) {
    tree_.AddValue(tree_.AddNode(parent, name), value);
  }

  void AddClass(TXMLNode* classes, const DocItem& cls) {
    TXMLNode* item = tree_.AddNode(classes, cls.name);
    std::string ancestors;
    for (const std::string& ancestor : cls.ancestors) {
      if (!ancestors.empty()) ancestors += ',';
      ancestors += RemoveBlanks(ancestor);
    }
    Leaf(item, elem::kInheritFrom, ancestors.empty() ? "TObject" : ancestors);
    Leaf(item, elem::kClassComment, cls.comment);
    // The two containers come in the order of the first member and the first field.
    TXMLNode* members = nullptr;
    TXMLNode* fields = nullptr;
    for (const DocItem& member : cls.members) {
      if (!Shown(member, parse_private_)) continue;
      if (member.kind == ItemKind::kField) {
        if (fields == nullptr) fields = tree_.AddNode(item, elem::kFieldList);
        TXMLNode* field = tree_.AddNode(fields, member.name);
        Leaf(field, elem::kFieldType, member.type);
        Leaf(field, elem::kFieldComment, member.comment);
      } else if (IsPageMember(member.kind)) {
        if (members == nullptr) members = tree_.AddNode(item, elem::kMethodList);
        TXMLNode* node = tree_.AddNode(members, member.name);
        Leaf(node, elem::kProcDecl, member.declaration);
        Leaf(node, elem::kProcType, PageVisibility(member.visibility));
        Leaf(node, elem::kProcComment, member.comment);
        Leaf(node, elem::kLongComment, member.long_comment);
      }
    }
  }

  void AddRoutine(TXMLNode* functions, const DocItem& routine) {
    TXMLNode* item = tree_.AddNode(functions, routine.name);
    Leaf(item, elem::kProcDecl, routine.declaration);
    Leaf(item, elem::kProcComment, routine.comment);
    Leaf(item, elem::kLongComment, routine.long_comment);
  }

  void AddConstant(TXMLNode* constants, const DocItem& constant) {
    TXMLNode* item = tree_.AddNode(constants, constant.name);
    Leaf(item, elem::kConstValue, constant.value);
    Leaf(item, elem::kConstComment, constant.comment);
  }

 private:
  static std::string RemoveBlanks(std::string_view text) {
    std::string out;
    for (char c : text) {
      if (static_cast<unsigned char>(c) > ' ') out += c;
    }
    return out;
  }

  TXMLTree& tree_;
  bool parse_private_;
};

}  // namespace

TXMLNode* AddUnitFromModel(const DocUnit& unit, bool parse_private, TXMLTree& tree,
                           TXMLNode* parsed_units, ModelTreeProgress& progress) {
  std::string short_name = FileNameOf(unit.file);
  if (!progress.Progress("Parsing unit in " + short_name, "", true)) return nullptr;
  TreeBuilder builder(tree, parse_private);
  TXMLNode* item = tree.AddNode(parsed_units, unit.name);
  builder.Leaf(item, elem::kUnitComment, unit.comment);
  builder.Leaf(item, elem::kUnitFileName, short_name);

  if (!progress.Progress("Parsing classes in " + short_name, "", true)) return item;
  TXMLNode* classes = tree.AddNode(item, elem::kClasses);
  for (const DocItem& each : unit.items) {
    if (each.kind != ItemKind::kClass || each.forward) continue;
    if (!progress.Progress("", each.name, false)) return item;
    builder.AddClass(classes, each);
  }
  if (!progress.Progress("Parsing functions in " + short_name, "", true)) return item;
  TXMLNode* functions = tree.AddNode(item, elem::kFunctions);
  for (const DocItem& each : unit.items) {
    if (each.kind == ItemKind::kRoutine) builder.AddRoutine(functions, each);
  }
  if (!progress.Progress("Parsing constants in " + short_name, "", true)) return item;
  TXMLNode* constants = tree.AddNode(item, elem::kConstants);
  for (const DocItem& each : unit.items) {
    if (each.kind == ItemKind::kConstant) builder.AddConstant(constants, each);
  }
  return item;
}

}  // namespace glossator
