#ifndef GLOSSATOR_APP_SERVE_RELOAD_NEWS_H_
#define GLOSSATOR_APP_SERVE_RELOAD_NEWS_H_

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "base/warning.h"

namespace glossator {

// What one build changed, as the pages learn it.
struct BuildNews {
  uint64_t build = 0;                // numbered from 1 by NewsHistory
  bool all = false;                  // any file may have changed
  std::vector<std::string> changed;  // files written, relative to the output folder
  std::vector<std::string> removed;  // files no longer there
  // The warnings and errors of the files the build read: the overlay shows them over the page,
  // which stays as the last build that could read them left it.
  std::vector<Warning> problems;
};

// The news of the last builds, so that a page served before a build, whose event stream opened
// after it, still learns whether it changed. The event stream's messages (Server-Sent Events):
//
//   event: change
//   data: {"build":7,"all":false,"changed":["Shapes.html"],"removed":[],"problems":[]}
//
// and, when a page connects, the same as "state" with every change since the build the page
// came from (or "all" when that is too long ago to know) and the problems of now. The reload
// script (ReloadScript) reads them; the two change together.
class NewsHistory {
 public:
  // Numbers the news, keeps it, and gives back its "change" event.
  std::string Add(BuildNews news);
  uint64_t Current() const { return current_; }
  // The "state" event for a page served at build `since`.
  std::string StateEvent(uint64_t since) const;

 private:
  static constexpr size_t kKept = 64;
  uint64_t current_ = 0;
  std::deque<BuildNews> recent_;
  std::vector<Warning> problems_;
};

// `event: NAME\ndata: JSON\n\n`, the JSON of the news.
std::string NewsEvent(std::string_view name, const BuildNews& news);

// The script the live preview adds to the HTML pages it serves (never to the files): it opens
// the event stream, shows the page's new text when its file changed (a swap of its <main>, or a
// reload), keeping the scroll position, and shows the problems of the last build in an overlay.
// `build` is the build the page is served from.
std::string ReloadScript(uint64_t build);

// `html` with the script before its last "</body>" (any case), or at the end when it has none.
std::string WithReloadScript(std::string_view html, uint64_t build);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_RELOAD_NEWS_H_
