#include "html/site/site_index.h"

#include "html/site/site_html.h"
#include "html/site/site_names.h"
#include "model/text_rules.h"

namespace glossator {
namespace {

// The longest ancestor chain that is followed. Real class trees are a few dozen deep; the bound
// keeps a lookup cheap while the ancestors are still being linked and cycles not yet cut.
constexpr int kMaxChain = 1000;

// Whether `name` is one of the type parameters in "TList<T>" or "TMap<K, V: class>".
bool IsParameterOf(std::string_view generic, std::string_view name) {
  size_t open = generic.find('<');
  if (open == std::string_view::npos) return false;
  std::string_view rest = generic.substr(open + 1);
  while (!rest.empty()) {
    size_t end = rest.find_first_of(",;>");
    std::string_view part = rest.substr(0, end);
    part = Trim(part.substr(0, part.find(':')));
    if (EqualsNoCase(part, name)) return true;
    if (end == std::string_view::npos || rest[end] == '>') break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace

std::string_view LookupName(std::string_view name) { return Trim(name.substr(0, name.find('<'))); }

size_t FoldedNameHash::operator()(std::string_view name) const {
  uint64_t hash = 14695981039346656037ull;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(ToLowerAscii(c));
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

bool FoldedNameEqual::operator()(std::string_view a, std::string_view b) const {
  return EqualsNoCase(a, b);
}

std::pair<uint32_t, uint32_t> SiteIndex::UnitEntryRange(uint32_t unit) const {
  uint32_t end = unit + 1 < unit_entries_.size() ? unit_entries_[unit + 1]
                                                 : static_cast<uint32_t>(entries_.size());
  return {unit_entries_[unit], end};
}

std::pair<uint32_t, uint32_t> SiteIndex::UnitPageRange(uint32_t unit) const {
  uint32_t end = unit + 1 < unit_entries_.size() ? entries_[unit_entries_[unit + 1]].own_page
                                                 : first_names_page_;
  return {entries_[unit_entries_[unit]].own_page, end};
}

uint32_t SiteIndex::UnitNamed(std::string_view name) const {
  return EntryOf(shared_names_.Find(kUnitNames, Trim(name)));
}

void AppendAnchor(const SiteIndex& index, uint32_t entry, std::string& out) {
  const Entry& e = index.At(entry);
  if (e.anchor_number == 0) return;
  if (e.plain_anchor) {
    out.append(e.name);
  } else {
    AppendAnchorStem(out, e.name);
  }
  if (e.anchor_number > 1) {
    out += '-';
    AppendNumber(out, e.anchor_number);
  }
}

bool SiteIndex::IsClassLikeEntry(uint32_t entry) const {
  const Entry& e = entries_[entry];
  return e.type == EntryType::kItem && IsClassLike(e.kind);
}

Scope SiteIndex::ScopeOf(uint32_t entry) const {
  const Entry& e = entries_[entry];
  if (e.type == EntryType::kEnumValue) return ScopeOf(e.parent);
  if (e.parent != kNone && IsClassLikeEntry(e.parent)) return {e.unit, e.parent};
  return {e.unit, kNone};
}

uint32_t SiteIndex::InClassChain(uint32_t cls, const Key& key) const {
  int steps = 0;
  for (uint32_t c = cls; c != kNone && steps < kMaxChain; c = entries_[c].base, ++steps) {
    uint32_t found = Probe(c, key);
    if (found != kNone) return found;
  }
  return kNone;
}

uint32_t SiteIndex::InUnits(uint32_t unit, const Key& key) const {
  uint32_t found = Probe(unit_entries_[unit], key);
  if (found != kNone) return found;
  uint32_t slot = shared_names_.Find(kUnitLevel, key);
  if (slot == NameTable::kMissing) return kNone;
  const Candidates& candidates = candidates_[slot];
  // Most names are declared in one unit of the set; only the others need the uses clause.
  if (candidates.count == 1) return EntryOf(candidates.first);
  const std::vector<uint32_t>& used = uses_[unit];
  for (auto it = used.rbegin(); it != used.rend(); ++it) {
    found = Probe(unit_entries_[*it], key);
    if (found != kNone) return found;
  }
  return EntryOf(candidates.first);
}

bool SiteIndex::IsTypeParameter(uint32_t cls, std::string_view name) const {
  for (uint32_t c = cls; c != kNone && IsClassLikeEntry(c); c = entries_[c].parent) {
    if (IsParameterOf(entries_[c].name, name)) return true;
  }
  return false;
}

uint32_t SiteIndex::Resolve(Scope scope, std::string_view name) const {
  Key key(LookupName(name));
  if (key.name.empty()) return kNone;
  if (scope.cls != kNone) {
    if (IsTypeParameter(scope.cls, key.name)) return kNone;
    if (shared_names_.Find(kMemberNames, key) != NameTable::kMissing) {
      for (uint32_t c = scope.cls; c != kNone && IsClassLikeEntry(c); c = entries_[c].parent) {
        uint32_t found = InClassChain(c, key);
        if (found != kNone) return found;
      }
    }
  }
  return InUnits(scope.unit, key);
}

uint32_t SiteIndex::MemberOf(uint32_t owner, std::string_view name) const {
  return MemberOf(owner, Key(LookupName(name)));
}

uint32_t SiteIndex::MemberOf(uint32_t owner, const Key& key) const {
  if (owner == kNone) return kNone;
  const Entry& e = entries_[owner];
  if (e.type == EntryType::kUnit) return Probe(owner, key);
  if (e.type != EntryType::kItem) return kNone;
  if (e.kind == ItemKind::kEnum) return Probe(owner, key);
  return IsClassLike(e.kind) ? InClassChain(owner, key) : kNone;
}

void SiteIndex::ResolveDotted(Scope scope, std::span<const std::string_view> parts,
                              std::span<uint32_t> targets) const {
  for (uint32_t& target : targets) target = kNone;
  if (parts.empty()) return;
  size_t next = 0;
  // The longest leading run of parts that names a unit whose items hold the part after it.
  for (size_t n = parts.size() - 1; n >= 1 && next == 0; --n) {
    std::string unit_name(parts[0]);
    for (size_t i = 1; i < n; ++i) unit_name.append(".").append(parts[i]);
    uint32_t unit = UnitNamed(unit_name);
    if (unit == kNone) continue;
    uint32_t item = Probe(unit, Key(LookupName(parts[n])));
    if (item == kNone) continue;
    for (size_t i = 0; i < n; ++i) targets[i] = unit;
    targets[n] = item;
    next = n + 1;
  }
  if (next == 0) {
    targets[0] = Resolve(scope, parts[0]);
    next = 1;
  }
  for (size_t i = next; i < parts.size(); ++i) targets[i] = MemberOf(targets[i - 1], parts[i]);
}

}  // namespace glossator
