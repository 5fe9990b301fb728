#include "app/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace glossator {
namespace {

struct CommandLineCase {
  std::vector<std::string> args;
  CommandLineParameters expected;
};

CommandLineParameters Want(std::string init_dir = "", std::string project_file = "",
                           bool debug_mode = false, bool batch = false, bool help = false,
                           bool version = false) {
  CommandLineParameters p;
  p.init_dir = init_dir;
  p.project_file = project_file;
  p.debug_mode = debug_mode;
  p.batch = batch;
  p.help = help;
  p.version = version;
  return p;
}

std::string Show(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += "[" + arg + "]";
  return text.empty() ? "(none)" : text;
}

TEST(CommandLine, ParseCommandLine_FollowsTheSwitchTable) {
  // Want(init_dir, project_file, debug_mode, batch, help, version)
  const CommandLineCase cases[] = {
      {{}, Want()},
      {{"-p", "C:\\work\\sel.gls", "-d"}, Want("", "C:\\work\\sel.gls", true, false)},
      {{"-p", "sel.gls", "-b"}, Want("", "sel.gls", false, true)},
      {{"-P", "a.gls", "-B", "-D", "-I", "dir"}, Want("dir", "a.gls", true, true)},
      {{"-b", "-i", "C:\\start", "-d"}, Want("C:\\start", "", true, true)},
      // The value is read as a switch as well.
      {{"-p", "-b"}, Want("", "-b", false, true)},
      {{"-i", "-p", "x.gls"}, Want("-p", "x.gls")},
      {{"-p", "-d"}, Want("", "-d", true)},
      // A switch as the last argument has an empty value.
      {{"-i"}, Want()},
      {{"-i", "dir", "-i"}, Want()},
      {{"-p", "a.gls", "-p"}, Want()},
      // The later value wins.
      {{"-p", "a.gls", "-p", "b.gls"}, Want("", "b.gls")},
      {{"-i", "one", "-i", "two"}, Want("two")},
      {{"-p", "Sel.GLS"}, Want("", "Sel.GLS")},  // values keep their case
      {{"--help"}, Want("", "", false, false, true)},
      {{"-h"}, Want("", "", false, false, true)},
      {{"--version"}, Want("", "", false, false, false, true)},
      {{"-p", "--help"}, Want("", "--help", false, false, true)},
      // A value that is no switch is only a value: not a PATH, not an error.
      {{"-p", "-x", "-i", "--output"}, Want("--output", "-x")},
  };
  for (const CommandLineCase& c : cases) {
    CommandLineParameters got = ParseCommandLine(c.args);
    const std::string label = Show(c.args);
    EXPECT_EQ(got.init_dir, c.expected.init_dir) << label;
    EXPECT_EQ(got.project_file, c.expected.project_file) << label;
    EXPECT_EQ(got.debug_mode, c.expected.debug_mode) << label;
    EXPECT_EQ(got.batch, c.expected.batch) << label;
    EXPECT_EQ(got.help, c.expected.help) << label;
    EXPECT_EQ(got.version, c.expected.version) << label;
    EXPECT_EQ(got.paths, std::vector<std::string>()) << label;
    EXPECT_EQ(got.error, "") << label;
  }
}

TEST(CommandLine, ParseCommandLine_ReadsGnuOptionsAndPaths) {
  const std::vector<std::string> args = {"-o",
                                         "doc",
                                         "src/",
                                         "--private",
                                         "--description=intro.html",
                                         "a.dpr",
                                         "--menubar",
                                         "menu.html",
                                         "--dump",
                                         "tree.xml",
                                         "-b",
                                         "--save-selection",
                                         "s.gls",
                                         "--no-run",
                                         "-",
                                         "--",
                                         "-odd.pas",
                                         "--private",
                                         "-p"};
  CommandLineParameters got = ParseCommandLine(args);
  EXPECT_EQ(got.error, "");
  EXPECT_EQ(got.paths,
            (std::vector<std::string>{"src/", "a.dpr", "-", "-odd.pas", "--private", "-p"}));
  EXPECT_EQ(got.output_dir, "doc");
  EXPECT_EQ(got.description_file, "intro.html");
  EXPECT_EQ(got.menubar_file, "menu.html");
  EXPECT_EQ(got.dump_file, "tree.xml");
  EXPECT_EQ(got.save_selection, "s.gls");
  EXPECT_TRUE(got.parse_private && got.no_run && got.batch);
  EXPECT_EQ(got.project_file, "");
  EXPECT_TRUE(WantsBatchRun(got));

  // Values come whole, even when they look like options; "=" may give an empty one.
  CommandLineParameters values = ParseCommandLine({"--output", "-b", "-oout", "--menubar="});
  EXPECT_EQ(values.output_dir, "out");
  EXPECT_EQ(values.menubar_file, "");
  EXPECT_FALSE(values.batch);
  EXPECT_FALSE(values.description_file.has_value());
  EXPECT_FALSE(WantsBatchRun(values));
  EXPECT_TRUE(WantsBatchRun(ParseCommandLine({"x.pas"})));
  for (const auto& [args, jobs] :
       std::vector<std::pair<std::vector<std::string>, int>>{{{"-j", "1"}, 1},
                                                             {{"-j3"}, 3},
                                                             {{"--jobs=8"}, 8},
                                                             {{"--jobs", "1024"}, 1024},
                                                             {{}, 0}}) {
    EXPECT_EQ(ParseCommandLine(args).jobs, jobs) << Show(args);
  }
  EXPECT_FALSE(WantsBatchRun(ParseCommandLine({"-p", "x.gls", "-d", "-i", "dir"})));
}

TEST(CommandLine, ParseCommandLine_RefusesUnknownOptions) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-x"}, "unrecognized option '-x'"},
      {{"a.pas", "--frobnicate=1", "-y"}, "unrecognized option '--frobnicate=1'"},
      // Switches match whole arguments only.
      {{"-ifoo"}, "unrecognized option '-ifoo'"},
      {{"-b2"}, "unrecognized option '-b2'"},
      {{"--d"}, "unrecognized option '--d'"},
      {{"-b "}, "unrecognized option '-b '"},
      {{"--HELP"}, "unrecognized option '--HELP'"},
      {{"-help"}, "unrecognized option '-help'"},
      {{"-O", "doc"}, "unrecognized option '-O'"},
      {{"--output"}, "option '--output' requires an argument"},
      {{"x.pas", "-o"}, "option requires an argument -- 'o'"},
      {{"--private=yes"}, "option '--private' doesn't allow an argument"},
      {{"-p", "s.gls", "a.pas"}, "-p cannot be used together with PATH arguments"},
      {{"src/", "-p"}, "-p cannot be used together with PATH arguments"},
      {{"-j", "0"}, "invalid number of jobs '0' (a whole number from 1 to 1024)"},
      {{"--jobs=two"}, "invalid number of jobs 'two' (a whole number from 1 to 1024)"},
      {{"-j-1"}, "invalid number of jobs '-1' (a whole number from 1 to 1024)"},
      {{"--jobs", "1025"}, "invalid number of jobs '1025' (a whole number from 1 to 1024)"},
      {{"-j"}, "option requires an argument -- 'j'"},
  };
  for (const auto& [args, message] : cases) {
    EXPECT_EQ(ParseCommandLine(args).error, message) << Show(args);
  }
  // What is no option is a PATH: "/i", " -b", "b".
  EXPECT_EQ(ParseCommandLine({"/i", " -b", "b"}).paths,
            (std::vector<std::string>{"/i", " -b", "b"}));
}

