// Pages that cannot be written: an output folder that refuses files, a folder in the way of a
// page, page names holding "/", a full disk. A unit page or fixed page that fails ends the run
// (status 1, the message names the file); a class page that fails is passed over with a warning
// naming the class and the reason, and the run ends with status 3. Either way no earlier file loses
// a byte, no temporary file stays behind and nothing is written outside the output folder. Whatever
// else sits under a page name (a link, a pipe) is replaced by the page.
#include <limits.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "program_run.h"

namespace glossator {
namespace {

using namespace testing_run;

class PageOutputTest : public ProgramTest {
 protected:
  // Documents two small units into out/ once, as an earlier run would have.
  std::map<std::string, std::string> EarlierRun() {
    units_ = {Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string(),
              Unit("beta.pas", SmallUnit("Beta", "TBeta")).string()};
    Outcome first = RunOn(units_);
    EXPECT_EQ(first.status, 0) << first.errors;
    return Snapshot(dir_ / "out");
  }

  // No file of the output folder is a temporary file left by a failed write (their names start
  // with "."; no page of these tests does).
  void ExpectNoTemporaryFiles() {
    for (const auto& entry : fs::directory_iterator(dir_ / "out")) {
      std::string name = entry.path().filename().string();
      EXPECT_NE(name.front(), '.') << name;
    }
  }

  std::vector<std::string> units_;
};

TEST_F(PageOutputTest, OutputFolderWithoutWritePermission) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes whatever the permissions say";
  fs::permissions(dir_ / "out", fs::perms::owner_read | fs::perms::owner_exec);
  Outcome outcome = RunOn({Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors,
            "glossator: Cannot create file " + (dir_ / "out").string() + "/index-unit.html\n");
}

// A folder no one can create files in, whoever runs the test.
TEST_F(PageOutputTest, OutputFolderThatRefusesNewFiles) {
  Outcome outcome = RunOn({Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string()}, "/proc");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "glossator: Cannot create file /proc/index-unit.html\n");
}

TEST_F(PageOutputTest, FolderInTheWayOfUnitPageEndsRun) {
  std::map<std::string, std::string> before = EarlierRun();
  fs::remove(dir_ / "out" / "Beta.html");
  fs::create_directory(dir_ / "out" / "Beta.html");
  before.erase("Beta.html");

  Outcome outcome = RunOn(units_);

  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors,
            "glossator: Cannot create file " + (dir_ / "out").string() + "/Beta.html\n");
  EXPECT_TRUE(fs::is_directory(dir_ / "out" / "Beta.html"));
  // Same input, so every page that was rewritten before the stop holds what it held.
  EXPECT_EQ(Snapshot(dir_ / "out"), before);
  ExpectNoTemporaryFiles();
}

TEST_F(PageOutputTest, FolderInTheWayOfClassPageIsPassedOver) {
  std::map<std::string, std::string> before = EarlierRun();
  fs::remove(dir_ / "out" / "TAlpha.html");
  fs::create_directory(dir_ / "out" / "TAlpha.html");
  before.erase("TAlpha.html");

  Outcome outcome = RunOn(units_);

  EXPECT_EQ(outcome.status, 3);  // completed, but a page is missing
  EXPECT_EQ(outcome.errors, (dir_ / "src" / "alpha.pas").string() +
                                ": warning: page of class TAlpha not written: Cannot create file " +
                                (dir_ / "out" / "TAlpha.html").string() + ": Is a directory\n");
  EXPECT_TRUE(fs::is_directory(dir_ / "out" / "TAlpha.html"));
  EXPECT_EQ(Snapshot(dir_ / "out"), before);
}

TEST_F(PageOutputTest, ClassNameWithSlashStaysInOutputFolder) {
  // A folder that the page would land in if the name were taken as a path.
  fs::create_directories(dir_ / "out" / "TOuter");
  fs::path unit =
      Unit("nested.pas",
           "unit Nested;\r\ninterface\r\ntype\r\n  TOuter/TInner = class\r\n  public\r\n"
           "    procedure Run;\r\n  end;\r\n  TPlain = class\r\n  end;\r\n"
           "implementation\r\nend.\r\n");
  Outcome outcome = RunOn({unit.string()});

  EXPECT_EQ(outcome.status, 3);  // completed, but a page is missing
  EXPECT_EQ(outcome.errors, (dir_ / "src" / "nested.pas").string() +
                                ": warning: page of class TOuter/TInner not written: the name "
                                "holds /\n");
  EXPECT_TRUE(fs::is_empty(dir_ / "out" / "TOuter"));
  EXPECT_TRUE(fs::exists(dir_ / "out" / "TPlain.html"));
  EXPECT_TRUE(fs::exists(dir_ / "out" / "legend.html"));
}

TEST_F(PageOutputTest, UnitNameWithSlashEndsRun) {
  fs::create_directories(dir_ / "out" / "Outer");
  fs::path unit =
      Unit("nested.pas", "unit Outer/Inner;\r\ninterface\r\nimplementation\r\nend.\r\n");
  Outcome outcome = RunOn({unit.string()});

  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors,
            "glossator: Cannot create file " + (dir_ / "out").string() + "/Outer/Inner.html\n");
  EXPECT_TRUE(fs::is_empty(dir_ / "out" / "Outer"));
  EXPECT_FALSE(fs::exists(dir_ / "out" / "legend.html"));
}

