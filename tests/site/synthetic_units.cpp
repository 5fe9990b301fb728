// A made-up library of realistic shape for the measurements of the site: about the numbers of
// the Lazarus sources (3,079 units; some 12,500 class-like items and 200,000 members in their
// interface parts), names made of CamelCase words, classes that inherit across units.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "dice.h"
#include "fixture_units.h"

namespace glossator {
namespace {

constexpr std::string_view kWords[] = {
    "Custom", "Base",    "Data",   "Grid",   "Tree",   "List",   "Edit",    "Button", "Panel",
    "Chart",  "Syn",     "Text",   "Image",  "Font",   "Brush",  "Pen",     "Stream", "Reader",
    "Writer", "Control", "Form",   "Menu",   "Action", "Dialog", "Shape",   "Layout", "Theme",
    "Style",  "Cache",   "Buffer", "Column", "Cell",   "Node",   "Item",    "Link",   "Page",
    "Tab",    "Scroll",  "Window", "Canvas", "Bitmap", "Icon",   "Printer", "Clip",   "Drag",
    "Dock",   "Hint",    "Key",    "Mouse",  "Timer"};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];
constexpr std::string_view kTypes[] = {"Integer", "string", "Boolean", "Double", "Cardinal",
                                       "TColor",  "TRect",  "TPoint",  "Pointer"};
constexpr std::string_view kSentences[] = {
    "Returns the number of items that are visible.",
    "Paints the control on its canvas, using the current theme.",
    "Called when the size of the parent changes.",
    "Holds the <b>current</b> state; see the remarks below.",
    "Reads the value from a stream written by SaveToStream.",
    "The default value is <code>nil</code>, which means none."};

std::string Words(Dice& dice, int count) {
  std::string name;
  for (int i = 0; i < count; ++i) name.append(kWords[dice.Below(kWordCount)]);
  return name;
}

// The made-up library under construction: names handed out so far, classes to inherit from.
class Library {
 public:
  explicit Library(const SyntheticSize& size) : size_(size) {
    classes_ = size.classes ? size.classes : size.units * 42 / 10;
    members_ = size.members ? size.members : classes_ * 16;
  }

  std::vector<DocUnit> Make() {
    std::vector<DocUnit> units;
    units.reserve(size_.units);
    for (size_t u = 0; u < size_.units; ++u) units.push_back(MakeUnit(u));
    return units;
  }

 private:
  std::string Unique(std::string name) { return name + std::to_string(counter_++); }

  std::string Comment() {
    if (!dice_.Percent(65)) return {};
    std::string text(kSentences[dice_.Below(std::size(kSentences))]);
    if (dice_.Percent(40)) text.append(" ").append(kSentences[dice_.Below(std::size(kSentences))]);
    if (dice_.Percent(20)) text.append("\r\n@param Value the new value\r\n@return True when done");
    return text;
  }

  std::string SomeType(const std::vector<std::string>& local) {
    if (!local.empty() && dice_.Percent(35)) return local[dice_.Below(local.size())];
    if (!known_.empty() && dice_.Percent(25)) return known_[dice_.Below(known_.size())];
    return std::string(kTypes[dice_.Below(std::size(kTypes))]);
  }

  DocItem Item(ItemKind kind, std::string name, std::string declaration, std::string_view file) {
    DocItem item;
    item.kind = kind;
    item.name = std::move(name);
    item.declaration = std::move(declaration);
    item.file = std::string(file);
    item.line = static_cast<int>(++line_);
    item.comment = Comment();
    return item;
  }

  DocItem MakeMember(const std::vector<std::string>& local, std::string_view file) {
    size_t roll = dice_.Below(100);
    std::string word = Words(dice_, 1 + static_cast<int>(dice_.Below(2)));
    std::string type = SomeType(local);
    DocItem item;
    if (roll < 25) {
      item = Item(ItemKind::kField, "F" + word, "F" + word + ": " + type + ";", file);
      item.visibility = "private";
    } else if (roll < 60) {
      item = Item(ItemKind::kMethod, "Do" + word,
                  "procedure Do" + word + "(const Value: " + type + "; Count: Integer);", file);
      item.visibility = dice_.Percent(30) ? "protected" : "public";
    } else if (roll < 85) {
      item = Item(ItemKind::kProperty, word,
                  "property " + word + ": " + type + " read F" + word + " write Set" + word + ";",
                  file);
      item.visibility = "published";
    } else if (roll < 90) {
      item =
          Item(ItemKind::kConstructor, "Create", "constructor Create(AOwner: TComponent);", file);
      item.visibility = "public";
    } else {
      item = Item(ItemKind::kMethod, "Get" + word, "function Get" + word + ": " + type + ";", file);
      item.visibility = "public";
      item.type = type;
    }
    return item;
  }

