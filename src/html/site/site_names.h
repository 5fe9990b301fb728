#ifndef GLOSSATOR_HTML_SITE_SITE_NAMES_H_
#define GLOSSATOR_HTML_SITE_SITE_NAMES_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace glossator {

// The names of the site's files and anchors. Both are made only of ASCII letters, digits, "_",
// "." (files only) and "-", so that they need no escaping in an HTML attribute or a URL and mean
// the same on every file system. Pascal identifiers hold no "-": the "-N" that UniqueNames adds
// to tell two equal names apart can never make the name of another item, and the ids the pages
// use for themselves ("g-main", "g-q") never meet an item's anchor.

// A file stem made of a name: letters, digits, "_" and "." stay, every run of other bytes ("<",
// ", " of a generic, bytes of UTF-8) becomes one "_", and a run at the end is dropped. A stem that
// would start with "." or be empty gets a "_" in front; a stem that Windows reserves for a
// device gets one behind; very long names are cut.
//
//   "Vcl.Forms"   => "Vcl.Forms"
//   "TList<K, V>" => "TList_K_V"
//   ".hidden"     => "_.hidden"
//   "Con"         => "Con_"
std::string FileStem(std::string_view name);

// An anchor made of an item's name: the name up to a generic's "<", with every byte but
// letters, digits and "_" written as "_". A name with no letter, digit or "_" at all (an
// operator such as "+") is written as "op" and the hex codes of its bytes.
//
//   "Create"      => "Create"
//   "Sort<T>"     => "Sort"
//   "+"           => "op2B"
std::string AnchorStem(std::string_view name);
// The same, appended.
void AppendAnchorStem(std::string& out, std::string_view name);
// Whether AnchorStem(name) is the name itself: a name of letters, digits and "_" only.
bool IsAnchorStem(std::string_view name);

// Hands out names that differ from every name it handed out before, ASCII letters compared
// without case (case-insensitive file systems exist): a stem comes back as it is the first time
// and with "-2", "-3", ... behind it after that.
//
//   Take("Foo", ".html") => "Foo.html"; Take("foo", ".html") => "foo-2.html";
//   Take("Foo", ".html") => "Foo-3.html"; Take("Foo", ".js") => "Foo.js"
class UniqueNames {
 public:
  std::string Take(std::string_view stem, std::string_view extension);
  // Whether a name (with its extension) was handed out, compared without case.
  bool Taken(std::string_view name) const;
  void Clear();
  size_t Size() const { return taken_.size(); }

 private:
  std::unordered_set<std::string> taken_;             // lower case
  std::unordered_map<std::string, int> next_suffix_;  // lower-case stem and extension => N
};

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_SITE_NAMES_H_
