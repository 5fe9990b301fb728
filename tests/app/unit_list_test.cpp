// PATH arguments expanded into unit lists, on real files in a scratch folder: a copy of a few
// LCL units, a Lazarus package and project from the Lazarus sources, Delphi projects.
#include "app/unit_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/project_files.h"
#include "app/selection_file.h"
#include "support/files.h"
#include "support/temp_folder.h"

namespace glossator {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(GLOSSATOR_TEST_DATA) / "unitlist";

std::string Show(const std::vector<ProjectEntry>& entries) {
  std::string text;
  for (const ProjectEntry& e : entries) {
    text += e.name + "|" + e.path + "|" + std::to_string(e.line) + ";";
  }
  return text;
}

TEST(UnitList, ReadDelphiEntries_SkipsCommentsAndDirectives) {
  struct Case {
    const char* source;
    const char* expected;  // name|path|line; ...
  };
  const Case cases[] = {
      {"program P;\n{$R *.res}\nuses\n  Forms,\n  Main in 'src\\main.pas' {Form1},\n"
       "  Tools in 'lib/tools.pas';\nbegin\nend.\n",
       "Forms||4;Main|src\\main.pas|5;Tools|lib/tools.pas|6;"},
      {"package Pk;\n{$R *.res}\nrequires rtl, vcl;\ncontains\n  A in 'a.pas',\n  B;\nend.\n",
       "A|a.pas|5;B||6;"},
      // Comments of every kind hide what they hold, and count their lines.
      {"program P; { uses Hidden in 'h.pas'; }\n(* uses\n Hidden2; *)\n// uses Hidden3;\n"
       "uses {$IFDEF X} One, {$ENDIF}\n(* two\nlines *) Two in 'it''s.pas' // note\n;",
       "One||5;Two|it's.pas|7;"},
      {"USES Vcl.Forms, Data.Db in 'db.pas';", "Vcl.Forms||1;Data.Db|db.pas|1;"},
      // The word must stand alone, outside strings.
      {"const S = 'uses X;'; var Reuses: Integer; usesX;", ""},
      // A clause broken off ends where it breaks; the text stays readable.
      {"uses A in ;\nuses B", "B||2;"},
      {"uses { never closed", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(ReadDelphiEntries(c.source)), c.expected) << c.source;
  }
}

TEST(UnitList, ReadLazarusEntries_TakesItemsWithAUnitName) {
  struct Case {
    const char* xml;
    const char* expected;
  };
  const Case cases[] = {
      {"<Files Count=\"2\">\n  <Item1>\n    <Filename Value=\"a.lfm\"/>\n  </Item1>\n"
       "  <Item2>\n    <Filename Value=\"sub\\a.pas\"/>\n    <UnitName Value=\"A\"/>\n"
       "  </Item2>\n</Files>",
       "A|sub\\a.pas|6;"},
      // Newer files write <Unit> without a number; attributes and entities are read.
      {"<Units><Unit Kind='x'><UnitName Value=\"B\"/>\n<Filename Value=\"b&amp;c.pp\"/></Unit>"
       "</Units>",
       "B|b&c.pp|2;"},
      // Only direct children of an item count; comments and self-closing items hold nothing.
      {"<Item1><Other><Filename Value=\"x.pas\"/><UnitName Value=\"X\"/></Other></Item1>"
       "<!-- <Item2><Filename Value=\"y.pas\"/><UnitName Value=\"Y\"/></Item2> -->"
       "<Item3 Name=\"default\"/><Position1><Filename Value=\"z.pas\"/>"
       "<UnitName Value=\"Z\"/></Position1>",
       ""},
      // A file cut short still gives what it lists.
      {"<Item1><Filename Value=\"a.pas\"/><UnitName Value=\"A\"/>", "A|a.pas|1;"},
  };
  for (const Case& c : cases) EXPECT_EQ(Show(ReadLazarusEntries(c.xml)), c.expected) << c.xml;
}

class UnitListFiles : public testing::Test {
 protected:
  fs::path Root() const { return temp_.Root(); }
  fs::path Put(const std::string& relative, const std::string& text = "unit U;\n") {
    fs::path path = Root() / relative;
    fs::create_directories(path.parent_path());
    WriteAll(path.string(), text);
    return path;
  }
  std::vector<std::string> Paths(const std::vector<std::string>& relatives) const {
    std::vector<std::string> paths;
    for (const std::string& r : relatives) paths.push_back((Root() / r).lexically_normal());
    return paths;
  }

