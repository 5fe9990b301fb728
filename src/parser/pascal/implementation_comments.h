#ifndef GLOSSATOR_PARSER_PASCAL_IMPLEMENTATION_COMMENTS_H_
#define GLOSSATOR_PARSER_PASCAL_IMPLEMENTATION_COMMENTS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "model/unit_model.h"
#include "parser/pascal/comment_text.h"
#include "parser/pascal/token_stream.h"

namespace glossator::pascal {

// Reads the implementation part from tokens[start] for one thing: the comment directly above
// each routine or method heading at the top level ("procedure TFoo.Bar(...)", "function
// TFoo<T>.Baz", "constructor TFoo.Create", free routines), and gives it to the matching
// interface item as its long_comment. Headings match by qualified name without case and without
// generic parameters; overloads by equal parameter lists (default values left out), else in
// order. Bodies are skipped by their begin/end, case/end, try/end, asm/end and record/end pairs.
void ReadImplementationComments(const TokenStream& stream, const CommentReader& comments,
                                size_t start, DocUnit& unit);

// A parameter list as it is compared: tokens [begin, end) inside the brackets, lower case, one
// space apart, default values left out: "(A: Integer = 0; var B)" => "a : integer ; var b".
std::string ParameterKey(const std::vector<Token>& tokens, size_t begin, size_t end);

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_IMPLEMENTATION_COMMENTS_H_
