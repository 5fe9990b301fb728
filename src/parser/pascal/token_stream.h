#ifndef GLOSSATOR_PARSER_PASCAL_TOKEN_STREAM_H_
#define GLOSSATOR_PARSER_PASCAL_TOKEN_STREAM_H_

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "base/warning.h"
#include "parser/pascal/lexer.h"
#include "parser/pascal/token.h"

namespace glossator::pascal {

// One comment of the stream (from the active parts of the files only).
struct Comment {
  std::string_view text;  // with its markers
  int line = 0;           // its first line
  int end_line = 0;       // its last line
  uint16_t file = 0;
  CommentStyle style = CommentStyle::kBrace;
  uint8_t flags = 0;  // kOwnLine, kAfterComment, kAfterToken (lexer.h)
};

// A unit as the compiler sees it after the directives: the tokens of the active branches of the
// unit and its include files in reading order, ending with one Id::kEndOfStream token, and the
// comments among them. Token i follows comments [0, tokens[i].comments_before); the comments
// between tokens i and i + 1 are [tokens[i].comments_before, tokens[i + 1].comments_before).
// Tokens view `buffers` (include files) or the unit's own text, which must outlive the stream.
struct TokenStream {
  std::vector<Token> tokens;
  std::vector<Comment> comments;
  std::vector<std::string> files;   // paths; 0 is the unit
  std::deque<std::string> buffers;  // the bytes of the include files read
};

// A warning with the index of the token it stands at (or before), so that the warnings of the
// directives and of the parser can be merged into source order.
struct StreamWarning {
  uint32_t position = 0;
  Warning warning;
};

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_TOKEN_STREAM_H_