// What may sit under a page name when a run starts: the run replaces it by the page, never
// writes through it, and leaves whatever it pointed to as it was.
struct InTheWay {
  const char* label;
  std::function<void(const fs::path& page, const fs::path& dir)> make;
};

class PageNameTakenTest : public PageOutputTest, public ::testing::WithParamInterface<InTheWay> {};

TEST_P(PageNameTakenTest, IsReplacedByThePage) {
  std::map<std::string, std::string> clean = EarlierRun();
  WriteAll(dir_ / "outside.txt", "not a page");
  for (const char* name : {"index.html", "legend.html", "Alpha.html", "TBeta.html"}) {
    fs::remove(dir_ / "out" / name);
    GetParam().make(dir_ / "out" / name, dir_);
  }

  Outcome outcome = RunOn(units_);

  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  EXPECT_EQ(outcome.errors, "");
  EXPECT_EQ(Snapshot(dir_ / "out"), clean);
  for (const char* name : {"index.html", "legend.html", "Alpha.html", "TBeta.html"}) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir_ / "out" / name))) << name;
  }
  EXPECT_EQ(ReadAll(dir_ / "outside.txt"), "not a page");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  ExpectNoTemporaryFiles();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageNameTakenTest,
    ::testing::Values(
        InTheWay{"LinkToDevNull", [](const fs::path& page,
                                     const fs::path&) { fs::create_symlink("/dev/null", page); }},
        InTheWay{
            "LinkToFullDevice",
            [](const fs::path& page, const fs::path&) { fs::create_symlink("/dev/full", page); }},
        InTheWay{"NamedPipe", [](const fs::path& page,
                                 const fs::path&) { ASSERT_EQ(mkfifo(page.c_str(), 0600), 0); }},
        InTheWay{"LinkToNamedPipe",
                 [](const fs::path& page, const fs::path& dir) {
                   fs::path fifo = dir / (page.filename().string() + ".fifo");
                   if (!fs::exists(fifo)) {
                     ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
                   }
                   fs::create_symlink(fifo, page);
                 }},
        InTheWay{"LinkToFileOutside",
                 [](const fs::path& page, const fs::path& dir) {
                   fs::create_symlink(dir / "outside.txt", page);
                 }},
        InTheWay{"DanglingLink",
                 [](const fs::path& page, const fs::path& dir) {
                   fs::create_symlink(dir / "nowhere" / "page.html", page);
                 }}),
    [](const ::testing::TestParamInfo<InTheWay>& info) { return std::string(info.param.label); });

// A description or menu-bar file that is no regular file would give no page: the run is refused
// as for a missing one, and nothing is written.
TEST_F(PageOutputTest, SourceThatIsNoRegularFileIsRefused) {
  fs::path pipe = dir_ / "intro.html";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  fs::create_directory(dir_ / "folder.html");
  const struct {
    const char* key;
    std::string value;
    const char* message;
  } cases[] = {
      {"DescriptFile=", pipe.string(), "No valid description file selected"},
      {"DescriptFile=", "/dev/null", "No valid description file selected"},
      {"DescriptFile=", "/dev/stdin", "No valid description file selected"},
      {"DescriptFile=", (dir_ / "folder.html").string(), "No valid description file selected"},
      {"MenubarFile=", pipe.string(), "No valid menubar file selected"},
      {"MenubarFile=", "/dev/zero", "No valid menubar file selected"},
      {"MenubarFile=", (dir_ / "missing.html").string(), "No valid menubar file selected"},
  };
  for (const auto& c : cases) {
    std::string text = SelectionText({Unit("alpha.pas", SmallUnit("Alpha", "TAlpha")).string()},
                                     (dir_ / "out").string());
    text.replace(text.find(c.key), std::string(c.key).size(), c.key + c.value);
    WriteAll(dir_ / "selection.gls", text);

    Outcome outcome = RunSelection(dir_ / "selection.gls");

    EXPECT_EQ(outcome.status, 2) << c.key << c.value;
    EXPECT_EQ(outcome.errors, std::string("glossator: ") + c.message + ": " + c.value + "\n");
    EXPECT_TRUE(fs::is_empty(dir_ / "out")) << c.value;
  }
}

// The longest name a file may have: the page is made, and replaced when its text changes
// (through a temporary file whose name must fit as well).
TEST_F(PageOutputTest, PageWithLongestNameIsReplaced) {
  std::string name(NAME_MAX - 5, 'U');
  auto unit_text = [&name](const std::string& comment) {
    return "unit " + name + ";\r\ninterface\r\n{** " + comment +
           " }\r\nprocedure Run;\r\nimplementation\r\nend.\r\n";
  };
  fs::path unit = Unit("long.pas", unit_text("First text."));
  ASSERT_EQ(RunOn({unit.string()}).status, 0);
  Unit("long.pas", unit_text("Second text."));

  Outcome outcome = RunOn({unit.string()});

  EXPECT_EQ(outcome.status, 0) << outcome.errors;
  std::string page = ReadAll(dir_ / "out" / (name + ".html"));
  EXPECT_NE(page.find("Second text."), std::string::npos);
  ExpectNoTemporaryFiles();
}

