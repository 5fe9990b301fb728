#ifndef GLOSSATOR_APP_SERVE_SERVE_LOOP_H_
#define GLOSSATOR_APP_SERVE_SERVE_LOOP_H_

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/serve/change_batch.h"
#include "app/serve/folder_watcher.h"
#include "app/serve/live_build.h"
#include "app/serve/preview_server.h"

namespace glossator {

class Platform;

// The live preview at work: watches the inputs of the build, gathers each burst of changes into
// one rebuild, and tells the pages what it changed.
class ServeLoop {
 public:
  // None is owned. `log` (standard error) gets a line per rebuild; null for none.
  ServeLoop(LiveBuild& build, FolderWatcher& watcher, ReloadChannel& channel, Platform& platform,
            std::FILE* log);

  // Watches and rebuilds until `stop_fd` becomes readable (a signal arrived).
  void Run(int stop_fd);

  // Rebuilds after the changes `paths` and publishes the news; what Run does when a batch is
  // due. Returns whether anything was read.
  bool Rebuild(const std::vector<std::string>& paths);

  // The quiet window of a burst of changes, and the longest a burst is gathered.
  static constexpr std::chrono::milliseconds kQuiet{8};
  static constexpr std::chrono::milliseconds kLongest{40};

 private:
  void Watch();
  // After events were lost: everything is read again.
  void RebuildAll();
  void Publish(const BuildReport& report, std::chrono::steady_clock::duration took);

  LiveBuild& build_;
  FolderWatcher& watcher_;
  ReloadChannel& channel_;
  Platform& platform_;
  std::FILE* log_;
  WatchedInputs inputs_;
  uint64_t watched_version_ = UINT64_MAX;  // the build's InputsVersion() of inputs_
};

// "Shapes.html, index.html and 3 more": the first few names of a list, for a log line.
std::string FewNames(const std::vector<std::string>& names);

}  // namespace glossator

#endif  // GLOSSATOR_APP_SERVE_SERVE_LOOP_H_
