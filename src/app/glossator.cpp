// Program entry. Batch mode ("-b", or PATHs to document) runs here, without any window; otherwise
// the desktop window, which lives in the program "glossator-window" beside this one, takes over.
// The split keeps the window toolkit out of batch runs: they start quickly, use little memory and
// need no display.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/command_line.h"

namespace {

// The window program: beside this one in the build folder, in its own folder when installed.
std::string WindowProgram() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::string();
  for (const std::filesystem::path& folder :
       {self.parent_path(), self.parent_path() / GLOSSATOR_WINDOW_FROM_BIN}) {
    std::string program = (folder / "glossator-window").lexically_normal().string();
    if (access(program.c_str(), X_OK) == 0) return program;
  }
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace glossator;
  CommandLineParameters parameters =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (WantsBatchRun(parameters) || parameters.help || parameters.version ||
      !parameters.error.empty()) {
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
