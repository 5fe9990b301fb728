#ifndef GLOSSATOR_HTML_PATHS_H_
#define GLOSSATOR_HTML_PATHS_H_

#include <string_view>

namespace glossator {

// A file lies in another directory when its directory part differs, compared case-sensitively
// as text, from the output directory text (which ends in "/").
bool LiesInAnotherDirectory(std::string_view path, std::string_view out_dir);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_PATHS_H_
