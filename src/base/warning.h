#ifndef GLOSSATOR_BASE_WARNING_H_
#define GLOSSATOR_BASE_WARNING_H_

#include <string>

namespace glossator {

// Something about the input that the run goes on after, e.g. a unit name read from a comment.
// Batch mode prints it in the compiler format (FormatWarning) so that editors and CI can point at
// the line; the window lists them under the "Ready" question.
struct Warning {
  std::string file;  // the file as listed (or the selection file)
  int line = 0;      // 1-based; 0 when no line applies
  std::string kind;  // a short tag that groups warnings of one sort, e.g. "unit-name"
  std::string text;
  // The window's message box for it, shown at once; empty for none. Only the few warnings that
  // come with a box of their own (a field without a type, a class page not written) have it.
  std::string box;
};

// "FILE:LINE: warning: TEXT", or "FILE: warning: TEXT" when there is no line.
std::string FormatWarning(const Warning& warning);

}  // namespace glossator

#endif  // GLOSSATOR_BASE_WARNING_H_
