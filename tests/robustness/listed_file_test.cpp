// Listed unit files that cannot be documented: missing, not a file, unreadable, or text that the
// scanning rules run past the end of. Each run ends with exit status 1 and one message naming
// the file; nothing is written but the default description page, and pages already in the
// output folder keep their bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "base/errors.h"
#include "base/file_system.h"
#include "parser/line_list.h"
#include "program_run.h"

namespace glossator {
namespace {

using namespace testing_run;

struct ListedCase {
  const char* name;
  // Makes the listed file in the test's folder and returns its path; empty skips the case.
  std::function<std::string(ProgramTest&, const fs::path&)> make;
  // The message after "glossator: ", given the path.
  std::function<std::string(const std::string&)> message;
};

std::string CannotOpen(const std::string& path) { return "Cannot open file " + path; }

// The scan error, with what was wrong with the file's heading when it has no unit heading.
std::function<std::string(const std::string&)> IndexError(int index, bool no_heading = false) {
  return [index, no_heading](const std::string& path) {
    return path + ": List index out of bounds (" + std::to_string(index) + ")" +
           (no_heading ? " (the file has no unit heading)" : "");
  };
}

std::string WriteText(const fs::path& path, const std::string& text) {
  WriteAll(path, text);
  return path.string();
}

const ListedCase kCases[] = {
    {"Missing", [](ProgramTest&, const fs::path& dir) { return (dir / "gone.pas").string(); },
     CannotOpen},
    {"Directory",
     [](ProgramTest&, const fs::path& dir) {
       fs::create_directories(dir / "folder.pas");
       return (dir / "folder.pas").string();
     },
     CannotOpen},
    {"WithoutReadPermission",
     [](ProgramTest&, const fs::path& dir) -> std::string {
       // Root reads whatever the permissions say; ReadFails covers root.
       if (geteuid() == 0) return "";
       std::string path = WriteText(dir / "locked.pas", "unit Locked;\r\n");
       chmod(path.c_str(), 0);
       return path;
     },
     CannotOpen},
    // Opens, then every read fails (EIO): a file that cannot be read, even for root.
    {"ReadFails", [](ProgramTest&, const fs::path&) { return std::string("/proc/self/mem"); },
     CannotOpen},
    // Not regular files: a pipe nobody writes to would wait for ever, a device like /dev/zero
    // would fill the memory.
    {"NamedPipe",
     [](ProgramTest&, const fs::path& dir) {
       std::string path = (dir / "pipe.pas").string();
       EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
       return path;
     },
     CannotOpen},
    {"EndlessDevice", [](ProgramTest&, const fs::path&) { return std::string("/dev/zero"); },
     CannotOpen},
    // The scans read one line past the end: an empty file has no line 0, a file of blank lines
    // none after them, and a one-line file no line 1 to take the unit name from.
    {"EmptyFile", [](ProgramTest&, const fs::path& dir) { return WriteText(dir / "e.pas", ""); },
     IndexError(0, true)},
    {"OnlyBlankLines",
     [](ProgramTest&, const fs::path& dir) { return WriteText(dir / "b.pas", "\r\n  \r\n\t\r\n"); },
     IndexError(3, true)},
    {"FiftyMegabyteLine",
     [](ProgramTest&, const fs::path& dir) {
       return WriteText(dir / "long.pas", std::string(50 << 20, 'x'));
     },
     IndexError(1, true)},
    // "{**" never closed above a routine: the comment is read up to the line after the last.
    {"UnclosedDocComment",
     [](ProgramTest&, const fs::path& dir) {
       return WriteText(dir / "open.pas",
                        "unit Open;\r\n\r\ninterface\r\n\r\n{** Never closed.\r\nprocedure P;\r\n"
                        "\r\nimplementation\r\nend.\r\n");
     },
     IndexError(9)},
};

void PrintTo(const ListedCase& c, std::ostream* out) { *out << c.name; }

class ListedFileTest : public ProgramTest, public ::testing::WithParamInterface<ListedCase> {};

TEST_P(ListedFileTest, EndsWithMessageNamingFileAndKeepsEarlierPages) {
  const ListedCase& c = GetParam();
  fs::create_directories(dir_ / "src");
  std::string path = c.make(*this, dir_ / "src");
  if (path.empty()) GTEST_SKIP() << "not available for this user";
  fs::path good = Unit("good.pas", SmallUnit("Good", "TGood"));
  // Pages of an earlier run.
  const std::map<std::string, std::string> before = {{"index-unit.html", "old unit index\r\n"},
                                                     {"Good.html", "old unit page\r\n"},
                                                     {"legend.html", "old legend\r\n"}};
  for (const auto& [name, bytes] : before) WriteAll(dir_ / "out" / name, bytes);

  Outcome outcome = RunOn({good.string(), path});

  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "glossator: " + c.message(path) + "\n");
  // The run ends while reading, before it writes anything: the earlier set stays as it was.
  EXPECT_EQ(Snapshot(dir_ / "out"), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, ListedFileTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The loader itself refuses what is not a regular file, without reading or waiting.
TEST(LoadFromFileTest, RefusesWhatIsNotARegularFile) {
  TempFolder folder;
  const fs::path& dir = folder.Root();
  std::string pipe = (dir / "pipe").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {std::string("/dev/null"), pipe, dir.string()}) {
    std::string bytes = "kept";
    EXPECT_FALSE(SystemFileSystem().ReadFile(path, bytes)) << path;
    EXPECT_EQ(bytes, "") << path;
  }
}

}  // namespace
}  // namespace glossator
