#ifndef GLOSSATOR_PARSER_PASCAL_PREPROCESSOR_H_
#define GLOSSATOR_PARSER_PASCAL_PREPROCESSOR_H_

#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "parser/pascal/directive_expression.h"
#include "parser/pascal/include_files.h"
#include "parser/pascal/lexer.h"
#include "parser/pascal/pascal_reader.h"
#include "parser/pascal/token_stream.h"

namespace glossator::pascal {

// Turns a unit's bytes into its token stream: reads the lexemes of the unit and its include
// files, evaluates the conditional directives ($IFDEF, $IFNDEF, $IF, $ELSEIF, $ELSE, $ENDIF,
// $IFEND, $IFOPT) and keeps the tokens and comments of the active branches; follows $DEFINE,
// $UNDEF, $MODE, the one-letter switches and {$I name} / {$INCLUDE name}, and with {$MACRO ON}
// replaces the names of macros ({$DEFINE extdecl := cdecl}) by their text. What it cannot follow
// gets a warning and is passed over: an expression it cannot evaluate takes its first branch.
class Preprocessor {
 public:
  // `files`, `warnings` and `included` must outlive the object.
  Preprocessor(const ReaderOptions& options, FileSystem& files,
               std::vector<StreamWarning>& warnings, std::vector<std::string>& included);

  // REQUIRES: `text` outlives `stream`.
  void Run(const std::string& path, std::string_view text, TokenStream& stream);

  // Limits on include files: nesting depth, files read, bytes read.
  static constexpr size_t kMaxDepth = 32;
  static constexpr size_t kMaxIncludes = 4096;
  static constexpr size_t kMaxIncludeBytes = size_t{64} << 20;
  // All macro expansions of a unit read at most this many times its size, plus the allowance.
  static constexpr size_t kMacroBudget = 4;
  static constexpr size_t kMacroAllowance = 1 << 16;

 private:
  struct Frame {
    Lexer lexer;
    uint16_t file;
  };
  // One open conditional: whether the code around it is read, whether a branch was taken,
  // whether the current branch is read.
  struct Condition {
    bool outer_active;
    bool taken;
    bool active;
    int line;
    uint16_t file;
  };

  void DefineBuiltIns();
  void SetMode(std::string_view mode);
  bool Active() const { return conditions_.empty() || conditions_.back().active; }
  void Directive(const Lexeme& lexeme, uint16_t file);
  void Conditional(std::string_view name, std::string_view argument, int line, uint16_t file);
  bool Evaluate(std::string_view name, std::string_view argument, int line, uint16_t file);
  bool Switch(std::string_view name, std::string_view argument);
  void Define(std::string_view argument);
  void Include(std::string_view argument, int line, uint16_t file);
  bool ExpandMacro(const Lexeme& lexeme, uint16_t file);
  void PushToken(const Lexeme& lexeme, uint16_t file);
  uint16_t FileIndex(const std::string& path);
  void Warn(uint16_t file, int line, const char* kind, std::string text);

  const ReaderOptions& options_;
  FileSystem& files_;
  std::vector<StreamWarning>& warnings_;
  std::vector<std::string>& included_;
  TokenStream* stream_ = nullptr;
  std::unique_ptr<IncludeFinder> finder_;
  std::vector<Frame> frames_;
  std::vector<std::string> frame_paths_;  // the path of each frame, for self-inclusion
  std::vector<Condition> conditions_;
  Symbols symbols_;
  std::string mode_symbol_;
  std::bitset<26> switches_;  // {$R+} and the like, for $IFOPT
  bool macros_on_ = false;
  std::vector<std::pair<std::string, std::string_view>> macros_;  // upper-case name, text
  size_t macro_bytes_ = 0;
  size_t macro_budget_ = 0;
  bool warned_macro_budget_ = false;
  std::unordered_map<std::string, uint16_t> file_index_;
  std::vector<std::string> warned_self_includes_;
  int last_line_ = 1;
  size_t include_count_ = 0;
  size_t include_bytes_ = 0;
};

}  // namespace glossator::pascal

#endif  // GLOSSATOR_PARSER_PASCAL_PREPROCESSOR_H_