TEST(CommandLine, ParseCommandLine_ReadsServeAndItsOptions) {
  CommandLineParameters serve = ParseCommandLine(
      {"serve", "--style=site", "--port", "8080", "--bind=0.0.0.0", "--open", "-o", "doc", "src/"});
  EXPECT_EQ(serve.error, "");
  EXPECT_TRUE(serve.serve && serve.open_browser);
  EXPECT_EQ(serve.port, 8080);
  EXPECT_EQ(serve.bind_address, "0.0.0.0");
  EXPECT_EQ(serve.style, "site");
  EXPECT_EQ(serve.paths, std::vector<std::string>{"src/"});
  EXPECT_FALSE(WantsBatchRun(serve));
  EXPECT_EQ(ParseCommandLine({"serve", "--port=0", "a.pas"}).port, 0);
  EXPECT_TRUE(ParseCommandLine({"serve", "--help"}).help);
  // Only as the first argument; elsewhere it is a PATH.
  CommandLineParameters path = ParseCommandLine({"-o", "doc", "serve"});
  EXPECT_FALSE(path.serve);
  EXPECT_EQ(path.paths, std::vector<std::string>{"serve"});

  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"serve"}, "serve needs a PATH to document"},
      {{"serve", "--port", "65536", "a.pas"},
       "invalid port '65536' (a whole number from 0 to 65535)"},
      {{"serve", "--port=80x", "a.pas"}, "invalid port '80x' (a whole number from 0 to 65535)"},
      {{"serve", "--bind=", "a.pas"}, "invalid argument '' for '--bind' (an IP address)"},
      {{"--port", "8000", "a.pas"}, "option '--port' works only with 'glossator serve'"},
      {{"--open", "a.pas"}, "option '--open' works only with 'glossator serve'"},
      {{"serve", "--dump", "t.xml", "a.pas"}, "option '--dump' cannot be used with serve"},
      {{"serve", "-d", "a.pas"}, "option '-d' cannot be used with serve"},
      {{"serve", "--json=u.json", "a.pas"}, "option '--json' cannot be used with serve"},
      {{"serve", "--coverage", "a.pas"}, "option '--coverage' cannot be used with serve"},
      {{"serve", "-b", "a.pas"}, "option '-b' cannot be used with serve"},
      {{"serve", "-p", "s.gls"}, "serve cannot load -p; name the selection file as a PATH"},
  };
  for (const auto& [args, message] : refused) {
    EXPECT_EQ(ParseCommandLine(args).error, message) << Show(args);
  }
}

