#ifndef GLOSSATOR_HTML_SITE_SITE_H_
#define GLOSSATOR_HTML_SITE_SITE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/warning.h"
#include "model/unit_model.h"

namespace glossator {

class SiteIndex;

// How a site is written.
struct SiteOptions {
  std::string title;  // the site's title (the caller's default: the output folder's name)
  std::string description_html;  // a user's description page (whole HTML file); its <body> content
                                 // goes on the overview, made safe like a comment; empty: a
                                 // generated overview
  std::string source_url;        // e.g. "https://github.com/me/lib/blob/main/{path}#L{line}";
                                 // empty (or a javascript:/data: URL): no source links
  std::string source_root;       // the folder {path} is relative to, ending in "/"
  bool with_private = false;     // show private and strict private members
  int threads = 1;               // how many threads building the tables may use, the caller's own
                                 // included
};

// The documentation site of a set of units (--style=site): an overview, a page per unit and per
// class-like item, a class hierarchy, an A-Z index, a search page, the search index, one style
// sheet and one script. Every file is rendered on its own from tables built once, so files can
// be rendered in any order, on any number of threads, and again one by one for a live preview.
// The same units and options always give the same files with the same bytes.
class Site {
 public:
  // Builds the tables every page needs (page names, anchors, the name resolution) once, in time
  // linear in the set (and a sort of its names). `units` must outlive the Site.
  Site(const std::vector<DocUnit>& units, SiteOptions options);
  // The site of the tables a growing SiteIndex made, finished, of units that must outlive the
  // Site.
  Site(std::unique_ptr<SiteIndex> index, SiteOptions options);
  ~Site();
  Site(const Site&) = delete;
  Site& operator=(const Site&) = delete;

  // Every file of the site, relative to the output folder, in a fixed order: "site.css",
  // "site.js", "search-index.js", the parts of the search index ("search-other.js",
  // "search-a.js" ... "search-z.js"), "units.js", "index.html", "search.html", "hierarchy.html",
  // then each unit's page followed by the pages of its class-like items (depth first), then the
  // A-Z pages ("names-a.html" ... "names-other.html") of the letters that names start with.
  // No two names are equal, even without case.
  const std::vector<std::string>& Files() const { return files_; }
  // The numbers of Files() in the order a run on several threads best renders them: the files
  // that list the names in order (the parts of the search index, the A-Z pages) come last, so
  // that the names are sorted while the others are rendered.
  std::vector<size_t> RenderOrder() const;

  // The bytes of file k of Files(). Pure and safe to call from several threads at once.
  // With `looked_up`, every name the file tried to resolve (in declarations, ancestors and
  // "@see" targets) is appended to it in lower case, repeats included: when a name appears in
  // or vanishes from the set, exactly the files that looked it up link differently.
  // REQUIRES: k < Files().size().
  std::string Render(size_t k, std::vector<std::string>* looked_up = nullptr) const;

  // For the live preview, the files whose bytes show unit u's own content, in Files() order:
  // its page and its classes' pages; the pages of classes of other units that inherit from its
  // classes (their inherited members) or that they inherit from (their descendants); and the
  // files that show something of every unit: the overview, the hierarchy, the A-Z pages, the
  // search index and the unit list. Files that merely link into the unit are found through the
  // names they looked up (Render's `looked_up`). When units are added, removed or renamed,
  // page names and every sidebar may change: render every file again.
  // REQUIRES: u < units.size().
  std::vector<size_t> FilesOfUnit(size_t u) const;

  // What replacing a unit may have changed (ReplaceUnit).
  struct UnitUpdate {
    // Any file may have changed, and the list of files too: render every file again.
    bool all_files = false;
    // The files (names as in Files()) whose bytes may show the change, each once; a name that is
    // no longer in Files() is a file the site no longer has.
    std::vector<std::string> files;
    // Names, in lower case as Render's `looked_up` gives them, that may now resolve to another
    // item or link elsewhere: every file that looked one of them up may have changed too.
    std::vector<std::string> names;
  };

  // For the live preview: replaces units[u] by `unit` and brings the site up to date, so that
  // it renders every file exactly as a new Site of the new units would. A unit whose items keep
  // their names, kinds, places and ancestors (an edit of comments or declarations) keeps the
  // tables as they are, and only the pages that show an edited text may have changed (the
  // overview too when the unit's summary changed). Any other is spliced into the tables in time
  // linear in the set, without building them anew; renaming a unit builds them anew. Then the
  // files that may have changed are the unit's own pages; the overview when the unit's summary
  // or counts changed; the pages of classes elsewhere whose ancestors or descendants changed
  // what they show; the hierarchy, the A-Z pages and the search index when what they show of
  // the unit changed; and the files that looked up a name in UnitUpdate::names.
  // REQUIRES: `units` is the vector the site was made from; u < units.size(); no file is being
  // rendered.
  UnitUpdate ReplaceUnit(std::vector<DocUnit>& units, size_t u, DocUnit unit);

  // Problems of the input found while building the tables (a cycle of ancestors, members nested
  // too deep); the site is complete without what they name.
  const std::vector<Warning>& Warnings() const;

 private:
  struct UnitFacts;
  UnitFacts FactsOf(size_t u) const;
  // The files that show a text of unit u that differs in `new_unit`, which has the same tables.
  std::vector<std::string> PagesOfTexts(size_t u, const DocUnit& new_unit) const;
  void ListFiles();

  std::unique_ptr<SiteIndex> index_;
  SiteOptions options_;
  std::vector<std::string> files_;
};

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_SITE_H_
