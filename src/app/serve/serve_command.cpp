#include "app/serve/serve_command.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/serve/folder_watcher.h"
#include "app/serve/live_build.h"
#include "app/serve/preview_server.h"
#include "app/serve/serve_loop.h"
#include "app/serve/serve_platform.h"
#include "base/errors.h"

extern char** environ;

namespace glossator {

namespace fs = std::filesystem;

namespace {

void Say(const std::string& line) { std::fprintf(stderr, "glossator: %s\n", line.c_str()); }

// Removes the temporary output folder however the command ends.
class FolderRemover {
 public:
  explicit FolderRemover(std::string folder) : folder_(std::move(folder)) {}
  ~FolderRemover() {
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }
  FolderRemover(const FolderRemover&) = delete;
  FolderRemover& operator=(const FolderRemover&) = delete;

 private:
  std::string folder_;
};

std::string CacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/glossator";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    throw std::runtime_error(
        "no folder for the documentation: set HOME or XDG_CACHE_HOME, or "
        "name one with -o");
  }
  return std::string(home) + "/.cache/glossator";
}

// A thousand connections and more may be open at once: as many descriptors as allowed.
void RaiseFileLimit() {
  rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

bool IsLoopback(const std::string& address) {
  in_addr v4;
  if (inet_pton(AF_INET, address.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  return address == "::1";
}

// Starts the browser and does not wait for it; it runs with the signals a program starts with.
void OpenBrowser(const std::string& url) {
  signal(SIGCHLD, SIG_IGN);  // no zombie when it ends
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child;
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
  if (posix_spawnp(&child, "xdg-open", &actions, &attributes, argv, environ) != 0) {
    Say("cannot start xdg-open; open " + url + " yourself");
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
}

std::string Url(const std::string& address, int port) {
  bool v6 = address.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port) + "/";
}

// The first build, as a batch run makes it: a refusal gives 2, an error 1.
int FirstBuild(LiveBuild& build, ServePlatform& platform) {
  auto start = std::chrono::steady_clock::now();
  BuildReport report;
  try {
    report = build.BuildAll(platform);
  } catch (const RefusedRun& refusal) {
    Say(refusal.what());
    return kExitRejected;
  } catch (const GlosError& error) {
    Say(error.Describe());
    return kExitError;
  } catch (const std::bad_alloc&) {
    Say(OutOfMemoryError().what());
    return kExitError;
  } catch (const std::exception& error) {
    Say(error.what());
    return kExitError;
  }
  if (report.failed) return kExitError;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char line[160];
  std::snprintf(line, sizeof line, "%zu files read, %zu written in %.2f s", report.read.size(),
                report.change.written.size(), seconds);
  Say(line);
  return kExitCompleted;
}

}  // namespace

std::string MakeServeFolder(const std::string& cache, const std::string& first_path,
                            std::string& temporary) {
  fs::create_directories(cache);
  std::string pattern = cache + "/serve-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a folder in " + cache);
  }
  temporary = pattern;
  fs::path first = NormalPath(first_path);
  std::error_code error;
  std::string name =
      fs::is_directory(first, error) ? first.filename().string() : first.stem().string();
  if (name.empty() || name[0] == '.') name = "docs";
  std::string folder = temporary + "/" + name;
  fs::create_directory(folder);
  return folder;
}

int RunServe(const CommandLineParameters& given) {
  CommandLineParameters parameters = given;
  // The signals that end the preview are read from a descriptor by the loop; blocked before any
  // thread starts, they stay blocked in all of them.
  sigset_t stops;
  sigemptyset(&stops);
  for (int stop : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, stop);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  signal(SIGPIPE, SIG_IGN);
  int stop_fd = signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
  RaiseFileLimit();

  std::string temporary;
  if (!parameters.output_dir) {
    try {
      parameters.output_dir = MakeServeFolder(CacheFolder(), parameters.paths.front(), temporary);
    } catch (const std::exception& error) {
      Say(error.what());
      return kExitError;
    }
  }
  FolderRemover remover(temporary);
  ServePlatform platform(stderr);
  LiveBuild build(parameters);
  if (int status = FirstBuild(build, platform); status != kExitCompleted) return status;

  const std::string& out_dir = build.GetSelection().out_dir;
  std::string address = parameters.bind_address.empty() ? "127.0.0.1" : parameters.bind_address;
  int asked = parameters.port.value_or(8000);
  try {
    PreviewServer server(out_dir);
    int port = server.Listen(address, asked, true);
    if (asked != 0 && port != asked) {
      Say("port " + std::to_string(asked) + " is taken; serving at port " + std::to_string(port));
    }
    if (!IsLoopback(address)) {
      Say("warning: listening on " + address +
          ": whoever reaches this machine there can read the documentation");
    }
    std::unique_ptr<FolderWatcher> watcher = MakeInotifyWatcher();
    server.Start();
    std::string url = Url(address, port);
    std::printf("Serving %s at %s\n", out_dir.c_str(), url.c_str());
    std::fflush(stdout);
    if (parameters.open_browser) OpenBrowser(url);
    ServeLoop loop(build, *watcher, server, platform, stderr);
    loop.Run(stop_fd);
  } catch (const std::exception& error) {
    Say(error.what());
    return kExitError;
  }
  close(stop_fd);
  Say("stopped");
  return kExitCompleted;
}

}  // namespace glossator
