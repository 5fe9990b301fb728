#ifndef GLOSSATOR_HTML_SITE_COMMENT_HTML_H_
#define GLOSSATOR_HTML_SITE_COMMENT_HTML_H_

#include <string>
#include <string_view>

namespace glossator {

// Appends a documentation comment, which is HTML by intent, so that it can neither run code in
// a reader's browser nor break the page around it:
// - elements of a fixed list of text and table elements (b, i, code, pre, a, img, ul, table,
//   ...) are written again from their parsed parts, with their attributes in double quotes;
// - a tag of any other element (script, style, iframe, object, form, svg, ...), a tag with an
//   "on..." attribute, a tag whose href/src/cite is a javascript:, vbscript: or data: URL
//   (entities and blanks inside the scheme taken into account), a tag that never ends, "<!"
//   and "<?" are written as text, as are a lone "<" and ">";
// - attributes off the list (style, id, class, data-...) are dropped;
// - an end tag closes only an element the comment opened, and every element the comment left
//   open is closed at its end;
// - NUL bytes are dropped; everything else (text, entities, line breaks) stays as it is.
//
//   "<b>bold</b>"                   => "<b>bold</b>"
//   "<script>alert(1)</script>"     => "&lt;script&gt;alert(1)&lt;/script&gt;"
//   "<img src=x onerror=alert(1)>"  => "&lt;img src=x onerror=alert(1)&gt;"
//   "<i>open </div>"                => "<i>open &lt;/div&gt;</i>"
void AppendSafeHtml(std::string& out, std::string_view html);

// A comment's description, made safe like AppendSafeHtml. A comment written as plain text
// (with no <p>, <br>, <pre>, list, table, <div> or heading tag) gets a paragraph for each run
// of lines between empty lines, as its writer laid it out; one with such tags is left as
// written.
//
//   "First.\r\n\r\nSecond."     => "<p>First.</p><p>Second.</p>"
//   "<p>One</p>\r\n\r\n<p>Two" => "<p>One</p>\r\n\r\n<p>Two</p>"
void AppendDocHtml(std::string& out, std::string_view comment);

// Whether a URL may stand in a link: false for javascript:, vbscript: and data: URLs, however
// their scheme is written ("JaVa&#x53;cript:", " javascript:", "java\tscript:").
bool IsSafeUrl(std::string_view url);

// The first sentence of a comment: the text up to a ".", "!" or "?" that a blank or the end
// follows, to an empty line, or to the first "@" tag, whichever comes first; the inside of tags
// never ends it. Blanks at both ends are dropped.
//
//   "Draws the shape. Then more."  => "Draws the shape."
//   "See <a href=\"a.b\">x</a> now" => "See <a href=\"a.b\">x</a> now"
//   "Lines\r\n\r\nMore"             => "Lines"
std::string_view FirstSentence(std::string_view comment);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_COMMENT_HTML_H_
