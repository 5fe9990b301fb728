#include "html/site/comment_html.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "model/text_rules.h"

namespace glossator {
namespace {

// How deep a comment may nest its elements; deeper tags are written as text.
constexpr size_t kMaxOpen = 64;

// The elements a comment may use: text, lists, tables, links and pictures.
constexpr std::string_view kElements[] = {
    "a",    "abbr",       "b",        "big",   "blockquote", "br",    "caption", "center", "cite",
    "code", "col",        "colgroup", "dd",    "del",        "dfn",   "div",     "dl",     "dt",
    "em",   "figcaption", "figure",   "font",  "h1",         "h2",    "h3",      "h4",     "h5",
    "h6",   "hr",         "i",        "img",   "ins",        "kbd",   "li",      "mark",   "ol",
    "p",    "pre",        "q",        "s",     "samp",       "small", "span",    "strike", "strong",
    "sub",  "sup",        "table",    "tbody", "td",         "tfoot", "th",      "thead",  "time",
    "tr",   "tt",         "u",        "ul",    "var",        "wbr"};
constexpr std::string_view kVoidElements[] = {"br", "col", "hr", "img", "wbr"};
// The attributes kept; any other is dropped.
constexpr std::string_view kAttributes[] = {
    "align",    "alt", "border", "cellpadding", "cellspacing", "cite", "color",  "colspan",
    "datetime", "dir", "face",   "height",      "href",        "lang", "rel",    "rowspan",
    "size",     "src", "start",  "target",      "title",       "type", "valign", "width"};
constexpr std::string_view kBadSchemes[] = {"javascript:", "vbscript:", "data:", "livescript:"};

template <size_t N>
bool InList(const std::string_view (&list)[N], std::string_view word) {
  return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

struct Attribute {
  std::string name;  // lower case
  std::string_view value;
};

// One tag as the browser reads it.
struct Tag {
  bool end = false;
  std::string name;  // lower case
  std::vector<Attribute> attributes;
  size_t length = 0;  // bytes from "<" through ">"
};

// Reads the tag that starts at html[0] == '<'. False when the browser would not read a tag
// there, or the tag never ends.
class TagReader {
 public:
  explicit TagReader(std::string_view html) : html_(html) {}

  // Whether the last Read stopped at the end of the text.
  bool AtEnd() const { return pos_ >= html_.size(); }

  bool Read(Tag& tag) {
    pos_ = 1;
    if (At(pos_) == '/') {
      tag.end = true;
      ++pos_;
    }
    if (!IsAsciiLetter(At(pos_))) return false;
    tag.name = ToLowerAscii(Until([](char c) { return IsHtmlSpace(c) || c == '/' || c == '>'; }));
    for (;;) {
      while (pos_ < html_.size() && (IsHtmlSpace(html_[pos_]) || html_[pos_] == '/')) ++pos_;
      if (pos_ >= html_.size()) return false;
      if (html_[pos_] == '>') break;
      if (!ReadAttribute(tag)) return false;
    }
    tag.length = pos_ + 1;
    return true;
  }

 private:
  char At(size_t p) const { return p < html_.size() ? html_[p] : '\0'; }

  template <typename Stop>
  std::string_view Until(Stop stop) {
    size_t start = pos_;
    while (pos_ < html_.size() && !stop(html_[pos_])) ++pos_;
    return html_.substr(start, pos_ - start);
  }

  bool ReadAttribute(Tag& tag) {
    size_t start = pos_++;  // a first "=" belongs to the name
    Until([](char c) { return IsHtmlSpace(c) || c == '/' || c == '>' || c == '='; });
    Attribute attribute{ToLowerAscii(html_.substr(start, pos_ - start)), {}};
    while (IsHtmlSpace(At(pos_))) ++pos_;
    if (At(pos_) == '=') {
      ++pos_;
      while (IsHtmlSpace(At(pos_))) ++pos_;
      char quote = At(pos_);
      if (quote == '"' || quote == '\'') {
        size_t close = html_.find(quote, pos_ + 1);
        if (close == std::string_view::npos) {
          pos_ = html_.size();
          return false;
        }
        attribute.value = html_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
      } else {
        attribute.value = Until([](char c) { return IsHtmlSpace(c) || c == '>'; });
      }
    }
    tag.attributes.push_back(std::move(attribute));
    return true;
  }

  std::string_view html_;
  size_t pos_ = 0;
};

// Reads the character reference at value[i] == '&' as the browser does for a URL's scheme:
// numeric ones with or without their ";", and the named ones that can hide a scheme's parts
// ("&colon;", "&Tab;", "&NewLine;"). Moves i to its last byte; returns '&' for anything else.
unsigned long ReadReference(std::string_view value, size_t& i) {
  size_t p = i + 1;
  if (p < value.size() && value[p] == '#') {
    bool hex = p + 1 < value.size() && (value[p + 1] == 'x' || value[p + 1] == 'X');
    p += hex ? 2 : 1;
    unsigned long code = 0;
    size_t digits = 0;
    for (; p < value.size() && digits < 8; ++p, ++digits) {
      int d = HexValue(value[p]);
      if (d < 0 || (!hex && d > 9)) break;
      code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
    }
    if (digits == 0) return '&';
    i = (p < value.size() && value[p] == ';') ? p : p - 1;
    return code;
  }
  size_t end = p;
  while (end < value.size() && IsAsciiLetter(value[end])) ++end;
  std::string name = ToLowerAscii(value.substr(p, end - p));
  unsigned long code = name == "colon" ? ':' : (name == "tab" || name == "newline") ? ' ' : '&';
  if (code != '&') i = (end < value.size() && value[end] == ';') ? end : end - 1;
  return code;
}

// The start of a URL as the browser reads its scheme: references decoded, blanks and control
// characters dropped (browsers skip them), lower case.
std::string SchemeText(std::string_view value) {
  std::string text;
  for (size_t i = 0; i < value.size() && text.size() < 16; ++i) {
    unsigned long code = static_cast<unsigned char>(value[i]);
    if (value[i] == '&') code = ReadReference(value, i);
    if (code <= ' ' || code == 0x7F) continue;
    text += code > 0x7F ? '?' : ToLowerAscii(static_cast<char>(code));
  }
  return text;
}

bool IsSafeTag(const Tag& tag) {
  if (!InList(kElements, tag.name)) return false;
  for (const Attribute& a : tag.attributes) {
    if (StartsWith(a.name, "on")) return false;
    bool url = a.name == "href" || a.name == "src" || a.name == "cite";
    if (url && !IsSafeUrl(a.value)) return false;
  }
  return true;
}

// An attribute value between double quotes: '"', "<" and ">" become entities; "&" stays, since
// a comment's entities are meant as entities.
void AppendAttributeValue(std::string& out, std::string_view value) {
  for (char c : value) {
    if (c == '"') {
      out += "&quot;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c != '\0') {
      out += c;
    }
  }
}

// Writes the comment's HTML out, element by element.
class SafeHtmlWriter {
 public:
  explicit SafeHtmlWriter(std::string& out) : out_(out) {}

  void Write(std::string_view html) {
    size_t i = 0;
    while (i < html.size()) {
      size_t special = html.find_first_of(std::string_view("<>\0", 3), i);
      if (special == std::string_view::npos) special = html.size();
      out_.append(html.data() + i, special - i);
      i = special;
      if (i >= html.size()) break;
      i += TakeSpecial(html.substr(i));
    }
    while (!open_.empty()) CloseTop();
  }

 private:
  // Handles the "<", ">" or NUL at rest[0]; returns the bytes used.
  size_t TakeSpecial(std::string_view rest) {
    if (rest[0] == '\0') return 1;
    if (rest[0] == '>') {
      out_.append("&gt;");
      return 1;
    }
    Tag tag;
    if (!unended_ && ReadTag(rest, tag) && IsSafeTag(tag) && (tag.end ? Close(tag) : Open(tag))) {
      return tag.length;
    }
    out_.append("&lt;");
    return 1;
  }

  // Reads a tag. One that runs to the end of the comment means that no tag can end any more:
  // every "<" after it is text, which keeps a comment full of "<" linear.
  bool ReadTag(std::string_view rest, Tag& tag) {
    TagReader reader(rest);
    bool read = reader.Read(tag);
    unended_ = !read && reader.AtEnd();
    return read;
  }

  bool Open(const Tag& tag) {
    bool is_void = InList(kVoidElements, tag.name);
    if (!is_void && open_.size() >= kMaxOpen) return false;
    out_.append("<").append(tag.name);
    for (const Attribute& a : tag.attributes) {
      if (!InList(kAttributes, a.name)) continue;
      out_.append(" ").append(a.name).append("=\"");
      AppendAttributeValue(out_, a.value);
      out_.append("\"");
    }
    out_.append(">");
    if (!is_void) open_.push_back(tag.name);
    return true;
  }

  // Closes the element and those opened inside it; false when the comment never opened one.
  bool Close(const Tag& tag) {
    auto found = std::find(open_.rbegin(), open_.rend(), tag.name);
    if (found == open_.rend()) return InList(kVoidElements, tag.name);
    size_t keep = static_cast<size_t>(open_.rend() - found) - 1;
    while (open_.size() > keep) CloseTop();
    return true;
  }

  void CloseTop() {
    out_.append("</").append(open_.back()).append(">");
    open_.pop_back();
  }

  std::string& out_;
  std::vector<std::string> open_;
  bool unended_ = false;  // a tag ran to the end of the comment
};

bool EndsSentence(std::string_view text, size_t i) {
  char c = text[i];
  if (c != '.' && c != '!' && c != '?') return false;
  return i + 1 >= text.size() || IsHtmlSpace(text[i + 1]);
}

bool StartsEmptyLine(std::string_view text, size_t i) {
  if (text[i] != '\n') return false;
  for (size_t j = i + 1; j < text.size() && IsHtmlSpace(text[j]); ++j) {
    if (text[j] == '\n') return true;
  }
  return false;
}

// Whether the comment lays itself out with block elements.
bool HasBlockTags(std::string_view comment) {
  static constexpr std::string_view kBlocks[] = {"<p",  "<br",    "<pre", "<ul", "<ol",
                                                 "<dl", "<table", "<div", "<h",  "<blockquote"};
  for (std::string_view tag : kBlocks) {
    for (size_t at = PosNoCase(tag, comment); at != 0; at = 0) {
      // "<pre" is no "<p" tag, "<hr" no heading: the byte after the name decides.
      char after = at - 1 + tag.size() < comment.size() ? comment[at - 1 + tag.size()] : ' ';
      if (tag == "<h" ? (after >= '1' && after <= '6') : !IsAsciiLetter(after)) return true;
    }
  }
  return false;
}

// The end of the paragraph that starts at `from`: the line feed that an empty line follows,
// or the end of the text.
size_t ParagraphEnd(std::string_view text, size_t from) {
  for (size_t lf = text.find('\n', from); lf != std::string_view::npos;
       lf = text.find('\n', lf + 1)) {
    size_t next = lf + 1;
    while (next < text.size() && IsHtmlSpace(text[next]) && text[next] != '\n') ++next;
    if (next < text.size() && text[next] == '\n') return lf;
  }
  return text.size();
}

}  // namespace

void AppendDocHtml(std::string& out, std::string_view comment) {
  comment = Trim(comment);
  if (HasBlockTags(comment)) return AppendSafeHtml(out, comment);
  for (size_t start = 0; start < comment.size();) {
    size_t end = ParagraphEnd(comment, start);
    std::string_view paragraph = Trim(comment.substr(start, end - start));
    if (!paragraph.empty()) {
      out.append("<p>");
      AppendSafeHtml(out, paragraph);
      out.append("</p>");
    }
    start = end + 1;
  }
}

bool IsSafeUrl(std::string_view url) {
  std::string scheme = SchemeText(url);
  for (std::string_view bad : kBadSchemes) {
    if (StartsWith(scheme, bad)) return false;
  }
  return true;
}

void AppendSafeHtml(std::string& out, std::string_view html) { SafeHtmlWriter(out).Write(html); }

std::string_view FirstSentence(std::string_view comment) {
  comment = Trim(comment);
  size_t i = 0;
  while (i < comment.size()) {
    char c = comment[i];
    if (c == '<') {
      size_t close = comment.find('>', i);
      if (close == std::string_view::npos) break;
      i = close + 1;
      continue;
    }
    if (EndsSentence(comment, i)) return Trim(comment.substr(0, i + 1));
    bool tag = c == '@' && (i == 0 || IsHtmlSpace(comment[i - 1]));
    if (tag || StartsEmptyLine(comment, i)) return Trim(comment.substr(0, i));
    ++i;
  }
  return comment;
}

}  // namespace glossator
