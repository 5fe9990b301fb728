// The unit lists of project files: Lazarus packages and projects (XML, read with pugixml) and
// Delphi projects and packages (Pascal, read by a small tokenizer).
#include "app/project_files.h"

#include <algorithm>
#include <cctype>
#include <pugixml.hpp>

#include "model/text_rules.h"

namespace glossator {

namespace {

// "Item1", "Item22", "Unit", "Unit3": the elements Lazarus writes for the files of a package or
// project.
bool IsItemElement(std::string_view name) {
  for (std::string_view stem : {"Item", "Unit"}) {
    if (name.substr(0, stem.size()) != stem) continue;
    std::string_view number = name.substr(stem.size());
    if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return true;
    }
  }
  return false;
}

// The 1-based line of each byte offset, from a table of line starts.
class LineTable {
 public:
  explicit LineTable(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') starts_.push_back(i + 1);
    }
  }
  int LineOf(ptrdiff_t offset) const {
    auto it = std::upper_bound(starts_.begin(), starts_.end(), static_cast<size_t>(offset));
    return static_cast<int>(it - starts_.begin()) + 1;
  }

 private:
  std::vector<size_t> starts_;  // offsets after each line end
};

// --- Delphi projects and packages: a tokenizer that knows comments and strings. ---

struct Token {
  enum Kind { kWord, kString, kSymbol, kEnd } kind = kEnd;
  std::string text;
  int line = 1;
};

class PascalTokens {
 public:
  explicit PascalTokens(std::string_view source) : source_(source) {}

  Token Next() {
    SkipBlanksAndComments();
    Token token;
    token.line = line_;
    if (pos_ >= source_.size()) return token;
    char c = source_[pos_];
    if (IsWordStart(c)) {
      size_t start = pos_;
      while (pos_ < source_.size() && IsWordPart(source_[pos_])) ++pos_;
      token.kind = Token::kWord;
      token.text = source_.substr(start, pos_ - start);
    } else if (c == '\'') {
      token.kind = Token::kString;
      token.text = ReadString();
    } else {
      token.kind = Token::kSymbol;
      token.text = std::string(1, c);
      ++pos_;
    }
    return token;
  }

 private:
  static bool IsWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
  }
  static bool IsWordPart(char c) { return IsWordStart(c) || (c >= '0' && c <= '9'); }

  // Moves past `end`, counting lines; to the end of the text when it never comes.
  void SkipPast(std::string_view end) {
    size_t found = source_.find(end, pos_);
    size_t stop = found == std::string_view::npos ? source_.size() : found + end.size();
    Advance(stop);
  }

  void Advance(size_t stop) {
    line_ += static_cast<int>(std::count(source_.begin() + pos_, source_.begin() + stop, '\n'));
    pos_ = stop;
  }

  void SkipBlanksAndComments() {
    while (pos_ < source_.size()) {
      std::string_view rest = source_.substr(pos_);
      if (rest[0] == '{') {
        SkipPast("}");  // comments and directives such as {$R *.res} alike
      } else if (rest.substr(0, 2) == "(*") {
        pos_ += 2;
        SkipPast("*)");
      } else if (rest.substr(0, 2) == "//") {
        size_t end = source_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? source_.size() : end;
      } else if (std::isspace(static_cast<unsigned char>(rest[0]))) {
        Advance(pos_ + 1);
      } else {
        return;
      }
    }
  }

  // A quoted string; two quotes inside stand for one. A string never spans lines.
  std::string ReadString() {
    std::string text;
    ++pos_;
    while (pos_ < source_.size() && source_[pos_] != '\n' && source_[pos_] != '\r') {
      if (source_[pos_] == '\'') {
        if (pos_ + 1 < source_.size() && source_[pos_ + 1] == '\'') {
          text += '\'';
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      text += source_[pos_++];
    }
    return text;
  }

  std::string_view source_;
  size_t pos_ = 0;
  int line_ = 1;
};

bool IsWord(const Token& token, std::string_view word) {
  return token.kind == Token::kWord && ToLowerAscii(token.text) == word;
}

// Reads one clause after "uses" or "contains", up to its ";". Returns the token that ended it.
Token ReadClause(PascalTokens& tokens, std::vector<ProjectEntry>& entries) {
  Token token = tokens.Next();
  while (token.kind == Token::kWord) {
    ProjectEntry entry{token.text, "", token.line};
    token = tokens.Next();
    while (token.text == "." && token.kind == Token::kSymbol) {
      token = tokens.Next();
      if (token.kind != Token::kWord) return token;
      entry.name += "." + token.text;
      token = tokens.Next();
    }
    if (IsWord(token, "in")) {
      token = tokens.Next();
      if (token.kind != Token::kString) return token;
      entry.path = token.text;
      token = tokens.Next();
    }
    entries.push_back(std::move(entry));
    if (token.text != "," || token.kind != Token::kSymbol) return token;
    token = tokens.Next();
  }
  return token;
}

}  // namespace

std::vector<ProjectEntry> ReadLazarusEntries(std::string_view xml) {
  pugi::xml_document document;
  // Entities other than the five of XML itself are never expanded, and a document type is not
  // read: a project file cannot make the reader fetch or multiply anything. A file cut short
  // keeps what was read before the cut.
  document.load_buffer(xml.data(), xml.size(), pugi::parse_default & ~pugi::parse_doctype,
                       pugi::encoding_utf8);
  LineTable lines(xml);
  std::vector<ProjectEntry> entries;
  // Every item element, at any depth, in document order.
  struct Walker : pugi::xml_tree_walker {
    std::vector<pugi::xml_node> items;
    bool for_each(pugi::xml_node& node) override {
      if (node.type() == pugi::node_element && IsItemElement(node.name())) items.push_back(node);
      return true;
    }
  } walker;
  document.traverse(walker);
  for (const pugi::xml_node& item : walker.items) {
    pugi::xml_node file = item.child("Filename");
    pugi::xml_node unit = item.child("UnitName");
    std::string path = file.attribute("Value").value();
    if (!unit || path.empty()) continue;
    entries.push_back({unit.attribute("Value").value(), path, lines.LineOf(file.offset_debug())});
  }
  return entries;
}

std::vector<ProjectEntry> ReadDelphiEntries(std::string_view source) {
  std::vector<ProjectEntry> entries;
  PascalTokens tokens(source);
  Token token = tokens.Next();
  while (token.kind != Token::kEnd) {
    if (IsWord(token, "uses") || IsWord(token, "contains")) {
      token = ReadClause(tokens, entries);
    } else {
      token = tokens.Next();
    }
  }
  return entries;
}

}  // namespace glossator
