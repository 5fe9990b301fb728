// The line-scanning operations every pass is built from: comment skipping, keyword search,
// documentation comments and multi-line declarations.
#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "parser/member_words.h"
#include "parser/scan_text.h"
#include "parser/unit_scan.h"

namespace glossator {

namespace {

// One sweep over comment lines from p. A line starting with "//" is skipped; one starting with
// "{" or "(*" opens a comment whose closer stays pending until a line contains it; the first
// other line outside a comment stops the sweep.
int Sweep(const LineList& lines, int p) {
  std::string_view closer;
  for (;;) {
    std::string_view t = lines.TrimmedAt(p);
    if (StartsWith(t, "//")) {
      ++p;
    } else if (StartsWith(t, "{")) {
      closer = "}";
      ++p;
    } else if (StartsWith(t, "(*")) {
      closer = "*)";
      ++p;
    } else if (closer.empty()) {
      return p;
    } else {
      ++p;
    }
    if (!closer.empty() && Contains(t, closer)) return p;
  }
}

}  // namespace

int UnitScan::SkipComments(int start) const {
  int p = start;
  for (;;) {
    int next = Sweep(lines_, p);
    if (next == p) return p;
    p = next;
  }
}

int UnitScan::FindLine(std::string_view keyword, int start) const {
  int i = SkipComments(start);
  for (;;) {
    if (ContainsNoCase(lines_.TrimmedAt(i), keyword)) return i;
    if (i >= lines_.Last()) return i;
    ++i;
  }
}

int UnitScan::FindCommentStart(int d) const {
  int k = d - 1;
  while (k > 0 && lines_.IsBlank(k)) --k;
  if (k < 0) return -1;
  std::string_view line = lines_.At(k);
  size_t brace = line.find('}');
  if (brace == std::string_view::npos || brace != line.size() - 1) return k;
  // Walk up from the closing line to the nearest line that opens a brace ("{**" holds one too).
  return lines_.OpenBraceAtOrAbove(k);
}

std::string UnitScan::GetDocComment(int k) const {
  if (!Contains(lines_.At(k), "{**")) return std::string();
  auto cached = comment_cache_.find(k);
  if (cached != comment_cache_.end()) return cached->second;
  int close = lines_.CloseBraceAtOrBelow(k);
  // No closing brace below: the literal scan reads past the last line.
  if (close < 0) lines_.At(lines_.Count());
  std::string joined(lines_.At(k));
  for (int i = k + 1; i <= close; ++i) {
    joined += "\r\n";
    joined += lines_.At(i);
  }
  std::string_view text = AfterFirst(Trim(joined), "{**");
  size_t brace = text.find('}');
  if (brace != std::string_view::npos) text = text.substr(0, brace);
  std::string comment(Trim(text));
  comment_cache_.emplace(k, comment);
  return comment;
}

std::string UnitScan::CommentAbove(int line) const { return GetDocComment(FindCommentStart(line)); }

std::string UnitScan::ReadDeclaration(int& i, bool force) const {
  std::string_view head = lines_.TrimmedAt(i);
  std::string text(head);
  if (!force && !StartsWithMemberWord(head)) return text;
  char closer = Contains(head, '(') ? ')' : ';';
  while (!Contains(lines_.At(i), closer) && i != lines_.Last()) {
    ++i;
    text += lines_.At(i);
  }
  return std::string(Trim(text));
}

std::string StripDirectives(std::string_view heading) {
  // The heading's pieces between semicolons (a ";" at the very end closes the last piece rather
  // than starting an empty one). They lie side by side in the heading, so the pieces kept after
  // dropping directives from the end are a prefix of it: `kept`, with `pieces` false once none
  // is left. At most three pieces are dropped, so only the last three semicolons are needed;
  // they are found going forward, which is quicker than searching back from the end.
  std::string_view kept = heading;
  if (!kept.empty() && kept.back() == ';') kept.remove_suffix(1);
  bool pieces = !heading.empty();
  size_t semicolons[3];
  size_t count = 0;
  for (size_t p = kept.find(';'); p != std::string_view::npos; p = kept.find(';', p + 1)) {
    if (count == 3) {
      semicolons[0] = semicolons[1];
      semicolons[1] = semicolons[2];
      count = 2;
    }
    semicolons[count++] = p;
  }
  for (std::string_view directive : {"override", "virtual", "overload"}) {
    if (!pieces) break;
    std::string_view last = count == 0 ? kept : kept.substr(semicolons[count - 1] + 1);
    if (!EqualsNoCase(Trim(last), directive)) continue;
    if (count == 0) {
      pieces = false;
    } else {
      kept = kept.substr(0, semicolons[--count]);
    }
  }
  if (!pieces) return std::string();
  std::string out;
  out.reserve(kept.size() + 1);
  out.append(kept);
  out += ';';
  return out;
}

size_t PosOfAny(std::initializer_list<std::string_view> words, std::string_view text,
                bool case_sensitive) {
  for (std::string_view word : words) {
    size_t p = case_sensitive ? Pos(word, text) : PosNoCase(word, text);
    if (p > 0) return p;
  }
  return 0;
}

namespace {

bool MentionsClassBody(std::string_view line) {
  for (std::string_view word : {"private", "public", "protected", "class"}) {
    if (Contains(line, word)) return true;
  }
  return false;
}

}  // namespace

void UnitScan::ScanInterface(const std::function<bool(int& i, std::string_view line)>& visit) {
  int i = FindLine("unit", 0) + 1;
  if (i > lines_.Last()) return;
  std::string_view line = lines_.TrimmedAt(i);
  bool implementation = false;
  while (!StartsWith(line, "end.") && !implementation) {
    if (StartsWith(line, "implementation")) implementation = true;
    // A line that mentions a class body word jumps, when it holds no ";", to the next line with
    // "end;"; either way the scan goes on with the following line.
    if (MentionsClassBody(line)) {
      if (!Contains(line, ';')) i = FindLine("end;", i);
      ++i;
      if (i > lines_.Last()) return;
      line = lines_.TrimmedAt(i);
    }
    if (!visit(i, line)) return;
    ++i;
    if (i > lines_.Last()) return;
    line = lines_.TrimmedAt(i);
  }
}

}  // namespace glossator
