#ifndef GLOSSATOR_HTML_PAGES_H_
#define GLOSSATOR_HTML_PAGES_H_

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/warning.h"

namespace glossator {

class DocTreeReader;
class FileSystem;
class TXMLNode;

// What the page writers need while a run lasts. Not owning.
struct PageContext {
  const DocTreeReader& tree;  // the finished tree of the run
  std::string out_dir;        // ends in "/"
  // Receives the warning of a class page that could not be written.
  std::function<void(const Warning&)> report;
  FileSystem& files;  // where the pages go
};

// The page formats below are what readers browse and what runs are compared by, byte for byte.
// Names, declarations and values go in as text (html_text.h: & < > as entities), link targets
// percent-encoded and odd anchor names quoted; comments go in as stored, since they are HTML.

// The path of a page in the output folder. A page name holding "/" or "\" would leave the folder:
// it is refused with FileCreateError, as a file that cannot be created.
std::string PagePath(const std::string& out_dir, std::string_view file_name);

// A page being built: its lines, each ending in CR LF, in one text.
class PageText {
 public:
  // Appends one line made of `parts`.
  void Line(std::initializer_list<std::string_view> parts);
  const std::string& Text() const { return text_; }
  // Hands over the text and leaves the page empty.
  std::string TakeText() { return std::move(text_); }

 private:
  std::string text_;
};

// Writes `page` as the file `file_name` in the output folder.
void WritePage(FileSystem& files, const std::string& out_dir, std::string_view file_name,
               const PageText& page);

// The page of unit i of the unit index, then the pages of its classes, each class page under its
// own guard.
void WriteUnitPages(const PageContext& context, int i);

// The page of `unit`, whose name in the unit index is `name`.
PageText UnitPage(const DocTreeReader& parser, const TXMLNode* unit, const std::string& name,
                  std::string_view comment);

// One class page: class c of `unit`, whose name in the unit index is `unit_name`.
PageText ClassPage(const DocTreeReader& parser, const TXMLNode* unit, const std::string& unit_name,
                   int c);

// The ancestor diagram of a class: lines separated by a single CR, each ancestor linked, each
// "+" above the "|" below it. It shows the kMaxShownAncestors nearest ancestors; above them, a
// line says how many more the chain has.
inline constexpr size_t kMaxShownAncestors = 64;
std::string BuildHierarchy(const DocTreeReader& parser, const std::string& class_name);

// The warnings about page names that several things would write: two units of one name (the
// page shows the first, the classes of the others get no pages), and a class or unit page whose
// name another class or unit page, or one of the fixed pages, takes as well (the page written
// last stays). One warning for each thing that loses its page, in the order pages are written.
// `default_description`: the run writes "description.html" (no description file was given).
std::vector<Warning> PageNameClashes(const DocTreeReader& tree, bool default_description);

// Whether the run writes a unit or class page of this name ("Shapes.html", "TShape.html").
bool WritesUnitStepPage(const DocTreeReader& tree, std::string_view page);

enum class IndexKind { kUnits, kClasses, kFunctions, kConstants };
// "index-unit.html", "index-class.html", "index-function.html" or "index-constant.html".
std::string_view IndexFileName(IndexKind kind);
PageText IndexPage(const DocTreeReader& parser, IndexKind kind);

PageText MenuBarPage();
// The frameset; its content frame starts with the description page `description_file`.
PageText FramesetPage(std::string_view description_file);
PageText LegendPage(bool with_private);

// The default description page's only line.
inline constexpr std::string_view kDefaultDescription =
    "<HTML><CENTER><H1>Description</H1></CENTER></HTML>";

}  // namespace glossator

#endif  // GLOSSATOR_HTML_PAGES_H_
