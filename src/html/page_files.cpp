#include "html/pages.h"

#include "model/errors.h"
#include "model/text_file.h"

namespace glossator {

std::string PagePath(const std::string& out_dir, std::string_view file_name) {
  std::string path = out_dir + std::string(file_name);
  if (file_name.find_first_of("/\\") != std::string_view::npos) throw FileCreateError(path);
  return path;
}

void WritePage(const std::string& out_dir, std::string_view file_name,
               const std::vector<std::string>& lines) {
  TextFileWriter file(PagePath(out_dir, file_name));
  for (const std::string& line : lines) file.WriteLine(line);
  file.Close();
}

}  // namespace glossator
