#include "base/errors.h"
#include "base/file_system.h"
#include "html/pages.h"

namespace glossator {

std::string PagePath(const std::string& out_dir, std::string_view file_name) {
  std::string path = out_dir + std::string(file_name);
  if (file_name.find_first_of("/\\") != std::string_view::npos) throw FileCreateError(path);
  return path;
}

void PageText::Line(std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) text_.append(part);
  text_.append("\r\n");
}

void WritePage(FileSystem& files, const std::string& out_dir, std::string_view file_name,
               const PageText& page) {
  files.WriteFile(PagePath(out_dir, file_name), page.Text());
}

}  // namespace glossator
