#include "parser/pascal/pascal_reader.h"

#include <algorithm>

#include "parser/pascal/comment_text.h"
#include "parser/pascal/declaration_parser.h"
#include "parser/pascal/implementation_comments.h"
#include "parser/pascal/preprocessor.h"
#include "parser/pascal/token_stream.h"

namespace glossator {

namespace {

// The token and comment buffers of the last read on this thread, kept for the next one: a
// stream of a big unit takes megabytes, and getting them fresh from the system for every unit
// cost a fifth of the reading time. Buffers above the limits (about 14 and 10 MB, several
// times the biggest LCL unit) are given back.
constexpr size_t kKeptTokens = size_t{1} << 19;
constexpr size_t kKeptComments = size_t{1} << 18;

struct SpareBuffers {
  std::vector<pascal::Token> tokens;
  std::vector<pascal::Comment> comments;
};

thread_local SpareBuffers spare;

void TakeSpareBuffers(pascal::TokenStream& stream, size_t text_size) {
  stream.tokens.swap(spare.tokens);
  stream.comments.swap(spare.comments);
  stream.tokens.clear();
  stream.comments.clear();
  // About one token in six bytes of Pascal; more only costs a copy.
  stream.tokens.reserve(text_size / 6 + 16);
}

void KeepSpareBuffers(pascal::TokenStream& stream) {
  if (stream.tokens.capacity() <= kKeptTokens) spare.tokens.swap(stream.tokens);
  if (stream.comments.capacity() <= kKeptComments) spare.comments.swap(stream.comments);
}

void FitToSize(std::vector<DocItem>& items) {
  for (DocItem& item : items) {
    FitToSize(item.members);
    item.values.shrink_to_fit();
    item.ancestors.shrink_to_fit();
  }
  items.shrink_to_fit();
}

}  // namespace

void FitToSize(DocUnit& unit) { FitToSize(unit.items); }

ReadResult ReadPascalUnit(const std::string& path, std::string_view text,
                          const ReaderOptions& options, FileSystem& files) {
  using namespace pascal;
  ReadResult result;
  std::vector<StreamWarning> warnings;
  TokenStream stream;
  TakeSpareBuffers(stream, text.size());
  Preprocessor(options, files, warnings, result.included).Run(path, text, stream);
  CommentReader comments(stream, options.comments);
  DeclarationParser parser(stream, comments, warnings);
  DocUnit unit;
  unit.file = path;
  std::string why;
  if (parser.ReadUnit(unit, &why)) {
    size_t interface_end = parser.Position();
    ReadImplementationComments(stream, comments, interface_end, unit);
    result.unit = std::move(unit);
    // An include file of the implementation part that is not found costs at most the comments
    // above some routine bodies: no news for a reader of the documentation.
    std::erase_if(warnings, [&](const StreamWarning& warning) {
      return warning.position > interface_end && warning.warning.kind == "pascal-include";
    });
  } else {
    result.not_a_unit = std::move(why);
  }
  // The directives' warnings came first; merge them with the parser's by position.
  std::stable_sort(
      warnings.begin(), warnings.end(),
      [](const StreamWarning& a, const StreamWarning& b) { return a.position < b.position; });
  result.warnings.reserve(warnings.size());
  for (StreamWarning& warning : warnings) result.warnings.push_back(std::move(warning.warning));
  KeepSpareBuffers(stream);
  return result;
}

}  // namespace glossator
