"""The self-test of bench/compare-pasdoc, for use before Glossator's Pascal reader exists.

1. The fixture (fixture/*.pas, our own code with a declaration of every kind): pasdoc reads
   it, and its comparison with fixture/expected.json (what the Pascal reader should make of
   the fixture, written by hand from the sources) must print fixture/expected-report.txt.
   This checks the kind mapping and every normalisation against what pasdoc really writes.
2. pasdoc's reading of the fixture turned into the JSON export's shape compares at 100 % with
   itself; then each change of MUTATIONS, made to that JSON, must move the counts by exactly
   what the table says, and no other count.
3. On each corpus, pasdoc's reading turned into JSON compares at 100 % with itself.
"""

import copy
import difflib
import json
from collections import Counter
from pathlib import Path

from compare import compare, diff_lines, summary_lines
from corpora import Corpus
from records import KINDS_OF_ROUTINE, KINDS_OF_STRUCTURE, parse_xml, read_glossator, type_kind

FIXTURE = Path(__file__).resolve().parent / "fixture"


def fixture_corpus():
  return Corpus("fixture", "the fixture of the self-test", FIXTURE,
                [FIXTURE / "kinds.pas", FIXTURE / "delphi_kinds.pas",
                 FIXTURE / "fixture_program.pas"],
                symbols=["FIXTURE_SYMBOL"], includes=[FIXTURE / "inc"],
                why="FIXTURE_SYMBOL and inc/ are what the fixture needs")


# ---- pasdoc's reading as the JSON export would give it -----------------------------------------

def _our_kind(kinds):
  """One of the kinds that count as the same: the plain one (a "class" rather than a helper)."""
  plain = sorted(k for k in kinds if k not in ("helper", "operator", "resourcestring"))
  return plain[0] if plain else sorted(kinds)[0]


def _item(element, root, is_member):
  tag = element.tag
  if tag == "structure":
    kind = _our_kind(KINDS_OF_STRUCTURE[element.get("type")])
    name = element.get("name_with_generic", element.get("name")).replace("generic ", "", 1)
  elif tag == "type":
    kind, name = type_kind(element), element.get("name")
  elif tag == "routine":
    kind = _our_kind(KINDS_OF_ROUTINE[element.get("type")][1 if is_member else 0])
    name = element.get("name")
  elif tag in ("constant", "variable", "property"):
    kind = {"constant": "constant", "property": "property",
            "variable": "field" if is_member else "variable"}[tag]
    name = element.get("name")
  else:
    return None
  item = {"kind": kind, "name": name, "line": int(element.get("source-line", 0)),
          "file": str(root / element.get("source-relative-file-name", "")),
          "declaration": element.get("declaration", ""), "comment": "",
          "visibility": element.get("visibility", "")}
  if tag == "structure":
    item["members"] = _items(element, root, True)
  if tag == "type" and kind == "enum":
    item["values"] = [{"name": c.get("name")} for c in element.findall("constant")]
  return item


def _items(element, root, is_member):
  return [i for i in (_item(child, root, is_member) for child in element) if i is not None]


def pasdoc_to_json(folder, root):
  """pasdoc's simplexml files in folder, in the shape of `glossator --json`."""
  units = []
  for path in sorted(Path(folder).glob("*.xml")):
    unit = parse_xml(path)
    units.append({"name": unit.get("name"), "line": int(unit.get("source-line", 0)),
                  "file": str(root / unit.get("source-relative-file-name", "")),
                  "comment": "", "uses": [], "items": _items(unit, root, False)})
  return {"units": units}


# ---- changes to that JSON and what they must do -------------------------------------------------

def _unit(data, name):
  return next(u for u in data["units"] if u["name"] == name)


def _find(data, unit, path):
  """(the list holding the item, its index) of the first item at path ("TOuter", "TNested")."""
  items = _unit(data, unit)["items"]
  for depth, name in enumerate(path):
    index = next(i for i, item in enumerate(items) if item["name"] == name)
    if depth == len(path) - 1:
      return items, index
    items = items[index]["members"]


def _drop(unit, *path):
  def change(data):
    items, index = _find(data, unit, path)
    del items[index]
  return change


def _copy(unit, *path):
  def change(data):
    items, index = _find(data, unit, path)
    items.append(copy.deepcopy(items[index]))
  return change


def _set(unit, path, key, value):
  def change(data):
    items, index = _find(data, unit, path)
    items[index][key] = value
  return change


def _add_forward(data):
  _unit(data, "Kinds")["items"].insert(0, {"kind": "class", "name": "TBase",
                                           "declaration": "TBase = class;"})


def _move_member(data):
  items, index = _find(data, "Kinds", ("TBase", "Extra"))
  owners, owner = _find(data, "Kinds", ("TPoint2",))
  owners[owner]["members"].append(items.pop(index))


def _drop_value(data):
  items, index = _find(data, "Kinds", ("TColour",))
  items[index]["values"] = [v for v in items[index]["values"] if v["name"] != "clGreen"]


def _rename_unit(data):
  _unit(data, "Kinds")["name"] = "KindsRenamed"