  DocItem MakeClass(const std::vector<std::string>& local, size_t members, std::string_view file) {
    size_t roll = dice_.Below(100);
    ItemKind kind = roll < 75   ? ItemKind::kClass
                    : roll < 87 ? ItemKind::kRecord
                    : roll < 93 ? ItemKind::kInterface
                    : roll < 97 ? ItemKind::kHelper
                                : ItemKind::kObject;
    std::string name = Unique("T" + Words(dice_, 2));
    std::string keyword(KindName(kind));
    DocItem item = Item(kind, name, "", file);
    if (kind == ItemKind::kClass && !known_.empty() && dice_.Percent(75)) {
      item.ancestors = {dice_.Percent(40) && !local.empty() ? local[dice_.Below(local.size())]
                                                            : known_[dice_.Below(known_.size())]};
    } else if (kind == ItemKind::kClass) {
      item.ancestors = {"TComponent"};
    }
    std::string heading = kind == ItemKind::kHelper ? "class helper for TObject" : keyword;
    if (!item.ancestors.empty()) heading += "(" + item.ancestors[0] + ")";
    item.declaration = name + " = " + heading;
    for (size_t m = 0; m < members; ++m) item.members.push_back(MakeMember(local, file));
    if (kind == ItemKind::kClass) known_.push_back(name);
    return item;
  }

  void AddUnitItems(DocUnit& unit, std::vector<std::string>& local) {
    const std::string& file = unit.file;
    for (int e = 0; e < 3; ++e) {
      std::string name = Unique("T" + Words(dice_, 1) + "Kind");
      DocItem item = Item(ItemKind::kEnum, name, name + " = (", file);
      for (int v = 0; v < 6; ++v) {
        std::string value = "k" + Words(dice_, 1) + std::to_string(counter_++);
        item.declaration += (v ? ", " : "") + value;
        item.values.push_back({value, "", "", item.line});
      }
      item.declaration += ");";
      local.push_back(name);
      unit.items.push_back(std::move(item));
    }
    for (int c = 0; c < 5; ++c) {
      std::string name = Unique("Default" + Words(dice_, 1));
      unit.items.push_back(
          Item(ItemKind::kConstant, name, name + " = " + std::to_string(c) + ";", file));
    }
    for (int r = 0; r < 8; ++r) {
      std::string name = Unique(Words(dice_, 2));
      unit.items.push_back(Item(ItemKind::kRoutine, name,
                                "function " + name + "(const S: " + SomeType(local) +
                                    "; Index: Integer): " + SomeType(local) + ";",
                                file));
    }
    std::string event = Unique("T" + Words(dice_, 1) + "Event");
    unit.items.push_back(Item(ItemKind::kProcedureType, event,
                              event + " = procedure(Sender: TObject) of object;", file));
  }

  DocUnit MakeUnit(size_t u) {
    DocUnit unit;
    unit.name = Words(dice_, 2) + std::to_string(u);
    unit.file = "lib/" + unit.name + ".pas";
    unit.line = 1;
    unit.comment = Comment();
    unit.uses = {"Classes", "SysUtils"};
    for (int i = 0; i < 6 && u > 0; ++i) unit.uses.push_back(unit_names_[dice_.Below(u)]);
    unit_names_.push_back(unit.name);
    line_ = 10;
    std::vector<std::string> local;
    AddUnitItems(unit, local);
    // Spread the class-like items and their members evenly, with some noise.
    size_t classes = (classes_ * (u + 1)) / size_.units - (classes_ * u) / size_.units;
    for (size_t c = 0; c < classes; ++c) {
      size_t average = members_ / (classes_ ? classes_ : 1);
      size_t members = average / 2 + dice_.Below(average + 1);
      unit.items.push_back(MakeClass(local, members, unit.file));
      local.push_back(unit.items.back().name);
    }
    return unit;
  }

  SyntheticSize size_;
  size_t classes_;
  size_t members_;
  Dice dice_;
  size_t counter_ = 0;
  size_t line_ = 0;
  std::vector<std::string> unit_names_;
  std::vector<std::string> known_;  // every class made so far, to inherit from
};

}  // namespace

std::vector<DocUnit> SyntheticUnits(const SyntheticSize& size) { return Library(size).Make(); }

}  // namespace glossator
