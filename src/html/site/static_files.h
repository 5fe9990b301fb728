#ifndef GLOSSATOR_HTML_SITE_STATIC_FILES_H_
#define GLOSSATOR_HTML_SITE_STATIC_FILES_H_

#include <string_view>
#include <vector>

namespace glossator {

// One file that every site holds unchanged: its name in the output folder and its bytes.
struct StaticFile {
  std::string_view name;
  std::string_view bytes;
};

// The style sheet and the script (resources/site), compiled into the program at build time by
// cmake/EmbedSiteFiles.cmake, in a fixed order: "site.css", "site.js".
const std::vector<StaticFile>& SiteStaticFiles();

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_STATIC_FILES_H_
