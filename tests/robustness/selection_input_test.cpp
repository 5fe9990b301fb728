// Selection files that hold nothing usable, and one that lists thousands of units.
#include <cstdint>

#include "program_run.h"

namespace glossator {
namespace {

using namespace testing_run;

class SelectionInputTest : public ProgramTest {};

// Such a file loads as an empty selection: the empty list only warns, the missing output
// folder ends the run before anything is written.
TEST_F(SelectionInputTest, UnusableSelectionFilesWriteNothing) {
  uint32_t state = 7;
  std::string binary;
  for (int i = 0; i < 4096; ++i) {
    state = state * 1664525u + 1013904223u;
    binary += static_cast<char>(state >> 24);
  }
  struct Case {
    const char* name;
    const char* bytes;  // null: no file at all
    size_t size;
  };
  const Case cases[] = {{"empty", "", 0},
                        {"binary", binary.data(), binary.size()},
                        {"only NUL bytes", "\0\0\0\0\0\0\0\0", 8},
                        {"missing", nullptr, 0}};
  for (const Case& c : cases) {
    fs::path selection = dir_ / "case.gls";
    fs::remove(selection);
    if (c.bytes != nullptr) WriteAll(selection, std::string(c.bytes, c.size));
    std::map<std::string, std::string> before = Snapshot(dir_);

    Outcome outcome = RunSelection(selection);

    EXPECT_EQ(outcome.status, 2) << c.name;
    // A file that is not there is named as such, one that is no text too; an empty one reads
    // as an empty selection, which the run refuses.
    std::string refused = "glossator: cannot read selection file '" + selection.string() + "': ";
    EXPECT_EQ(
        outcome.errors,
        c.bytes == nullptr ? refused + "No such file or directory\n"
        : c.size > 0
            ? refused + "not a text file\n"
            : "glossator: No source files selected\nglossator: No output directory selected\n")
        << c.name;
    std::map<std::string, std::string> after = Snapshot(dir_);
    after.erase("stderr.txt");
    before.erase("stderr.txt");
    EXPECT_EQ(after, before) << c.name;
  }
}

class ManyUnitsTest : public ProgramTest {
 protected:
  std::vector<std::string> MakeUnits(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "U%04d", i);
      paths.push_back(Unit(std::string(name) + ".pas", "unit " + std::string(name) +
                                                           ";\r\ninterface\r\nprocedure P" + name +
                                                           ";\r\nimplementation\r\nend.\r\n")
                          .string());
    }
    return paths;
  }
};

TEST_F(ManyUnitsTest, TwoThousandUnitsInOneRun) {
  std::vector<std::string> units = MakeUnits(2000);
  Outcome outcome = RunOn(units);
  ASSERT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.errors, "");
  size_t pages = 0;
  for (const auto& entry : fs::directory_iterator(dir_ / "out")) {
    (void)entry;
    ++pages;
  }
  EXPECT_EQ(pages, 2000 + FixedPages().size());
  // Every unit in the index, in order.
  std::string index = ReadAll(dir_ / "out" / "index-unit.html");
  size_t at = 0;
  for (int i = 0; i < 2000; i += 333) {
    char name[32];
    std::snprintf(name, sizeof name, "U%04d.html", i);
    size_t found = index.find(name, at);
    ASSERT_NE(found, std::string::npos) << name;
    at = found;
  }
}

TEST_F(ManyUnitsTest, OneMissingAmongThousandsIsNamed) {
  std::vector<std::string> units = MakeUnits(1000);
  fs::remove(units[777]);
  Outcome outcome = RunOn(units);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "glossator: Cannot open file " + units[777] + "\n");
  EXPECT_TRUE(Snapshot(dir_ / "out").empty());  // nothing is written before every unit is read
}

}  // namespace
}  // namespace glossator
