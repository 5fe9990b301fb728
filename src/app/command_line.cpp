#include "app/command_line.h"

#include "model/text_rules.h"

namespace glossator {

CommandLineParameters ParseCommandLine(const std::vector<std::string>& args) {
  CommandLineParameters parameters;
  // A value is not skipped: "-p -b" names the file "-b" and switches batch mode on as well.
  auto value_after = [&args](size_t i) { return i + 1 < args.size() ? args[i + 1] : ""; };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string word = ToLowerAscii(args[i]);
    if (word == "-i") {
      parameters.init_dir = value_after(i);
    } else if (word == "-p") {
      parameters.project_file = value_after(i);
    } else if (word == "-d") {
      parameters.debug_mode = true;
    } else if (word == "-b") {
      parameters.batch = true;
    } else if (args[i] == "--help") {
      parameters.help = true;
    } else if (args[i] == "--version") {
      parameters.version = true;
    }
  }
  return parameters;
}

std::string UsageText() {
  return "Usage: glossator [-i folder] [-p selection.gls] [-d] [-b]\n"
         "Writes frame-based HTML documentation for Object Pascal units.\n"
         "  -i folder      start the file dialogs in this folder\n"
         "  -p file        load this selection file at start-up\n"
         "  -d             also write the documentation tree as glosdata.xml\n"
         "  -b             batch mode: run the selection file without the window, then end\n"
         "  --help         show this text and end\n"
         "  --version      show the version and end\n";
}

}  // namespace glossator
