#include "app/unit_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "app/selection_file.h"
#include "base/text_file.h"
#include "model/text_rules.h"

namespace glossator {

namespace fs = std::filesystem;

namespace {

// --- Lazarus packages and projects: a small reader for the XML that Lazarus writes. ---

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

std::string DecodeEntities(std::string_view text) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (text.substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i];
  }
  return out;
}

// One start tag: "<Name a="1" b='2'/>". `text` starts after the "<".
struct Tag {
  std::string name;
  std::string value;  // of the attribute "Value"
  bool self_closing = false;
};

Tag ReadTag(std::string_view text) {
  Tag tag;
  size_t i = 0;
  while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != '/' &&
         text[i] != '>') {
    ++i;
  }
  tag.name = text.substr(0, i);
  tag.self_closing = text.size() >= 2 && text.substr(text.size() - 1) == "/";
  while (i < text.size()) {
    size_t eq = text.find('=', i);
    if (eq == std::string_view::npos || eq + 1 >= text.size()) break;
    size_t name_end = eq;
    while (name_end > i && std::isspace(static_cast<unsigned char>(text[name_end - 1]))) {
      --name_end;
    }
    size_t name_start = name_end;
    while (name_start > i && !std::isspace(static_cast<unsigned char>(text[name_start - 1]))) {
      --name_start;
    }
    std::string_view attribute = text.substr(name_start, name_end - name_start);
    size_t quote = text.find_first_of("\"'", eq + 1);
    if (quote == std::string_view::npos) break;
    size_t close = text.find(text[quote], quote + 1);
    if (close == std::string_view::npos) break;
    if (attribute == "Value") tag.value = DecodeEntities(text.substr(quote + 1, close - quote - 1));
    i = close + 1;
  }
  return tag;
}

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

// --- Expanding the arguments. ---

std::string Lower(const fs::path& path) { return ToLowerAscii(path.string()); }

bool IsUnitFileName(const fs::path& path) {
  std::string extension = Lower(path.extension());
  return extension == ".pas" || extension == ".pp";
}

// A path written in a project file, resolved from the project's folder.
fs::path Resolve(const fs::path& folder, std::string written) {
  std::replace(written.begin(), written.end(), '\\', '/');
  fs::path path(written);
  return (path.is_absolute() ? path : folder / path).lexically_normal();
}

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

class Expander {
 public:
  UnitList Take() { return std::move(list_); }

  void Expand(const std::string& argument) {
    std::error_code error;
    fs::file_status status = fs::status(argument, error);
    if (error || !fs::exists(status)) {
      throw PathError("cannot access '" + argument +
                      "': " + (error ? error.message() : std::string("No such file or directory")));
    }
    if (fs::is_directory(status)) return ExpandFolder(argument);
    std::string extension = Lower(fs::path(argument).extension());
    if (extension == ".gls") return ExpandSelection(argument);
    if (extension == ".lpk" || extension == ".lpi") {
      return ExpandProject(argument, ReadLazarusEntries(ReadProject(argument)));
    }
    if (extension == ".dpr" || extension == ".dpk") {
      return ExpandProject(argument, ReadDelphiEntries(ReadProject(argument)));
    }
    Add(fs::absolute(argument).lexically_normal());
  }

 private:
  void Add(const fs::path& path) {
    if (seen_.insert(path.string()).second) list_.files.push_back(path.string());
  }

  void Warn(const std::string& file, int line, const std::string& text) {
    list_.warnings.push_back(file + ":" + std::to_string(line) + ": warning: " + text);
  }

