#include "app/selection_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/errors.h"
#include "html/selection.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

Selection Sample() {
  Selection s;
  s.files = {"C:\\src\\first.pas", "/home/me/My Units/second.pas"};
  s.out_dir = "C:\\docs";
  s.menubar_file = "C:\\docs\\menu.html";
  s.parse_private = true;
  return s;
}

void ExpectSameSelection(const Selection& got, const Selection& want) {
  EXPECT_EQ(got.files, want.files);
  EXPECT_EQ(got.out_dir, want.out_dir);
  EXPECT_EQ(got.desc_file, want.desc_file);
  EXPECT_EQ(got.menubar_file, want.menubar_file);
  EXPECT_EQ(got.parse_private, want.parse_private);
  EXPECT_EQ(got.debug_mode, want.debug_mode);
}

TEST(SelectionFile, SaveSelection_NewFileHoldsExactlyTheseLines) {
  TempFolder folder;
  const std::string path = folder.Path("sel.gls");
  SaveSelection(path, Sample());
  EXPECT_EQ(ReadAll(path),
            "[FILES]\r\nFile0=C:\\src\\first.pas\r\nFile1=/home/me/My Units/second.pas\r\n"
            "[SETUP]\r\nOutputDir=C:\\docs\r\nDescriptFile=\r\nMenubarFile=C:\\docs\\menu.html\r\n"
            "ParsePrivate=1\r\nDebugMode=0\r\n");
}

TEST(SelectionFile, SaveSelection_ReplacesListAndKeepsTheRest) {
  TempFolder folder;
  const std::string path = folder.Path("old.gls");
  WriteAll(path,
           "[Files]\nFile0=old0.pas\nFile1=old1.pas\n[Notes]\n; by hand\nOwner=me\n"
           "[setup]\nExtra=kept\noutputdir=C:\\old\n[FILES]\nFile3=old3.pas\n");
  Selection s;
  s.debug_mode = true;
  SaveSelection(path, s);  // an empty list leaves no "FILES" section
  EXPECT_EQ(ReadAll(path),
            "[Notes]\r\n; by hand\r\nOwner=me\r\n[setup]\r\nExtra=kept\r\noutputdir=\r\n"
            "DescriptFile=\r\nMenubarFile=\r\nParsePrivate=0\r\nDebugMode=1\r\n");
  s.files = {"a.pas"};
  SaveSelection(path, s);
  std::string text = ReadAll(path);
  EXPECT_EQ(text.substr(text.find("DebugMode")), "DebugMode=1\r\n[FILES]\r\nFile0=a.pas\r\n");
}

