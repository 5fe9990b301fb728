#include "parser/pascal/comment_text.h"

#include <algorithm>

#include "model/text_rules.h"
#include "parser/pascal/xml_doc.h"

namespace glossator::pascal {
namespace {

// Line breaks ("\r\n" or "\n") written as CR LF.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// A line comment's text after its marker and one blank.
std::string_view AfterMarker(std::string_view line, size_t marker) {
  line.remove_prefix(std::min(marker, line.size()));
  if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

}  // namespace

std::string CommentBody(std::string_view comment, size_t open, std::string_view close) {
  std::string_view body = comment.substr(std::min(open, comment.size()));
  if (!close.empty() && body.size() >= close.size() &&
      body.substr(body.size() - close.size()) == close) {
    body.remove_suffix(close.size());
  }
  return WithCrLf(Trim(body));
}

// The text of a block comment in kAny mode, its markers removed ("(** x *)" => "x").
std::string CommentReader::Text(size_t comment) const {
  const Comment& c = stream_.comments[comment];
  if (c.style == CommentStyle::kParenStar) {
    std::string_view body = c.text.substr(2);
    if (body.size() >= 2 && body.substr(body.size() - 2) == "*)") body.remove_suffix(2);
    while (!body.empty() && body.front() == '*') body.remove_prefix(1);
    while (!body.empty() && body.back() == '*') body.remove_suffix(1);
    return WithCrLf(Trim(body));
  }
  return CommentBody(c.text, 1, "}");
}

// The lines of the run of line comments of one style that ends with comment `last`: comments on
// consecutive lines, each directly after the one before (a "//" run: each on a line of its own).
std::string CommentReader::RunText(size_t last, CommentStyle style, size_t marker) const {
  const auto& comments = stream_.comments;
  size_t first = last;
  while (first > 0) {
    const Comment& current = comments[first];
    const Comment& before = comments[first - 1];
    if (before.style != style || !(current.flags & kAfterComment) || before.file != current.file ||
        before.line + 1 != current.line) {
      break;
    }
    if (style == CommentStyle::kSlashes && !(before.flags & kOwnLine)) break;
    --first;
  }
  std::string text;
  for (size_t c = first; c <= last; ++c) {
    if (c != first) text += "\r\n";
    text.append(AfterMarker(comments[c].text, marker));
  }
  return std::string(Trim(text));
}

std::string CommentReader::Leading(size_t first) const {
  const Token& token = stream_.tokens[first];
  if (!(token.flags & kFollowsComment) || token.comments_before == 0) return {};
  const size_t c = token.comments_before - 1;
  const Comment& comment = stream_.comments[c];
  if (comment.file != token.file) return {};
  const bool plain = mode_ == CommentMode::kAny && (comment.flags & kOwnLine);
  switch (comment.style) {
    case CommentStyle::kDocBrace:
      return CommentBody(comment.text, 3, "}");
    case CommentStyle::kTripleSlash:
      return XmlDocToTags(RunText(c, CommentStyle::kTripleSlash, 3));
    case CommentStyle::kBrace:
    case CommentStyle::kParenStar:
      return plain ? Text(c) : std::string();
    case CommentStyle::kSlashes:
      return plain ? RunText(c, CommentStyle::kSlashes, 2) : std::string();
    default:
      return {};
  }
}

std::string CommentReader::Trailing(size_t last) const {
  const auto& tokens = stream_.tokens;
  const auto& comments = stream_.comments;
  if (mode_ != CommentMode::kAny || last + 1 >= tokens.size()) return {};
  const Token& token = tokens[last];
  size_t c = token.comments_before;
  const size_t end = tokens[last + 1].comments_before;
  if (c >= end) return {};
  const Comment& comment = comments[c];
  if (comment.file != token.file ||
      (comment.line != token.line && !(comment.flags & kAfterToken))) {
    return {};
  }
  if (comment.style == CommentStyle::kBackBrace) return CommentBody(comment.text, 2, "}");
  if (comment.style != CommentStyle::kBackSlashes) return {};
  // A run of "//<" lines.
  size_t last_line = c;
  while (last_line + 1 < end && comments[last_line + 1].style == CommentStyle::kBackSlashes &&
         comments[last_line + 1].line == comments[last_line].line + 1 &&
         (comments[last_line + 1].flags & kAfterComment)) {
    ++last_line;
  }
  std::string text;
  for (size_t k = c; k <= last_line; ++k) {
    if (k != c) text += "\r\n";
    text.append(AfterMarker(comments[k].text, 3));
  }
  return std::string(Trim(text));
}

std::string CommentReader::UnitComment(size_t heading) const {
  std::string leading = Leading(heading);
  if (!leading.empty()) return leading;
  const auto& comments = stream_.comments;
  const size_t end = stream_.tokens[heading].comments_before;
  for (size_t c = 0; c < end; ++c) {
    if (comments[c].style == CommentStyle::kDocBrace) return CommentBody(comments[c].text, 3, "}");
    if (comments[c].style == CommentStyle::kTripleSlash) {
      size_t last = c;
      while (last + 1 < end && comments[last + 1].style == CommentStyle::kTripleSlash &&
             comments[last + 1].line == comments[last].line + 1 &&
             (comments[last + 1].flags & kAfterComment)) {
        ++last;
      }
      return XmlDocToTags(RunText(last, CommentStyle::kTripleSlash, 3));
    }
  }
  return {};
}

}  // namespace glossator::pascal
