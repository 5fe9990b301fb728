#ifndef GLOSSATOR_APP_SERVE_UNIT_READING_H_
#define GLOSSATOR_APP_SERVE_UNIT_READING_H_

#include <optional>
#include <string>
#include <vector>

#include "base/warning.h"
#include "model/unit_model.h"
#include "parser/file_parse.h"

namespace glossator {

class FileSystem;

// One listed file as the live preview last read it.
struct ReadUnit {
  std::string path;                   // as listed
  std::optional<DocUnit> model;       // none for a file that is no unit or could not be read
  std::vector<std::string> included;  // the include files it read
  std::vector<Warning> warnings;      // as the reader reported them, in order
  std::string error;                  // what ended its read, as a run reports it; empty: none
};

// Reads `paths` with `settings`, each file on its own, on `jobs` threads (the calling one among
// them), and gives them back in the order of `paths`. Each model is what a run keeps of it: with
// private and strict private members dropped unless settings.parse_private is set. Never throws
// for a file: its error is kept in its ReadUnit.
std::vector<ReadUnit> ReadUnits(const std::vector<std::string>& paths,
                                const ParseSettings& settings, FileSystem& files, int jobs);

// The error text of a file whose read failed, as a batch run reports it.
std::string ErrorText(const std::exception_ptr& error);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_UNIT_READING_H_