TEST(SelectionFile, SaveThenLoad_GivesTheSameSelection) {
  TempFolder folder;
  const std::string path = folder.Path("round.gls");
  Selection odd;
  odd.files = {" lead.pas", "trail.pas ", "\"quoted\".pas", "a=b;c.pas", "\xE4\xF6\xFC.pas"};
  odd.out_dir = "'single'";
  odd.menubar_file = " ";
  odd.debug_mode = true;
  Selection many = Sample();
  for (int i = 0; i < 10'000; ++i) many.files.push_back("/src/u" + std::to_string(i) + ".pas");
  for (const Selection& want : {Sample(), odd, Selection{}, many}) {
    SaveSelection(path, want);
    SaveSelection(path, want);  // over a file that already holds it
    Selection got = Sample();
    got.files.push_back("left over");
    LoadSelection(path, got);
    ExpectSameSelection(got, want);
  }
}

struct LoadCase {
  const char* label;
  std::string files_section;
  std::vector<std::string> files;
};

TEST(SelectionFile, LoadSelection_OrdersFileKeysByNumber) {
  const LoadCase cases[] = {
      {"out of order", "File1=b\nFile0=a\n", {"a", "b"}},
      {"gaps", "File2=c\nFile5=x\n", {"c", "x"}},
      {"by number, not by text", "File10=k\nFile9=j\nFile100=l\n", {"j", "k", "l"}},
      {"other keys ignored", "Extra=x\nFile0=a\nFiles=y\nFile=z\nFile1x=w\nMyFile2=q\n", {"a"}},
      {"leading zeros ignored", "File01=x\nFile00=y\nFile1=b\n", {"b"}},
      {"first of equal keys", "File0=a\nfile0=b\nFILE1=c\n", {"a", "c"}},
      {"first counts, even if empty", "File0=\nFile0=b\nFile1=c\n", {"c"}},
      {"huge numbers", "File123456789012345678901234567890=h\nFile5=x\n", {"x", "h"}},
      {"two sections", "File1=b\n[X]\nFile0=no\n[files]\nFile0=a\nFile1=no\n", {"a", "b"}},
  };
  TempFolder folder;
  const std::string path = folder.Path("load.gls");
  for (const LoadCase& c : cases) {
    WriteAll(path, "[SETUP]\nOutputDir=o\n[FILES]\n" + c.files_section);
    Selection got;
    LoadSelection(path, got);
    EXPECT_EQ(got.files, c.files) << c.label;
    EXPECT_EQ(got.out_dir, "o") << c.label;
  }
}

TEST(SelectionFile, LoadSelection_ReadsSetupKeysAndEmptiesWhatIsMissing) {
  TempFolder folder;
  const std::string path = folder.Path("setup.gls");
  WriteAll(path,
           "[setup]\ndebugmode=0x1\nPARSEPRIVATE=-1\nMenubarFile=m\nDescriptFile=d\n"
           "OutputDir = C:\\out \n");
  Selection got;
  LoadSelection(path, got);
  Selection want;
  want.out_dir = "C:\\out";
  want.desc_file = "d";
  want.menubar_file = "m";
  want.parse_private = true;
  want.debug_mode = true;
  ExpectSameSelection(got, want);
  for (const std::string& empty :
       {folder.Path("none.gls"), folder.Path("no/dir/x.gls"), folder.Path("")}) {
    got = Sample();
    got.debug_mode = true;
    LoadSelection(empty, got);
    ExpectSameSelection(got, Selection{});
  }
}

TEST(SelectionFile, SaveSelection_ReportsRefusedWrite) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path("taken.gls"));
  for (const std::string& path :
       {folder.Path("no such folder/sel.gls"), folder.Path("taken.gls")}) {
    try {
      SaveSelection(path, Sample());
      ADD_FAILURE() << path << ": no error";
    } catch (const GlosError& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
  }
  // A line break in a path would smuggle keys into the file; the old file stays as it was.
  const std::string good = folder.Path("good.gls");
  SaveSelection(good, Sample());
  Selection bad = Sample();
  bad.files.push_back("evil.pas\r\n[SETUP]\r\nOutputDir=/");
  EXPECT_THROW(SaveSelection(good, bad), GlosError);
  Selection got;
  LoadSelection(good, got);
  ExpectSameSelection(got, Sample());
}

TEST(SelectionFile, ReadProfileBool_ReadsIntegers) {
  const std::pair<const char*, bool> cases[] = {
      {"1", true},
      {"-1", true},
      {"+2", true},
      {"0x1", true},
      {"0X1", true},
      {"$ff", true},
      {"-$1", true},
      {"0", false},
      {"-0", false},
      {"0x0", false},
      {"0x", false},
      {"$", false},
      {"-", false},
      {"", false},
      {"yes", false},
      {"1.0", false},
      {" 1", false},
      {"ff", false},
      {"$-1", false},
      {"0xg", false},
      {"99999999999999999999999", true},
      {"$FFFFFFFFFFFFFFFFFFFFFFFF", true},
      {"0000000000000000000000000", false},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(ReadProfileBool(value), expected) << "'" << value << "'";
  }
}

}  // namespace
}  // namespace glossator
