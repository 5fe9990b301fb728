#ifndef GLOSSATOR_APP_COMMAND_LINE_H_
#define GLOSSATOR_APP_COMMAND_LINE_H_

#include <optional>
#include <string>
#include <vector>

namespace glossator {

// What the command line asks for.
struct CommandLineParameters {
  std::string init_dir;      // "-i": starting folder of the open and save dialogs
  std::string project_file;  // "-p": selection file to load at start-up
  bool debug_mode = false;   // "-d": write the tree dump on every run
  bool batch = false;        // "-b": run the selection file once, without the window, and end
  bool help = false;         // "--help", "-h"
  bool version = false;      // "--version"

  std::vector<std::string> paths;               // PATH arguments: what a PATH run documents
  std::optional<std::string> output_dir;        // "-o", "--output"
  std::optional<std::string> description_file;  // "--description"
  std::optional<std::string> menubar_file;      // "--menubar"
  bool parse_private = false;                   // "--private"
  std::string dump_file;                        // "--dump": where the tree dump goes
  std::string save_selection;                   // "--save-selection": write the run as a .gls
  bool no_run = false;                          // "--no-run": only write that file
  bool quiet = false;                           // "-q", "--quiet": no progress, no summary
  bool strict = false;                          // "--strict": a warning fails the run
  bool coverage = false;                        // "--coverage": print the coverage table
  std::optional<double> fail_under;             // "--fail-under": the least total share, %
  int jobs = 0;                                 // "-j", "--jobs": threads; 0 means the default
  std::optional<std::string> reader;            // "--reader": "lines" or "pascal"
  std::optional<std::string> style;             // "--style": "frames" or "site"
  std::string json_file;                        // "--json": write the units as JSON
  std::vector<std::string> defines;             // "--define=SYM", "-DSYM": for the Pascal reader
  std::vector<std::string> include_dirs;        // "--include=DIR", "-IDIR": its include folders
  std::optional<std::string> compiler;          // "--compiler": "fpc" or "delphi"
  std::optional<std::string> comments;          // "--comments": "doc" or "any"
  std::optional<std::string> title;             // "--title": the site's title
  std::string source_url;                       // "--source-url": links to the sources
  bool serve = false;                           // "serve" as the first argument: live preview
  std::optional<int> port;                      // "--port": serve's port (default 8000)
  std::string bind_address;                     // "--bind": where serve listens (127.0.0.1)
  bool open_browser = false;                    // "--open": serve opens the browser
  // Set when the arguments are refused: the message, without the program name in front.
  std::string error;
};

// Reads the arguments (without the program name), in two vocabularies at once.
//
// The four switches "-i", "-p", "-d", "-b" match whole arguments in any letter case. The
// argument after "-i" or "-p" is its value, and is then read as one of these switches (or
// "--help", "--version") too; a value is never a PATH and never an error. A later switch
// overrides an earlier one.
//
//   -P sel.gls -B   => project_file "sel.gls", batch
//   -p -b           => project_file "-b", batch
//   -i              => init_dir ""
//
// The other options follow GNU conventions and match as written: "--output DIR" or
// "--output=DIR", "-o DIR" or "-oDIR", "--" ends the options. "-DSYM" and "-IDIR" (joined, as a
// compiler takes them) define a symbol and add an include folder; "-D" and "-I" alone are the
// switches above. Every other argument starting with "-" (but "-" alone) is refused, and so is
// "-p" together with PATHs.
//
// "serve" as the first argument asks for the live preview: PATHs and the options of a run, and
// "--port", "--bind" and "--open", which mean nothing without it. The options that write other
// files or report on a finished run ("--dump", "-d", "--json", "--save-selection", "--no-run",
// "--coverage", "--fail-under", "--strict"), "-p" and "-b" are refused with it, and it needs a
// PATH.
//
//   -o doc src/        => output_dir "doc", paths {"src/"}
//   -- -odd.pas        => paths {"-odd.pas"}
//   serve -o doc src/  => serve, output_dir "doc", paths {"src/"}
//   -x                 => error "unrecognized option '-x'"
//   --output           => error "option '--output' requires an argument"
CommandLineParameters ParseCommandLine(const std::vector<std::string>& args);

// Whether the command line asks for a run without the window: "-b", PATHs, or a selection file
// to write (and not the live preview).
bool WantsBatchRun(const CommandLineParameters& parameters);

// The text "--help" prints: how to call the program and one line per option.
std::string UsageText();

// The second line of every refusal of the arguments.
inline constexpr const char* kTryHelp = "Try 'glossator --help' for more information.";

}  // namespace glossator

#endif  // GLOSSATOR_APP_COMMAND_LINE_H_
