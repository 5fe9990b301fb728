#include "html/paths.h"

#include "model/text_rules.h"

namespace glossator {

bool LiesInAnotherDirectory(std::string_view path, std::string_view out_dir) {
  return DirectoryOf(path) != out_dir;
}

}  // namespace glossator
