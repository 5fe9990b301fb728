#ifndef GLOSSATOR_APP_SELECTION_FILE_H_
#define GLOSSATOR_APP_SELECTION_FILE_H_

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/warning.h"
#include "html/selection.h"

namespace glossator {

// Selection files (".gls"): an INI file with the source list in section "FILES" and the settings
// in section "SETUP". Existing selection files are in this layout; do not change it.
//
//   [FILES]
//   File0=C:\src\first.pas
//   File1=C:\src\second.pas
//   [SETUP]
//   OutputDir=C:\docs
//   DescriptFile=
//   MenubarFile=
//   ParsePrivate=0
//   DebugMode=1

// Writes `selection` into the file at `path`, creating it if needed: the "FILES" section is
// replaced by one "File<n>" key per entry in list order (no section at all for an empty list),
// and the five "SETUP" keys are set. Other sections and other "SETUP" keys stay as they are.
// Throws GlosError("Unable to write to " + path) when the file cannot be written; the old file
// is then left unchanged.
void SaveSelection(const std::string& path, const Selection& selection);

// Replaces all of `selection` with what the file at `path` holds. The list is made of the
// non-empty values of the "FILES" keys "File<n>", ordered by n whatever their order in the file;
// other keys there are ignored. A file that does not exist or cannot be read loads as an empty
// selection.
void LoadSelection(const std::string& path, Selection& selection);

// A selection file that cannot be read: the message names it and says why.
class SelectionFileError : public std::runtime_error {
 public:
  explicit SelectionFileError(const std::string& message) : std::runtime_error(message) {}
};

// What a selection file holds, read once: the selection (as LoadSelection gives it) and the
// warnings about the keys it passes over (as SelectionKeyWarnings gives them).
struct SelectionFileContents {
  Selection selection;
  std::vector<Warning> warnings;
};
// Reads the selection file at `path`. Throws SelectionFileError ("cannot read selection file
// 'x.gls': not a regular file") when UnreadableSelection names a reason.
SelectionFileContents ReadSelectionFile(const std::string& path);

// Why the selection file at `path` cannot be read ("No such file or directory", "not a regular
// file", "not a text file"), or empty text when it can.
std::string UnreadableSelection(const std::string& path);

// The keys of the file at `path` that LoadSelection passes over, each with its line: "FILES" keys
// that are no "File<n>" or have no value, "SETUP" keys it does not know, and keys given a second
// time in their section (the first one counts). Lines are read as the INI layer reads them.
// A file that cannot be read gives none.
std::vector<Warning> SelectionKeyWarnings(const std::string& path);

// Reads an INI flag: a signed integer, decimal or hexadecimal after "$" or "0x"; any integer
// other than 0 is true; anything else, the empty text included, is false.
//
//   "1", "-1", "0x1", "$ff", "+7" => true
//   "0", "-0", "0x0", ""          => false
//   "yes", "1.0", "0x", " 1"      => false (not an integer; the INI layer has trimmed already)
//
// The size of the number does not matter: a long digit string is true as soon as one digit is
// not zero, since it names an integer other than 0 however far it lies beyond any machine word.
bool ReadProfileBool(std::string_view value);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SELECTION_FILE_H_
