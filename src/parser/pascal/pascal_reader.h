#ifndef GLOSSATOR_PARSER_PASCAL_PASCAL_READER_H_
#define GLOSSATOR_PARSER_PASCAL_PASCAL_READER_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/warning.h"
#include "model/unit_model.h"

namespace glossator {

class FileSystem;

// Which compiler's built-in conditional symbols a read starts with.
enum class CompilerMode { kFpc, kDelphi };

// Which comments document items: only "{** ... }" (and "///"), or also the plain comment above
// an item and "//<" / "{< }" behind it.
enum class CommentMode { kDocOnly, kAny };

// How to read: the compiler, its -D symbols and -I folders, the comment rules.
struct ReaderOptions {
  CompilerMode compiler = CompilerMode::kFpc;
  std::vector<std::string> defines;       // "-D SYM" or "-D SYM=VALUE", in order
  std::vector<std::string> include_dirs;  // "-I DIR", searched after the unit's own folder
  CommentMode comments = CommentMode::kDocOnly;
};

// What reading one file gave.
struct ReadResult {
  std::optional<DocUnit> unit;  // none when the file is no unit
  // Then why: "the file is a program, not a unit" (likewise library and package), or "the file
  // has no unit heading".
  std::string not_a_unit;
  std::vector<Warning> warnings;      // in source order; kinds "pascal-syntax", ...
  std::vector<std::string> included;  // every include file read, once, as the path it was opened by
};

// Reads one unit source as a compiler does: the whole file through the conditional directives
// and include files, the unit heading and the interface part into the unit model, and of the
// implementation part the comments above routine and method bodies (DocItem::long_comment).
// `path` is the file as listed (DocUnit::file, items' file, warnings); `text` its bytes. Include
// files are read through `files` (ReadFile, KindOf, ListFolder). Never throws for bad input,
// never crashes; time and memory are linear in the input (includes counted).
ReadResult ReadPascalUnit(const std::string& path, std::string_view text,
                          const ReaderOptions& options, FileSystem& files);

// Gives the vectors of a unit's items no more room than they hold. They grew by doubling; for a
// run that keeps every unit at once (the site renders from them) the spare room was a third of
// their memory on the Lazarus sources, and moving each item once costs less than that.
void FitToSize(DocUnit& unit);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_PASCAL_PASCAL_READER_H_
