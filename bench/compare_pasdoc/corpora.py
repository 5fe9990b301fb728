"""The five corpora, and running pasdoc and Glossator on one of them."""

import re
import shutil
import statistics
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

LAZARUS = Path("/usr/lib/lazarus/2.2.6")
FPC_PACKAGES = Path("/usr/share/fpcsrc/3.2.2/packages")

# The symbols FPC 3.2.2 defines on x86_64 Linux (`fpc -va` lists them) that the corpora test.
# pasdoc defines none of its own, and a unit read without them takes the branches meant for
# other compilers and platforms ({$ifdef cpu64}, {$IFDEF FPC_LITTLE_ENDIAN}, {$ifdef fpc}).
# Both tools get them, so that both read the same branches.
FPC_SYMBOLS = ["FPC", "VER3", "VER3_2", "VER3_2_2", "UNIX", "LINUX", "CPU64", "CPUX86_64",
               "CPUAMD64", "ENDIAN_LITTLE", "FPC_LITTLE_ENDIAN", "FPC_HAS_UNICODESTRING",
               "FPC_HAS_CPSTRING", "FPC_HAS_CONSTREF"]
# FPC's version macros, for {$if FPC_FULLVERSION >= 20701}. pasdoc takes them as -D NAME:=VALUE
# and, without them, assumes any such condition true; Glossator's --compiler=fpc defines them
# itself and its -D takes plain symbols, so they go to pasdoc only.
FPC_MACROS = ["FPC_FULLVERSION:=30202", "FPC_VERSION:=3", "FPC_RELEASE:=2", "FPC_PATCH:=2"]

# Every visibility, "implicit" included (pasdoc's own label for members before the first
# visibility section when asked for it; here they stay "public", but the value costs nothing).
PASDOC_VISIBILITIES = "published,public,protected,strictprotected,private,strictprivate," \
                      "automated,implicit"


@dataclass
class Corpus:
  """A set of units read together, with the symbols and include folders they need."""
  name: str
  title: str
  root: Path                                   # the folder the files are shown relative to
  files: list
  symbols: list = field(default_factory=list)  # -D for both tools (FPC_SYMBOLS come first)
  includes: list = field(default_factory=list)  # -I for both tools
  why: str = ""                                # why these symbols and include folders


def _units_in(folder):
  """The .pas and .pp files of one folder, not below it, in byte order."""
  return sorted(p for p in Path(folder).iterdir() if p.suffix.lower() in (".pas", ".pp"))


def _package_units(lpk):
  """The Pascal files a Lazarus package lists (<Filename Value="..."/> of its items)."""
  text = Path(lpk).read_text(encoding="utf-8", errors="replace")
  names = re.findall(r'<Filename Value="([^"]+)"', text)
  folder = Path(lpk).parent
  return [folder / n.replace("\\", "/") for n in names
          if Path(n).suffix.lower() in (".pas", ".pp")]


def lcl():
  root = LAZARUS / "lcl"
  return Corpus("lcl", "the 91 LCL units", root, _units_in(root), includes=[root / "include"],
                why="include/ holds lcl_defines.inc, controlconsts.inc, winapih.inc, "
                    "lclintfh.inc and glyphlist.inc, which interface parts include")


def synedit():
  root = LAZARUS / "components" / "synedit"
  return Corpus("synedit", "the units of synedit.lpk", root, _package_units(root / "synedit.lpk"),
                symbols=["gc", "LCLgtk2"],
                why="gc: the package's own -dgc; LCLgtk2: Debian's Lazarus builds for gtk2; "
                    "synedit.inc (included as SynEdit.inc too) lies beside the units")


def fcl(package):
  root = FPC_PACKAGES / package / "src"
  includes = [root / "unix"] if (root / "unix").is_dir() else []
  why = ("src/unix: fpmake's include folder on Linux (its eventlog.inc is included in the "
         "implementation); the other include files lie beside the units") if includes else \
        "the include files lie beside the units"
  return Corpus(package, "FPC's %s/src" % package, root, _units_in(root), includes=includes,
                why=why)


