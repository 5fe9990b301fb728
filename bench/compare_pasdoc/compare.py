"""Matches pasdoc's reading of a corpus against ours and writes the report.

The report is read by people comparing runs; keep its lines stable.
"""

from collections import defaultdict
from dataclasses import dataclass, field


@dataclass
class Tally:
  """How the entries of one sort (items, members or values) of two readings match."""
  kinds_agree: int = 0
  kinds_differ: list = field(default_factory=list)  # (pasdoc entry, our entry)
  pasdoc_only: list = field(default_factory=list)
  ours_only: list = field(default_factory=list)

  @property
  def both(self):
    return self.kinds_agree + len(self.kinds_differ)

  def share_of_pasdoc(self):
    return _share(self.both, self.both + len(self.pasdoc_only))

  def share_of_ours(self):
    return _share(self.both, self.both + len(self.ours_only))

  def __iadd__(self, other):
    self.kinds_agree += other.kinds_agree
    self.kinds_differ += other.kinds_differ
    self.pasdoc_only += other.pasdoc_only
    self.ours_only += other.ours_only
    return self


def _share(part, whole):
  return None if whole == 0 else 100.0 * part / whole


def match(pasdoc_entries, our_entries):
  """Matches two lists of entries as multisets of keys (overloads are several entries with one
  key). Within a key, pairs whose kinds agree are made first; the rest pair up as "kinds
  differ" and what is left over is listed by one tool only."""
  ours_by_key = defaultdict(list)
  for entry in our_entries:
    ours_by_key[entry.key()].append(entry)
  pasdoc_by_key = defaultdict(list)
  for entry in pasdoc_entries:
    pasdoc_by_key[entry.key()].append(entry)
  tally = Tally()
  for key in pasdoc_by_key.keys() | ours_by_key.keys():
    _match_key(tally, pasdoc_by_key.get(key, []), ours_by_key.get(key, []))
  return tally


def _match_key(tally, pasdoc, ours):
  ours = list(ours)
  unpaired = []
  for entry in pasdoc:
    same = next((i for i, our in enumerate(ours) if our.kinds & entry.kinds), None)
    if same is None:
      unpaired.append(entry)
    else:
      tally.kinds_agree += 1
      ours.pop(same)
  paired = min(len(unpaired), len(ours))
  tally.kinds_differ += zip(unpaired[:paired], ours[:paired])
  tally.pasdoc_only += unpaired[paired:]
  tally.ours_only += ours[paired:]


@dataclass
class Comparison:
  """pasdoc's and our reading of one corpus, matched. Only the units pasdoc read count: our
  entries in other units are left out (left_out counts them)."""
  units_both: list = field(default_factory=list)
  units_pasdoc_only: list = field(default_factory=list)  # (name, file)
  units_ours_only: list = field(default_factory=list)
  items: Tally = field(default_factory=Tally)
  members: Tally = field(default_factory=Tally)
  values: Tally = field(default_factory=Tally)
  left_out: int = 0
  units_pasdoc: int = 0
  units_ours: int = 0
  programs: list = field(default_factory=list)

  def unit_agreement(self):
    return _share(len(self.units_both),
                  len(self.units_both) + len(self.units_pasdoc_only) + len(self.units_ours_only))

  def __iadd__(self, other):
    for name in ("units_both", "units_pasdoc_only", "units_ours_only", "programs"):
      getattr(self, name).extend(getattr(other, name))
    for name in ("items", "members", "values"):
      setattr(self, name, getattr(self, name).__iadd__(getattr(other, name)))
    self.left_out += other.left_out
    self.units_pasdoc += other.units_pasdoc
    self.units_ours += other.units_ours
    return self


def compare(pasdoc, ours):
  """Compares two Readings of one corpus."""
  result = Comparison(units_pasdoc=len(pasdoc.units), units_ours=len(ours.units))
  result.units_both = sorted(pasdoc.units[k][0] for k in pasdoc.units.keys() & ours.units.keys())
  result.units_pasdoc_only = sorted(pasdoc.units[k] for k in pasdoc.units.keys() - ours.units.keys())
  result.units_ours_only = sorted(ours.units[k] for k in ours.units.keys() - pasdoc.units.keys())
  result.programs = sorted(set(pasdoc.programs) | set(ours.programs))
  for sort in ("items", "members", "values"):
    mine = [e for e in getattr(ours, sort) if e.unit in pasdoc.units]
    result.left_out += len(getattr(ours, sort)) - len(mine)
    setattr(result, sort, match(getattr(pasdoc, sort), mine))
  return result


