"""Reads what pasdoc's simplexml output and Glossator's JSON export list, into comparable records.

Both sides become a Reading: the units read, and flat lists of Entry for unit-level items,
for class members (at any depth, named by their owner's dotted path) and for enumeration
values. An Entry keeps a normalised key (unit, owner, group, name) for matching and, apart,
the kinds that count as "the same kind" on the other side and what to show a reader.
"""

import json
import os
import re
import xml.etree.ElementTree as ET
from dataclasses import dataclass, field
from pathlib import Path

# The group of each of our kinds: what both tools tell apart. pasdoc writes one element per
# group (<structure>, <type>, <constant>, <variable>, <routine>, <property>), so the group is
# the part of the kind that both can state; the finer kind is compared apart (KINDS_OF_*).
GROUP_OF_KIND = {
    "class": "structure", "record": "structure", "object": "structure",
    "interface": "structure", "helper": "structure",
    "enum": "type", "set": "type", "array": "type", "pointer": "type",
    "procedure-type": "type", "alias": "type",
    "constant": "constant", "resourcestring": "constant",
    "variable": "variable", "field": "variable",
    "routine": "routine", "method": "routine", "constructor": "routine",
    "destructor": "routine", "operator": "routine",
    "property": "property",
}

# pasdoc's <structure type="..."> => the kinds of ours that are the same thing. The simplexml
# output drops the "helper for X" part: a class helper is written as a "class", a record
# helper as a "record", a type helper as "type".
KINDS_OF_STRUCTURE = {
    "class": {"class", "helper"}, "packed class": {"class", "helper"},
    "objcclass": {"class"}, "packed objcclass": {"class"},
    "interface": {"interface"}, "dispinterface": {"interface"},
    "object": {"object"}, "packed object": {"object"},
    "record": {"record", "helper"}, "packed record": {"record", "helper"},
    "type": {"helper"},
}

# pasdoc's <routine type="..."> => our kinds, for unit-level routines and for members.
KINDS_OF_ROUTINE = {
    "function": ({"routine"}, {"method"}),
    "procedure": ({"routine"}, {"method"}),
    "constructor": ({"routine"}, {"constructor"}),
    "destructor": ({"routine"}, {"destructor"}),
    "operator": ({"routine", "operator"}, {"operator"}),
}

_GENERIC_SUFFIX = re.compile(r"^([A-Za-z_&][\w.&]*?)\s*<.*>$")
_DESCRIPTION = re.compile(r"<description>.*?</description>", re.S)
_COMMENT = re.compile(r"\{[^}]*\}|\(\*.*?\*\)|//[^\n]*", re.S)


def normalise_name(name):
  """The matching form of a name: without a generic parameter list, in lower case.

  "TList<T>" => "tlist", "TDelphiGen<K,V>" => "tdelphigen", "<=" => "<=" (an operator keeps
  its symbol), "ISomething.Bar" => "isomething.bar".
  """
  name = name.strip()
  match = _GENERIC_SUFFIX.match(name)
  if match:
    name = match.group(1)
  return name.lower()


@dataclass(frozen=True)
class Entry:
  """One item, member or enumeration value as one tool listed it."""
  unit: str      # normalised unit name
  owner: str     # normalised dotted path of the owning items; "" for unit-level items
  group: str     # see GROUP_OF_KIND; "value" for enumeration values
  name: str      # normalised name
  kinds: frozenset  # the kinds of ours this entry is (ours: its one kind)
  label: str     # the kind in the tool's own words, for listings
  shown: str     # "Unit.Owner.Name" as written
  where: str     # "file:line", or the unit's file when the tool gives no line

  def key(self):
    return (self.unit, self.owner, self.group, self.name)


@dataclass
class Reading:
  """Everything one tool read from one corpus."""
  units: dict = field(default_factory=dict)     # normalised name => (name as written, file)
  items: list = field(default_factory=list)
  members: list = field(default_factory=list)
  values: list = field(default_factory=list)
  programs: list = field(default_factory=list)  # programs and libraries, left out of units


def heading_keyword(path):
  """The first word of a Pascal file after comments and directives ("unit", "program", ...)."""
  try:
    text = Path(path).read_bytes().decode("utf-8", "replace")
  except OSError:
    return ""
  match = re.match(r"\s*([A-Za-z]+)", _COMMENT.sub(" ", text))
  return match.group(1).lower() if match else ""


def _add_unit(reading, name, file):
  """Records a unit, or a program or library (which documents nothing) apart."""
  if file and heading_keyword(file) in ("program", "library"):
    reading.programs.append(name)
    return False
  reading.units[normalise_name(name)] = (name, file)
  return True


# ---- pasdoc's simplexml ------------------------------------------------------------------------

def parse_xml(path):
  """Parses one simplexml file. Descriptions can carry raw HTML from @html tags and bytes that
  are not UTF-8; neither matters here, so a file that fails is read again without them."""
  data = path.read_bytes()
  try:
    return ET.fromstring(data)
  except ET.ParseError:
    text = _DESCRIPTION.sub("", data.decode("utf-8", "replace"))
    return ET.fromstring(text)


def type_kind(element):
  """Our kind of a pasdoc <type>, told from its declaration (pasdoc writes them all alike).

  "TE = (...);" or enum values inside => enum; "T = set of X;" => set; "T = packed array[..]
  of X;" => array; "P = ^T;" => pointer; "T = procedure(...) of object;" and "reference to"
  => procedure-type; anything else ("type X", "class of X", subranges, string[N],
  specialisations) => alias.
  """
  declaration = element.get("declaration", "")
  rhs = declaration.split("=", 1)[1].strip().lower() if "=" in declaration else ""
  rhs = re.sub(r"^(bit)?packed\s+", "", rhs)
  if element.find("constant") is not None or rhs.startswith("("):
    return "enum"
  if re.match(r"set\s+of\b", rhs):
    return "set"
  if re.match(r"array\b", rhs):
    return "array"
  if rhs.startswith("^"):
    return "pointer"
  if re.match(r"(procedure|function|reference\s+to)\b", rhs):
    return "procedure-type"
  return "alias"


