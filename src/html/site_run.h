#ifndef GLOSSATOR_HTML_SITE_RUN_H_
#define GLOSSATOR_HTML_SITE_RUN_H_

#include <memory>
#include <string>
#include <vector>

#include "model/unit_model.h"

namespace glossator {

class FileSystem;
class Platform;
struct Selection;
class SiteIndex;
struct SiteOptions;

// Counts of the items of `units` for a run's summary: class-like items (nested ones too),
// routines of the units and constants (resource strings included).
struct ItemCounts {
  int classes = 0;
  int routines = 0;
  int constants = 0;
};
ItemCounts CountItems(const std::vector<DocUnit>& units);

// The site's options from a run's selection: the title (the output folder's name when none is
// given), the description page's HTML read through `files`, the source links relative to
// `source_root`, private members.
SiteOptions SiteOptionsOf(const Selection& selection, const std::string& out_dir,
                          const std::string& source_root, FileSystem& files);

// Writes the site of `units` into `out_dir` (ending in "/"): every file rendered ahead on a pool
// of `jobs` threads and written in Site::RenderOrder by this one, with 4 + units progress steps
// ("Generating HTML") spread over them. `grown`, when given, is a growing SiteIndex to which
// every unit was added (while they were read); it is finished here instead of building the
// tables anew. Reports the site's warnings. Returns false when a progress call answers "stop";
// the files after it are not written. Errors propagate as GlosError.
bool WriteSite(const std::vector<DocUnit>& units, SiteOptions options, const std::string& out_dir,
               Platform& platform, FileSystem& files, int jobs,
               std::unique_ptr<SiteIndex> grown = nullptr);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_RUN_H_
