#include "app/command_line.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <string_view>

#include "model/text_rules.h"

namespace glossator {

namespace {

using Setter = std::function<void(CommandLineParameters&, std::string)>;

// The GNU options. Those with `takes_value` read it from "--name=VALUE" or the next argument.
struct LongOption {
  std::string_view name;
  char short_name;  // 0: none
  bool takes_value;
  Setter set;
};

// "--fail-under PCT": a percentage from 0 to 100, "%" allowed behind it.
void SetFailUnder(CommandLineParameters& p, const std::string& value) {
  std::string number = value;
  if (!number.empty() && number.back() == '%') number.pop_back();
  size_t used = 0;
  double percent = -1;
  // Digits and one point only: no blanks on either side, no signs, exponents or hex.
  bool plain = !number.empty() && number.find_first_not_of("0123456789.") == std::string::npos;
  try {
    if (plain) percent = std::stod(number, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (!plain || used != number.size() || !(percent >= 0 && percent <= 100)) {
    if (p.error.empty()) {
      p.error = "invalid argument '" + value + "' for '--fail-under' (a percentage, 0 to 100)";
    }
    return;
  }
  p.fail_under = percent;
}

// "-j N": a whole number from 1 to 1024, in decimal.
void SetJobs(CommandLineParameters& p, std::string value) {
  int jobs = 0;
  bool digits = !value.empty() && value.size() <= 4 &&
                value.find_first_not_of("0123456789") == std::string::npos;
  if (digits) jobs = std::stoi(value);
  if (jobs < 1 || jobs > 1024) {
    if (p.error.empty()) {
      p.error = "invalid number of jobs '" + value + "' (a whole number from 1 to 1024)";
    }
    return;
  }
  p.jobs = jobs;
}

// "--port N": a whole number from 0 to 65535 (0: any free port), in decimal.
void SetPort(CommandLineParameters& p, const std::string& value) {
  bool digits = !value.empty() && value.size() <= 5 &&
                value.find_first_not_of("0123456789") == std::string::npos;
  int port = digits ? std::stoi(value) : -1;
  if (port < 0 || port > 65535) {
    if (p.error.empty()) {
      p.error = "invalid port '" + value + "' (a whole number from 0 to 65535)";
    }
    return;
  }
  p.port = port;
}

// "--dump FILE": a file name, or "-" for standard output.
void SetDumpFile(CommandLineParameters& p, std::string value) {
  if (value.empty()) {
    if (p.error.empty()) {
      p.error = "invalid argument '' for '--dump' (a file name, or - for standard output)";
    }
    return;
  }
  p.dump_file = std::move(value);
}

// An option whose value is one of a few words.
Setter OneOf(std::string_view option, std::vector<std::string_view> words,
             std::optional<std::string> CommandLineParameters::*field) {
  return [option, words, field](CommandLineParameters& p, std::string value) {
    if (std::find(words.begin(), words.end(), value) != words.end()) {
      p.*field = std::move(value);
      return;
    }
    if (!p.error.empty()) return;
    std::string allowed;
    for (size_t k = 0; k < words.size(); ++k) {
      if (k > 0) allowed += k + 1 == words.size() ? " or " : ", ";
      allowed += words[k];
    }
    p.error =
        "invalid argument '" + value + "' for '--" + std::string(option) + "' (" + allowed + ")";
  };
}

// An option whose value must not be empty.
Setter NonEmpty(std::string_view option, std::string_view what,
                std::function<void(CommandLineParameters&, std::string)> set) {
  return [option, what, set](CommandLineParameters& p, std::string value) {
    if (!value.empty()) return set(p, std::move(value));
    if (p.error.empty()) {
      p.error =
          "invalid argument '' for '--" + std::string(option) + "' (" + std::string(what) + ")";
    }
  };
}

const std::vector<LongOption>& LongOptions() {
  static const std::vector<LongOption> options = {
      {"output", 'o', true, [](auto& p, std::string v) { p.output_dir = std::move(v); }},
      {"private", 0, false, [](auto& p, std::string) { p.parse_private = true; }},
      {"description", 0, true, [](auto& p, std::string v) { p.description_file = std::move(v); }},
      {"menubar", 0, true, [](auto& p, std::string v) { p.menubar_file = std::move(v); }},
      {"dump", 0, true, SetDumpFile},
      {"save-selection", 0, true, [](auto& p, std::string v) { p.save_selection = std::move(v); }},
      {"no-run", 0, false, [](auto& p, std::string) { p.no_run = true; }},
      {"quiet", 'q', false, [](auto& p, std::string) { p.quiet = true; }},
      {"strict", 0, false, [](auto& p, std::string) { p.strict = true; }},
      {"coverage", 0, false, [](auto& p, std::string) { p.coverage = true; }},
      {"fail-under", 0, true, [](auto& p, std::string v) { SetFailUnder(p, v); }},
      {"jobs", 'j', true, SetJobs},
      {"reader", 0, true, OneOf("reader", {"lines", "pascal"}, &CommandLineParameters::reader)},
      {"style", 0, true, OneOf("style", {"frames", "site"}, &CommandLineParameters::style)},
      {"json", 0, true,
       NonEmpty("json", "a file name", [](auto& p, std::string v) { p.json_file = std::move(v); })},
      {"define", 0, true,
       NonEmpty("define", "a symbol, or SYMBOL=VALUE",
                [](auto& p, std::string v) { p.defines.push_back(std::move(v)); })},
      {"include", 0, true,
       NonEmpty("include", "a folder",
                [](auto& p, std::string v) { p.include_dirs.push_back(std::move(v)); })},
      {"compiler", 0, true, OneOf("compiler", {"fpc", "delphi"}, &CommandLineParameters::compiler)},
      {"comments", 0, true, OneOf("comments", {"doc", "any"}, &CommandLineParameters::comments)},
      {"title", 0, true, [](auto& p, std::string v) { p.title = std::move(v); }},
      {"source-url", 0, true,
       NonEmpty("source-url", "a pattern with {path} and {line}",
                [](auto& p, std::string v) { p.source_url = std::move(v); })},
      {"port", 0, true, [](auto& p, std::string v) { SetPort(p, v); }},
      {"bind", 0, true,
       NonEmpty("bind", "an IP address",
                [](auto& p, std::string v) { p.bind_address = std::move(v); })},
      {"open", 0, false, [](auto& p, std::string) { p.open_browser = true; }},
      {"help", 'h', false, [](auto& p, std::string) { p.help = true; }},
      {"version", 0, false, [](auto& p, std::string) { p.version = true; }},
  };
  return options;
}

const LongOption* FindLong(std::string_view name) {
  for (const LongOption& option : LongOptions()) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

const LongOption* FindShort(char name) {
  for (const LongOption& option : LongOptions()) {
    if (option.short_name == name) return &option;
  }
  return nullptr;
}

class Reader {
 public:
  explicit Reader(const std::vector<std::string>& args) : args_(args) {}

  CommandLineParameters Read() {
    size_t first = 0;
    if (!args_.empty() && args_[0] == "serve") {
      p_.serve = true;
      first = 1;
    }
    for (i_ = first; i_ < args_.size(); ++i_) {
      const std::string& arg = args_[i_];
      bool is_value = value_at_ == i_;
      if (ReadSwitch(arg)) continue;
      if (is_value) continue;  // the value of "-i" or "-p", nothing more
      if (options_ended_ || arg.size() < 2 || arg[0] != '-') {
        p_.paths.push_back(arg);
      } else if (arg == "--") {
        options_ended_ = true;
      } else if (arg[1] == '-') {
        ReadLong(arg.substr(2));
      } else if ((arg[1] == 'D' || arg[1] == 'I') && arg.size() > 2) {
        // "-DFPC", "-Iinclude": joined to its value, as a compiler takes it.
        (arg[1] == 'D' ? p_.defines : p_.include_dirs).push_back(arg.substr(2));
      } else {
        ReadShort(arg);
      }
    }
    if (project_given_ && !p_.paths.empty())
      Refuse("-p cannot be used together with PATH arguments");
    if (p_.no_run && p_.save_selection.empty())
      Refuse("option '--no-run' needs '--save-selection FILE': without it there is nothing to do");
    CheckServe();
    return std::move(p_);
  }

 private:
  // The four switches of the selection-file workflow, and "--help" and "--version", which a
  // value may also be.
  bool ReadSwitch(const std::string& arg) {
    if (options_ended_) return false;
    const std::string word = ToLowerAscii(arg);
    if (word == "-i") {
      p_.init_dir = ValueAfter();
    } else if (word == "-p") {
      p_.project_file = ValueAfter();
      project_given_ = true;
    } else if (word == "-d") {
      p_.debug_mode = true;
    } else if (word == "-b") {
      p_.batch = true;
    } else if (arg == "--help") {
      p_.help = true;
    } else if (arg == "--version") {
      p_.version = true;
    } else {
      return false;
    }
    return true;
  }

  // The next argument, marked as a value; empty text at the end.
  std::string ValueAfter() {
    if (i_ + 1 >= args_.size()) return "";
    value_at_ = i_ + 1;
    return args_[i_ + 1];
  }

  void ReadLong(std::string_view text) {
    size_t eq = text.find('=');
    std::string_view name = text.substr(0, eq);
    const LongOption* option = FindLong(name);
    if (option == nullptr) return Refuse("unrecognized option '--" + std::string(text) + "'");
    const std::string shown = "'--" + std::string(name) + "'";
    if (!option->takes_value) {
      if (eq != std::string_view::npos)
        return Refuse("option " + shown + " doesn't allow an argument");
      return option->set(p_, "");
    }
    if (eq != std::string_view::npos) return option->set(p_, std::string(text.substr(eq + 1)));
    if (i_ + 1 >= args_.size()) return Refuse("option " + shown + " requires an argument");
    option->set(p_, args_[++i_]);
  }

  // "-o DIR", "-oDIR", "-h". Letters do not combine: "-hd" is no option.
  void ReadShort(const std::string& arg) {
    const LongOption* option = FindShort(arg[1]);
    if (option == nullptr || (!option->takes_value && arg.size() > 2)) {
      return Refuse("unrecognized option '" + arg + "'");
    }
    if (!option->takes_value) return option->set(p_, "");
    if (arg.size() > 2) return option->set(p_, arg.substr(2));
    if (i_ + 1 >= args_.size()) {
      return Refuse(std::string("option requires an argument -- '") + arg[1] + "'");
    }
    option->set(p_, args_[++i_]);
  }

  // The options that only the live preview takes, and those it does not.
  void CheckServe() {
    if (!p_.serve) {
      const char* option = p_.port                    ? "--port"
                           : !p_.bind_address.empty() ? "--bind"
                           : p_.open_browser          ? "--open"
                                                      : nullptr;
      if (option != nullptr) {
        Refuse("option '" + std::string(option) + "' works only with 'glossator serve'");
      }
      return;
    }
    if (project_given_) Refuse("serve cannot load -p; name the selection file as a PATH");
    const std::pair<bool, const char*> refused[] = {
        {p_.batch, "-b"},
        {p_.debug_mode, "-d"},
        {!p_.dump_file.empty(), "--dump"},
        {!p_.json_file.empty(), "--json"},
        {!p_.save_selection.empty(), "--save-selection"},
        {p_.no_run, "--no-run"},
        {p_.coverage, "--coverage"},
        {p_.fail_under.has_value(), "--fail-under"},
        {p_.strict, "--strict"},
    };
    for (const auto& [given, option] : refused) {
      if (given) Refuse("option '" + std::string(option) + "' cannot be used with serve");
    }
    if (p_.paths.empty() && !p_.help && !p_.version) Refuse("serve needs a PATH to document");
  }

  // The first refusal is the one reported.
  void Refuse(const std::string& message) {
    if (p_.error.empty()) p_.error = message;
  }

  const std::vector<std::string>& args_;
  CommandLineParameters p_;
  size_t i_ = 0;
  size_t value_at_ = static_cast<size_t>(-1);
  bool options_ended_ = false;
  bool project_given_ = false;
};

}  // namespace

CommandLineParameters ParseCommandLine(const std::vector<std::string>& args) {
  return Reader(args).Read();
}

bool WantsBatchRun(const CommandLineParameters& parameters) {
  if (parameters.serve) return false;
  return parameters.batch || !parameters.paths.empty() || !parameters.save_selection.empty() ||
         parameters.no_run;
}

std::string UsageText() {
  return "Usage: glossator [OPTIONS] PATH...\n"
         "  or:  glossator serve [OPTIONS] PATH...\n"
         "  or:  glossator [-p selection.gls] [-b] [-d] [-i folder]\n"
         "Writes frame-based HTML documentation for Object Pascal units.\n"
         "\n"
         "PATH is a unit file, a folder (its *.pas and *.pp files, searched recursively), a\n"
         "Lazarus package or project (.lpk, .lpi), a Delphi project or package (.dpr, .dpk)\n"
         "or a selection file (.gls). With PATHs the program runs once, without the window.\n"
         "\n"
         "  -o, --output DIR          write the documentation into DIR (created when missing)\n"
         "      --private             include private members\n"
         "      --description FILE    show this HTML page first instead of a default one\n"
         "      --menubar FILE        use this HTML page as the menu bar\n"
         "      --dump FILE           also write the documentation tree as XML into FILE\n"
         "                            (- for standard output)\n"
         "      --save-selection FILE write the run as a selection file, then run it\n"
         "      --no-run              with --save-selection: only write the file\n"
         "  -q, --quiet               no progress and no summary; warnings and errors stay\n"
         "      --strict              end with status 3 when there was any warning\n"
         "      --coverage            print how much of each unit is documented\n"
         "      --fail-under PCT      end with status 3 when less than PCT % is documented\n"
         "  -j, --jobs N              use N threads (default: GLOSSATOR_JOBS or one per core)\n"
         "      --reader NAME         lines (the line rules) or pascal (reads the interface as a\n"
         "                            compiler does: records, enums, interfaces, include files)\n"
         "      --style NAME          frames (the frame set) or site (pages with search)\n"
         "      --json FILE           also write every unit read as JSON into FILE\n"
         "      --define SYM          a conditional symbol for the pascal reader, or SYM=VALUE\n"
         "                            (also written -DSYM)\n"
         "      --include DIR         a folder of include files for the pascal reader (also\n"
         "                            written -IDIR)\n"
         "      --compiler NAME       fpc or delphi: the built-in symbols of the pascal reader\n"
         "      --comments WHICH      doc ({** } and /// only) or any (plain comments too)\n"
         "      --title TEXT          the site's title (default: the output folder's name)\n"
         "      --source-url PATTERN  link the site's items to their sources: {path} and {line}\n"
         "                            are filled in\n"
         "\n"
         "glossator serve writes the documentation of PATHs as a run does (into a new folder\n"
         "under ~/.cache/glossator, removed at the end, unless -o names one), serves it over\n"
         "HTTP and writes again what a saved file changes; open pages reload themselves.\n"
         "      --port N              serve at port N (default 8000; the next free one when\n"
         "                            it is taken)\n"
         "      --bind ADDR           listen on ADDR instead of 127.0.0.1: others may read it\n"
         "      --open                open the documentation in the browser (xdg-open)\n"
         "\n"
         "  -p FILE                   load this selection file (not with PATHs)\n"
         "  -b                        batch mode: run without the window, then end\n"
         "  -d                        also write the documentation tree beside the program\n"
         "  -i FOLDER                 start the window's file dialogs in FOLDER\n"
         "  -h, --help                show this text and end\n"
         "      --version             show the version and end\n"
         "\n"
         "Exit status:\n"
         "  0    the documentation was written\n"
         "  1    an error ended the run (a file that cannot be read or written)\n"
         "  2    the arguments or the selection were refused\n"
         "  3    the run completed, but a page could not be written (or, with --strict, there\n"
         "       were warnings, or the share documented is below --fail-under)\n"
         "  130  cancelled by Ctrl-C (128 + the signal: 143 for SIGTERM, 129 for SIGHUP)\n";
}

}  // namespace glossator
