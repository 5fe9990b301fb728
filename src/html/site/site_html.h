#ifndef GLOSSATOR_HTML_SITE_SITE_HTML_H_
#define GLOSSATOR_HTML_SITE_SITE_HTML_H_

#include <string>
#include <string_view>

namespace glossator {

// Appends text to a page, as text or as a double-quoted attribute value: "&" "<" ">" and '"'
// become entities, nothing else changes. Unlike HtmlText it appends to the page being built,
// which spares a string for each of the page's hundreds of names.
//
//   "TBox<T>"  => "TBox&lt;T&gt;"
//   "a\"&b"    => "a&quot;&amp;b"
void AppendText(std::string& out, std::string_view text);

// Appends the bytes of a URL's path, percent-encoding every byte but the ASCII letters, the
// digits and "-._~/" (so a source path with blanks, "#", "?" or bytes of UTF-8 stays one path).
//
//   "src/my unit.pas" => "src/my%20unit.pas"
void AppendUrlPath(std::string& out, std::string_view path);

// A number as decimal digits.
void AppendNumber(std::string& out, long long number);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_SITE_HTML_H_
