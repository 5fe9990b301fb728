// What the pages learn of each build, and where the reload script goes into a page.
#include "app/serve/reload_news.h"

#include <gtest/gtest.h>

namespace glossator {
namespace {

BuildNews News(std::vector<std::string> changed, std::vector<std::string> removed = {}) {
  BuildNews news;
  news.changed = std::move(changed);
  news.removed = std::move(removed);
  return news;
}

// The JSON of an event, from "data: " to the end of its line.
std::string Data(const std::string& event) {
  size_t at = event.find("data: ");
  return event.substr(at + 6, event.find('\n', at) - at - 6);
}

TEST(NewsHistory, APageLearnsEveryChangeSinceTheBuildItCameFrom) {
  NewsHistory history;
  EXPECT_EQ(Data(history.StateEvent(0)),
            "{\"build\":0,\"all\":false,\"changed\":[],\"removed\":[],\"problems\":[]}");
  EXPECT_EQ(history.Add(News({"A.html"})),
            "event: change\ndata: {\"build\":1,\"all\":false,\"changed\":[\"A.html\"],"
            "\"removed\":[],\"problems\":[]}\n\n");
  BuildNews troubled = News({"B.html", "A.html"}, {"Gone.html"});
  troubled.problems.push_back({"src/b.pas", 12, "pascal-syntax", "expected \"end\"\tthere", {}});
  history.Add(troubled);
  history.Add(News({"C.html"}));
  EXPECT_EQ(history.Current(), 3u);

  struct Case {
    uint64_t since;
    std::string data;
  };
  const Case cases[] = {
      // Served from the build before the last: only that build's change.
      {2, "{\"build\":3,\"all\":false,\"changed\":[\"C.html\"],\"removed\":[],\"problems\":[]}"},
      // Long ago: everything since, each once; no problems any more.
      {0,
       "{\"build\":3,\"all\":false,\"changed\":[\"A.html\",\"B.html\",\"C.html\"],"
       "\"removed\":[\"Gone.html\"],\"problems\":[]}"},
      {3, "{\"build\":3,\"all\":false,\"changed\":[],\"removed\":[],\"problems\":[]}"},
      // From a later build than there is (the server started again): anything may differ.
      {9, "{\"build\":3,\"all\":true,\"changed\":[],\"removed\":[],\"problems\":[]}"},
  };
  for (const Case& c : cases) EXPECT_EQ(Data(history.StateEvent(c.since)), c.data) << c.since;

  // The problems of the last build stay until the next one, made safe for JSON.
  NewsHistory troubles;
  troubles.Add(troubled);
  EXPECT_NE(Data(troubles.StateEvent(1))
                .find("\"problems\":[{\"file\":\"src/b.pas\",\"line\":12,"
                      "\"text\":\"expected \\\"end\\\"\\u0009there\"}]"),
            std::string::npos)
      << troubles.StateEvent(1);
}

TEST(NewsHistory, ForgetsOldBuildsAndThenTellsAll) {
  NewsHistory history;
  for (int build = 0; build < 100; ++build) history.Add(News({"P" + std::to_string(build)}));
  EXPECT_NE(Data(history.StateEvent(1)).find("\"all\":true"), std::string::npos);
  EXPECT_NE(Data(history.StateEvent(99)).find("\"changed\":[\"P99\"]"), std::string::npos);
  // Very many files: simply all.
  BuildNews many;
  for (int k = 0; k < 3000; ++k) many.changed.push_back("F" + std::to_string(k) + ".html");
  EXPECT_NE(history.Add(many).find("\"all\":true,\"changed\":[]"), std::string::npos);
}

TEST(ReloadScript, GoesBeforeTheLastBodyEndOrAtTheEnd) {
  const std::string script = ReloadScript(5);
  EXPECT_NE(script.find("/__glossator/events?since=5"), std::string::npos);
  EXPECT_EQ(script.find("BUILD"), std::string::npos);
  const std::pair<std::string, std::string> cases[] = {
      {"<p>x</p></body></html>", "<p>x</p>" + script + "</body></html>"},
      {"<p>x</p></BODY >\r\n", "<p>x</p>" + script + "</BODY >\r\n"},
      // A "</body>" in a comment earlier on stays before the script.
      {"<!-- </body> --><p>x</body>", "<!-- </body> --><p>x" + script + "</body>"},
      {"<frameset></frameset>", "<frameset></frameset>" + script},
      {"", script},
  };
  for (const auto& [page, served] : cases) EXPECT_EQ(WithReloadScript(page, 5), served) << page;
}

}  // namespace
}  // namespace glossator
