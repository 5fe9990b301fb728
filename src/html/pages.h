#ifndef GLOSSATOR_HTML_PAGES_H_
#define GLOSSATOR_HTML_PAGES_H_

#include <string>
#include <string_view>
#include <vector>

namespace glossator {

class Platform;
class TGlosParser;
class TXMLNode;

// What the page writers need while a run lasts. Not owning.
struct PageContext {
  const TGlosParser& parser;  // the run's parser, holding the finished tree
  std::string out_dir;        // ends in "/"
  Platform& platform;         // for the class pages' error message
};

// The page formats below are what readers browse and what runs are compared by, byte for byte;
// names and comments go in as stored, without escaping.

// The path of a page in the output folder. A page name holding "/" or "\" would leave the folder:
// it is refused with FileCreateError, as a file that cannot be created.
std::string PagePath(const std::string& out_dir, std::string_view file_name);

// Writes lines ending in CR LF to the page `file_name` in the output folder.
void WritePage(const std::string& out_dir, std::string_view file_name,
               const std::vector<std::string>& lines);

// The page of unit i of the unit index, then the pages of its classes, each class page under its
// own guard.
void WriteUnitPages(const PageContext& context, int i);

// The lines of one class page: class c of `unit`, whose name in the unit index is `unit_name`.
std::vector<std::string> ClassPageLines(const TGlosParser& parser, const TXMLNode* unit,
                                        const std::string& unit_name, int c);

// The ancestor diagram of a class: lines separated by a single CR, each ancestor linked, each
// "+" above the "|" below it.
std::string BuildHierarchy(const TGlosParser& parser, const std::string& class_name);

enum class IndexKind { kUnits, kClasses, kFunctions, kConstants };
// "index-unit.html", "index-class.html", "index-function.html" or "index-constant.html".
std::string_view IndexFileName(IndexKind kind);
std::vector<std::string> IndexPageLines(const TGlosParser& parser, IndexKind kind);

std::vector<std::string> MenuBarLines();
// The frameset; its content frame starts with the description page `description_file`.
std::vector<std::string> FramesetLines(std::string_view description_file);
std::vector<std::string> LegendLines(bool with_private);

// The default description page's only line.
inline constexpr std::string_view kDefaultDescription =
    "<HTML><CENTER><H1>Description</H1></CENTER></HTML>";

}  // namespace glossator

#endif  // GLOSSATOR_HTML_PAGES_H_
