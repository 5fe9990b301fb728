#ifndef GLOSSATOR_HTML_SITE_DOC_TAGS_H_
#define GLOSSATOR_HTML_SITE_DOC_TAGS_H_

#include <string_view>
#include <vector>

namespace glossator {

// A documentation comment cut at its tags. A tag is "@param", "@return", "@returns", "@see" or
// "@deprecated" in any case, at the start of the comment or behind a blank, and followed by a
// blank or the end; it runs to the next tag. Other "@" words (an address, "@raises") stay text.
//
//   "Adds. @param a first @param b second @return the sum"
//     => description "Adds.", params {"a", "first"}, {"b", "second"}, returns "the sum"
//   "@deprecated Use Add2. @see Add2 the new one"
//     => deprecated "Use Add2.", see {"Add2", "the new one"}
struct DocTags {
  struct Named {
    std::string_view name;  // the tag's first word
    std::string_view text;  // the rest, trimmed
  };
  std::string_view description;  // the text in front of the first tag, trimmed
  std::vector<Named> params;
  std::vector<std::string_view> returns;
  std::vector<Named> see;
  bool deprecated = false;
  std::string_view deprecated_text;
};

DocTags SplitDocTags(std::string_view comment);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_DOC_TAGS_H_
