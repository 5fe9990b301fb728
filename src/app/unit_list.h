#ifndef GLOSSATOR_APP_UNIT_LIST_H_
#define GLOSSATOR_APP_UNIT_LIST_H_

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "html/selection.h"

namespace glossator {

// A PATH argument that names nothing usable: it does not exist, or a folder or project file
// cannot be read. The message is the whole line to show, without the program name.
class PathError : public std::runtime_error {
 public:
  explicit PathError(const std::string& message) : std::runtime_error(message) {}
};

// What the PATH arguments of a command line stand for.
struct UnitList {
  std::vector<std::string> files;     // unit files, in run order
  std::optional<Selection> settings;  // the settings of the last selection file named, if any
  std::vector<std::string> warnings;  // "FILE:LINE: warning: TEXT", in the order found
};

// Expands PATH arguments, in order, into the list of unit files to document:
//
//   src/          => every *.pas and *.pp below src/ (any letter case), in byte order of path
//   a.lpk, b.lpi  => the package's or project's items that carry a UnitName (not the .lpr)
//   p.dpr, p.dpk  => the units of its "uses" and "contains" clauses
//   s.gls         => the files of the selection file as they stand, and its settings
//   anything else => that file itself, as a unit
//
// Paths inside project files are relative to the project file's folder and may use "\" or "/".
// Files found through folders and project files are made absolute; a file reached a second
// time is left out. A project entry whose file is missing is skipped with a warning.
// Throws PathError when a PATH does not exist or a folder or project file cannot be read.
UnitList ExpandPaths(const std::vector<std::string>& paths);

// The unit files a Lazarus package (.lpk) or project (.lpi) lists: the "Filename" of each
// "Item"/"Unit" element that also has a "UnitName", with its 1-based line, as written there.
struct ProjectEntry {
  std::string name;  // unit name (Delphi entries) or file text (Lazarus entries)
  std::string path;  // the path written in the file; empty for a Delphi entry without "in"
  int line = 0;
};
std::vector<ProjectEntry> ReadLazarusEntries(std::string_view xml);

// The entries of the "uses" and "contains" clauses of a Delphi project or package, read past
// comments ({ }, (* *), //) and compiler directives such as {$R *.res}.
//
//   uses Forms, Main in 'src\main.pas' {Form1};  => Forms (no path), Main ("src\main.pas")
//   contains A in 'a.pas', B;                     => A ("a.pas"), B (no path)
std::vector<ProjectEntry> ReadDelphiEntries(std::string_view source);

}  // namespace glossator

#endif  // GLOSSATOR_APP_UNIT_LIST_H_
