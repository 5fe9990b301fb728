// The JSON export: escaping, the Windows-1252 fallback, and the shape of a whole document.
#include "html/json_export.h"

#include <gtest/gtest.h>

#include "pascal/reader_support.h"

namespace glossator {
namespace {

std::string Quoted(std::string_view text) {
  std::string out;
  AppendJsonString(out, text);
  return out;
}

TEST(JsonString, EscapesAndConvertsToUtf8) {
  struct Case {
    std::string text;
    std::string json;
  } cases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"x\r\n\t\x01\x1f", "\"x\\u000d\\u000a\\u0009\\u0001\\u001f\""},
      {std::string("nul\0x", 5), "\"nul\\u0000x\""},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
      {"caf\xE9", "\"caf\xC3\xA9\""},                            // Windows-1252 é
      {"\x80 \x9F \x81", "\"\xE2\x82\xAC \xC5\xB8 \xC2\x81\""},  // €, Ÿ, an unassigned byte
      {"\xC3", "\"\xC3\x83\""},                                  // a cut sequence
      {"\xC0\xAF", "\"\xC3\x80\xC2\xAF\""},                      // an overlong "/"
      {"\xED\xA0\x80", "\"\xC3\xAD\xC2\xA0\xE2\x82\xAC\""},      // a surrogate
      {"\xF4\x90\x80\x80", "\"\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC\""},  // above U+10FFFF
      {"</script>", "\"</script>\""},
  };
  for (const Case& c : cases) EXPECT_EQ(Quoted(c.text), c.json) << c.text;
}

TEST(UnitsToJson, WritesEveryFieldInItsPlace) {
  DocUnit unit;
  unit.name = "U";
  unit.file = "src/u.pas";
  unit.line = 2;
  unit.comment = "Unit.";
  unit.uses = {"A", "B.C"};
  unit.hints.platform = true;
  DocItem klass;
  klass.kind = ItemKind::kClass;
  klass.name = "TFoo";
  klass.file = "src/u.pas";
  klass.line = 5;
  klass.declaration = "TFoo = class(TBase)";
  klass.ancestors = {"TBase"};
  DocItem method;
  method.kind = ItemKind::kMethod;
  method.name = "Run";
  method.file = "src/u.inc";
  method.line = 3;
  method.declaration = "class procedure Run; deprecated 'x';";
  method.visibility = "strict private";
  method.long_comment = "Long.";
  method.class_member = true;
  method.hints.deprecated = true;
  method.hints.deprecated_message = "x";
  klass.members.push_back(method);
  DocItem enumeration;
  enumeration.kind = ItemKind::kEnum;
  enumeration.name = "TE";
  enumeration.file = "src/u.pas";
  enumeration.line = 9;
  enumeration.declaration = "TE = (a, b = 2);";
  enumeration.values = {{"a", "", "", 9}, {"b", "2", "Two.", 9}};
  DocItem forward;
  forward.kind = ItemKind::kInterface;
  forward.name = "IFoo";
  forward.file = "src/u.pas";
  forward.line = 10;
  forward.declaration = "IFoo = interface;";
  forward.forward = true;
  forward.type = "T";
  forward.value = "V";
  unit.items = {klass, enumeration, forward};
  DocUnit empty;
  EXPECT_EQ(UnitsToJson({unit, empty}),
            "{\"units\":[\n"
            "{\"name\":\"U\",\"file\":\"src/u.pas\",\"line\":2,\"comment\":\"Unit.\","
            "\"uses\":[\"A\",\"B.C\"],\"hints\":{\"platform\":true},\"items\":["
            "{\"kind\":\"class\",\"name\":\"TFoo\",\"line\":5,\"file\":\"src/u.pas\","
            "\"declaration\":\"TFoo = class(TBase)\",\"comment\":\"\",\"ancestors\":[\"TBase\"],"
            "\"members\":[{\"kind\":\"method\",\"name\":\"Run\",\"line\":3,\"file\":\"src/u.inc\","
            "\"declaration\":\"class procedure Run; deprecated 'x';\",\"comment\":\"\","
            "\"visibility\":\"strict private\",\"longComment\":\"Long.\",\"hints\":{"
            "\"deprecated\":true,\"deprecatedMessage\":\"x\"},\"classMember\":true}]},"
            "{\"kind\":\"enum\",\"name\":\"TE\",\"line\":9,\"file\":\"src/u.pas\",\"declaration\":"
            "\"TE = (a, b = 2);\",\"comment\":\"\",\"values\":[{\"name\":\"a\",\"line\":9},"
            "{\"name\":\"b\",\"ordinal\":\"2\",\"comment\":\"Two.\",\"line\":9}]},"
            "{\"kind\":\"interface\",\"name\":\"IFoo\",\"line\":10,\"file\":\"src/u.pas\","
            "\"declaration\":\"IFoo = interface;\",\"comment\":\"\",\"type\":\"T\",\"value\":\"V\","
            "\"forward\":true}]},\n"
            "{\"name\":\"\",\"file\":\"\",\"line\":0,\"comment\":\"\",\"uses\":[],\"items\":[]}\n"
            "]}\n");
  EXPECT_EQ(UnitsToJson({}), "{\"units\":[\n]}\n");
}

}  // namespace
}  // namespace glossator
