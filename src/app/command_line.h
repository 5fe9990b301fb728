#ifndef GLOSSATOR_APP_COMMAND_LINE_H_
#define GLOSSATOR_APP_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace glossator {

// What the command line asks for.
struct CommandLineParameters {
  std::string init_dir;      // "-i": starting folder of the open and save dialogs
  std::string project_file;  // "-p": selection file to load at start-up
  bool debug_mode = false;   // "-d": write the tree dump on every run
  bool batch = false;        // "-b": run the selection file once, without the window, and end
  bool help = false;         // "--help"
  bool version = false;      // "--version"
};

// Reads the arguments (without the program name). The four switches match whole arguments in
// any letter case; "--help" and "--version" match as written. The argument after "-i" or "-p" is
// its value, and is then read as a switch too. A later switch overrides an earlier one; anything
// else is ignored.
//
//   -P sel.gls -B   => project_file "sel.gls", batch
//   -p -b           => project_file "-b", batch
//   -i              => init_dir ""
//   -ifoo /i x      => nothing
CommandLineParameters ParseCommandLine(const std::vector<std::string>& args);

// The text "--help" prints: what the program does and one line per switch.
std::string UsageText();

}  // namespace glossator

#endif  // GLOSSATOR_APP_COMMAND_LINE_H_
