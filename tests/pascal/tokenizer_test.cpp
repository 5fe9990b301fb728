// The lexer, the word table and the declaration text's spacing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser/pascal/declaration_text.h"
#include "parser/pascal/lexer.h"
#include "parser/pascal/token.h"

namespace glossator::pascal {
namespace {

// Every lexeme as "kind:text", kinds w (word), n (number), s (string), p (symbol), d
// (directive) and c0..c7 (comment of that CommentStyle); "*" after the kind marks an escaped
// identifier, "!" an unterminated lexeme; "@N" a line other than 1.
std::string Lexemes(std::string_view text) {
  Lexer lexer(text);
  std::string out;
  for (Lexeme lexeme = lexer.Next(); lexeme.kind != LexKind::kEnd; lexeme = lexer.Next()) {
    if (!out.empty()) out += ' ';
    if (lexeme.kind == LexKind::kDirective) {
      out += "d";
    } else if (lexeme.kind == LexKind::kComment) {
      out += "c" + std::to_string(static_cast<int>(lexeme.style));
    } else if (lexeme.id == Id::kNumber) {
      out += "n";
    } else if (lexeme.id == Id::kStringLiteral) {
      out += "s";
    } else if (lexeme.id == Id::kIdentifier || lexeme.id >= Id::kAnd) {
      out += "w";
    } else {
      out += "p";
    }
    if (lexeme.flags & kEscaped && lexeme.kind == LexKind::kToken) out += "*";
    if (lexeme.unterminated) out += "!";
    out += ":" + std::string(lexeme.text);
    if (lexeme.line != 1) out += "@" + std::to_string(lexeme.line);
  }
  return out;
}

TEST(Lexer, SplitsEveryKindOfLexeme) {
  struct Case {
    const char* text;
    const char* lexemes;
  } cases[] = {
      {"X := $FF; // c", "w:X p::= n:$FF p:; c2:// c"},
      {"{$IFDEF A}&Type", "d:IFDEF A w*:Type"},
      {"(*$I inc.inc*)(* c *)", "d:I inc.inc c1:(* c *)"},
      {"'a'#13#10'b' 'it''s' #$0D", "s:'a'#13#10'b' s:'it''s' s:#$0D"},
      {"1..9 1.5e3 &17 %101 $FF_FF 1_000 2.",
       "n:1 p:.. n:9 n:1.5e3 n:&17 n:%101 n:$FF_FF "
       "n:1_000 n:2 p:."},
      {"(. .) <> <= >= ** ^ @ :", "p:(. p:.) p:<> p:<= p:> p:= p:** p:^ p:@ p::"},
      {"{** d } {< b } //< b\n/// x\n{%H-}", "c3:{** d } c5:{< b } c6://< b c4:/// x@2 c7:{%H-}@3"},
      {"A\n{ multi\nline }\nB", "w:A c0:{ multi\nline }@2 w:B@4"},
      {"'open\nX", "s!:'open w:X@2"},
      {"'''\n  two\n  lines\n  '''\nZ", "s:'''\n  two\n  lines\n  ''' w:Z@5"},
      {"'''' '''x'''", "s:'''' s:'''x'''"},
      {"\xEF\xBB\xBFunit", "w:unit"},
      {"{ no close", "c0!:{ no close"},
      {"(* no close", "c1!:(* no close"},
      {"caf\xC3\xA9 !\x01?", "w:caf\xC3\xA9 p:! p:?"},
      {"& &x", "p:& w*:x"},
  };
  for (const Case& c : cases) EXPECT_EQ(Lexemes(c.text), c.lexemes) << c.text;
}

TEST(Lexer, TellsWhereCommentsStand) {
  Lexer lexer("A; // back\n// own\n{ b }B");
  lexer.Next();
  lexer.Next();
  Lexeme back = lexer.Next();
  Lexeme own = lexer.Next();
  Lexeme brace = lexer.Next();
  Lexeme b = lexer.Next();
  EXPECT_EQ(back.flags, kAfterToken);
  EXPECT_EQ(own.flags, kOwnLine | kAfterComment);
  EXPECT_EQ(brace.flags, kOwnLine | kAfterComment);
  EXPECT_EQ(b.flags, kFollowsComment | kGlued);
}

TEST(LookupWord, FindsWordsWithoutCase) {
  struct Case {
    const char* word;
    Id id;
  } cases[] = {
      {"begin", Id::kBegin},
      {"BEGIN", Id::kBegin},
      {"End", Id::kEnd},
      {"implementation", Id::kImplementation},
      {"Virtual", Id::kRoutineDirective},
      {"STDCALL", Id::kRoutineDirective},
      {"deprecated", Id::kDeprecated},
      {"strict", Id::kStrict},
      {"Foo", Id::kIdentifier},
      {"beginx", Id::kIdentifier},
      {"x", Id::kIdentifier},
      {"averyveryverylongidentifiername", Id::kIdentifier},
      {"resourcestring", Id::kResourcestring},
  };
  for (const Case& c : cases) EXPECT_EQ(LookupWord(c.word), c.id) << c.word;
  EXPECT_TRUE(IsReserved(Id::kBegin));
  EXPECT_FALSE(IsReserved(Id::kRead));
  EXPECT_TRUE(IsNameLike(Id::kRead));
  EXPECT_FALSE(IsNameLike(Id::kClass));
}

// The tokens of `text` joined by the declaration rules (no generic brackets marked).
std::string Joined(std::string_view text) {
  std::vector<Token> tokens;
  Lexer lexer(text);
  for (Lexeme lexeme = lexer.Next(); lexeme.kind != LexKind::kEnd; lexeme = lexer.Next()) {
    tokens.push_back(Token{lexeme.text.data(), static_cast<uint32_t>(lexeme.text.size()),
                           lexeme.line, 0, 0, lexeme.id, lexeme.flags});
  }
  return JoinTokens(tokens, 0, tokens.size());
}

TEST(DeclarationText, SpacesTokensAsAReaderWritesThem) {
  struct Case {
    const char* text;
    const char* joined;
  } cases[] = {
      {"procedure  Foo ( A : Integer ;\n const B : string ) : Boolean ;",
       "procedure Foo(A: Integer; const B: string): Boolean;"},
      {"TFoo = class ( TBase , IBar )", "TFoo = class(TBase, IBar)"},
      {"X = - 1 .. + 1 ;", "X = -1..+1;"},
      {"Y = A - 1 ;", "Y = A - 1;"},
      {"A : array [ 0 .. 9 ] of ^ TFoo ;", "A: array[0..9] of ^TFoo;"},
      {"TProc = procedure ( AKey : Word ) of object ;", "TProc = procedure(AKey: Word) of object;"},
      {"property Items [ I : Integer ] : T read Get ; default ;",
       "property Items[I: Integer]: T read Get; default;"},
      {"S = string [ 20 ] ;", "S = string[20];"},
      {"E = ( a , b = 4 ) ;", "E = (a, b = 4);"},
      {"Z = A >= B ; W = A > = B ;", "Z = A >= B; W = A > = B;"},
      {"P = @ Foo . Bar ^ ;", "P = @Foo.Bar^;"},
      {"X = & Type ; Y = &Type ;", "X = & Type; Y = &Type;"},
      {"operator + ( A , B : T ) R : T ;", "operator +(A, B: T) R: T;"},
      {"C = [ a , b ] ; D = Ord ( 'x' ) ;", "C = [a, b]; D = Ord('x');"},
  };
  for (const Case& c : cases) EXPECT_EQ(Joined(c.text), c.joined) << c.text;
}

}  // namespace
}  // namespace glossator::pascal
