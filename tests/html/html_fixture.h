#ifndef GLOSSATOR_TESTS_HTML_HTML_FIXTURE_H_
#define GLOSSATOR_TESTS_HTML_HTML_FIXTURE_H_

#include <initializer_list>
#include <string>

namespace glossator {

// Lines joined with CR LF, each line ended by it: the bytes of a page or a source file.
inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_HTML_HTML_FIXTURE_H_