TEST(CommandLine, UsageText_NamesEverySwitchOnItsOwnLine) {
  const std::string usage = UsageText();
  for (const char* option : {"-i FOLDER",
                             "-p FILE",
                             "-d",
                             "-b",
                             "-h, --help",
                             "--version",
                             "-o, --output DIR",
                             "--private",
                             "--description FILE",
                             "--menubar FILE",
                             "--dump FILE",
                             "--save-selection FILE",
                             "--no-run",
                             "-q, --quiet",
                             "--strict",
                             "--coverage",
                             "--fail-under PCT",
                             "--port N",
                             "--bind ADDR",
                             "--open"}) {
    size_t at = usage.find(std::string(" ") + option + " ");
    ASSERT_NE(at, std::string::npos) << option;
    size_t line_start = usage.rfind('\n', at) + 1;
    EXPECT_EQ(usage.substr(line_start, 2), "  ") << option;  // an option line of its own
  }
  EXPECT_EQ(usage.back(), '\n');
}

// The manual page documents every option that --help lists, and no other.
TEST(CommandLine, ManualPageListsTheOptionsOfTheUsageText) {
  std::ifstream in(GLOSSATOR_SOURCE_DIR "/docs/glossator.1");
  const std::string manual((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(manual.empty());
  // roff writes "-" as "\-"; an option entry is a ".TP" paragraph starting with "\fB\-".
  auto roff = [](const std::string& option) {
    std::string out;
    for (char c : option) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
  };
  std::istringstream usage(UsageText());
  std::string line;
  int options = 0;
  while (std::getline(usage, line)) {
    size_t first = line.find_first_not_of(' ');
    if (first < 2 || first == std::string::npos || line[first] != '-') continue;
    std::istringstream words(line.substr(first));
    std::string word;
    while (words >> word && word[0] == '-') {
      if (word.back() == ',') word.pop_back();
      EXPECT_NE(manual.find("\\fB" + roff(word) + "\\fR"), std::string::npos) << word;
      ++options;
    }
  }
  size_t entries = 0;
  for (size_t at = manual.find(".TP\n\\fB\\-"); at != std::string::npos;
       at = manual.find(".TP\n\\fB\\-", at + 1)) {
    ++entries;
  }
  EXPECT_EQ(options, 34);
  EXPECT_EQ(entries, 30u);  // -o, -q, -j and -h share their entries with the long forms
}

}  // namespace
}  // namespace glossator
