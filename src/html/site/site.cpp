#include "html/site/site.h"

#include <algorithm>
#include <string>

#include "html/site/site_index.h"
#include "html/site/site_render.h"
#include "html/site/static_files.h"

namespace glossator {

Site::Site(const std::vector<DocUnit>& units, SiteOptions options)
    : index_(std::make_unique<SiteIndex>(units, options.with_private, options.threads)),
      options_(std::move(options)) {
  ListFiles();
}

Site::Site(std::unique_ptr<SiteIndex> index, SiteOptions options)
    : index_(std::move(index)), options_(std::move(options)) {
  ListFiles();
}

std::vector<size_t> Site::RenderOrder() const {
  std::vector<size_t> order;
  order.reserve(files_.size());
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t k = 0; k < files_.size(); ++k) {
      PageKind kind = index_->Pages()[k].kind;
      bool ordered_names = kind == PageKind::kSearchNames || kind == PageKind::kNames;
      if (ordered_names == (pass == 1)) order.push_back(k);
    }
  }
  return order;
}

void Site::ListFiles() {
  files_.clear();
  files_.reserve(index_->Pages().size());
  for (const Page& page : index_->Pages()) files_.push_back(page.file);
}

Site::~Site() = default;

const std::vector<Warning>& Site::Warnings() const { return index_->Warnings(); }

std::string Site::Render(size_t k, std::vector<std::string>* looked_up) const {
  const Page& page = index_->Pages()[k];
  PageContext ctx{*index_, options_, static_cast<uint32_t>(k), looked_up};
  switch (page.kind) {
    case PageKind::kStaticFile:
      return std::string(SiteStaticFiles()[page.static_file].bytes);
    case PageKind::kSearchIndex:
      return RenderSearchIndex(ctx);
    case PageKind::kSearchNames:
      return RenderSearchNames(ctx);
    case PageKind::kUnitList:
      return RenderUnitList(ctx);
    case PageKind::kOverview:
      return RenderOverview(ctx);
    case PageKind::kSearch:
      return RenderSearchPage(ctx);
    case PageKind::kHierarchy:
      return RenderHierarchy(ctx);
    case PageKind::kNames:
      return RenderNamesPage(ctx);
    case PageKind::kUnit:
      return RenderUnitPage(ctx);
    case PageKind::kClass:
      return RenderClassPage(ctx);
  }
  return {};
}

std::vector<size_t> Site::FilesOfUnit(size_t u) const {
  const SiteIndex& x = *index_;
  std::vector<size_t> files;
  for (size_t k = 0; k < x.Pages().size(); ++k) {
    PageKind kind = x.Pages()[k].kind;
    if (kind != PageKind::kStaticFile && kind != PageKind::kSearch && kind != PageKind::kUnit &&
        kind != PageKind::kClass) {
      files.push_back(k);
    }
  }
  // The unit's entries are one run: the unit's entry, then its items depth first.
  uint32_t first = x.UnitEntry(static_cast<uint32_t>(u));
  uint32_t end = u + 1 < x.Units().size() ? x.UnitEntry(static_cast<uint32_t>(u + 1))
                                          : static_cast<uint32_t>(x.Entries().size());
  std::vector<uint32_t> derived;
  for (uint32_t e = first; e < end; ++e) {
    const Entry& entry = x.At(e);
    if (entry.own_page == kNone) continue;
    files.push_back(entry.own_page);
    if (entry.base != kNone) files.push_back(x.At(entry.base).own_page);
    derived.push_back(e);
  }
  // Every class that inherits from one of the unit's, however far down, lists its members.
  while (!derived.empty()) {
    uint32_t e = derived.back();
    derived.pop_back();
    for (uint32_t d = x.At(e).first_derived; d != kNone; d = x.At(d).next_derived) {
      files.push_back(x.At(d).own_page);
      derived.push_back(d);
    }
  }
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  return files;
}

}  // namespace glossator
