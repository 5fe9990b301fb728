#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "base/errors.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

IniFile FromText(const std::string& text) {
  IniFile ini("/nonexistent-glossator-dir/never-written.ini");
  ini.LoadText(text);
  return ini;
}

struct FindCase {
  const char* label;
  std::string text;
  const char* section;
  const char* key;
  std::optional<std::string> value;
};

TEST(IniFile, Find_FollowsTheProfileRules) {
  const FindCase cases[] = {
      {"names ignore case", "[Files]\r\nFILE0=a\r\n", "fIlEs", "file0", "a"},
      {"first key wins", "[S]\r\nk=\r\nK=2\r\n", "S", "k", ""},
      {"also across equal sections", "[S]\r\n[T]\r\nk=0\r\n[s]\r\nk=2\r\nk=3\r\n", "S", "k", "2"},
      {"blanks trimmed", "  [ S ]  \r\n \t key \t=  a b \t\r\n", "S", "key", "a b"},
      {"split at first equals", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
      {"one pair of quotes removed", "[S]\r\nk=\"\" a \"\"\r\n", "S", "k", "\" a \""},
      {"single quotes removed", "[S]\r\nk='a'\r\n", "S", "k", "a"},
      {"mismatched quotes kept", "[S]\r\nk=\"a'\r\n", "S", "k", "\"a'"},
      {"LF and lone CR line ends", "[S]\n\rk=1\rj=2", "S", "j", "2"},
      {"text after header ignored", "[S] ; note\r\nk=1\r\n", "S", "k", "1"},
      {"comment is no key", "[S]\r\n;k=1\r\n", "S", ";k", std::nullopt},
      {"keys before any section", "k=1\r\n[S]\r\n", "S", "k", std::nullopt},
      {"unclosed header is no section", "[T]\r\n[S\r\nk=1\r\n", "T", "k", "1"},
      {"byte-order mark skipped", "\xEF\xBB\xBF[S]\r\nk=1\r\n", "S", "k", "1"},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(FromText(c.text).Find(c.section, c.key), c.value) << c.label;
  }
}

TEST(IniFile, ReadSectionValues_ListsFirstOccurrencesInFileOrder) {
  IniFile ini = FromText("[F]\nb=2\n;c=x\na=1\nB=3\n[G]\nz=0\n[f]\nc=4\na=5\n");
  using Values = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(ini.ReadSectionValues("F"), (Values{{"b", "2"}, {"a", "1"}, {"c", "4"}}));
}

TEST(IniFile, WriteString_KeepsEverythingElseInPlace) {
  IniFile ini = FromText("; head\n[One]\n  Key = old  \n\n; inner\nkey=2\n\n[Two]\nk=2\n");
  ini.WriteString("ONE", "KEY", "new");  // the first one, keeping its spelling
  ini.WriteString("one", "Added", "a");  // at the end of the section, before its blank line
  ini.WriteString("Three", "k", "3");    // a new section at the end
  EXPECT_EQ(ini.Text(),
            "; head\r\n[One]\r\nKey=new\r\n\r\n; inner\r\nkey=2\r\nAdded=a\r\n\r\n"
            "[Two]\r\nk=2\r\n[Three]\r\nk=3\r\n");
}

TEST(IniFile, WriteString_QuotesValuesThatWouldNotReadBack) {
  const std::string values[] = {"", " lead", "trail ", "\"q\"", "'s'", "\"half", "a=b", ";x"};
  IniFile ini = FromText("");
  for (size_t i = 0; i < std::size(values); ++i) {
    ini.WriteString("S", "k" + std::to_string(i), values[i]);
  }
  IniFile again = FromText(ini.Text());
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(again.Find("S", "k" + std::to_string(i)), values[i]) << "'" << values[i] << "'";
  }
  EXPECT_NE(ini.Text().find("\r\nk1=\" lead\"\r\n"), std::string::npos);
  EXPECT_NE(ini.Text().find("\r\nk5=\"half\r\nk6=a=b\r\n"), std::string::npos);
}

TEST(IniFile, WriteString_RefusesTextsThatWouldBreakTheLayout) {
  const std::string texts[][3] = {{"S", "k", "a\nb"}, {"S", "a=b", "v"}, {"a]b", "k", "v"}};
  for (const auto& [section, key, value] : texts) {
    IniFile ini = FromText("[S]\nk=1\n");
    EXPECT_THROW(ini.WriteString(section, key, value), GlosError) << section << key << value;
    EXPECT_EQ(ini.Text(), "[S]\r\nk=1\r\n");
  }
}

TEST(IniFile, EraseSection_RemovesEverySectionOfThatName) {
  IniFile ini = FromText("[FILES]\nFile0=a\n; note\n[SETUP]\nx=1\n[files]\nFile1=b\n");
  ini.EraseSection("Files");
  EXPECT_FALSE(ini.Find("FILES", "File1"));
  ini.WriteString("FILES", "File0", "c");
  EXPECT_EQ(ini.Text(), "[SETUP]\r\nx=1\r\n[FILES]\r\nFile0=c\r\n");
}

TEST(IniFile, SurvivesBinaryInputAndReloadsItsOwnText) {
  std::mt19937 random(12345);
  const std::string alphabet("[]=;\"' \t\r\n\0aA\xFF", 14);
  for (int round = 0; round < 300; ++round) {
    std::string text(random() % 400, '\0');
    for (char& c : text) {
      c = round % 2 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
    }
    IniFile ini = FromText(text);
    std::string once = ini.Text();
    EXPECT_EQ(FromText(once).Text(), once) << "round " << round;
    for (const auto& [key, value] : ini.ReadSectionValues("a")) {
      EXPECT_EQ(ini.Find("A", key), value) << "round " << round;
    }
    ini.WriteString("A", "k", std::string("\0\xFF", 2));
    EXPECT_EQ(FromText(ini.Text()).Find("a", "K"), std::string("\0\xFF", 2)) << "round " << round;
  }
  std::string huge = "[S]\nk=" + std::string(5'000'000, 'x') + std::string(1000, '\0');
  EXPECT_EQ(FromText(huge).Find("S", "k")->size(), 5'000'000u);
}

TEST(IniFile, ReadsMissingFileAsEmptyAndWritesCrLf) {
  TempFolder folder;
  const std::string path = folder.Path("a.ini");
  IniFile ini(path);
  EXPECT_EQ(ini.Text(), "");
  WriteAll(path, "[S]\nk=1\n;c\n[T]\nj=2");
  IniFile read(path);
  read.Save();
  EXPECT_EQ(ReadAll(path), "[S]\r\nk=1\r\n;c\r\n[T]\r\nj=2\r\n");
}

}  // namespace
}  // namespace glossator
