#ifndef GLOSSATOR_PARSER_PASCAL_XML_DOC_H_
#define GLOSSATOR_PARSER_PASCAL_XML_DOC_H_

#include <string>
#include <string_view>

namespace glossator::pascal {

// Turns the XML of "///" documentation into the comment tags the pages render: the summary
// first, then remarks, exceptions and other sections as paragraphs, then one line each for
// "@param name text", "@return text" and "@see name". Inside texts, <para> becomes <p>, <c>
// becomes <code>, <see cref="x"/> becomes "x" (and adds "@see x"), <paramref name="x"/> becomes
// <code>x</code>; other markup is kept. Lines are joined by CR LF. Text without any XML element
// comes back trimmed and otherwise unchanged.
//
//   "<summary>Adds.</summary><param name=\"a\">first</param><returns>sum</returns>"
//       => "Adds.\r\n@param a first\r\n@return sum"
//   "<summary>Reads</summary><exception cref=\"EIO\">on failure</exception>"
//       => "Reads\r\n<p>Raises EIO: on failure</p>"
std::string XmlDocToTags(std::string_view xml);

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_XML_DOC_H_
