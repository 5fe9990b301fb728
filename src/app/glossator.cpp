// Program entry. Batch mode ("-b", or PATHs to document) and the live preview ("serve") run
// here, without any window; otherwise the desktop window, which lives in the program
// "glossator-window" beside this one, takes over.
// The split keeps the window toolkit out of batch runs: they start quickly, use little memory and
// need no display.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/self_path.h"
#include "app/serve/serve_command.h"

namespace {

// The window program: beside this one in the build folder, in its own folder when installed.
std::string WindowProgram() {
  std::filesystem::path self = glossator::RunningProgramPath();
  if (self.empty()) return std::string();
  for (const std::filesystem::path& folder :
       {self.parent_path(), self.parent_path() / GLOSSATOR_WINDOW_FROM_BIN}) {
    std::string program = (folder / "glossator-window").lexically_normal().string();
    if (access(program.c_str(), X_OK) == 0) return program;
  }
  return std::string();
}

// A batch run allocates a few hundred MB of small objects from several threads. With glibc's
// defaults the heaps grow in small steps and every 4 KB page faults in on its own, which costs
// about a sixth of a large run; transparent huge pages with 64 MB growth steps take most of that
// away. Blocks of up to 32 MB (the site's tables as they grow) come from the heaps too instead of
// mappings of their own: a mapping is new memory to clear each time a table doubles, and is given
// back when it is freed, while a heap block is used again by what comes next. glibc reads these
// settings only when a program starts, so the program starts itself once more with them. A
// GLIBC_TUNABLES already set (by the user, or by that start) is left alone. The program is started
// by its real path: the kernel names a process after the file it was started from, and started as
// "/proc/self/exe" it would show as "exe" to ps, top and killall. That path is used only when it
// still names the running program (same device and inode): when the program was deleted or replaced
// since it started, another file could stand there (even one named "glossator (deleted)"), and the
// run goes on without the restart. Under a limit on memory (ulimit -v or -d) the large growth steps
// would make the allocator fail long before the limit, so there is no restart either.
bool MemoryIsLimited() {
  for (int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    struct rlimit limit;
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur != RLIM_INFINITY) return true;
  }
  return false;
}

void TuneMemory(char** argv) {
  if (std::getenv("GLIBC_TUNABLES") != nullptr || MemoryIsLimited()) return;
  std::string self = glossator::RunningProgramPath();
  if (self.empty()) return;
  setenv(
      "GLIBC_TUNABLES",
      "glibc.malloc.hugetlb=1:glibc.malloc.top_pad=67108864:glibc.malloc.mmap_threshold=33554432",
      1);
  execv(self.c_str(), argv);
  unsetenv("GLIBC_TUNABLES");  // the start failed: go on as we are
}

}  // namespace

int main(int argc, char** argv) {
  using namespace glossator;
  CommandLineParameters parameters =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  // The live preview runs for long and keeps its memory small: no restart with larger heaps.
  if (parameters.serve && parameters.error.empty() && !parameters.help && !parameters.version) {
    return RunServe(parameters);
  }
  if (WantsBatchRun(parameters) || parameters.help || parameters.version ||
      !parameters.error.empty()) {
    if (WantsBatchRun(parameters) && parameters.error.empty()) TuneMemory(argv);
    return RunWithoutWindow(parameters);
  }
  std::string window = WindowProgram();
  if (!window.empty()) {
    argv[0] = window.data();
    execv(window.c_str(), argv);
  }
  std::fputs(
      "glossator: the window is not available in this build; document units with "
      "'glossator -o DIR PATH...'\n",
      stderr);
  return kExitRejected;
}