CORPORA = {
    "lcl": lcl,
    "synedit": synedit,
    "fcl-base": lambda: fcl("fcl-base"),
    "fcl-json": lambda: fcl("fcl-json"),
    "fcl-xml": lambda: fcl("fcl-xml"),
}


class RunFailure(Exception):
  """A tool could not be run, or did not finish its work."""


@dataclass
class PasdocRun:
  """What one pasdoc run left besides its output files."""
  seconds: float
  unreadable: list  # (file, pasdoc's message) of the files it gave up on
  assumed: list     # $if conditions it could not evaluate and took as true


_GAVE_UP = re.compile(r"Error \w+: (.*) while parsing unit (.*), continuing")
_ASSUMED = re.compile(r'Cannot evaluate this \$if / \$elseif condition, assuming that "(.*)" is true')


def _timed(command, log, runs, clean):
  """Runs command `runs` times (clean() before each), its output into log; returns the median
  wall seconds and the completed process of the last run."""
  seconds = []
  for _ in range(runs):
    clean()
    with open(log, "wb") as stream:
      start = time.perf_counter()
      try:
        done = subprocess.run(command, stdout=stream, stderr=subprocess.STDOUT, cwd=log.parent)
      except OSError as error:
        raise RunFailure("cannot run %s: %s" % (command[0], error)) from error
      seconds.append(time.perf_counter() - start)
  return statistics.median(seconds), done


def _fresh(folder):
  """A function that empties folder, so that every run starts from nothing."""
  def clean():
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
  return clean


def pasdoc_command(pasdoc, corpus, out):
  command = [pasdoc, "--format", "simplexml", "--output", str(out), "--visible-members",
             PASDOC_VISIBILITIES, "--show-source-position", "--source-root", str(corpus.root)]
  for symbol in FPC_SYMBOLS + FPC_MACROS + corpus.symbols:
    command += ["--define", symbol]
  for folder in corpus.includes:
    command += ["--include", str(folder)]
  return command + [str(f) for f in corpus.files]


def run_pasdoc(pasdoc, corpus, out, log, runs=1):
  """Runs pasdoc into the folder out. pasdoc ends with a non-zero status after many warnings
  (the status an exception raised on the way left behind), so the status says little: a run
  failed when it printed "Fatal Error", wrote nothing or was killed."""
  seconds, done = _timed(pasdoc_command(pasdoc, corpus, out), log, runs, _fresh(out))
  text = log.read_text(encoding="utf-8", errors="replace")
  if "Fatal Error" in text or not any(out.glob("*.xml")) or done.returncode < 0:
    raise RunFailure("pasdoc failed on %s (status %d); see %s:\n%s"
                     % (corpus.name, done.returncode, log, text[-2000:]))
  unreadable = [(m.group(2), m.group(1)) for m in _GAVE_UP.finditer(text)]
  return PasdocRun(seconds, unreadable, _ASSUMED.findall(text))


def glossator_command(glossator, corpus, json_path, out):
  command = [glossator, "--reader=pascal", "--private", "--json", str(json_path), "-q", "-o",
             str(out), "--compiler=fpc"]
  # Glossator's "-D" and "-I" alone are switches of its own; the long forms take the value.
  for symbol in FPC_SYMBOLS + corpus.symbols:
    command.append("--define=" + symbol)
  for folder in corpus.includes:
    command.append("--include=" + str(folder))
  return command + ["--"] + [str(f) for f in corpus.files]


def run_glossator(glossator, corpus, json_path, out, log, runs=1):
  """Runs Glossator's Pascal reader; status 3 (a page that could not be written) is a
  finished run."""
  command = glossator_command(glossator, corpus, json_path, out)
  fresh = _fresh(out)

  def clean():
    fresh()
    json_path.unlink(missing_ok=True)
  seconds, done = _timed(command, log, runs, clean)
  if done.returncode not in (0, 3) or not json_path.is_file():
    text = log.read_text(encoding="utf-8", errors="replace")
    raise RunFailure("glossator failed on %s (status %d); see %s:\n%s"
                     % (corpus.name, done.returncode, log, text[-2000:]))
  return seconds