def _all_of_kinds(reading):
  """What renaming unit Kinds must give: its units differ, and every entry in it is pasdoc's
  only, while ours are left out (pasdoc did not read a unit of that name)."""
  sizes = {sort: sum(1 for e in getattr(reading, sort) if e.unit == "kinds")
           for sort in ("items", "members", "values")}
  return {"units pasdoc only": 1, "units ours only": 1, "left out": sum(sizes.values()),
          "items pasdoc only": sizes["items"], "members pasdoc only": sizes["members"],
          "values pasdoc only": sizes["values"]}


# (what is changed, the change, the counts it must add: a dict, or a function of pasdoc's
# reading for counts that depend on the fixture's size)
MUTATIONS = [
    ("drop a routine", _drop("Kinds", "Twice"), {"items pasdoc only": 1}),
    ("drop one of two overloads", _drop("Kinds", "Log"), {"items pasdoc only": 1}),
    ("add a third overload", _copy("Kinds", "Log"), {"items ours only": 1}),
    ("write a member's name in capitals", _set("Kinds", ("TBase", "Count"), "name", "COUNT"), {}),
    ("write a generic's parameters", _set("Kinds", ("TBase",), "name", "TBase<T>"), {}),
    ("read a class as a helper", _set("Kinds", ("TBase",), "kind", "helper"), {}),
    ("read a constant as a resourcestring", _set("Kinds", ("MaxItems",), "kind",
                                                 "resourcestring"), {}),
    ("read an enumeration as an alias", _set("Kinds", ("TColour",), "kind", "alias"),
     {"items kinds differ": 1}),
    ("read a method as a constructor", _set("Kinds", ("TBase", "DoIt"), "kind", "constructor"),
     {"members kinds differ": 1}),
    ("read a constant as a variable", _set("Kinds", ("MaxItems",), "kind", "variable"),
     {"items pasdoc only": 1, "items ours only": 1}),
    ("add a forward declaration", _add_forward, {}),
    ("drop a member two levels down", _drop("Kinds", "TOuter", "TNested", "Deep"),
     {"members pasdoc only": 1}),
    ("move a field to another record", _move_member,
     {"members pasdoc only": 1, "members ours only": 1}),
    ("drop an enumeration value", _drop_value, {"values pasdoc only": 1}),
    ("rename a unit", _rename_unit, _all_of_kinds),
]


def counts(result):
  """The counts a change can move, without the zeros."""
  found = Counter({"units pasdoc only": len(result.units_pasdoc_only),
                   "units ours only": len(result.units_ours_only), "left out": result.left_out})
  for sort in ("items", "members", "values"):
    tally = getattr(result, sort)
    found[sort + " pasdoc only"] = len(tally.pasdoc_only)
    found[sort + " ours only"] = len(tally.ours_only)
    found[sort + " kinds differ"] = len(tally.kinds_differ)
  return +found


def _compare_json(pasdoc, data, folder, name):
  path = folder / name
  path.write_text(json.dumps(data), encoding="utf-8")
  return compare(pasdoc, read_glossator(path, FIXTURE))


def check_mutations(pasdoc, data, folder):
  """Problems found by the mutation table; an empty list when every row held."""
  problems = []
  base = counts(_compare_json(pasdoc, data, folder, "unchanged.json"))
  if base:
    problems.append("pasdoc's reading differs from itself: %s" % dict(base))
  for what, change, expected in MUTATIONS:
    changed = copy.deepcopy(data)
    change(changed)
    found = counts(_compare_json(pasdoc, changed, folder, "changed.json"))
    want = Counter(expected(pasdoc) if callable(expected) else expected)
    if found != +want:
      problems.append("%s: counts %s, expected %s" % (what, dict(found), dict(+want)))
  return problems


def check_report(pasdoc, folder):
  """Problems of the fixture's report against expected-report.txt."""
  result = compare(pasdoc, read_glossator(FIXTURE / "expected.json", FIXTURE))
  lines = summary_lines(result) + diff_lines(result)
  (folder / "report.txt").write_text("\n".join(lines) + "\n", encoding="utf-8")
  expected = (FIXTURE / "expected-report.txt").read_text(encoding="utf-8").splitlines()
  if lines == expected:
    return []
  diff = difflib.unified_diff(expected, lines, "expected-report.txt", "report", lineterm="")
  return ["the fixture's report differs from expected-report.txt:\n" + "\n".join(diff)]


def check_identity(result):
  """Problems of a corpus compared with its own reading: any disagreement at all."""
  found = counts(result)
  if found or any(t.both != t.kinds_agree for t in (result.items, result.members)):
    return ["pasdoc's reading differs from itself: %s" % dict(found)]
  return []


def check_fixture(pasdoc_reading, folder):
  """Runs parts 1 and 2 on pasdoc's reading of the fixture; returns the problems."""
  data = pasdoc_to_json(folder / "pasdoc", FIXTURE)
  return check_report(pasdoc_reading, folder) + check_mutations(pasdoc_reading, data, folder)
