// Program entry: reads the command line and either runs a selection file in batch mode or opens
// the window.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/console_platform.h"

#ifndef GLOSSATOR_VERSION
#define GLOSSATOR_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  using namespace glossator;
  CommandLineParameters parameters = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (parameters.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (parameters.version) {
    std::printf("glossator %s\n", GLOSSATOR_VERSION);
    return 0;
  }
  try {
    Selection selection = ApplyCommandLine(parameters);
    if (parameters.batch) {
      ConsolePlatform platform;
      ConsolePlatform::CatchInterrupt();
      return RunBatch(parameters, selection, platform);
    }
    std::fputs("glossator: this build has no window; run a selection file with -p FILE -b\n",
               stderr);
    return kExitRejected;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "glossator: %s\n", error.what());
    return kExitError;
  }
}
