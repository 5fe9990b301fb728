// What the live preview's server answers for each request target: only files inside its folder,
// however a target spells its way out.
#include "app/serve/http_route.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace glossator {
namespace {

namespace fs = std::filesystem;

class RouteTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("site/index.html", "home");
    folder_.Write("site/Unit.html", "unit");
    folder_.Write("site/a b.html", "spaced");
    folder_.Write("site/caf\xc3\xa9.html", "utf-8 name");
    folder_.Write("site/sub/index.html", "sub home");
    folder_.Write("site/sub/page.html", "sub page");
    folder_.Write("site/empty/.keep", "");
    folder_.Write("site/.glossator-tmp.html", "temporary");
    folder_.Write("secret.txt", "outside");
    fs::create_symlink("Unit.html", folder_.Path("site/link-in.html"));
    fs::create_symlink(folder_.Path("secret.txt"), folder_.Path("site/link-out.html"));
    fs::create_symlink("../secret.txt", folder_.Path("site/relative-out.html"));
    fs::create_symlink(folder_.Dir(), folder_.Path("site/up"));
    fs::create_symlink("sub", folder_.Path("site/sublink"));
    mkfifo(folder_.Path("site/pipe.html").c_str(), 0600);
    root_ = fs::canonical(folder_.Path("site")).string();
  }

  TempFolder folder_;
  std::string root_;
};

TEST_F(RouteTest, ServesFilesInsideTheFolderOnly) {
  struct Case {
    const char* method;
    const char* target;
    RouteKind kind;
    const char* file;  // kFile: relative to the folder
  };
  const Case cases[] = {
      {"GET", "/", RouteKind::kFile, "index.html"},
      {"HEAD", "/", RouteKind::kFile, "index.html"},
      {"GET", "/Unit.html", RouteKind::kFile, "Unit.html"},
      {"GET", "/Unit.html?x=1&y=../..#top", RouteKind::kFile, "Unit.html"},
      {"GET", "/Unit.html#frag", RouteKind::kFile, "Unit.html"},
      {"GET", "//Unit.html", RouteKind::kFile, "Unit.html"},
      {"GET", "/a%20b.html", RouteKind::kFile, "a b.html"},
      {"GET", "/caf%C3%A9.html", RouteKind::kFile, "caf\xc3\xa9.html"},
      {"GET", "/sub", RouteKind::kFile, "sub/index.html"},
      {"GET", "/sub/", RouteKind::kFile, "sub/index.html"},
      {"GET", "/sub/page.html", RouteKind::kFile, "sub/page.html"},
      {"GET", "/link-in.html", RouteKind::kFile, "Unit.html"},
      {"GET", "/sublink/page.html", RouteKind::kFile, "sub/page.html"},
      // The ways out, and what is no file.
      {"GET", "/../secret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/sub/../../secret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/%2e%2e/secret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/%2E%2E/secret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/.%2e/secret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/sub/./page.html", RouteKind::kNotFound, nullptr},
      {"GET", "/..%2fsecret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/..%2Fsecret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/sub%2fpage.html", RouteKind::kNotFound, nullptr},
      {"GET", "/..%5csecret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/..\\secret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/Unit.html%00.png", RouteKind::kNotFound, nullptr},
      {"GET", "/%zz", RouteKind::kNotFound, nullptr},
      {"GET", "/Unit.html%", RouteKind::kNotFound, nullptr},
      {"GET", "/link-out.html", RouteKind::kNotFound, nullptr},
      {"GET", "/relative-out.html", RouteKind::kNotFound, nullptr},
      {"GET", "/up/secret.txt", RouteKind::kNotFound, nullptr},
      {"GET", "/up/site/Unit.html", RouteKind::kNotFound, nullptr},
      {"GET", "/.glossator-tmp.html", RouteKind::kNotFound, nullptr},
      {"GET", "/empty/.keep", RouteKind::kNotFound, nullptr},
      {"GET", "/empty", RouteKind::kNotFound, nullptr},
      {"GET", "/pipe.html", RouteKind::kNotFound, nullptr},
      {"GET", "/missing.html", RouteKind::kNotFound, nullptr},
      {"GET", "Unit.html", RouteKind::kNotFound, nullptr},
      {"GET", "http://127.0.0.1/Unit.html", RouteKind::kNotFound, nullptr},
      {"GET", "*", RouteKind::kNotFound, nullptr},
      {"GET", "", RouteKind::kNotFound, nullptr},
      {"GET", "/etc/passwd", RouteKind::kNotFound, nullptr},
      {"POST", "/Unit.html", RouteKind::kMethodNotAllowed, nullptr},
      {"PUT", "/Unit.html", RouteKind::kMethodNotAllowed, nullptr},
      {"DELETE", "/Unit.html", RouteKind::kMethodNotAllowed, nullptr},
      {"OPTIONS", "*", RouteKind::kMethodNotAllowed, nullptr},
      {"get", "/Unit.html", RouteKind::kMethodNotAllowed, nullptr},
      // The event stream, with the build the page came from.
      {"GET", "/__glossator/events?since=3", RouteKind::kEvents, nullptr},
  };
  for (const Case& c : cases) {
    std::string label = std::string(c.method) + " " + c.target;
    Route route = RouteRequest(c.method, c.target, root_);
    EXPECT_EQ(route.kind, c.kind) << label;
    if (c.file != nullptr) {
      EXPECT_EQ(route.path, root_ + "/" + c.file) << label;
    }
  }
  EXPECT_EQ(RouteRequest("GET", "/__glossator/events?since=3", root_).query, "since=3");
}

TEST(ContentType, ByExtensionInAnyCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"a/Unit.html", "text/html"},
      {"legend.HTM", "text/html"},
      {"site.css", "text/css"},
      {"search-index.js", "text/javascript"},
      {"x.gif", "image/gif"},
      {"x.PNG", "image/png"},
      {"units.json", "application/json"},
      {"README", "application/octet-stream"},
      {"a.b/README", "application/octet-stream"},
      {"x.exe", "application/octet-stream"},
  };
  for (const auto& [path, type] : cases) EXPECT_EQ(ContentType(path), type) << path;
}

TEST(PercentDecode, DecodesEscapesAndRefusesBrokenOnes) {
  std::string out;
  EXPECT_TRUE(PercentDecode("/a%20b%2Fc+d", out));
  EXPECT_EQ(out, "/a b/c+d");
  for (const char* broken : {"%", "%2", "%g0", "a%0"}) {
    EXPECT_FALSE(PercentDecode(broken, out)) << broken;
  }
}

}  // namespace
}  // namespace glossator
