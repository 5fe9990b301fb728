#ifndef GLOSSATOR_APP_UNIT_LIST_H_
#define GLOSSATOR_APP_UNIT_LIST_H_

#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/warning.h"
#include "html/selection.h"

namespace glossator {

// A PATH argument that names nothing usable: it does not exist, or a folder, project or selection
// file cannot be read. The message is the whole line to show, without the program name.
class PathError : public std::runtime_error {
 public:
  explicit PathError(const std::string& message) : std::runtime_error(message) {}
};

// What the PATH arguments of a command line stand for.
struct UnitList {
  std::vector<std::string> files;     // unit files, in run order
  std::optional<Selection> settings;  // the settings of the last selection file named, if any
  std::vector<Warning> warnings;      // in the order found
  // The selection and project files among the PATHs, as given: inputs of the run that no
  // option may write over.
  std::vector<std::string> inputs;
  // The files found through folders and project files, which the run skips with a warning when
  // they are no units (a file named as a PATH or listed in a selection file must be one).
  std::unordered_set<std::string> found;
};

// Expands PATH arguments, in order, into the list of unit files to document:
//
//   src/          => every *.pas and *.pp below src/ (any letter case), in byte order of path
//   a.lpk, b.lpi  => the package's or project's unit sources (.pas, .pp, .p) that carry a
//                    UnitName (not the .lpr, not include files)
//   p.dpr, p.dpk  => the units of its "uses" and "contains" clauses
//   s.gls         => the files of the selection file as they stand, and its settings
//   anything else => that file itself, as a unit
//
// Paths inside project files are relative to the project file's folder and may use "\" or "/".
// Files found through folders and project files are made absolute. A file reached a second time
// (the same file, whatever path reached it: a link, another spelling, a selection file listing it
// again) is documented once, with one warning naming the paths. A project entry whose file is
// missing, a folder that cannot be read and a path too long to open are skipped with a warning.
// Throws PathError when a PATH does not exist or a folder, project or selection file named as a
// PATH cannot be read.
UnitList ExpandPaths(const std::vector<std::string>& paths);

}  // namespace glossator

#endif  // GLOSSATOR_APP_UNIT_LIST_H_
