#include "parser/pascal/preprocessor.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "base/file_system.h"
#include "base/path_text.h"
#include "model/text_rules.h"

namespace glossator::pascal {
namespace {

// The directive's name (its leading word, upper case) and the rest, trimmed.
//
//   "IFDEF  FPC"   => {"IFDEF", "FPC"}
//   "H+"           => {"H", "+"}
//   "mode objfpc"  => {"MODE", "objfpc"}
std::pair<std::string, std::string_view> SplitDirective(std::string_view text) {
  size_t end = 0;
  while (end < text.size() &&
         (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) {
    ++end;
  }
  return {ToUpperAscii(text.substr(0, end)), Trim(text.substr(end))};
}

// The first word of a directive's argument: "X // note" => "X".
std::string_view FirstWord(std::string_view argument) {
  size_t end = 0;
  while (end < argument.size() && static_cast<unsigned char>(argument[end]) > ' ') ++end;
  return argument.substr(0, end);
}

// The name an {$I} directive gives: quoted as a whole, else up to the first blank.
std::string_view IncludeName(std::string_view argument) {
  if (argument.size() >= 2 && argument.front() == '\'') {
    size_t close = argument.find('\'', 1);
    return argument.substr(1, (close == std::string_view::npos ? argument.size() : close) - 1);
  }
  return FirstWord(argument);
}

}  // namespace

Preprocessor::Preprocessor(const ReaderOptions& options, FileSystem& files,
                           std::vector<StreamWarning>& warnings, std::vector<std::string>& included)
    : options_(options), files_(files), warnings_(warnings), included_(included) {}

void Preprocessor::DefineBuiltIns() {
  if (options_.compiler == CompilerMode::kFpc) {
    for (const char* name : {"FPC", "UNIX", "LINUX", "CPU64", "CPUX86_64", "CPUAMD64",
                             "ENDIAN_LITTLE", "FPC_LITTLE_ENDIAN", "VER3", "VER3_2", "VER3_2_2"}) {
      symbols_.Define(name);
    }
    symbols_.Define("FPC_FULLVERSION", "30202");
    symbols_.Define("FPC_VERSION", "3");
    symbols_.Define("FPC_RELEASE", "2");
    symbols_.Define("FPC_PATCH", "2");
    switches_.set('I' - 'A');
  } else {
    for (const char* name : {"MSWINDOWS", "WIN64", "CPUX64", "CPU64BITS", "CONDITIONALEXPRESSIONS",
                             "VER350", "UNICODE"}) {
      symbols_.Define(name);
    }
    symbols_.Define("RTLVersion", "35");
    symbols_.Define("CompilerVersion", "35");
    switches_.set('H' - 'A');
    switches_.set('I' - 'A');
  }
  // -D SYM or -D SYM=VALUE, in the order given, so that a later one wins.
  for (const std::string& define : options_.defines) {
    size_t equal = define.find('=');
    if (equal == std::string::npos) {
      symbols_.Define(define);
    } else {
      symbols_.Define(std::string_view(define).substr(0, equal),
                      std::string_view(define).substr(equal + 1));
    }
  }
}

// {$MODE X} replaces the mode symbol: "objfpc" => FPC_OBJFPC. Long strings come with the
// Delphi and objfpc modes.
void Preprocessor::SetMode(std::string_view mode) {
  if (!mode_symbol_.empty()) symbols_.Undefine(mode_symbol_);
  mode_symbol_ = "FPC_" + ToUpperAscii(FirstWord(mode));
  symbols_.Define(mode_symbol_);
  std::string upper = ToUpperAscii(FirstWord(mode));
  if (upper == "OBJFPC" || upper == "DELPHI" || upper == "DELPHIUNICODE") switches_.set('H' - 'A');
  if (upper == "MACPAS") macros_on_ = true;
}

void Preprocessor::Run(const std::string& path, std::string_view text, TokenStream& stream) {
  stream_ = &stream;
  macro_budget_ = kMacroBudget * text.size() + kMacroAllowance;
  DefineBuiltIns();
  finder_ = std::make_unique<IncludeFinder>(files_, DirectoryOf(path), options_.include_dirs);
  frames_.push_back(Frame{Lexer(text), FileIndex(path)});
  frame_paths_.push_back(path);
  while (!frames_.empty()) {
    const uint16_t file = frames_.back().file;
    Lexeme lexeme = frames_.back().lexer.Next();
    if (lexeme.kind == LexKind::kEnd) {
      if (frames_.size() == 1) last_line_ = frames_.back().lexer.Line();
      frames_.pop_back();
      frame_paths_.pop_back();
      continue;
    }
    if (lexeme.kind == LexKind::kDirective) {
      if (lexeme.unterminated) Warn(file, lexeme.line, "pascal-syntax", "unterminated directive");
      Directive(lexeme, file);
      continue;
    }
    if (!Active()) continue;
    if (lexeme.unterminated) {
      Warn(file, lexeme.line, "pascal-syntax",
           lexeme.kind == LexKind::kComment ? "unterminated comment" : "unterminated string");
    }
    if (lexeme.kind == LexKind::kComment) {
      stream.comments.push_back(Comment{lexeme.text, lexeme.line, frames_.back().lexer.Line(), file,
                                        lexeme.style, lexeme.flags});
    } else if (!ExpandMacro(lexeme, file)) {
      PushToken(lexeme, file);
    }
  }
  for (const Condition& open : conditions_) {
    Warn(open.file, open.line, "pascal-directive", "conditional directive without {$ENDIF}");
  }
  Token end;
  end.text = text.data() + text.size();
  end.line = last_line_;  // the unit's last line: the end token belongs to the unit
  end.comments_before = static_cast<uint32_t>(stream.comments.size());
  stream.tokens.push_back(end);
}

void Preprocessor::PushToken(const Lexeme& lexeme, uint16_t file) {
  stream_->tokens.push_back(Token{lexeme.text.data(), static_cast<uint32_t>(lexeme.text.size()),
                                  lexeme.line, static_cast<uint32_t>(stream_->comments.size()),
                                  file, lexeme.id, lexeme.flags});
}

// With {$MACRO ON}, a macro's name is replaced by its text, read as if it stood there. A macro
// is not expanded again inside its own text, and all expansions together read at most
// kMacroBudget times the unit's size: macros that use each other could otherwise multiply a
// small text beyond any memory.
bool Preprocessor::ExpandMacro(const Lexeme& lexeme, uint16_t file) {
  if (!macros_on_ || macros_.empty() || !IsNameLike(lexeme.id) || (lexeme.flags & kEscaped)) {
    return false;
  }
  for (const auto& [name, text] : macros_) {
    if (!EqualsNoCase(name, lexeme.text)) continue;
    const std::string marker = "\n" + name;  // never a path
    if (frames_.size() >= kMaxDepth ||
        std::find(frame_paths_.begin(), frame_paths_.end(), marker) != frame_paths_.end()) {
      return false;
    }
    if (macro_bytes_ + text.size() > macro_budget_) {
      if (!warned_macro_budget_) {
        Warn(file, lexeme.line, "pascal-directive",
             "macros expand too much; " + name + " and later macros are read as names");
      }
      warned_macro_budget_ = true;
      return false;
    }
    macro_bytes_ += text.size();
    frames_.push_back(Frame{Lexer(text, lexeme.line), file});
    frame_paths_.push_back(marker);
    return true;
  }
  return false;
}

void Preprocessor::Directive(const Lexeme& lexeme, uint16_t file) {
  auto [name, argument] = SplitDirective(lexeme.text);
  if (name == "IFDEF" || name == "IFNDEF" || name == "IF" || name == "IFOPT" || name == "ELSEIF" ||
      name == "ELSE" || name == "ENDIF" || name == "IFEND") {
    Conditional(name, argument, lexeme.line, file);
    return;
  }
  if (!Active()) return;
  if (name == "DEFINE") {
    Define(argument);
  } else if (name == "UNDEF") {
    symbols_.Undefine(FirstWord(argument));
    std::string upper = ToUpperAscii(FirstWord(argument));
    std::erase_if(macros_, [&](const auto& macro) { return macro.first == upper; });
  } else if (name == "MODE") {
    SetMode(argument);
  } else if (name == "MACRO") {
    macros_on_ = EqualsNoCase(FirstWord(argument), "on") || argument.substr(0, 1) == "+";
  } else if (Switch(name, argument)) {
    // a one-letter switch such as {$H+} or {$R-,Q-}
  } else if (name == "I" || name == "INCLUDE") {
    Include(argument, lexeme.line, file);
  }
}

void Preprocessor::Conditional(std::string_view name, std::string_view argument, int line,
                               uint16_t file) {
  if (name == "ENDIF" || name == "IFEND") {
    if (conditions_.empty()) {
      Warn(file, line, "pascal-directive", "{$" + std::string(name) + "} without {$IF}");
    } else {
      conditions_.pop_back();
    }
    return;
  }
  if (name == "ELSE" || name == "ELSEIF") {
    if (conditions_.empty()) {
      Warn(file, line, "pascal-directive", "{$" + std::string(name) + "} without {$IF}");
      return;
    }
    Condition& open = conditions_.back();
    bool chosen = open.outer_active && !open.taken &&
                  (name == "ELSE" || Evaluate(name, argument, line, file));
    open.active = chosen;
    open.taken = open.taken || chosen;
    return;
  }
  bool outer = Active();
  bool chosen = outer && Evaluate(name, argument, line, file);
  // An inactive conditional counts as taken, so that none of its branches is read.
  conditions_.push_back(Condition{outer, chosen || !outer, chosen, line, file});
}

// Whether the branch of an $IFDEF, $IFNDEF, $IFOPT, $IF or $ELSEIF is read.
bool Preprocessor::Evaluate(std::string_view name, std::string_view argument, int line,
                            uint16_t file) {
  if (name == "IFDEF") return symbols_.IsDefined(FirstWord(argument));
  if (name == "IFNDEF") return !symbols_.IsDefined(FirstWord(argument));
  if (name == "IFOPT") {
    std::string_view option = FirstWord(argument);
    if (option.size() == 2 && std::isalpha(static_cast<unsigned char>(option[0])) &&
        (option[1] == '+' || option[1] == '-')) {
      bool on = switches_.test(ToUpperAscii(option[0]) - 'A');
      return on == (option[1] == '+');
    }
    Warn(file, line, "pascal-directive",
         "cannot evaluate {$IFOPT " + std::string(argument) + "}; reading its first branch");
    return true;
  }
  Evaluation evaluation = EvaluateCondition(argument, symbols_);
  if (evaluation.asked_declared) {
    Warn(file, line, "pascal-directive", "declared() is not known here; taken as false");
  }
  if (evaluation.truth == Truth::kUnknown) {
    Warn(file, line, "pascal-directive",
         "cannot evaluate {$" + std::string(name) + " " + std::string(argument) +
             "}; reading its first branch");
    return name == "IF";
  }
  return evaluation.truth == Truth::kTrue;
}

// {$H+}, {$R-,Q+}: sets the switches and returns true; false for anything else.
bool Preprocessor::Switch(std::string_view name, std::string_view argument) {
  if (name.size() != 1 || argument.empty() || (argument[0] != '+' && argument[0] != '-')) {
    return false;
  }
  if (!std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  switches_.set(name[0] - 'A', argument[0] == '+');
  // Further switches after commas: "R-,Q+" reaches here as "R" and "-,Q+".
  std::string_view rest = argument.substr(1);
  while (rest.size() >= 3 && rest[0] == ',' && std::isalpha(static_cast<unsigned char>(rest[1])) &&
         (rest[2] == '+' || rest[2] == '-')) {
    switches_.set(ToUpperAscii(rest[1]) - 'A', rest[2] == '+');
    rest.remove_prefix(3);
  }
  return true;
}

// {$DEFINE X}, {$DEFINE X := value}, {$DEFINE X=value}.
void Preprocessor::Define(std::string_view argument) {
  size_t end = 0;
  while (end < argument.size() &&
         (std::isalnum(static_cast<unsigned char>(argument[end])) || argument[end] == '_')) {
    ++end;
  }
  if (end == 0) return;
  std::string_view rest = Trim(argument.substr(end));
  std::string upper = ToUpperAscii(argument.substr(0, end));
  std::erase_if(macros_, [&](const auto& macro) { return macro.first == upper; });
  if (rest.substr(0, 2) == ":=") {
    rest.remove_prefix(2);
    // The text is kept with the stream: expansions read it in place, and a later {$DEFINE}
    // of the same name leaves the text of an expansion in progress alone.
    if (!Trim(rest).empty()) {
      stream_->buffers.emplace_back(Trim(rest));
      macros_.emplace_back(upper, stream_->buffers.back());
    }
  } else if (rest.substr(0, 1) == "=") {
    rest.remove_prefix(1);
  } else {
    rest = {};
  }
  symbols_.Define(argument.substr(0, end), rest);
}

void Preprocessor::Include(std::string_view argument, int line, uint16_t file) {
  std::string_view name = IncludeName(argument);
  if (!name.empty() && name.front() == '%') {
    // The compiler inserts a text such as the date; the name stands for it.
    Warn(file, line, "pascal-include",
         "{$I " + std::string(name) + "} inserts a compiler text; read as " + std::string(name));
    Lexeme text;
    text.kind = LexKind::kToken;
    text.id = Id::kStringLiteral;
    text.line = line;
    text.text = name;
    PushToken(text, file);
    return;
  }
  if (name.empty()) {
    Warn(file, line, "pascal-include", "{$I} without a file name");
    return;
  }
  if (frames_.size() >= kMaxDepth || include_count_ >= kMaxIncludes ||
      include_bytes_ >= kMaxIncludeBytes) {
    Warn(file, line, "pascal-include",
         "include file " + std::string(name) + " not read: too many nested or included files");
    return;
  }
  std::string path = finder_->Find(name, stream_->files[file]);
  if (path.empty()) {
    Warn(file, line, "pascal-include", "include file " + std::string(name) + " not found");
    return;
  }
  if (std::find(frame_paths_.begin(), frame_paths_.end(), path) != frame_paths_.end()) {
    if (std::find(warned_self_includes_.begin(), warned_self_includes_.end(), path) ==
        warned_self_includes_.end()) {
      warned_self_includes_.push_back(path);
      Warn(file, line, "pascal-include", "include file " + path + " includes itself; skipped");
    }
    return;
  }
  std::string bytes;
  if (!files_.ReadFile(path, bytes)) {
    Warn(file, line, "pascal-include", "include file " + path + " cannot be read");
    return;
  }
  ++include_count_;
  include_bytes_ += bytes.size();
  if (file_index_.count(path) == 0) included_.push_back(path);
  stream_->buffers.push_back(std::move(bytes));
  frames_.push_back(Frame{Lexer(stream_->buffers.back()), FileIndex(path)});
  frame_paths_.push_back(path);
}

uint16_t Preprocessor::FileIndex(const std::string& path) {
  auto found = file_index_.find(path);
  if (found != file_index_.end()) return found->second;
  uint16_t index = static_cast<uint16_t>(stream_->files.size());
  stream_->files.push_back(path);
  file_index_.emplace(path, index);
  return index;
}

void Preprocessor::Warn(uint16_t file, int line, const char* kind, std::string text) {
  warnings_.push_back(
      StreamWarning{static_cast<uint32_t>(stream_->tokens.size()),
                    Warning{stream_->files[file], line, kind, std::move(text), {}}});
}

}  // namespace glossator::pascal
