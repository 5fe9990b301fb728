#ifndef GLOSSATOR_HTML_HTML_TEXT_H_
#define GLOSSATOR_HTML_HTML_TEXT_H_

#include <string>
#include <string_view>

namespace glossator {

// How names, declarations and file names go into the pages. Comments are HTML by intent and go
// in as written; everything read from a declaration is text, and link targets are URLs. A name
// made only of letters, digits, "_", "." and the like passes all three unchanged, so that pages
// of ordinary code keep their bytes.

// Page text: "&" => "&amp;", "<" => "&lt;", ">" => "&gt;"; nothing else changes.
//
//   "TBox<T>"      => "TBox&lt;T&gt;"
//   "S = '<b>'"    => "S = '&lt;b&gt;'"
//   "a & b"        => "a &amp; b"
std::string HtmlText(std::string_view text);

// The file name of the page of a unit or a class: the name with ".html" appended.
std::string PageFileName(std::string_view name);

// A link target's file part (a page or picture name, an unquoted HREF= or SRC= value): every byte
// up to 0x20, 0x7F, every byte from 0x80 and each of " # % & ' < = > ? \ ^ ` { | } is written as
// "%" and two upper-case hex digits.
//
//   "TBox<T>.html"     => "TBox%3CT%3E.html"
//   "agg_arc .html"    => "agg_arc%20.html"
//   "\xDC" "bersicht"  => "%DCbersicht"
std::string LinkTarget(std::string_view file_part);

// The part of a link after "#": encoded like a file part, except that bytes from 0x80 stay as
// they are (the browser encodes them as UTF-8 and decodes them again to match the anchor).
//
//   "Initialize; stdcall" => "Initialize;%20stdcall"
//   "Max: Integer"        => "Max:%20Integer"
std::string LinkFragment(std::string_view fragment);

// The value of an anchor's NAME= attribute. A name holding a byte up to 0x20 or one of
// " & ' < = > ` is written in double quotes, with "&" as "&amp;" and '"' as "&quot;"; any other
// name goes in unquoted, as it is.
//
//   "MaxSides"      => "MaxSides"
//   "Max: Integer"  => "\"Max: Integer\""
//   "A&B"           => "\"A&amp;B\""
std::string AnchorName(std::string_view name);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_HTML_TEXT_H_
