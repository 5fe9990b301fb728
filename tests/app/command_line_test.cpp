#include "app/command_line.h"

#include <gtest/gtest.h>

namespace glossator {
namespace {

struct CommandLineCase {
  std::vector<std::string> args;
  CommandLineParameters expected;
};

CommandLineParameters Want(std::string init_dir = "", std::string project_file = "",
                           bool debug_mode = false, bool batch = false, bool help = false,
                           bool version = false) {
  return {init_dir, project_file, debug_mode, batch, help, version};
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
      // Only whole arguments match; others are ignored.
      {{"-ifoo", "/i", "x", "-pa.gls", "--d", "-b2", "b", "-"}, Want()},
      {{" -b", "-b "}, Want()},
      {{"-p", "Sel.GLS"}, Want("", "Sel.GLS")},  // values keep their case
      {{"--help"}, Want("", "", false, false, true)},
      {{"--version"}, Want("", "", false, false, false, true)},
      {{"--HELP", "-help", "--Version"}, Want()},
      {{"-p", "--help"}, Want("", "--help", false, false, true)},
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
  }
}

TEST(CommandLine, UsageText_NamesEverySwitchOnItsOwnLine) {
  const std::string usage = UsageText();
  for (const char* option : {"-i", "-p", "-d", "-b", "--help", "--version"}) {
    EXPECT_NE(usage.find(std::string("\n  ") + option + " "), std::string::npos) << option;
  }
  EXPECT_EQ(usage.back(), '\n');
}

}  // namespace
}  // namespace glossator
