#include "parser/pascal/include_files.h"

#include <utility>

#include "base/file_system.h"
#include "base/path_text.h"
#include "model/text_rules.h"

namespace glossator::pascal {
namespace {

// "dir" => "dir/"; "" stays "" (the current folder).
std::string AsFolder(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

IncludeFinder::IncludeFinder(FileSystem& files, std::string unit_folder,
                             std::vector<std::string> include_dirs)
    : files_(files), unit_folder_(AsFolder(std::move(unit_folder))) {
  for (std::string& dir : include_dirs) include_dirs_.push_back(AsFolder(std::move(dir)));
}

std::string IncludeFinder::Find(std::string_view name, const std::string& including_file) {
  std::string written(Trim(name));
  for (char& c : written) {
    if (c == '\\') c = '/';
  }
  if (written.empty() || written.back() == '/') return {};
  std::vector<std::string> candidates{written};
  if (FileNameOf(written).find('.') == std::string::npos) {
    for (const char* extension : {".inc", ".pp", ".pas"}) candidates.push_back(written + extension);
  }
  std::vector<std::string> folders;
  if (written.front() == '/') {
    folders.push_back("");
  } else {
    folders.push_back(DirectoryOf(including_file));
    folders.push_back(unit_folder_);
    folders.insert(folders.end(), include_dirs_.begin(), include_dirs_.end());
  }
  for (size_t f = 0; f < folders.size(); ++f) {
    bool seen = false;  // a folder named twice is searched once
    for (size_t g = 0; g < f; ++g) seen = seen || folders[g] == folders[f];
    if (seen) continue;
    for (const std::string& candidate : candidates) {
      std::string found = FindIn(folders[f], candidate);
      if (!found.empty()) return found;
    }
  }
  return {};
}

std::string IncludeFinder::FindIn(const std::string& folder, const std::string& name) {
  std::string path = folder + name;
  if (files_.KindOf(path) == FileKind::kRegular) return path;
  std::string parent = DirectoryOf(path);
  std::string base = FileNameOf(path);
  for (const FolderEntry& entry : Listing(parent)) {
    if (entry.kind == FileKind::kRegular && EqualsNoCase(entry.name, base))
      return parent + entry.name;
  }
  return {};
}

const std::vector<FolderEntry>& IncludeFinder::Listing(const std::string& folder) {
  auto found = listings_.find(folder);
  if (found != listings_.end()) return found->second;
  // The current folder is listed as ".", but its entries are named without a folder.
  std::vector<FolderEntry> entries = files_.ListFolder(folder.empty() ? "." : folder);
  return listings_.emplace(folder, std::move(entries)).first->second;
}

}  // namespace glossator::pascal
