#include "app/serve/site_folder.h"

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_set>

#include "base/file_system.h"
#include "base/ordered_pool.h"

namespace glossator {

namespace {

struct Rendered {
  std::string bytes;
  std::vector<uint32_t> looked_up;
};

Rendered RenderOne(const Site& site, size_t k) {
  Rendered rendered;
  std::vector<std::string> names;
  rendered.bytes = site.Render(k, &names);
  rendered.looked_up.reserve(names.size());
  for (const std::string& name : names) rendered.looked_up.push_back(NameHash(name));
  std::sort(rendered.looked_up.begin(), rendered.looked_up.end());
  rendered.looked_up.erase(std::unique(rendered.looked_up.begin(), rendered.looked_up.end()),
                           rendered.looked_up.end());
  rendered.looked_up.shrink_to_fit();
  return rendered;
}

}  // namespace

uint32_t NameHash(std::string_view name) {
  uint32_t hash = 2166136261u;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return hash;
}

void SiteFolder::Render(const Site& site, const std::vector<size_t>& which, int jobs,
                        FolderChange& change) {
  // Rendering has no effect: the files are rendered ahead on the pool and written here, as a
  // run writes its site.
  std::optional<OrderedPool<Rendered>> pool;
  if (jobs > 1 && which.size() > 1) {
    pool.emplace(which.size(), jobs - 1, 8 * static_cast<size_t>(jobs),
                 [&](size_t i) { return RenderOne(site, which[i]); });
  }
  for (size_t i = 0; i < which.size(); ++i) {
    Rendered rendered = pool ? pool->Take(i) : RenderOne(site, which[i]);
    const std::string& name = site.Files()[which[i]];
    uint64_t hash = std::hash<std::string_view>()(rendered.bytes);
    auto [state, added] = files_.try_emplace(name);
    state->second.looked_up = std::move(rendered.looked_up);
    ++change.rendered;
    if (!added && state->second.hash == hash) continue;
    state->second.hash = hash;
    SystemFileSystem().WriteFile(out_dir_ + name, rendered.bytes);
    change.written.push_back(name);
  }
}

void SiteFolder::RemoveGone(const Site& site, FolderChange& change) {
  if (files_.size() == site.Files().size()) return;
  std::unordered_set<std::string_view> present(site.Files().begin(), site.Files().end());
  for (auto it = files_.begin(); it != files_.end();) {
    if (present.count(it->first) != 0) {
      ++it;
      continue;
    }
    unlink((out_dir_ + it->first).c_str());
    change.removed.push_back(it->first);
    it = files_.erase(it);
  }
}

FolderChange SiteFolder::WriteAll(const Site& site, int jobs) {
  FolderChange change;
  std::vector<size_t> all(site.Files().size());
  for (size_t k = 0; k < all.size(); ++k) all[k] = k;
  Render(site, all, jobs, change);
  RemoveGone(site, change);
  return change;
}

FolderChange SiteFolder::Update(const Site& site, const std::vector<Site::UnitUpdate>& updates,
                                int jobs) {
  for (const Site::UnitUpdate& update : updates) {
    if (update.all_files) return WriteAll(site, jobs);
  }
  std::unordered_set<std::string_view> due;
  std::vector<uint32_t> names;
  for (const Site::UnitUpdate& update : updates) {
    due.insert(update.files.begin(), update.files.end());
    for (const std::string& name : update.names) names.push_back(NameHash(name));
  }
  if (!names.empty()) {
    for (const auto& [file, state] : files_) {
      for (uint32_t name : names) {
        if (!std::binary_search(state.looked_up.begin(), state.looked_up.end(), name)) continue;
        due.insert(file);
        break;
      }
    }
  }
  std::vector<size_t> which;
  for (size_t k = 0; k < site.Files().size(); ++k) {
    if (due.count(site.Files()[k]) != 0) which.push_back(k);
  }
  FolderChange change;
  Render(site, which, jobs, change);
  RemoveGone(site, change);
  return change;
}

}  // namespace glossator
