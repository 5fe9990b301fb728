#include "app/serve/http_route.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "model/text_rules.h"

namespace glossator {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The path with links resolved, or empty when it does not exist.
std::string RealPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : std::string();
}

bool Inside(const std::string& path, const std::string& root) {
  return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                          path[root.size()] == '/');
}

// The regular file `path` stands for below `root`: itself, or a folder's index.html.
Route FileRoute(const std::string& path, const std::string& root) {
  Route route;
  std::string real = RealPath(path);
  if (real.empty() || !Inside(real, root)) return route;
  struct stat st;
  if (stat(real.c_str(), &st) != 0) return route;
  if (S_ISDIR(st.st_mode)) {
    real = RealPath(real + "/index.html");
    if (real.empty() || !Inside(real, root) || stat(real.c_str(), &st) != 0) return route;
  }
  if (!S_ISREG(st.st_mode)) return route;
  route.kind = RouteKind::kFile;
  route.path = std::move(real);
  return route;
}

}  // namespace

bool PercentDecode(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int high = HexValue(text[i + 1]);
    int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

Route RouteRequest(std::string_view method, std::string_view target, const std::string& root) {
  Route route;
  if (method != "GET" && method != "HEAD") {
    route.kind = RouteKind::kMethodNotAllowed;
    return route;
  }
  if (target.empty() || target[0] != '/') return route;
  std::string_view raw = target.substr(0, target.find_first_of("?#"));
  std::string_view query;
  if (size_t mark = target.find('?'); mark != std::string_view::npos) {
    query = target.substr(mark + 1);
    query = query.substr(0, query.find('#'));
  }
  // An encoded slash or backslash would make one part of two after decoding.
  std::string lower = ToLowerAscii(raw);
  if (lower.find("%2f") != std::string::npos || lower.find("%5c") != std::string::npos) {
    return route;
  }
  std::string path;
  if (!PercentDecode(raw, path) || path.find('\0') != std::string::npos ||
      path.find('\\') != std::string::npos) {
    return route;
  }
  if (path == kEventsPath) {
    route.kind = RouteKind::kEvents;
    route.query = std::string(query);
    return route;
  }
  std::string file = root;
  for (size_t start = 1; start <= path.size();) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string_view part = std::string_view(path).substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    if (part[0] == '.') return route;  // ".", "..", and hidden or temporary files
    file.append("/").append(part);
    // A link on the way must point inside, even when a later part would come back.
    struct stat st;
    if (lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && !Inside(RealPath(file), root)) {
      return route;
    }
  }
  return FileRoute(file, root);
}

std::string_view ContentType(std::string_view path) {
  struct Type {
    std::string_view extension;
    std::string_view type;
  };
  static constexpr Type kTypes[] = {
      {".html", "text/html"},     {".htm", "text/html"},         {".css", "text/css"},
      {".js", "text/javascript"}, {".json", "application/json"}, {".xml", "application/xml"},
      {".txt", "text/plain"},     {".gif", "image/gif"},         {".png", "image/png"},
      {".jpg", "image/jpeg"},     {".jpeg", "image/jpeg"},       {".svg", "image/svg+xml"},
      {".ico", "image/x-icon"},   {".woff2", "font/woff2"},      {".webp", "image/webp"},
  };
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return "application/octet-stream";
  }
  std::string extension = ToLowerAscii(path.substr(dot));
  for (const Type& type : kTypes) {
    if (extension == type.extension) return type.type;
  }
  return "application/octet-stream";
}

}  // namespace glossator
