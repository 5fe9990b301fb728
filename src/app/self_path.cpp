#include "app/self_path.h"

#include <sys/stat.h>

#include <filesystem>

namespace glossator {

bool IsRunningProgram(const std::string& path) {
  // /proc/self/exe leads to the running program's inode even when its file was deleted.
  struct stat running, named;
  return !path.empty() && stat("/proc/self/exe", &running) == 0 &&
         stat(path.c_str(), &named) == 0 && running.st_dev == named.st_dev &&
         running.st_ino == named.st_ino;
}

std::string RunningProgramPath() {
  std::error_code error;
  std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
  return !error && IsRunningProgram(path) ? path : std::string();
}

}  // namespace glossator
