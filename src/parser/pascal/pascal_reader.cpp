#include "parser/pascal/pascal_reader.h"

#include <algorithm>

#include "parser/pascal/comment_text.h"
#include "parser/pascal/declaration_parser.h"
#include "parser/pascal/implementation_comments.h"
#include "parser/pascal/preprocessor.h"
#include "parser/pascal/token_stream.h"

namespace glossator {

ReadResult ReadPascalUnit(const std::string& path, std::string_view text,
                          const ReaderOptions& options, FileSystem& files) {
  using namespace pascal;
  ReadResult result;
  std::vector<StreamWarning> warnings;
  TokenStream stream;
  Preprocessor(options, files, warnings, result.included).Run(path, text, stream);
  CommentReader comments(stream, options.comments);
  DeclarationParser parser(stream, comments, warnings);
  DocUnit unit;
  unit.file = path;
  std::string why;
  if (parser.ReadUnit(unit, &why)) {
    ReadImplementationComments(stream, comments, parser.Position(), unit);
    result.unit = std::move(unit);
  } else {
    result.not_a_unit = std::move(why);
  }
  // The directives' warnings came first; merge them with the parser's by position.
  std::stable_sort(
      warnings.begin(), warnings.end(),
      [](const StreamWarning& a, const StreamWarning& b) { return a.position < b.position; });
  result.warnings.reserve(warnings.size());
  for (StreamWarning& warning : warnings) result.warnings.push_back(std::move(warning.warning));
  return result;
}

}  // namespace glossator
