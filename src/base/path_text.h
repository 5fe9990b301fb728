#ifndef GLOSSATOR_BASE_PATH_TEXT_H_
#define GLOSSATOR_BASE_PATH_TEXT_H_

#include <string>
#include <string_view>

namespace glossator {

// Path texts as the program treats them: "/" separates folders, and nothing is resolved.
//
//   FileNameOf("/a/b/intro.html")   => "intro.html"
//   DirectoryOf("/a/b/intro.html")  => "/a/b/"     (with its trailing "/")
//   DirectoryOf("intro.html")       => ""
std::string FileNameOf(std::string_view path);
std::string DirectoryOf(std::string_view path);

}  // namespace glossator

#endif  // GLOSSATOR_BASE_PATH_TEXT_H_
