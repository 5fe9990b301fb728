#include "app/serve/preview_server.h"

#include <arpa/inet.h>
#include <event2/buffer.h>
#include <event2/event.h>
#include <event2/http.h>
#include <event2/keyvalq_struct.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <list>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/serve/http_route.h"
#include "html/site/static_files.h"

namespace glossator {

namespace {

// A page's event stream, open until the page goes.
struct Listener {
  evhttp_request* request;
  evhttp_connection* connection;
};

// Idle connections are closed after this; an event stream is kept alive by a comment sent
// more often than that.
constexpr int kTimeoutSeconds = 60;
constexpr int kPingSeconds = 20;

std::string Etag(const struct stat& st, bool with_script) {
  std::string tag = "\"";
  tag.append(std::to_string(st.st_ino)).append("-").append(std::to_string(st.st_size));
  tag.append("-").append(std::to_string(st.st_mtim.tv_sec)).append(".");
  tag.append(std::to_string(st.st_mtim.tv_nsec)).append(with_script ? "-live\"" : "\"");
  return tag;
}

// The build a page was served from: "since=12" => 12.
uint64_t SinceOf(const std::string& query) {
  size_t at = query.find("since=");
  if (at == std::string::npos) return 0;
  return std::strtoull(query.c_str() + at + 6, nullptr, 10);
}

bool ReadAll(int fd, size_t size, std::string& bytes) {
  bytes.resize(size);
  size_t done = 0;
  while (done < size) {
    ssize_t got = read(fd, bytes.data() + done, size - done);
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  bytes.resize(done);
  return done == size;
}

}  // namespace

struct PreviewServer::Impl {
  std::string root;
  event_base* base = nullptr;
  evhttp* http = nullptr;
  event* wake = nullptr;
  event* ping = nullptr;
  int wake_fd = -1;
  std::thread thread;
  std::mutex mutex;
  std::vector<BuildNews> queue;  // guarded by mutex
  bool stopping = false;         // guarded by mutex
  // The loop thread's own.
  NewsHistory history;
  std::list<Listener> listeners;