// A page that is a link to /dev/full: written in place, the write fails with ENOSPC.
// A file size limit makes the one large page fail half-way, like a disk that fills up while
// it is written. The page it would have replaced keeps its old text.
TEST_F(PageOutputTest, WriteFailingHalfWayKeepsOldPage) {
  // Only the unit page shows the whole comment; the index shows the text before the "@".
  std::string comment = "Runs.\r\n@see " + std::string(20000, 'c');
  fs::path unit = Unit("wide.pas", "unit Wide;\r\ninterface\r\n{** " + comment +
                                       " }\r\nprocedure Run;\r\nimplementation\r\nend.\r\n");
  for (const std::string& name : FixedPages()) WriteAll(dir_ / "out" / name, "old " + name);
  WriteAll(dir_ / "out" / "Wide.html", "old unit page");
  std::map<std::string, std::string> before = Snapshot(dir_ / "out");

  // 16 blocks of 512 or 1024 bytes, depending on the shell: room for every page but the unit's.
  Outcome outcome = RunOn({unit.string()}, "", "ulimit -f 16; trap '' XFSZ;");

  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.errors, "glossator: Cannot write file " + (dir_ / "out").string() +
                                "/Wide.html (File too large)\n");
  std::map<std::string, std::string> after = Snapshot(dir_ / "out");
  EXPECT_EQ(after["Wide.html"], "old unit page");
  // The index pages before it were replaced whole; the pages after it were not touched.
  EXPECT_NE(after["index-unit.html"], before["index-unit.html"]);
  EXPECT_NE(after["index-unit.html"].find("Wide.html"), std::string::npos);
  EXPECT_EQ(after["legend.html"], before["legend.html"]);
  EXPECT_EQ(after["index.html"], before["index.html"]);
  EXPECT_EQ(after.size(), before.size());
  ExpectNoTemporaryFiles();
}

// A real full disk: a small tmpfs, nearly filled. Needs the right to mount.
class FullDiskTest : public PageOutputTest {
 protected:
  void SetUp() override {
    PageOutputTest::SetUp();
    disk_ = dir_ / "disk";
    fs::create_directories(disk_);
    if (mount("tmpfs", disk_.c_str(), "tmpfs", 0, "size=256k") != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) umount2(disk_.c_str(), MNT_DETACH);
    PageOutputTest::TearDown();
  }

  fs::path disk_;
  bool mounted_ = false;
};

TEST_F(FullDiskTest, NoPageIsLostOrCutShort) {
  // Eight units documented once, then again with changed routine comments, so that the
  // function index and the unit pages of the second run differ from the first.
  auto write_units = [this](const std::string& remark) {
    std::vector<std::string> paths;
    for (int i = 0; i < 8; ++i) {
      std::string name = "U" + std::to_string(i);
      std::string text = SmallUnit(name, "T" + name);
      text.replace(text.find("Makes one."), 10, "Makes one " + remark + ".");
      paths.push_back(Unit(name + ".pas", text).string());
    }
    return paths;
  };
  fs::path out = disk_ / "out";
  fs::create_directories(out);
  std::vector<std::string> units = write_units("once");
  Outcome first = RunOn(units, out.string());
  ASSERT_EQ(first.status, 0) << first.errors;
  std::map<std::string, std::string> old_set = Snapshot(out);

  units = write_units("twice");
  fs::create_directories(dir_ / "ref");
  ASSERT_EQ(RunOn(units, (dir_ / "ref").string()).status, 0);
  std::map<std::string, std::string> new_set = Snapshot(dir_ / "ref");

  std::string filler(4096, 'f');
  std::ofstream fill(disk_ / "filler", std::ios::binary);
  while (fill.write(filler.data(), static_cast<std::streamsize>(filler.size())).flush()) {
  }
  fill.close();
  Outcome full = RunOn(units, out.string());

  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.errors.rfind("glossator: Cannot write file " + out.string() + "/", 0), 0u)
      << full.errors;
  EXPECT_NE(full.errors.find("(No space left on device)"), std::string::npos) << full.errors;
  // Every page holds either its old or its new text, whole.
  for (const auto& [name, bytes] : Snapshot(out)) {
    EXPECT_TRUE(bytes == old_set[name] || bytes == new_set[name]) << name;
  }
  for (const auto& [name, bytes] : old_set) EXPECT_TRUE(fs::exists(out / name)) << name;
  EXPECT_EQ(Snapshot(out).size(), old_set.size());

  // Room again: the run completes.
  fs::remove(disk_ / "filler");
  Outcome again = RunOn(units, out.string());
  EXPECT_EQ(again.status, 0) << again.errors;
  EXPECT_EQ(Snapshot(out), new_set);
}

}  // namespace
}  // namespace glossator
