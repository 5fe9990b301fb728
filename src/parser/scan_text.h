#ifndef GLOSSATOR_PARSER_SCAN_TEXT_H_
#define GLOSSATOR_PARSER_SCAN_TEXT_H_

#include <initializer_list>
#include <string>
#include <string_view>

namespace glossator {

// The heading without trailing "override", "virtual" and "overload" directives, checked in this
// order, each at most once; the pieces that remain each end in ";".
//
//   "procedure Paint; override;"                   => "procedure Paint;"
//   "function Count: Integer; overload; virtual;"  => "function Count: Integer;"
//   "procedure Free; virtual; overload;"           => "procedure Free; virtual;"
//   "procedure A"                                  => "procedure A;"
//   "override;" or ""                              => ""   (the pieces ran out)
std::string StripDirectives(std::string_view heading);

// 1-based position in `text` of the first word of `words` (in list order) that occurs in it, or
// 0. Without `case_sensitive` both sides are compared lower-cased.
size_t PosOfAny(std::initializer_list<std::string_view> words, std::string_view text,
                bool case_sensitive);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_SCAN_TEXT_H_