  void Handle(evhttp_request* request);
  void SendFile(evhttp_request* request, const std::string& path, bool head);
  std::string CacheControl(const std::string& path) const;
  void SendNotFound(evhttp_request* request, bool head);
  void OpenStream(evhttp_request* request, const std::string& query);
  void SendToAll(const std::string& text);
  void TakeQueue();
};

PreviewServer::PreviewServer(const std::string& root) : impl_(std::make_unique<Impl>()) {
  std::unique_ptr<char, decltype(&std::free)> real(realpath(root.c_str(), nullptr), &std::free);
  impl_->root = real ? std::string(real.get()) : root;
  impl_->base = event_base_new();
  impl_->http = evhttp_new(impl_->base);
  if (impl_->base == nullptr || impl_->http == nullptr) {
    throw std::runtime_error("cannot start the HTTP server");
  }
  // Every method reaches the handler, which answers all but GET and HEAD with 405.
  evhttp_set_allowed_methods(impl_->http, EVHTTP_REQ_GET | EVHTTP_REQ_POST | EVHTTP_REQ_HEAD |
                                              EVHTTP_REQ_PUT | EVHTTP_REQ_DELETE |
                                              EVHTTP_REQ_OPTIONS | EVHTTP_REQ_TRACE |
                                              EVHTTP_REQ_CONNECT | EVHTTP_REQ_PATCH);
  evhttp_set_max_headers_size(impl_->http, 16384);
  evhttp_set_max_body_size(impl_->http, 65536);
  evhttp_set_timeout(impl_->http, kTimeoutSeconds);
  evhttp_set_gencb(
      impl_->http,
      [](evhttp_request* request, void* impl) { static_cast<Impl*>(impl)->Handle(request); },
      impl_.get());
  impl_->wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  impl_->wake = event_new(
      impl_->base, impl_->wake_fd, EV_READ | EV_PERSIST,
      [](evutil_socket_t, short, void* impl) { static_cast<Impl*>(impl)->TakeQueue(); },
      impl_.get());
  impl_->ping = event_new(
      impl_->base, -1, EV_PERSIST,
      [](evutil_socket_t, short, void* impl) { static_cast<Impl*>(impl)->SendToAll(": ping\n\n"); },
      impl_.get());
  event_add(impl_->wake, nullptr);
  timeval every{kPingSeconds, 0};
  event_add(impl_->ping, &every);
}

PreviewServer::~PreviewServer() {
  if (impl_->thread.joinable()) {
    {
      std::lock_guard lock(impl_->mutex);
      impl_->stopping = true;
    }
    uint64_t one = 1;
    if (write(impl_->wake_fd, &one, sizeof one) < 0) event_base_loopbreak(impl_->base);
    impl_->thread.join();
  }
  // Closing the connections calls back for each event stream, while the lists still stand.
  evhttp_free(impl_->http);
  event_free(impl_->wake);
  event_free(impl_->ping);
  event_base_free(impl_->base);
  close(impl_->wake_fd);
}

int PreviewServer::Listen(const std::string& address, int port, bool next_free) {
  in6_addr probe;
  if (inet_pton(AF_INET, address.c_str(), &probe) != 1 &&
      inet_pton(AF_INET6, address.c_str(), &probe) != 1) {
    throw std::runtime_error("cannot listen on '" + address + "': not an IP address");
  }
  int last = port == 0 || !next_free ? port : std::min(port + 100, 65535);
  for (int p = port; p <= last; ++p) {
    evhttp_bound_socket* socket =
        evhttp_bind_socket_with_handle(impl_->http, address.c_str(), static_cast<uint16_t>(p));
    if (socket == nullptr) continue;
    // Answers go out as soon as they are written: with Nagle's algorithm, the body written after
    // the head of an answer waited for the browser's delayed acknowledgement, some 40 ms a file.
    // Accepted connections take the option from the listening socket.
    int one = 1;
    setsockopt(evhttp_bound_socket_get_fd(socket), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_storage bound;
    socklen_t size = sizeof bound;
    getsockname(evhttp_bound_socket_get_fd(socket), reinterpret_cast<sockaddr*>(&bound), &size);
    if (bound.ss_family == AF_INET6)
      return ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  }
  throw std::runtime_error("cannot listen on " + address + " at port " + std::to_string(port) +
                           (last > port ? " or the 100 after it" : "") +
                           ": the port is taken or not allowed");
}

void PreviewServer::Start() {
  impl_->thread = std::thread([impl = impl_.get()] { event_base_dispatch(impl->base); });
}

void PreviewServer::Publish(BuildNews news) {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->queue.push_back(std::move(news));
  }
  uint64_t one = 1;
  // A full counter already wakes the loop.
  if (write(impl_->wake_fd, &one, sizeof one) < 0) return;
}

void PreviewServer::Impl::TakeQueue() {
  uint64_t count;
  if (read(wake_fd, &count, sizeof count) < 0) count = 0;
  std::vector<BuildNews> taken;
  bool stop;
  {
    std::lock_guard lock(mutex);
    taken.swap(queue);
    stop = stopping;
  }
  for (BuildNews& news : taken) SendToAll(history.Add(std::move(news)));
  if (stop) event_base_loopbreak(base);
}

void PreviewServer::Impl::SendToAll(const std::string& text) {
  for (const Listener& listener : listeners) {
    evbuffer* chunk = evbuffer_new();
    evbuffer_add(chunk, text.data(), text.size());
    evhttp_send_reply_chunk(listener.request, chunk);
    evbuffer_free(chunk);
  }
}

void PreviewServer::Impl::Handle(evhttp_request* request) {
  const char* method = "";
  switch (evhttp_request_get_command(request)) {
    case EVHTTP_REQ_GET:
      method = "GET";
      break;
    case EVHTTP_REQ_HEAD:
      method = "HEAD";
      break;
    default:
      method = "OTHER";
      break;
  }
  const char* uri = evhttp_request_get_uri(request);
  Route route = RouteRequest(method, uri == nullptr ? "" : uri, root);
  bool head = evhttp_request_get_command(request) == EVHTTP_REQ_HEAD;
  evkeyvalq* headers = evhttp_request_get_output_headers(request);
  switch (route.kind) {
    case RouteKind::kMethodNotAllowed: {
      // evhttp_send_error would drop the Allow header.
      static constexpr std::string_view kPage =
          "<!DOCTYPE html>\n<title>Method not allowed</title>\n<p>Only GET and HEAD.</p>\n";
      evhttp_add_header(headers, "Allow", "GET, HEAD");
      evhttp_add_header(headers, "Content-Type", "text/html; charset=utf-8");
      evhttp_add_header(headers, "Connection", "close");
      evbuffer* body = evbuffer_new();
      evbuffer_add(body, kPage.data(), kPage.size());
      evhttp_send_reply(request, 405, "Method Not Allowed", body);
      evbuffer_free(body);
      return;
    }
    case RouteKind::kNotFound:
      return SendNotFound(request, head);
    case RouteKind::kEvents:
      if (head) {
        evhttp_add_header(headers, "Content-Type", "text/event-stream");
        evhttp_send_reply(request, 200, "OK", nullptr);
        return;
      }
      return OpenStream(request, route.query);
    case RouteKind::kFile:
      return SendFile(request, route.path, head);
  }
}

// Pages and the scripts with data change with every build, so the browser asks each time
// whether its copy is still current. The site's style sheet and script are compiled into the
// program and never change while it serves: a reload takes them from the cache for a minute,
// without the two requests that would otherwise hold up every reloaded page. A new program on
// the same port shows its own after that minute at the latest.
std::string PreviewServer::Impl::CacheControl(const std::string& path) const {
  for (const StaticFile& file : SiteStaticFiles()) {
    if (path.size() == root.size() + 1 + file.name.size() && path.starts_with(root) &&
        path[root.size()] == '/' && path.ends_with(file.name)) {
      return "max-age=60";
    }
  }
  return "no-cache";
}

void PreviewServer::Impl::SendFile(evhttp_request* request, const std::string& path, bool head) {
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) close(fd);
    return SendNotFound(request, head);
  }
  std::string_view type = ContentType(path);
  bool html = type == "text/html";
  std::string etag = Etag(st, html);
  evkeyvalq* headers = evhttp_request_get_output_headers(request);
  evhttp_add_header(headers, "Content-Type", std::string(type).c_str());
  evhttp_add_header(headers, "Cache-Control", CacheControl(path).c_str());
  evhttp_add_header(headers, "X-Content-Type-Options", "nosniff");
  evhttp_add_header(headers, "ETag", etag.c_str());
  const char* match =
      evhttp_find_header(evhttp_request_get_input_headers(request), "If-None-Match");
  if (match != nullptr && etag == match) {
    close(fd);
    evhttp_send_reply(request, 304, "Not Modified", nullptr);
    return;
  }
  evbuffer* body = evbuffer_new();
  size_t length = static_cast<size_t>(st.st_size);
  if (html) {
    std::string bytes;
    bool whole = ReadAll(fd, length, bytes);
    close(fd);
    if (!whole) {
      evbuffer_free(body);
      return SendNotFound(request, head);
    }
    std::string page = WithReloadScript(bytes, history.Current());
    length = page.size();
    if (!head) evbuffer_add(body, page.data(), page.size());
  } else if (head || length == 0) {
    close(fd);
  } else {
    // The buffer owns the descriptor now, and sends the file as the client reads it.
    evbuffer_add_file(body, fd, 0, static_cast<ev_off_t>(length));
  }
  evhttp_add_header(headers, "Content-Length", std::to_string(length).c_str());
  evhttp_send_reply(request, 200, "OK", body);
  evbuffer_free(body);
}

