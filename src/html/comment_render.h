#ifndef GLOSSATOR_HTML_COMMENT_RENDER_H_
#define GLOSSATOR_HTML_COMMENT_RENDER_H_

#include <string>
#include <string_view>
#include <vector>

namespace glossator {

// Turns documentation comments into the HTML fragments of the pages. A comment is one text whose
// lines are joined by CR LF. The tags "@param", "@return", "@see" and "@deprecated" count only in
// lower case and are found as plain substrings anywhere in the text, so "@returns x" is the tag
// "@return" followed by "s x". Nothing is escaped: HTML written in a comment reaches the page as
// HTML, and the comment's CR LF pairs stay in the fragments.
//
// The fragments are part of the page format that readers compare byte for byte between runs; do
// not change a character of them.

// The "<dd>" items that document a routine, a class member or a constant, always in the order
// deprecated, description, parameters, returns, see also. `long_comment` (above the
// implementation) is used when it is not empty, else `short_comment` (above the declaration);
// parameters written only in the short comment are still found. Constants pass their comment as
// both. The result holds no line breaks other than those of the comment.
//
//   ("Frees it.", "")          => "<dd>Frees it.</dd>"
//   ("Old.@deprecated go", "") => "<dd><B>Deprecated</B><I> go</I></dd><dd>Old.</dd>"
//   ("@param x", "")           => "<dd></dd><dd><B>Parameters</B></dd>"
//                                 "<dd>&nbsp;&nbsp;&nbsp;<CODE></CODE> : x</dd>"
//   ("", "")                   => ""
std::string RenderComment(std::string_view short_comment, std::string_view long_comment);

// Both cut `work` behind its first tag and, when there was one, put the item that follows in
// *item and return true; without the tag they return false and leave `work` as it is. Every
// successful call removes one tag, so a loop over them ends.
//
//   NextParamItem("@param a one @param b")  => "<CODE>a </CODE> : one", work "a one @param b"
//   NextParamItem("@param x @return the x") => "<CODE></CODE> : x",     work "x @return the x"
//   NextReturnItem("@return s @return t")   => "s",                     work "s @return t"
//   NextParamItem("no tag")                 => false,                   work "no tag"
//
// The parameter's name keeps its trailing space inside the code element; a parameter ends at
// the next "@param" or, for the last one, at the next "@return".
// REQUIRES: item != nullptr.
bool NextParamItem(std::string& work, std::string* item);
bool NextReturnItem(std::string& work, std::string* item);

// A unit or class description, where only the first "@see" counts: its target (the rest of its
// line, with the line break) moves behind a "See Also:" heading at the end.
//
//   "Main.\r\n@see TOther\r\nMore." => "Main.\r\nMore.<BR><BR><B>See Also:</B><BR> TOther\r\n"
//   "A @see B"                      => "A <BR><BR><B>See Also:</B><BR> B"
//   "No tags @param x"              => "No tags @param x"
std::string RenderDescription(std::string_view comment);

// The one-line summary "<dd>...</dd>" of an index entry: the comment up to its first "@". With
// `mark` (the routine and constant indexes) a comment holding "@deprecated" becomes a
// "<B>Deprecated</B>" marker followed by the comment from its first line feed on. The caller
// writes nothing when the comment is empty.
//
//   ("Plain text", any)                     => "<dd>Plain text</dd>"
//   ("@deprecated\r\nParses. @param x", true)  => "<dd><B>Deprecated</B>\nParses. </dd>"
//   ("@deprecated\r\nParses. @param x", false) => "<dd></dd>"
//   ("@deprecated use X", true)             => "<dd><B>Deprecated</B></dd>"
std::string IndexSummary(std::string_view comment, bool mark);

// The lines under a member's entry in a class page's summary, in order, each one line of the
// page: "<dd>" (only when a comment is there), the summary text, "</dd>". A short comment is
// shown as it is unless it holds "@deprecated"; otherwise the long comment is cut at its first
// "@".
//
//   ("Draws it.", any)            => {"<dd>", "Draws it.", "</dd>"}
//   ("Old one. @deprecated", any) => {"<dd>", "<B>Deprecated&nbsp;</B>Old one. ", "</dd>"}
//   ("", "Draws.\r\n@param c")    => {"<dd>", "Draws.\r\n", "</dd>"}
//   ("", "")                      => {"", "</dd>"}
std::vector<std::string> MemberSummaryLines(std::string_view short_comment,
                                            std::string_view long_comment);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_COMMENT_RENDER_H_
