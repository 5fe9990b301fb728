#include "base/warning.h"

namespace glossator {

std::string FormatWarning(const Warning& warning) {
  std::string text = warning.file;
  if (warning.line > 0) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on ":" + text.
    text += ':';
    text += std::to_string(warning.line);
  }
  text += ": warning: ";
  text += warning.text;
  return text;
}

}  // namespace glossator