  void ExpandFolder(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                        error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      if (IsUnitFileName(it->path()) && IsFile(it->path())) {
        found.push_back(fs::absolute(it->path()).lexically_normal().string());
      }
    }
    if (error) throw PathError("cannot read folder '" + folder + "': " + error.message());
    std::sort(found.begin(), found.end());
    for (const std::string& path : found) Add(path);
  }

  // Its files exactly as written there, so that the run is the one "-p FILE -b" makes.
  void ExpandSelection(const std::string& file) {
    Selection selection;
    LoadSelection(file, selection);
    for (const Warning& warning : SelectionKeyWarnings(file)) {
      list_.warnings.push_back(FormatWarning(warning));
    }
    for (const std::string& path : selection.files) {
      list_.files.push_back(path);
      seen_.insert(fs::absolute(path).lexically_normal().string());
    }
    list_.settings = std::move(selection);
  }

  static std::string ReadProject(const std::string& file) {
    std::string text;
    if (!ReadRegularFile(file, text)) throw PathError("cannot read '" + file + "'");
    return text;
  }

  void ExpandProject(const std::string& file, const std::vector<ProjectEntry>& entries) {
    fs::path folder = fs::absolute(file).parent_path();
    for (const ProjectEntry& entry : entries) {
      if (entry.path.empty()) {
        fs::path found = FindBeside(folder, entry.name);
        if (found.empty()) {
          Warn(file, entry.line, "unit '" + entry.name + "' not found beside the project; skipped");
        } else {
          Add(found);
        }
        continue;
      }
      fs::path path = Resolve(folder, entry.path);
      // The main program of a project is listed like its units but is not one.
      if (Lower(path.extension()) == ".lpr" || Lower(path.extension()) == ".dpr") continue;
      if (IsFile(path)) {
        Add(path);
      } else {
        Warn(file, entry.line, "'" + entry.path + "' not found; skipped");
      }
    }
  }

  // "Name.pas" or "Name.pp" in `folder`; letter case is ignored when the exact name is absent,
  // since Delphi projects come from file systems that ignore it.
  static fs::path FindBeside(const fs::path& folder, const std::string& name) {
    for (const char* extension : {".pas", ".pp"}) {
      fs::path exact = folder / (name + extension);
      if (IsFile(exact)) return exact.lexically_normal();
    }
    std::string lower = ToLowerAscii(name);
    std::vector<fs::path> matches;
    std::error_code error;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
      const fs::path& path = it->path();
      if (IsUnitFileName(path) && Lower(path.stem()) == lower && IsFile(path)) {
        matches.push_back(path.lexically_normal());
      }
    }
    std::sort(matches.begin(), matches.end());
    return matches.empty() ? fs::path() : matches.front();
  }

  UnitList list_;
  std::set<std::string> seen_;
};

}  // namespace

std::vector<ProjectEntry> ReadLazarusEntries(std::string_view xml) {
  struct Open {
    std::string name;
    int item = -1;  // index into `items` when this element is an item
  };
  std::vector<Open> stack;
  std::vector<ProjectEntry> items;
  std::vector<bool> has_unit_name;
  int line = 1;
  size_t pos = 0;
  while (true) {
    size_t lt = xml.find('<', pos);
    if (lt == std::string_view::npos) break;
    line += static_cast<int>(std::count(xml.begin() + pos, xml.begin() + lt, '\n'));
    std::string_view rest = xml.substr(lt);
    std::string_view end = rest.substr(0, 4) == "<!--" ? "-->" : ">";
    size_t gt = xml.find(end, lt);
    if (gt == std::string_view::npos) break;
    std::string_view inside = xml.substr(lt + 1, gt - lt - 1);
    int tag_line = line;
    line += static_cast<int>(std::count(inside.begin(), inside.end(), '\n'));
    pos = gt + end.size();
    if (inside.empty() || inside[0] == '?' || inside[0] == '!') continue;
    if (inside[0] == '/') {
      if (!stack.empty()) stack.pop_back();
      continue;
    }
    Tag tag = ReadTag(inside);
    int parent_item = stack.empty() ? -1 : stack.back().item;
    if (parent_item >= 0 && tag.name == "Filename") {
      items[parent_item].path = tag.value;
      items[parent_item].line = tag_line;
    } else if (parent_item >= 0 && tag.name == "UnitName") {
      items[parent_item].name = tag.value;
      has_unit_name[parent_item] = true;
    }
    if (tag.self_closing) continue;
    Open open{tag.name};
    if (IsItemElement(tag.name)) {
      open.item = static_cast<int>(items.size());
      items.push_back(ProjectEntry{"", "", tag_line});
      has_unit_name.push_back(false);
    }
    stack.push_back(std::move(open));
  }
  std::vector<ProjectEntry> entries;
  for (size_t i = 0; i < items.size(); ++i) {
    if (has_unit_name[i] && !items[i].path.empty()) entries.push_back(std::move(items[i]));
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

UnitList ExpandPaths(const std::vector<std::string>& paths) {
  Expander expander;
  for (const std::string& path : paths) expander.Expand(path);
  return expander.Take();
}

}  // namespace glossator
