#include "base/warning.h"

namespace glossator {

std::string FormatWarning(const Warning& warning) {
  std::string text = warning.file;
  if (warning.line > 0) text += ":" + std::to_string(warning.line);
  text += ": warning: ";
  text += warning.text;
  return text;
}

}  // namespace glossator
