// The folder watcher on Linux's inotify.
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include "app/serve/folder_watcher.h"

namespace glossator {

namespace {

constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE |
                             IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                             IN_ONLYDIR;

class InotifyWatcher : public FolderWatcher {
 public:
  InotifyWatcher() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error(std::string("cannot watch files: ") + strerror(errno));
  }
  ~InotifyWatcher() override { close(fd_); }

  void WatchOnly(const std::set<std::string>& folders) override {
    for (auto it = watch_of_.begin(); it != watch_of_.end();) {
      if (folders.count(it->first) != 0) {
        ++it;
        continue;
      }
      inotify_rm_watch(fd_, it->second);
      folder_of_.erase(it->second);
      it = watch_of_.erase(it);
    }
    for (const std::string& folder : folders) {
      if (watch_of_.count(folder) != 0) continue;
      int watch = inotify_add_watch(fd_, folder.c_str(), kEvents);
      if (watch < 0) continue;
      // One folder under two names is watched once, by the first.
      if (!folder_of_.emplace(watch, folder).second) continue;
      watch_of_[folder] = watch;
    }
  }

  int Descriptor() const override { return fd_; }

  std::vector<FolderEvent> TakeEvents() override {
    std::vector<FolderEvent> events;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
      ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got <= 0) break;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        Take(*event, events);
      }
    }
    return events;
  }

 private:
  void Take(const inotify_event& event, std::vector<FolderEvent>& events) {
    if (event.mask & IN_Q_OVERFLOW) {
      events.push_back({"", true});
      return;
    }
    auto folder = folder_of_.find(event.wd);
    if (folder == folder_of_.end()) return;
    std::string path = folder->second;
    if (event.len > 0 && event.name[0] != '\0') path.append("/").append(event.name);
    if (event.mask & IN_IGNORED) {
      // The folder is gone, or its watch was removed.
      watch_of_.erase(folder->second);
      folder_of_.erase(folder);
    }
    events.push_back({std::move(path), false});
  }

  int fd_;
  std::unordered_map<std::string, int> watch_of_;
  std::unordered_map<int, std::string> folder_of_;
};

}  // namespace

std::unique_ptr<FolderWatcher> MakeInotifyWatcher() { return std::make_unique<InotifyWatcher>(); }

}  // namespace glossator
