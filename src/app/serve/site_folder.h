#ifndef GLOSSATOR_APP_SERVE_SITE_FOLDER_H_
#define GLOSSATOR_APP_SERVE_SITE_FOLDER_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "html/site/site.h"

namespace glossator {

// What a write of the live preview changed in the output folder: file names relative to it.
struct FolderChange {
  std::vector<std::string> written;  // files whose bytes changed (new files among them)
  std::vector<std::string> removed;  // files the set no longer has
  size_t rendered = 0;               // files rendered to find those
};

// The output folder of a site as the live preview last wrote it: a hash of every file's bytes,
// so that only files whose bytes changed are written, and the names each file looked up, so
// that the files linking to a name that appeared or vanished are found. Files are written as a
// run writes them (a new file, or a locked temporary renamed over the old one), so a browser
// never reads half a page.
class SiteFolder {
 public:
  // `out_dir` ends in "/" and exists.
  explicit SiteFolder(std::string out_dir) : out_dir_(std::move(out_dir)) {}

  // Renders every file of the site on `jobs` threads and writes those whose bytes differ from
  // what this folder last wrote (all of them the first time); removes the files written before
  // that the site no longer has.
  FolderChange WriteAll(const Site& site, int jobs);

  // After Site::ReplaceUnit: renders the files the updates name, and those that looked up one
  // of their names when last rendered; writes those whose bytes changed and removes those the
  // site no longer has.
  FolderChange Update(const Site& site, const std::vector<Site::UnitUpdate>& updates, int jobs);

  size_t FileCount() const { return files_.size(); }

 private:
  struct FileState {
    uint64_t hash = 0;
    std::vector<uint32_t> looked_up;  // hashes of the names, sorted, each once
  };

  // Renders the files `which` (numbers of site.Files()) and writes what changed.
  void Render(const Site& site, const std::vector<size_t>& which, int jobs, FolderChange& change);
  void RemoveGone(const Site& site, FolderChange& change);

  std::string out_dir_;
  std::unordered_map<std::string, FileState> files_;
};

// The hash SiteFolder keeps of a looked-up name.
uint32_t NameHash(std::string_view name);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_SITE_FOLDER_H_
