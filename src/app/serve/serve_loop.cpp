#include "app/serve/serve_loop.h"

#include <poll.h>

#include <cerrno>

#include "base/errors.h"
#include "base/platform.h"

namespace glossator {

ServeLoop::ServeLoop(LiveBuild& build, FolderWatcher& watcher, ReloadChannel& channel,
                     Platform& platform, std::FILE* log)
    : build_(build), watcher_(watcher), channel_(channel), platform_(platform), log_(log) {}

void ServeLoop::Watch() {
  // The inputs of thousands of units take milliseconds to gather: only when they may differ.
  if (build_.InputsVersion() == watched_version_) return;
  watched_version_ = build_.InputsVersion();
  inputs_ = build_.Inputs();
  watcher_.WatchOnly(FoldersToWatch(inputs_));
}

void ServeLoop::Run(int stop_fd) {
  using Clock = ChangeBatch::Clock;
  Watch();
  ChangeBatch batch(kQuiet, kLongest);
  for (;;) {
    Clock::duration wait = batch.Wait(Clock::now());
    int timeout = -1;
    if (wait != Clock::duration::max()) {
      // Rounded up: a poll that ends a little early would only wait again.
      timeout = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
    }
    pollfd fds[2] = {{watcher_.Descriptor(), POLLIN, 0}, {stop_fd, POLLIN, 0}};
    if (poll(fds, 2, timeout) < 0 && errno != EINTR) return;
    if (fds[1].revents != 0) return;
    if (fds[0].revents != 0) {
      bool lost = false;
      for (const FolderEvent& event : watcher_.TakeEvents()) {
        lost = lost || event.overflow;
        if (!event.overflow && Matters(inputs_, event.path)) batch.Add(Clock::now(), event.path);
      }
      if (lost) {
        batch.Take();
        RebuildAll();
        continue;
      }
    }
    if (!batch.Empty() && batch.Wait(Clock::now()) == Clock::duration::zero()) {
      Rebuild(batch.Take());
    }
  }
}

bool ServeLoop::Rebuild(const std::vector<std::string>& paths) {
  auto start = std::chrono::steady_clock::now();
  BuildReport report = build_.Rebuild(paths, platform_);
  auto took = std::chrono::steady_clock::now() - start;
  // The folder to watch may have changed even when nothing was read (a new folder of units).
  Watch();
  if (report.read.empty() && report.change.written.empty() && report.change.removed.empty() &&
      report.problems.empty()) {
    return false;
  }
  Publish(report, took);
  return true;
}

void ServeLoop::RebuildAll() {
  auto start = std::chrono::steady_clock::now();
  BuildReport report;
  try {
    report = build_.BuildAll(platform_);
  } catch (const std::exception& error) {
    std::string text = error.what();
    if (const auto* glos = dynamic_cast<const GlosError*>(&error)) text = glos->Describe();
    platform_.ShowMessage(text);
    report.failed = true;
    report.problems.push_back(Warning{"", 0, "error", text, {}});
  }
  Watch();
  Publish(report, std::chrono::steady_clock::now() - start);
}

void ServeLoop::Publish(const BuildReport& report, std::chrono::steady_clock::duration took) {
  if (log_ != nullptr) {
    const FolderChange& change = report.change;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    std::string line = "glossator: " + std::to_string(report.read.size()) + " read, " +
                       std::to_string(change.written.size()) + " written";
    if (!change.written.empty()) line += " (" + FewNames(change.written) + ")";
    line += ", " + std::to_string(change.removed.size()) + " removed";
    if (!change.removed.empty()) line += " (" + FewNames(change.removed) + ")";
    line += " in " + std::to_string(ms) + " ms";
    if (report.failed) line += "; the last state that could be made stays";
    std::fprintf(log_, "%s\n", line.c_str());
    std::fflush(log_);
  }
  BuildNews news;
  news.all = report.all_files && report.change.written.size() > 2000;
  news.changed = report.change.written;
  news.removed = report.change.removed;
  news.problems = report.problems;
  channel_.Publish(std::move(news));
}

std::string FewNames(const std::vector<std::string>& names) {
  constexpr size_t kShown = 3;
  std::string text;
  for (size_t i = 0; i < names.size() && i < kShown; ++i) {
    if (i > 0) text += ", ";
    text += names[i];
  }
  if (names.size() > kShown) text += " and " + std::to_string(names.size() - kShown) + " more";
  return text;
}

}  // namespace glossator
