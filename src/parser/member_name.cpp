#include "parser/member_name.h"

#include "model/text_rules.h"
#include "model/uStringFunc.h"
#include "parser/scan_text.h"

namespace glossator {

std::string MemberName(std::string_view rest) {
  std::string_view name = BeforeFirst(rest, "(");
  if (name.empty()) name = BeforeFirst(rest, ":");
  if (name.empty()) name = rest;
  std::string stripped(Trim(StripDirectives(name)));
  if (stripped.empty()) stripped = "--Unparseable--";
  if (stripped.back() == ';') stripped.pop_back();
  return stripped;
}

}  // namespace glossator
