#include "html/comment_render.h"

#include <tuple>
#include <utility>

#include "model/text_rules.h"
#include "model/uStringFunc.h"

namespace glossator {
namespace {

constexpr std::string_view kParamTag = "@param";
constexpr std::string_view kReturnTag = "@return";
constexpr std::string_view kSeeTag = "@see";
constexpr std::string_view kDeprecatedTag = "@deprecated";
constexpr std::string_view kIndentedItem = "<dd>&nbsp;&nbsp;&nbsp;";
constexpr size_t kNotFound = std::string_view::npos;

// The text up to the first occurrence of `part`, or the whole text when `part` does not occur.
std::string_view UpTo(std::string_view text, std::string_view part) {
  return text.substr(0, text.find(part));
}

// The text from its first line feed on, the line feed included; the whole text without one.
std::string_view FromFirstLineFeed(std::string_view text) {
  size_t lf = text.find('\n');
  return lf == kNotFound ? text : text.substr(lf);
}

// {the text up to and including its first line feed, the rest}; {text, ""} without a line feed.
// A tag's argument is the rest of the tag's line, taken with its line break.
//
//   " old\r\nNext." => {" old\r\n", "Next."}
//   " old"          => {" old", ""}
std::pair<std::string_view, std::string_view> SplitBehindLineFeed(std::string_view text) {
  size_t lf = text.find('\n');
  if (lf == kNotFound) return {text, {}};
  return {text.substr(0, lf + 1), text.substr(lf + 1)};
}

std::string Concat(std::string_view a, std::string_view b) {
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a).append(b);
  return out;
}

// Every non-overlapping occurrence of `part` removed in one pass from left to right.
std::string RemoveAll(std::string_view text, std::string_view part) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = text.find(part); at != kNotFound; at = text.find(part)) {
    out.append(text.substr(0, at));
    text.remove_prefix(at + part.size());
  }
  out.append(text);
  return out;
}

// The parameter and return readers work on a view so that a long run of tags is read in one
// pass; shortening a view costs nothing, whereas cutting a string copies what is left of it.
bool TakeParamItem(std::string_view& work, std::string* item) {
  size_t tag = work.find(kParamTag);
  if (tag == kNotFound) return false;
  work = Trim(work.substr(tag + kParamTag.size()));
  // The parameter ends at the next "@param"; the last one ends at the first "@return".
  size_t end = work.find(kParamTag);
  if (end == kNotFound) end = work.find(kReturnTag);
  std::string_view text = Trim(work.substr(0, end));
  // "count number of items" => name "count " (its space kept), description "number of items".
  size_t space = text.find(' ');
  std::string_view name = space == kNotFound ? std::string_view() : text.substr(0, space + 1);
  std::string_view description = space == kNotFound ? text : text.substr(space + 1);
  item->assign("<CODE>").append(name).append("</CODE> : ").append(description);
  return true;
}

bool TakeReturnItem(std::string_view& work, std::string* item) {
  size_t tag = work.find(kReturnTag);
  if (tag == kNotFound) return false;
  work = Trim(work.substr(tag + kReturnTag.size()));
  item->assign(Trim(UpTo(work, kReturnTag)));
  return true;
}

// Makes `work` hold only `part`, a view into `work` itself.
void KeepOnly(std::string& work, std::string_view part) {
  size_t offset = static_cast<size_t>(part.data() - work.data());
  work.resize(offset + part.size());
  work.erase(0, offset);
}

// Takes the first "@deprecated" and the rest of its line out of `text` and appends the
// deprecation item made of them to `result`.
void TakeDeprecated(std::string& text, std::string* result) {
  size_t tag = text.find(kDeprecatedTag);
  if (tag == kNotFound) return;
  std::string_view before = std::string_view(text).substr(0, tag);
  auto [reason, rest] =
      SplitBehindLineFeed(std::string_view(text).substr(tag + kDeprecatedTag.size()));
  result->append("<dd><B>Deprecated</B><I>").append(reason).append("</I></dd>");
  text = Concat(before, rest);
}

// Takes the first "@see" and its target out of `text` and returns the target. The target ends
// in front of the next "@" (which stays, so a tag after it is still read) or, without one, at
// the first "}".
//
//   "A @see B\r\n@param x" => " B\r\n", text "A @param x"
//   "A @see B} C"          => " B",     text "A  C"
//   "A @see B"             => " B",     text "A "
std::string TakeSeeAlso(std::string& text) {
  if (!Contains(text, kSeeTag)) return {};
  auto [before, after] = SplitAt(text, kSeeTag);
  std::string target;
  std::string rest;
  size_t next_tag = after.find('@');
  if (next_tag != kNotFound) {
    target = after.substr(0, next_tag);
    rest = after.substr(next_tag);
  } else {
    std::tie(target, rest) = SplitAt(after, "}");
  }
  text = Concat(before, rest);
  return target;
}

