#ifndef GLOSSATOR_PARSER_MEMBER_NAME_H_
#define GLOSSATOR_PARSER_MEMBER_NAME_H_

#include <string>
#include <string_view>

namespace glossator {

// The name of a member from the rest of its declaration after the keyword: the part before the
// first "(", else before the first ":", else all of it; directives stripped, trimmed, one final
// ";" removed; "--Unparseable--" when nothing is left before that last step.
//
//   "Paint(ACanvas: TCanvas); virtual;"  => "Paint"
//   "Items[Index: Integer]: T read Get;" => "Items[Index"
//   "Paint; override;"                   => "Paint"
//   "Overload;"                          => "--Unparseable--"
std::string MemberName(std::string_view rest);

}  // namespace glossator

#endif  // GLOSSATOR_PARSER_MEMBER_NAME_H_
