#include "html/site/doc_tags.h"

#include "model/text_rules.h"

namespace glossator {
namespace {

enum class TagKind { kNone, kParam, kReturn, kSee, kDeprecated };

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// The tag at text[i] == '@', and its length.
TagKind TagAt(std::string_view text, size_t i, size_t* length) {
  if (i > 0 && !IsBlank(text[i - 1])) return TagKind::kNone;
  static constexpr struct {
    std::string_view word;
    TagKind kind;
  } kTags[] = {{"@param", TagKind::kParam},
               {"@returns", TagKind::kReturn},
               {"@return", TagKind::kReturn},
               {"@see", TagKind::kSee},
               {"@deprecated", TagKind::kDeprecated}};
  for (const auto& tag : kTags) {
    size_t end = i + tag.word.size();
    if (!StartsWithNoCase(text.substr(i), tag.word)) continue;
    if (end < text.size() && !IsBlank(text[end])) continue;
    *length = tag.word.size();
    return tag.kind;
  }
  return TagKind::kNone;
}

DocTags::Named SplitName(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return {text.substr(0, end), Trim(text.substr(end))};
}

void Store(DocTags& tags, TagKind kind, std::string_view text) {
  text = Trim(text);
  switch (kind) {
    case TagKind::kParam:
      tags.params.push_back(SplitName(text));
      return;
    case TagKind::kReturn:
      tags.returns.push_back(text);
      return;
    case TagKind::kSee:
      tags.see.push_back(SplitName(text));
      return;
    case TagKind::kDeprecated:
      tags.deprecated = true;
      tags.deprecated_text = text;
      return;
    case TagKind::kNone:
      tags.description = text;
      return;
  }
}

}  // namespace

DocTags SplitDocTags(std::string_view comment) {
  DocTags tags;
  TagKind current = TagKind::kNone;
  size_t start = 0;
  for (size_t at = comment.find('@'); at != std::string_view::npos;
       at = comment.find('@', at + 1)) {
    size_t length = 0;
    TagKind kind = TagAt(comment, at, &length);
    if (kind == TagKind::kNone) continue;
    Store(tags, current, comment.substr(start, at - start));
    current = kind;
    start = at + length;
    at = start - 1;
  }
  Store(tags, current, comment.substr(start));
  return tags;
}

}  // namespace glossator
