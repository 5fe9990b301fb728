#ifndef GLOSSATOR_APP_PROJECT_FILES_H_
#define GLOSSATOR_APP_PROJECT_FILES_H_

#include <string>
#include <string_view>
#include <vector>

namespace glossator {

// One unit a project file lists.
struct ProjectEntry {
  std::string name;  // unit name (Delphi entries) or unit name (Lazarus entries)
  std::string path;  // the path written in the file; empty for a Delphi entry without "in"
  int line = 0;      // 1-based
};

// The unit files a Lazarus package (.lpk) or project (.lpi) lists: the "Filename" of each
// "Item"/"Unit" element that also has a "UnitName", with the 1-based line of its "Filename", as
// written there. Entities other than XML's own are not expanded; a file cut short gives what it
// lists before the cut.
std::vector<ProjectEntry> ReadLazarusEntries(std::string_view xml);

// The entries of the "uses" and "contains" clauses of a Delphi project or package, read past
// comments ({ }, (* *), //) and compiler directives such as {$R *.res}.
//
//   uses Forms, Main in 'src\main.pas' {Form1};  => Forms (no path), Main ("src\main.pas")
//   contains A in 'a.pas', B;                     => A ("a.pas"), B (no path)
std::vector<ProjectEntry> ReadDelphiEntries(std::string_view source);

}  // namespace glossator

#endif  // GLOSSATOR_APP_PROJECT_FILES_H_
