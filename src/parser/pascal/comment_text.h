#ifndef GLOSSATOR_PARSER_PASCAL_COMMENT_TEXT_H_
#define GLOSSATOR_PARSER_PASCAL_COMMENT_TEXT_H_

#include <string>
#include <string_view>

#include "parser/pascal/pascal_reader.h"
#include "parser/pascal/token_stream.h"

namespace glossator::pascal {

// Finds the comment that documents an item, by the rules of a comment mode.
//
// In both modes: a "{** ... }" comment, or a run of "///" lines (XML documentation, see
// xml_doc.h), that stands directly before the item's first token, with nothing but blanks
// between. With CommentMode::kAny also: a plain comment ("{ }", "(* *)" or a run of "//" lines on
// consecutive lines) that starts a line of its own and stands directly before the item, and a
// back comment ("//<" or "{< }") on the item's last line or directly after its last token.
// Directives and the IDE's "{%...}" marks are never documentation. Comment lines are joined by
// CR LF, and the whole text is trimmed.
class CommentReader {
 public:
  // REQUIRES: `stream` outlives the reader.
  CommentReader(const TokenStream& stream, CommentMode mode) : stream_(stream), mode_(mode) {}

  // The comment before tokens[first]; empty when there is none.
  std::string Leading(size_t first) const;
  // The back comment after tokens[last]; empty when there is none (always in kDocOnly).
  std::string Trailing(size_t last) const;
  // The unit's comment: the one before the heading, else the first "{**" or "///" comment of
  // the file before it.
  std::string UnitComment(size_t heading) const;

 private:
  std::string Text(size_t comment) const;
  std::string RunText(size_t last, CommentStyle style, size_t marker) const;

  const TokenStream& stream_;  // not owned
  CommentMode mode_;
};

// "{** Frees it.\n  Twice. }" => "Frees it.\r\n  Twice." : the text between the markers, its
// line breaks written as CR LF, trimmed at both ends. `open` and `close` are the markers' sizes;
// the closing one counts only when it is there.
std::string CommentBody(std::string_view comment, size_t open, std::string_view close);

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_COMMENT_TEXT_H_