// The text that the description, parameters and returns are read from. The short comment is
// taken as it is (its own "@deprecated" or "@see" not taken out) when it alone has "@param", or
// when nothing is left of the processed text.
std::string_view WorkingText(std::string_view text, std::string_view short_comment) {
  if (Contains(text, kParamTag)) return text;
  if (Contains(short_comment, kParamTag)) return short_comment;
  if (!text.empty()) return text;
  return short_comment;
}

void AppendItem(std::string_view prefix, std::string_view text, std::string* result) {
  result->append(prefix).append(text).append("</dd>");
}

// The description item, then the "Parameters" and "Returns" groups. The description is all
// that stands in front of the first "@param", so a "@return" written before the parameters stays
// there as text and makes no "Returns" group.
void AppendBody(std::string_view work, std::string* result) {
  bool has_param = Contains(work, kParamTag);
  if (!has_param && !Contains(work, kReturnTag)) {
    if (!work.empty()) AppendItem("<dd>", work, result);
    return;
  }
  AppendItem("<dd>", UpTo(work, has_param ? kParamTag : kReturnTag), result);
  std::string item;
  if (has_param) {
    result->append("<dd><B>Parameters</B></dd>");
    while (TakeParamItem(work, &item)) AppendItem(kIndentedItem, item, result);
  }
  if (Contains(work, kReturnTag)) {
    result->append("<dd><B>Returns</B></dd>");
    while (TakeReturnItem(work, &item)) AppendItem(kIndentedItem, item, result);
  }
}

// A member's summary text when the short comment is not shown, with the deprecation marker.
std::string MemberSummaryText(std::string_view text, bool deprecated) {
  if (Contains(text, kDeprecatedTag)) {
    deprecated = true;
    text = FromFirstLineFeed(text);
  }
  text = UpTo(text, "@");
  return deprecated ? Concat("<B>Deprecated&nbsp;</B>", text) : std::string(text);
}

}  // namespace

std::string RenderComment(std::string_view short_comment, std::string_view long_comment) {
  std::string result;
  std::string text(long_comment.empty() ? short_comment : long_comment);
  TakeDeprecated(text, &result);
  std::string see_also = TakeSeeAlso(text);
  AppendBody(WorkingText(text, short_comment), &result);
  if (!see_also.empty()) {
    result.append("<dd><B>See Also</B></dd>");
    AppendItem(kIndentedItem, see_also, &result);
  }
  return result;
}

bool NextParamItem(std::string& work, std::string* item) {
  std::string_view rest = work;
  if (!TakeParamItem(rest, item)) return false;
  KeepOnly(work, rest);
  return true;
}

bool NextReturnItem(std::string& work, std::string* item) {
  std::string_view rest = work;
  if (!TakeReturnItem(rest, item)) return false;
  KeepOnly(work, rest);
  return true;
}

std::string RenderDescription(std::string_view comment) {
  size_t tag = comment.find(kSeeTag);
  if (tag == kNotFound) return std::string(comment);
  auto [target, rest] = SplitBehindLineFeed(comment.substr(tag + kSeeTag.size()));
  std::string result(comment.substr(0, tag));
  result.append(rest).append("<BR><BR><B>See Also:</B><BR>").append(target);
  return result;
}

std::string IndexSummary(std::string_view comment, bool mark) {
  std::string text(comment);
  if (mark && Contains(comment, kDeprecatedTag)) {
    text = Concat("<B>Deprecated</B>", FromFirstLineFeed(comment));
  }
  std::string summary("<dd>");
  summary.append(UpTo(text, "@")).append("</dd>");
  return summary;
}

std::vector<std::string> MemberSummaryLines(std::string_view short_comment,
                                            std::string_view long_comment) {
  std::vector<std::string> lines;
  if (!short_comment.empty() || !long_comment.empty()) lines.emplace_back("<dd>");
  if (Contains(short_comment, kDeprecatedTag)) {
    // A deprecated short comment replaces the long one, its tags taken out.
    lines.push_back(MemberSummaryText(RemoveAll(short_comment, kDeprecatedTag), true));
  } else if (!short_comment.empty()) {
    lines.emplace_back(short_comment);
  } else {
    lines.push_back(MemberSummaryText(long_comment, false));
  }
  lines.emplace_back("</dd>");
  return lines;
}

}  // namespace glossator
