// Runs the Pascal reader (parser/pascal/pascal_reader.h) over a list of files.
//
//   glossator_pascal_read [OPTIONS] [--list FILE] [UNIT...]
//
//   --time N     (the default, N = 1) read every file into memory first, then read them all N
//                times on one thread; prints the counts and the median wall and processor
//                seconds of the N rounds (processor time shows less of other programs' load)
//   --sweep      read each file once and print one line per file as soon as it is read:
//                "FILE<TAB>STATUS<TAB>ITEMS<TAB>MEMBERS<TAB>WARNINGS<TAB>MICROSECONDS", STATUS
//                being "unit" or the reason it is no unit; a file that takes more than 20 s
//                ends the program by SIGALRM, so a script can tell a hang from a crash
//   --skip N     with --sweep: start at the N-th file (0-based), to go on after a crash
//   --dump       print every unit's items as an indented tree
//   --json       print the units as the JSON export
//   --warnings   print every warning (FILE:LINE: warning: TEXT [kind])
//   --any        read plain comments too (CommentMode::kAny)
//   --delphi     Delphi's built-in symbols instead of FPC's
//   -D SYM[=V], -I DIR   as the program's options
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "html/json_export.h"
#include "parser/pascal/pascal_reader.h"

namespace {

using namespace glossator;

struct Options {
  std::vector<std::string> files;
  ReaderOptions reader;
  int rounds = 1;
  bool sweep = false;
  bool dump = false;
  bool json = false;
  bool warnings = false;
  size_t skip = 0;
};

Options ParseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--list") {
      std::ifstream list(value());
      for (std::string line; std::getline(list, line);) {
        if (!line.empty()) options.files.push_back(line);
      }
    } else if (arg == "--time") {
      options.rounds = std::max(1, std::stoi(value()));
    } else if (arg == "--sweep") {
      options.sweep = true;
    } else if (arg == "--skip") {
      options.skip = std::stoul(value());
    } else if (arg == "--dump") {
      options.dump = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--warnings") {
      options.warnings = true;
    } else if (arg == "--any") {
      options.reader.comments = CommentMode::kAny;
    } else if (arg == "--delphi") {
      options.reader.compiler = CompilerMode::kDelphi;
    } else if (arg == "-D") {
      options.reader.defines.push_back(value());
    } else if (arg == "-I") {
      options.reader.include_dirs.push_back(value());
    } else {
      options.files.push_back(arg);
    }
  }
  return options;
}

size_t CountMembers(const std::vector<DocItem>& items) {
  size_t count = 0;
  for (const DocItem& item : items) count += item.members.size() + CountMembers(item.members);
  return count;
}

void Dump(const std::vector<DocItem>& items, int depth) {
  for (const DocItem& item : items) {
    std::printf("%*s%s %s @%d [%s] {%s} type=<%s> value=<%s>%s%s\n", depth * 2, "",
                std::string(KindName(item.kind)).c_str(), item.name.c_str(), item.line,
                item.visibility.c_str(), item.declaration.c_str(), item.type.c_str(),
                item.value.c_str(), item.comment.empty() ? "" : " //", item.comment.c_str());
    if (!item.long_comment.empty())
      std::printf("%*s  long: %s\n", depth * 2, "", item.long_comment.c_str());
    for (const EnumValue& value : item.values) {
      std::printf("%*s  = %s %s %s\n", depth * 2, "", value.name.c_str(), value.ordinal.c_str(),
                  value.comment.c_str());
    }
    Dump(item.members, depth + 1);
  }
}

int Sweep(const Options& options) {
  for (size_t i = options.skip; i < options.files.size(); ++i) {
    const std::string& path = options.files[i];
    std::string text;
    if (!SystemFileSystem().ReadFile(path, text)) {
      std::printf("%s\tunreadable\t0\t0\t0\t0\n", path.c_str());
      continue;
    }
    alarm(20);
    auto start = std::chrono::steady_clock::now();
    ReadResult result = ReadPascalUnit(path, text, options.reader, SystemFileSystem());
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
    alarm(0);
    size_t items = result.unit ? result.unit->items.size() : 0;
    size_t members = result.unit ? CountMembers(result.unit->items) : 0;
    std::printf("%s\t%s\t%zu\t%zu\t%zu\t%lld\n", path.c_str(),
                result.unit ? "unit" : result.not_a_unit.c_str(), items, members,
                result.warnings.size(), static_cast<long long>(micros));
    if (options.warnings) {
      for (const Warning& warning : result.warnings) {
        std::printf("W\t%s\t%s\n", warning.kind.c_str(), FormatWarning(warning).c_str());
      }
    }
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseArguments(argc, argv);
  if (options.sweep) return Sweep(options);
  std::vector<std::string> texts(options.files.size());
  size_t bytes = 0, lines = 0;
  for (size_t i = 0; i < options.files.size(); ++i) {
    SystemFileSystem().ReadFile(options.files[i], texts[i]);
    bytes += texts[i].size();
    lines += std::count(texts[i].begin(), texts[i].end(), '\n');
  }
  std::vector<double> seconds;
  std::vector<double> cpu_seconds;
  std::vector<DocUnit> units;
  size_t not_units = 0, items = 0, members = 0, included = 0, included_bytes = 0;
  std::map<std::string, size_t> warnings;
  for (int round = 0; round < options.rounds; ++round) {
    units.clear();
    not_units = items = members = included = 0;
    warnings.clear();
    auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu_start = std::clock();
    for (size_t i = 0; i < texts.size(); ++i) {
      ReadResult result =
          ReadPascalUnit(options.files[i], texts[i], options.reader, SystemFileSystem());
      included += result.included.size();
      if (round == 0) {
        for (const std::string& path : result.included) {
          std::error_code error;
          auto size = std::filesystem::file_size(path, error);
          if (!error) included_bytes += size;
        }
      }
      for (const Warning& warning : result.warnings) {
        ++warnings[warning.kind];
        if (options.warnings && round == 0)
          std::printf("%s [%s]\n", FormatWarning(warning).c_str(), warning.kind.c_str());
      }
      if (!result.unit) {
        ++not_units;
        continue;
      }
      items += result.unit->items.size();
      members += CountMembers(result.unit->items);
      units.push_back(std::move(*result.unit));
    }
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    cpu_seconds.push_back(static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC);
  }
  std::sort(seconds.begin(), seconds.end());
  std::sort(cpu_seconds.begin(), cpu_seconds.end());
  if (options.dump) {
    for (const DocUnit& unit : units) {
      std::printf("unit %s @%d uses=%zu //%s\n", unit.name.c_str(), unit.line, unit.uses.size(),
                  unit.comment.c_str());
      Dump(unit.items, 1);
    }
  }
  if (options.json) std::fputs(UnitsToJson(units).c_str(), stdout);
  std::fprintf(stderr,
               "files %zu lines %zu bytes %zu units %zu not-units %zu items %zu members %zu "
               "include-reads %zu (%zu bytes) median %.4f s of %d (processor %.4f s)\n",
               texts.size(), lines, bytes, units.size(), not_units, items, members, included,
               included_bytes, seconds[seconds.size() / 2], options.rounds,
               cpu_seconds[cpu_seconds.size() / 2]);
  for (const auto& [kind, count] : warnings)
    std::fprintf(stderr, "warnings %s %zu\n", kind.c_str(), count);
  return 0;
}
