"""The driver of bench/compare-pasdoc: see that script's header for what it does and why."""

import argparse
import json
import os
import shutil
import sys
import tempfile
from pathlib import Path

import self_test
from compare import Comparison, compare, diff_lines, summary_lines, table_lines
from corpora import (CORPORA, FPC_MACROS, FPC_SYMBOLS, RunFailure, run_glossator, run_pasdoc)
from records import read_glossator, read_pasdoc


def parse_args(argv):
  parser = argparse.ArgumentParser(prog="bench/compare-pasdoc")
  parser.add_argument("--pasdoc", required=True, help="the pasdoc 1.0.4 program")
  parser.add_argument("--glossator", help="the glossator program (not needed by --self-test)")
  parser.add_argument("--diff", action="store_true", help="list every disagreement")
  parser.add_argument("--keep", metavar="DIR", help="keep the outputs in DIR")
  parser.add_argument("--only", action="append", choices=list(CORPORA), metavar="CORPUS",
                      help="compare only this corpus (repeatable): " + ", ".join(CORPORA))
  parser.add_argument("--runs", type=int, default=1, help="run each tool N times; report the "
                      "median time")
  parser.add_argument("--self-test", action="store_true",
                      help="compare pasdoc with itself instead of with Glossator")
  args = parser.parse_args(argv)
  if not args.self_test and not args.glossator:
    parser.error("--glossator is needed unless --self-test")
  return args


def work_folder(keep):
  """(the folder for the outputs, whether to delete it at the end)."""
  if keep:
    Path(keep).mkdir(parents=True, exist_ok=True)
    return Path(keep).resolve(), False
  base = "/dev/shm" if os.path.isdir("/dev/shm") else None
  return Path(tempfile.mkdtemp(prefix="glossator-compare-", dir=base)), True


def header_lines(corpus, run, pasdoc):
  """What was read, how, and pasdoc's own counts and time."""
  lines = ["== %s: %s, %d files in %s" % (corpus.name, corpus.title, len(corpus.files),
                                             corpus.root)]
  options = " ".join(["-D " + s for s in corpus.symbols] + ["-I " + str(f) for f in
                                                            corpus.includes])
  lines.append("options  %s (%s)" % (options or "none beyond FPC's symbols", corpus.why))
  lines.append("pasdoc   %d units (%d programs), %d items, %d members, %d enumeration values "
               "in %.2f s; gave up on %d files, took %d conditions it could not evaluate as true"
               % (len(pasdoc.units), len(pasdoc.programs), len(pasdoc.items),
                  len(pasdoc.members), len(pasdoc.values), run.seconds, len(run.unreadable),
                  len(run.assumed)))
  return lines


def pasdoc_lines(run):
  """pasdoc's own troubles, for --diff."""
  lines = ["  pasdoc gave up on %s: %s" % (file, why) for file, why in run.unreadable]
  return lines + ["  pasdoc took as true: {$if %s}" % c for c in sorted(set(run.assumed))]


def read_ours(args, corpus, folder):
  """Our reading of the corpus and the seconds it took; in the self-test pasdoc's own reading
  in the shape of the JSON export, and no time."""
  json_path = folder / "glossator.json"
  if args.self_test:
    json_path.write_text(json.dumps(self_test.pasdoc_to_json(folder / "pasdoc", corpus.root)),
                         encoding="utf-8")
    seconds = None
  else:
    seconds = run_glossator(args.glossator, corpus, json_path, folder / "glossator-out",
                            folder / "glossator.log", args.runs)
  return read_glossator(json_path, corpus.root), seconds


def compare_corpus(args, corpus, work):
  """Runs both tools on one corpus and prints its block; returns (its table row, problems)."""
  folder = work / corpus.name
  folder.mkdir(parents=True, exist_ok=True)
  run = run_pasdoc(args.pasdoc, corpus, folder / "pasdoc", folder / "pasdoc.log", args.runs)
  pasdoc = read_pasdoc(folder / "pasdoc", corpus.root)
  ours, our_seconds = read_ours(args, corpus, folder)
  result = compare(pasdoc, ours)
  lines = header_lines(corpus, run, pasdoc) + summary_lines(result)
  if args.diff:
    lines += pasdoc_lines(run) + diff_lines(result)
  problems = self_test.check_identity(result) if args.self_test else []
  if corpus.name == "fixture":
    problems += self_test.check_fixture(pasdoc, folder)
  lines += ["PROBLEM  " + p.replace("\n", "\n         ") for p in problems]
  print("\n".join(lines) + "\n", flush=True)
  return (corpus.name, result, run.seconds, our_seconds), problems


def main(argv):
  args = parse_args(argv)
  corpora = [CORPORA[name]() for name in (args.only or CORPORA)]
  if args.self_test:
    corpora.insert(0, self_test.fixture_corpus())
  for corpus in corpora:
    if not corpus.files:
      raise RunFailure("no units found for %s in %s" % (corpus.name, corpus.root))
  work, delete = work_folder(args.keep)
  print("FPC's symbols, for both: %s\nFPC's macros, for pasdoc only (Glossator: --compiler=fpc): "
        "%s\n" % (" ".join(FPC_SYMBOLS), " ".join(FPC_MACROS)))
  rows, problems = [], []
  try:
    for corpus in corpora:
      row, found = compare_corpus(args, corpus, work)
      rows.append(row)
      problems += found
  except RunFailure as failure:
    raise RunFailure("%s\n(the outputs are kept in %s)" % (failure, work)) from failure
  if delete:
    shutil.rmtree(work, ignore_errors=True)
  rows = [row for row in rows if row[0] != "fixture"]
  total = Comparison()
  for _, result, _, _ in rows:
    total += result
  print("== total\n" + "\n".join(summary_lines(total)) + "\n")
  pasdoc_seconds = sum(row[2] for row in rows)
  our_seconds = None if args.self_test else sum(row[3] for row in rows)
  print("\n".join(table_lines(rows + [("total", total, pasdoc_seconds, our_seconds)])))
  if args.keep:
    print("\noutputs kept in %s" % work)
  if args.self_test:
    print("\nself-test: %s" % ("%d problems" % len(problems) if problems else "passed"))
  return 1 if problems else 0


if __name__ == "__main__":
  try:
    sys.exit(main(sys.argv[1:]))
  except RunFailure as failure:
    print("compare-pasdoc: %s" % failure, file=sys.stderr)
    sys.exit(2)
