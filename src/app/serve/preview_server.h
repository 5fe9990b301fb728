#ifndef GLOSSATOR_APP_SERVE_PREVIEW_SERVER_H_
#define GLOSSATOR_APP_SERVE_PREVIEW_SERVER_H_

#include <memory>
#include <string>

#include "app/serve/reload_news.h"

namespace glossator {

// Where the live preview sends the news of each build: the pages that listen, or a test.
class ReloadChannel {
 public:
  virtual ~ReloadChannel() = default;
  // Numbers the news and tells every page that listens. Safe from any thread.
  virtual void Publish(BuildNews news) = 0;
};

// The HTTP server of the live preview: serves the output folder as RouteRequest says, adds the
// reload script to the HTML pages it sends, and keeps an event stream open for each page that
// listens. It runs libevent's evhttp on a thread of its own: one event loop for all
// connections, so that idle connections and slow readers hold no thread (see CMakeLists.txt).
// Every file is read when it is asked for, and the runs replace files by renaming, so a page is
// always whole. Answers carry "Cache-Control: no-cache" and an ETag: a reload asks again and
// gets 304 for what did not change.
class PreviewServer : public ReloadChannel {
 public:
  // Serves the folder `root`, which exists.
  explicit PreviewServer(const std::string& root);
  // Stops the loop and closes every connection.
  ~PreviewServer() override;
  PreviewServer(const PreviewServer&) = delete;
  PreviewServer& operator=(const PreviewServer&) = delete;

  // Listens on `address` (an IPv4 or IPv6 address) at `port`; when that port is taken and
  // `next_free` is set, at the first free one of the hundred after it. Port 0 takes any free
  // port. Returns the port. Throws std::runtime_error saying why it cannot listen.
  int Listen(const std::string& address, int port, bool next_free);
  // Starts the loop on its own thread. REQUIRES: Listen succeeded.
  void Start();
  void Publish(BuildNews news) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_PREVIEW_SERVER_H_
