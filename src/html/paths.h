#ifndef GLOSSATOR_HTML_PATHS_H_
#define GLOSSATOR_HTML_PATHS_H_

#include <string>
#include <string_view>

namespace glossator {

// Path texts as the run treats them: "/" separates folders, and nothing is resolved.
//
//   FileNameOf("/a/b/intro.html")   => "intro.html"
//   DirectoryOf("/a/b/intro.html")  => "/a/b/"     (with its trailing "/")
//   DirectoryOf("intro.html")       => ""

std::string FileNameOf(std::string_view path);
std::string DirectoryOf(std::string_view path);

// A file lies in another directory when its directory part differs, compared case-sensitively
// as text, from the output directory text (which ends in "/").
bool LiesInAnotherDirectory(std::string_view path, std::string_view out_dir);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_PATHS_H_