void PreviewServer::Impl::SendNotFound(evhttp_request* request, bool head) {
  // With the reload script: a page that comes back (a class renamed back) reloads itself.
  std::string page = WithReloadScript(
      "<!DOCTYPE html>\n<html lang=en><meta charset=utf-8><title>Not found</title>\n"
      "<body><h1>Not found</h1><p>The documentation has no such file (any more).</p></body>\n"
      "</html>\n",
      history.Current());
  evkeyvalq* headers = evhttp_request_get_output_headers(request);
  evhttp_add_header(headers, "Content-Type", "text/html; charset=utf-8");
  evhttp_add_header(headers, "Cache-Control", "no-cache");
  evhttp_add_header(headers, "Content-Length", std::to_string(page.size()).c_str());
  evbuffer* body = evbuffer_new();
  if (!head) evbuffer_add(body, page.data(), page.size());
  evhttp_send_reply(request, 404, "Not Found", body);
  evbuffer_free(body);
}

void PreviewServer::Impl::OpenStream(evhttp_request* request, const std::string& query) {
  evkeyvalq* headers = evhttp_request_get_output_headers(request);
  evhttp_add_header(headers, "Content-Type", "text/event-stream");
  evhttp_add_header(headers, "Cache-Control", "no-cache");
  evhttp_send_reply_start(request, 200, "OK");
  evhttp_connection* connection = evhttp_request_get_connection(request);
  listeners.push_back({request, connection});
  evhttp_connection_set_closecb(
      connection,
      [](evhttp_connection* closed, void* impl) {
        static_cast<Impl*>(impl)->listeners.remove_if([closed](const Listener& listener) {
          if (listener.connection != closed) return false;
          // When the browser went away (a page reloads or closes), libevent has already taken
          // the unfinished stream off its connection and leaves it to us: ending it frees it.
          // When the server closes the connection itself, the stream is still on it and goes
          // with it.
          if (evhttp_request_get_connection(listener.request) == nullptr) {
            evhttp_send_reply_end(listener.request);
          }
          return true;
        });
      },
      this);
  std::string hello = "retry: 500\n\n" + history.StateEvent(SinceOf(query));
  evbuffer* chunk = evbuffer_new();
  evbuffer_add(chunk, hello.data(), hello.size());
  evhttp_send_reply_chunk(request, chunk);
  evbuffer_free(chunk);
}

}  // namespace glossator
