#include "app/serve/change_batch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "model/text_rules.h"

namespace glossator {

namespace fs = std::filesystem;

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

void ChangeBatch::Add(Clock::time_point now, const std::string& path) {
  if (paths_.empty()) first_ = now;
  last_ = now;
  if (seen_.insert(path).second) paths_.push_back(path);
}

ChangeBatch::Clock::duration ChangeBatch::Wait(Clock::time_point now) const {
  if (paths_.empty()) return Clock::duration::max();
  Clock::time_point due = std::min(last_ + quiet_, first_ + longest_);
  return due <= now ? Clock::duration::zero() : due - now;
}

std::vector<std::string> ChangeBatch::Take() {
  seen_.clear();
  return std::move(paths_);
}

std::set<std::string> FoldersToWatch(const WatchedInputs& inputs) {
  std::set<std::string> folders = inputs.folders;
  for (const std::string& file : inputs.files) folders.insert(FolderOf(file));
  for (const std::string& tree : inputs.trees) {
    folders.insert(tree);
    folders.insert(FolderOf(tree));
  }
  return folders;
}

bool Matters(const WatchedInputs& inputs, const std::string& path) {
  if (inputs.files.count(path) != 0 || inputs.trees.count(path) != 0) return true;
  std::error_code error;
  if (inputs.trees.count(FolderOf(path)) != 0) {
    std::string extension = ToLowerAscii(fs::path(path).extension().string());
    if (extension == ".pas" || extension == ".pp" || !fs::exists(path, error) ||
        fs::is_directory(path, error)) {
      return true;
    }
  }
  return inputs.missing.count(ToLowerAscii(fs::path(path).stem().string())) != 0;
}

}  // namespace glossator
