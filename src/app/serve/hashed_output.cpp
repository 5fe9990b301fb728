#include "app/serve/hashed_output.h"

#include <unistd.h>

#include <functional>

namespace glossator {

bool HashedOutput::WriteFile(const std::string& path, std::string_view bytes) {
  uint64_t hash = std::hash<std::string_view>()(bytes);
  run_.insert(path);
  auto [it, added] = hashes_.try_emplace(path, hash);
  if (!added && it->second == hash) return false;
  it->second = hash;
  bool changed = files_.WriteFile(path, bytes);
  if (changed || added) written_.push_back(path);
  return changed;
}

bool HashedOutput::CopyFile(const std::string& from, const std::string& to) {
  // A copy is read from a file the user may have changed: always made (the copy itself leaves
  // a file that holds the same bytes alone), and never removed by a later run that copies it too.
  std::string before;
  bool had = files_.ReadFile(to, before);
  bool copied = files_.CopyFile(from, to);
  std::string after;
  if (copied && (!had || (files_.ReadFile(to, after) && after != before))) written_.push_back(to);
  run_.insert(to);
  hashes_[to] = 0;
  return copied;
}

void HashedOutput::EndRun(std::vector<std::string>& written, std::vector<std::string>& removed) {
  for (auto it = hashes_.begin(); it != hashes_.end();) {
    if (run_.count(it->first) != 0) {
      ++it;
      continue;
    }
    unlink(it->first.c_str());
    removed.push_back(it->first);
    it = hashes_.erase(it);
  }
  written = std::move(written_);
  written_.clear();
  run_.clear();
}

}  // namespace glossator
