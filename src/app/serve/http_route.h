#ifndef GLOSSATOR_APP_SERVE_HTTP_ROUTE_H_
#define GLOSSATOR_APP_SERVE_HTTP_ROUTE_H_

#include <string>
#include <string_view>

namespace glossator {

// The path of the event stream that the reload script listens to. No file of a run has a name
// that starts with "_" and a folder, so it never hides one.
inline constexpr std::string_view kEventsPath = "/__glossator/events";

// How the live preview answers a request.
enum class RouteKind {
  kFile,              // the file `path`
  kEvents,            // the event stream
  kNotFound,          // 404
  kMethodNotAllowed,  // 405, with "Allow: GET, HEAD"
};

struct Route {
  RouteKind kind = RouteKind::kNotFound;
  std::string path;   // kFile: the file's path with every link resolved
  std::string query;  // kEvents: what stands behind "?"
};

// What a request for `target` (as the request line has it) answers, serving the folder `root`
// (its real path: absolute, no links, no final "/"). Only GET and HEAD are answered. A target
// names a file below the folder by its percent-encoded path; a folder stands for its index.html.
// Whatever would reach outside the folder, and every name that starts with "." (the temporary
// files of a run being written among them), is not found:
//
//   GET /                         => kFile root/index.html
//   GET /Unit.html?x=1#top        => kFile root/Unit.html
//   GET /a%20b.html               => kFile root/a b.html
//   GET /../secret, /%2e%2e/x     => kNotFound (a ".." part, however spelled)
//   GET /a%2Fb.html, /a\b         => kNotFound (an encoded slash, a backslash)
//   GET /out.html, /up/x.html     => kNotFound when out.html, or up, is a link that points
//                                    outside (even when a later part comes back)
//   GET http://h/x, *             => kNotFound (only paths)
//   POST /, DELETE /x             => kMethodNotAllowed
//
// The file is looked at (its links resolved, its kind taken), so that the answer holds at the
// moment of the request; a file that is not regular is not found.
Route RouteRequest(std::string_view method, std::string_view target, const std::string& root);

// The media type of a file by its extension: "text/html" for .html and .htm (without a charset:
// the frame set's pages are not UTF-8, and the site's pages say that they are), "text/css",
// "text/javascript", "image/gif", "image/png", ...; "application/octet-stream" for others.
std::string_view ContentType(std::string_view path);

// Decodes %XX escapes; false for a malformed escape. "+" stays "+".
bool PercentDecode(std::string_view text, std::string& out);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_HTTP_ROUTE_H_
