#ifndef GLOSSATOR_HTML_JSON_EXPORT_H_
#define GLOSSATOR_HTML_JSON_EXPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "model/unit_model.h"

namespace glossator {

// The units as one JSON document, UTF-8, for programs that read what Glossator read:
//
//   {"units":[{"name":...,"file":...,"line":...,"comment":...,"uses":[...],"items":[...]}, ...]}
//
// one unit per line. Keys come in a fixed order; optional keys only when their value is not
// empty (or true). Texts that are not valid UTF-8 have those bytes read as Windows-1252. The
// format is documented for users in docs/json-format.md; a change there is a change here, and
// programs depend on it: add keys, never rename or remove them.
std::string UnitsToJson(const std::vector<DocUnit>& units);

// `text` as a JSON string with its quotes: '"' and '\' escaped, control characters as \u00XX,
// bytes that are no part of valid UTF-8 read as Windows-1252.
//
//   "a\"b"        => "\"a\\\"b\""
//   "x\r\n"       => "\"x\\u000d\\u000a\""
//   "caf\xE9"     => "\"café\""   (0xE9 alone is no UTF-8: Windows-1252's é)
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_JSON_EXPORT_H_