def _pasdoc_kinds(element, is_member):
  """(group, our kinds, pasdoc's label) of one pasdoc element."""
  tag = element.tag
  if tag == "structure":
    label = element.get("type", "")
    return "structure", KINDS_OF_STRUCTURE.get(label, {label}), label
  if tag == "type":
    kind = type_kind(element)
    return "type", {kind}, "type (%s)" % kind
  if tag == "routine":
    label = element.get("type", "")
    kinds = KINDS_OF_ROUTINE.get(label, ({label}, {label}))[1 if is_member else 0]
    return "routine", kinds, label
  if tag == "constant":
    return "constant", {"constant", "resourcestring"}, "constant"
  if tag == "variable":
    return "variable", {"field"} if is_member else {"variable"}, "field" if is_member else "variable"
  if tag == "property":
    return "property", {"property"}, "property"
  return None


class _PasdocWalker:
  """Turns the elements of one pasdoc unit into entries."""

  def __init__(self, reading, unit, unit_file):
    self.reading, self.unit, self.unit_file = reading, unit, unit_file

  def where(self, element):
    file = element.get("source-relative-file-name")
    if not file:
      return self.unit_file
    return "%s:%s" % (file, element.get("source-line", "?"))

  def walk(self, element, owner_path, owner_shown):
    for child in element:
      kinds = _pasdoc_kinds(child, bool(owner_path))
      if kinds is None:
        continue
      group, our_kinds, label = kinds
      name = child.get("name", "")
      shown = ".".join([self.unit] + owner_shown + [name])
      entry = Entry(normalise_name(self.unit), ".".join(owner_path), group, normalise_name(name),
                    frozenset(our_kinds), label, shown, self.where(child))
      (self.reading.members if owner_path else self.reading.items).append(entry)
      path = owner_path + [normalise_name(name)]
      if group == "structure":
        self.walk(child, path, owner_shown + [name])
      elif group == "type":
        self.values(child, path, owner_shown + [name])

  def values(self, enum, path, shown):
    for value in enum.findall("constant"):
      name = value.get("name", "")
      self.reading.values.append(Entry(
          normalise_name(self.unit), ".".join(path), "value", normalise_name(name),
          frozenset({"value"}), "value", ".".join([self.unit] + shown + [name]),
          self.where(enum)))


def read_pasdoc(folder, source_root):
  """Reads every <unit> file pasdoc wrote into folder. Files are named relative to
  source_root (pasdoc's --source-root)."""
  reading = Reading()
  for path in sorted(Path(folder).glob("*.xml")):
    unit = parse_xml(path)
    if unit.tag != "unit":
      continue
    name = unit.get("name", path.stem)
    relative = unit.get("source-relative-file-name", "")
    file = str(Path(source_root) / relative) if relative else ""
    if _add_unit(reading, name, file):
      _PasdocWalker(reading, name, relative or name).walk(unit, [], [])
  return reading


# ---- Glossator's JSON export -------------------------------------------------------------------

_FORWARD = re.compile(r"^[\w.]+(<[^>]*>)?\s*=\s*(class|interface|dispinterface|objcclass|"
                      r"objcprotocol)\s*;$", re.I)


def is_forward(item):
  """A forward declaration ("TFoo = class;"): pasdoc merges it into the full declaration and
  lists the class once, so it is left out here."""
  if item.get("forward"):
    return True
  return not item.get("members") and bool(_FORWARD.match(item.get("declaration", "").strip()))


class _GlossatorWalker:
  """Turns the items of one unit of the JSON export into entries."""

  def __init__(self, reading, unit, unit_file, root):
    self.reading, self.unit, self.unit_file, self.root = reading, unit, unit_file, root

  def where(self, item):
    file = item.get("file") or self.unit_file
    if self.root and os.path.isabs(file):
      file = os.path.relpath(file, self.root)
    return "%s:%s" % (file, item["line"]) if item.get("line") else file

  def walk(self, items, owner_path, owner_shown):
    for item in items:
      if is_forward(item):
        continue
      kind, name = item.get("kind", ""), item.get("name", "")
      shown = ".".join([self.unit] + owner_shown + [name])
      entry = Entry(normalise_name(self.unit), ".".join(owner_path), GROUP_OF_KIND.get(kind, kind),
                    normalise_name(name), frozenset({kind}), kind, shown, self.where(item))
      (self.reading.members if owner_path else self.reading.items).append(entry)
      path = owner_path + [normalise_name(name)]
      for value in item.get("values") or []:
        value_name = value.get("name", "")
        self.reading.values.append(Entry(
            entry.unit, ".".join(path), "value", normalise_name(value_name),
            frozenset({"value"}), "value", shown + "." + value_name, entry.where))
      self.walk(item.get("members") or [], path, owner_shown + [name])


def read_glossator(path, root=""):
  """Reads the JSON that `glossator --json FILE` writes; relative file names are taken from
  root, and files are shown relative to it."""
  reading = Reading()
  with open(path, encoding="utf-8", errors="replace") as stream:
    data = json.load(stream)
  for unit in data.get("units", []):
    name, file = unit.get("name", ""), unit.get("file", "")
    if _add_unit(reading, name, os.path.join(root, file) if file else ""):
      _GlossatorWalker(reading, name, file, root).walk(unit.get("items") or [], [], [])
  return reading
