#ifndef GLOSSATOR_HTML_SITE_DECLARATION_MARKUP_H_
#define GLOSSATOR_HTML_SITE_DECLARATION_MARKUP_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/unit_model.h"

namespace glossator {

// What the declaration writer asks about the names it may link. The site answers from its
// index, in the scope of the item being written; tests answer from a table.
class DeclarationLinks {
 public:
  virtual ~DeclarationLinks() = default;
  // Sets targets[i] for each part of a dotted name; UINT32_MAX for a part that stays text.
  // REQUIRES: targets.size() == parts.size().
  virtual void Resolve(std::span<const std::string_view> parts,
                       std::span<uint32_t> targets) const = 0;
  // Appends the link target (the value of HREF=, needing no escaping) of a resolved part.
  virtual void AppendHref(uint32_t target, std::string& out) const = 0;
};

// Appends a declaration as highlighted HTML: keywords in <b> (the commonest mark-up of a page,
// so the shortest), strings, numbers and comments in spans of the classes "s", "n" and "c",
// every name that the links resolve as a link, every other byte as text. Only names in places where
// a declaration refers to something are looked up: types, ancestors, values, default values and the
// accessors of a property; the declared name, parameter names, type parameters and the values of an
// enumeration are never links, and type parameters stay text wherever they appear. A word right
// behind a complete type or value
// ("read", "default", "index") is a directive. `kind` tells where parameter lists and the values
// of an enumeration stand. Works on any bytes in linear time.
//
//   "procedure Draw(C: TCanvas);"        => "<b>procedure</b> Draw(C: <a href=...>TCanvas</a>);"
//   "property Size: Integer read FSize;" => "... Integer <b>read</b> <a href=...>FSize</a>;"
//   "TE = (a, b);"                       => "TE = (a, b);"
void AppendDeclaration(std::string& out, std::string_view declaration, ItemKind kind,
                       const DeclarationLinks& links);

// Whether a word (any case) is a reserved word of Object Pascal, which can never name an item.
bool IsReservedWord(std::string_view word);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_SITE_DECLARATION_MARKUP_H_