  TempFolder temp_;
};

TEST_F(UnitListFiles, ExpandPaths_EachKindOfPath) {
  // A copy of some LCL units in nested folders, with an include file and a text beside them.
  fs::copy(kData / "lcl", Root() / "lcl", fs::copy_options::recursive);
  Put("lcl/widgetset/Upper.PAS");
  Put("lcl/Mixed.pP");
  Put("lcl/notes.pas.bak");
  fs::create_directories(Root() / "lcl/folder.pas");

  // The Lazarus package with one unit moved into a folder written with "\", one missing.
  std::string lpk = ReadAll((kData / "projects/idefilebrowser.lpk").string());
  lpk.replace(lpk.find("\"frmfilebrowser.pas"), 1, "\"forms\\");
  Put("pkg/idefilebrowser.lpk", lpk);
  Put("pkg/forms/frmfilebrowser.pas");
  Put("pkg/regidefilebrowser.pp");
  fs::copy(kData / "projects/TestLazStorageMem.lpi", Root() / "TestLazStorageMem.lpi");
  Put("testlazstoragememcase1.pas");
  Put("TestLazStorageMem.lpr");
  // The main program carries a UnitName in newer project files; it is no unit.
  Put("new/new.lpi",
      "<CONFIG><Units><Unit><Filename Value=\"new.lpr\"/><UnitName Value=\"New\"/></Unit>\n"
      "<Unit><Filename Value=\"forms\\one.pas\"/><UnitName Value=\"One\"/></Unit></Units>"
      "</CONFIG>");
  Put("new/new.lpr");
  Put("new/forms/one.pas");
  // Packages list include files too, some with a unit name; they are no units.
  Put("inc/inc.lpk",
      "<CONFIG><Files><Item1><Filename Value=\"part.inc\"/><UnitName Value=\"part\"/></Item1>"
      "<Item2><Filename Value=\"whole.pas\"/><UnitName Value=\"whole\"/></Item2></Files>"
      "</CONFIG>");
  Put("inc/part.inc");
  Put("inc/whole.pas");

  Put("delphi/Project.dpr",
      "program Project;\r\n{$R *.res}\r\nuses\r\n  Forms,\r\n  Main in 'src\\Main.pas' {Form1},\r\n"
      "  // Old in 'old.pas',\r\n  Tools in '../shared/tools.pas',\r\n  Beside,\r\n  Lower;\r\n"
      "{$R extra.res}\r\nbegin\r\nend.\r\n");
  Put("delphi/src/Main.pas");
  Put("shared/tools.pas");
  Put("delphi/Beside.pas");
  Put("delphi/lower.PP");
  Put("delphi/Pack.dpk",
      "package Pack;\n{$R *.res}\nrequires\n  rtl;\ncontains\n  Beside,\n  Gone in 'gone.pas',\n"
      "  (* Skipped in 'x.pas', *)\n  Extra in 'src/Extra.pas';\nend.\n");
  Put("delphi/src/Extra.pas");

  Put("single.inc");
  Selection saved;
  saved.files = {"relative/first.pas", "/abs/second.pas"};
  saved.out_dir = "/out";
  saved.parse_private = true;
  SaveSelection(Root() / "saved.gls", saved);

  struct Case {
    std::string path;
    std::vector<std::string> files;  // relative to the scratch folder, or as stored
    std::vector<std::string> warnings;
  };
  const std::string r = (Root() / "").lexically_normal().string();
  const Case cases[] = {
      {"lcl",
       Paths({"lcl/Mixed.pP", "lcl/lclversion.pas", "lcl/rubberband.pas", "lcl/widgetset/Upper.PAS",
              "lcl/widgetset/wsdesigner.pp", "lcl/widgetset/wstoolwin.pp"}),
       {}},
      {"pkg/idefilebrowser.lpk",
       Paths({"pkg/forms/frmfilebrowser.pas", "pkg/regidefilebrowser.pp"}),
       {r + "pkg/idefilebrowser.lpk:40: warning: 'frmconfigfilebrowser.pp' not found; skipped"}},
      {"TestLazStorageMem.lpi", Paths({"testlazstoragememcase1.pas"}), {}},
      {"new/new.lpi", Paths({"new/forms/one.pas"}), {}},
      {"delphi/Project.dpr",
       Paths({"delphi/src/Main.pas", "shared/tools.pas", "delphi/Beside.pas", "delphi/lower.PP"}),
       {r + "delphi/Project.dpr:4: warning: unit 'Forms' not found beside the project; skipped"}},
      {"delphi/Pack.dpk",
       Paths({"delphi/Beside.pas", "delphi/src/Extra.pas"}),
       {r + "delphi/Pack.dpk:7: warning: 'gone.pas' not found; skipped"}},
      {"single.inc", Paths({"single.inc"}), {}},
      {"inc/inc.lpk", Paths({"inc/whole.pas"}), {}},
      {"saved.gls", {"relative/first.pas", "/abs/second.pas"}, {}},
  };
  for (const Case& c : cases) {
    UnitList list = ExpandPaths({(Root() / c.path).string()});
    EXPECT_EQ(list.files, c.files) << c.path;
    std::vector<std::string> warnings;
    for (const Warning& warning : list.warnings) warnings.push_back(FormatWarning(warning));
    EXPECT_EQ(warnings, c.warnings) << c.path;
    EXPECT_EQ(list.settings.has_value(), c.path == "saved.gls") << c.path;
  }

  UnitList from_selection = ExpandPaths({(Root() / "saved.gls").string()});
  ASSERT_TRUE(from_selection.settings.has_value());
  EXPECT_EQ(from_selection.settings->out_dir, "/out");
  EXPECT_TRUE(from_selection.settings->parse_private);

  // Several PATHs: in argument order, each file once.
  UnitList several =
      ExpandPaths({(Root() / "delphi/Pack.dpk").string(), (Root() / "delphi").string(),
                   (Root() / "single.inc").string(), (Root() / "single.inc").string()});
  EXPECT_EQ(several.files, Paths({"delphi/Beside.pas", "delphi/src/Extra.pas", "delphi/lower.PP",
                                  "delphi/src/Main.pas", "single.inc"}));
}

TEST_F(UnitListFiles, ExpandPaths_RefusesWhatDoesNotExist) {
  Put("a.pas");
  std::string missing = (Root() / "missing.pas").string();
  try {
    ExpandPaths({(Root() / "a.pas").string(), missing});
    FAIL() << "no error";
  } catch (const PathError& error) {
    EXPECT_EQ(std::string(error.what()),
              "cannot access '" + missing + "': No such file or directory");
  }
}

}  // namespace
}  // namespace glossator
