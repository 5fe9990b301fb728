#ifndef GLOSSATOR_PARSER_PASCAL_INCLUDE_FILES_H_
#define GLOSSATOR_PARSER_PASCAL_INCLUDE_FILES_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"

namespace glossator::pascal {

// Finds the file an {$I name} directive means, through the file-system seam. The folders are
// searched in order: the including file's, the unit's, then each include folder. In each, every
// candidate name is tried as written and then, when missing, without case in its folder. A name
// without an extension is tried as written, then with ".inc", ".pp" and ".pas". Backslashes in
// the name count as "/". Folder listings are kept for the life of the object.
//
//   "LCL_Defines" in "lcl/" holding "lcl_defines.inc" => "lcl/lcl_defines.inc"
//   "sub\x.inc" from "a/u.pas"                         => "a/sub/x.inc" when it exists
class IncludeFinder {
 public:
  // `files` must outlive the finder.
  IncludeFinder(FileSystem& files, std::string unit_folder, std::vector<std::string> include_dirs);

  // The path of the file, as opened (folder + name); empty when none is found.
  std::string Find(std::string_view name, const std::string& including_file);

 private:
  std::string FindIn(const std::string& folder, const std::string& name);
  const std::vector<FolderEntry>& Listing(const std::string& folder);

  FileSystem& files_;  // not owned
  std::string unit_folder_;
  std::vector<std::string> include_dirs_;
  std::map<std::string, std::vector<FolderEntry>> listings_;
};

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_INCLUDE_FILES_H_
