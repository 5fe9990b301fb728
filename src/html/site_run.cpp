// A run's site: the options from the selection, and every file rendered and written in order.
#include "html/site_run.h"

#include <optional>
#include <string_view>

#include "base/errors.h"
#include "base/file_system.h"
#include "base/ordered_pool.h"
#include "base/platform.h"
#include "html/pages.h"
#include "html/selection.h"
#include "html/site/site.h"
#include "html/site/site_index.h"
#include "model/text_rules.h"

namespace glossator {

namespace {

void CountIn(const std::vector<DocItem>& items, ItemCounts& counts, bool top) {
  for (const DocItem& item : items) {
    if (IsClassLike(item.kind) && !item.forward) ++counts.classes;
    if (top && item.kind == ItemKind::kRoutine) ++counts.routines;
    if (top && (item.kind == ItemKind::kConstant || item.kind == ItemKind::kResourceString)) {
      ++counts.constants;
    }
    CountIn(item.members, counts, false);
  }
}

// "/home/me/doc/" => "doc"
std::string FolderName(std::string_view out_dir) {
  while (out_dir.size() > 1 && out_dir.back() == '/') out_dir.remove_suffix(1);
  return FileNameOf(out_dir);
}

}  // namespace

ItemCounts CountItems(const std::vector<DocUnit>& units) {
  ItemCounts counts;
  for (const DocUnit& unit : units) CountIn(unit.items, counts, true);
  return counts;
}

SiteOptions SiteOptionsOf(const Selection& selection, const std::string& out_dir,
                          const std::string& source_root, FileSystem& files) {
  SiteOptions options;
  options.title = selection.title.empty() ? FolderName(out_dir) : selection.title;
  if (!selection.desc_file.empty() &&
      !files.ReadFile(selection.desc_file, options.description_html)) {
    throw FileOpenError(selection.desc_file);
  }
  options.source_url = selection.source_url;
  options.source_root = source_root;
  if (!options.source_root.empty() && options.source_root.back() != '/') {
    options.source_root += '/';
  }
  options.with_private = selection.parse_private;
  return options;
}

bool WriteSite(const std::vector<DocUnit>& units, SiteOptions options, const std::string& out_dir,
               Platform& platform, FileSystem& files, int jobs, std::unique_ptr<SiteIndex> grown) {
  options.threads = jobs;
  std::unique_ptr<Site> made;
  if (grown) {
    grown->Finish(units, jobs);
    made = std::make_unique<Site>(std::move(grown), std::move(options));
  } else {
    made = std::make_unique<Site>(units, std::move(options));
  }
  const Site& site = *made;
  for (const Warning& warning : site.Warnings()) platform.ReportWarning(warning);
  const std::vector<std::string>& names = site.Files();
  const std::vector<size_t> order = site.RenderOrder();
  std::optional<OrderedPool<std::string>> renderers;
  if (jobs > 1) {
    // Pages differ a thousandfold in size: a window of a few dozen keeps the threads busy
    // while one of them renders a large page.
    renderers.emplace(names.size(), jobs - 1, 64 * static_cast<size_t>(jobs),
                      [&](size_t i) { return site.Render(order[i]); });
  }
  // The steps of the bar, spread evenly over the files.
  const size_t steps = 4 + units.size();
  size_t stepped = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const std::string& name = names[order[i]];
    while (stepped < steps && stepped * order.size() <= i * steps) {
      if (!platform.UpdateProgress(stepped == 0 ? "Generating HTML" : "", name, true)) {
        return false;
      }
      ++stepped;
    }
    std::string bytes;
    try {
      bytes = renderers ? renderers->Take(i) : site.Render(order[i]);
    } catch (const std::bad_alloc&) {
      OutOfMemoryError error;
      error.SetFile(out_dir + name);
      throw error;
    }
    files.WriteFile(PagePath(out_dir, name), bytes);
  }
  for (; stepped < steps; ++stepped) {
    if (!platform.UpdateProgress("", "", true)) return false;
  }
  return true;
}

}  // namespace glossator