# ---- the report --------------------------------------------------------------------------------

def _percent(value):
  return "n/a" if value is None else "%.2f %%" % value


def _tally_line(title, tally):
  return ("%-8s both %d (kinds agree %d), pasdoc only %d, ours only %d: %s of pasdoc's, %s of ours"
          % (title, tally.both, tally.kinds_agree, len(tally.pasdoc_only), len(tally.ours_only),
             _percent(tally.share_of_pasdoc()), _percent(tally.share_of_ours())))


def summary_lines(result):
  """The lines that sum up one corpus (or the total)."""
  lines = ["units    pasdoc %d, ours %d, both %d: names agree %s"
           % (result.units_pasdoc, result.units_ours, len(result.units_both),
              _percent(result.unit_agreement()))]
  if result.programs:
    lines.append("         programs left out (they are no units): " + ", ".join(result.programs))
  lines.append(_tally_line("items", result.items))
  lines.append(_tally_line("members", result.members))
  lines.append(_tally_line("values", result.values) + " (enumeration values; not in the shares "
               "above)")
  if result.left_out:
    lines.append("         %d of our entries are in units pasdoc did not read and are left out"
                 % result.left_out)
  return lines


def _entry_lines(entries):
  lines = []
  by_group = defaultdict(list)
  for entry in entries:
    by_group[entry.group].append(entry)
  for group in sorted(by_group):
    lines.append("    %s (%d)" % (group, len(by_group[group])))
    for entry in sorted(by_group[group], key=lambda e: (e.shown.lower(), e.where)):
      lines.append("      %-60s %-16s %s" % (entry.shown, entry.label, entry.where))
  return lines


def _kind_lines(pairs):
  lines = []
  by_group = defaultdict(list)
  for pasdoc, ours in pairs:
    by_group[pasdoc.group].append((pasdoc, ours))
  for group in sorted(by_group):
    lines.append("    %s (%d)" % (group, len(by_group[group])))
    for pasdoc, ours in sorted(by_group[group], key=lambda p: p[0].shown.lower()):
      lines.append("      %-60s pasdoc %s, ours %s  %s"
                   % (pasdoc.shown, pasdoc.label, ours.label, pasdoc.where))
  return lines


def diff_lines(result):
  """Every disagreement of one corpus, grouped by kind, for a person to judge."""
  lines = []
  for title, units in (("units pasdoc only", result.units_pasdoc_only),
                       ("units ours only", result.units_ours_only)):
    if units:
      lines.append("  %s (%d): %s" % (title, len(units),
                                      ", ".join("%s (%s)" % unit for unit in units)))
  for sort in ("items", "members", "values"):
    tally = getattr(result, sort)
    for title, entries in (("pasdoc only", tally.pasdoc_only), ("ours only", tally.ours_only)):
      if entries:
        lines.append("  %s %s (%d)" % (sort, title, len(entries)))
        lines += _entry_lines(entries)
    if tally.kinds_differ:
      lines.append("  %s whose kinds differ (%d)" % (sort, len(tally.kinds_differ)))
      lines += _kind_lines(tally.kinds_differ)
  return lines


def table_lines(rows):
  """The closing table: one row per corpus and the total; rows are (name, Comparison, seconds
  of pasdoc, seconds of ours)."""
  lines = ["%-10s %6s %6s %8s %8s %8s %8s %8s %8s %9s %9s"
           % ("corpus", "units", "agree", "items", "%pasdoc", "%ours", "members", "%pasdoc",
              "%ours", "pasdoc s", "ours s")]
  for name, result, pasdoc_seconds, our_seconds in rows:
    lines.append("%-10s %6d %6s %8d %8s %8s %8d %8s %8s %9s %9s" % (
        name, result.units_pasdoc, _short(result.unit_agreement()), result.items.both,
        _short(result.items.share_of_pasdoc()), _short(result.items.share_of_ours()),
        result.members.both, _short(result.members.share_of_pasdoc()),
        _short(result.members.share_of_ours()), _seconds(pasdoc_seconds),
        _seconds(our_seconds)))
  return lines


def _short(value):
  return "n/a" if value is None else "%.2f" % value


def _seconds(value):
  return "-" if value is None else "%.2f" % value
