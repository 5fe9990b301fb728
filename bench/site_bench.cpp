// Writes the documentation site of real units in stages, for seeing where its time goes: reads
// the units with either reader into their models (as a run with --style=site does), builds the
// site's tables, then renders and writes every file on the given threads.
//
//   glossator_site_bench OUT_DIR (--list FILE | UNIT...) [--jobs N] [--reader lines|pascal]
//                        [--no-write] [-IDIR]...
//
// Prints the seconds of reading, of the site's tables and of rendering and writing every file,
// the files and bytes written, and the sum.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "base/errors.h"
#include "base/file_system.h"
#include "html/site/site.h"
#include "model/unit_model.h"
#include "parser/cGlossator.h"

namespace glossator {
namespace {

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Arguments {
  std::string out_dir;
  std::vector<std::string> files;
  std::vector<std::string> include_dirs;
  int jobs = 2;
  bool pascal = false;
  bool write_files = true;
};

bool Parse(int argc, char** argv, Arguments& args) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--no-write") {
      args.write_files = false;
    } else if (arg == "--list" && i + 1 < argc) {
      std::ifstream list(argv[++i]);
      for (std::string line; std::getline(list, line);) {
        if (!line.empty()) args.files.push_back(line);
      }
    } else if (arg == "--jobs" && i + 1 < argc) {
      args.jobs = std::stoi(argv[++i]);
    } else if (arg == "--reader" && i + 1 < argc) {
      args.pascal = std::string(argv[++i]) == "pascal";
    } else if (arg.rfind("-I", 0) == 0 && arg.size() > 2) {
      args.include_dirs.push_back(arg.substr(2));
    } else if (args.out_dir.empty()) {
      args.out_dir = arg;
    } else {
      args.files.push_back(arg);
    }
  }
  return !args.out_dir.empty() && !args.files.empty();
}

// Renders every file on `jobs` threads, writing it unless told not to; returns the bytes.
size_t RenderAll(const Site& site, const Arguments& args) {
  std::atomic<size_t> next{0};
  std::atomic<size_t> bytes{0};
  auto work = [&] {
    for (size_t k = next++; k < site.Files().size(); k = next++) {
      std::string content = site.Render(k);
      bytes += content.size();
      if (args.write_files) {
        SystemFileSystem().WriteFile(args.out_dir + "/" + site.Files()[k], content);
      }
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < args.jobs; ++t) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
  return bytes;
}

int Run(int argc, char** argv) {
  Arguments args;
  if (!Parse(argc, argv, args)) {
    std::fprintf(stderr,
                 "usage: glossator_site_bench OUT_DIR (--list FILE | UNIT...) [--jobs N] "
                 "[--reader lines|pascal] [--no-write] [-IDIR]...\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  TGlosParser parser;
  parser.Jobs = args.jobs;
  parser.Reader = args.pascal ? ReaderKind::kPascal : ReaderKind::kLines;
  parser.Pascal.include_dirs = args.include_dirs;
  parser.KeepModels = true;
  parser.BuildTree = false;
  parser.ParseUnits(args.files);
  std::vector<DocUnit> units = parser.TakeModels();
  double read = Since(start);

  auto step = std::chrono::steady_clock::now();
  SiteOptions options;
  options.title = "Lazarus";
  Site site(units, options);
  double tables = Since(step);
  step = std::chrono::steady_clock::now();
  size_t bytes = RenderAll(site, args);
  double write = Since(step);

  size_t items = 0;
  for (const DocUnit& unit : units) {
    for (const DocItem& item : unit.items) items += 1 + item.members.size();
  }
  std::printf("units %zu, items and members %zu, files %zu, bytes %.1f MB\n", units.size(), items,
              site.Files().size(), bytes / 1e6);
  std::printf("read %.3f s, site tables %.3f s, render and write %.3f s; site %.3f s, all %.3f s\n",
              read, tables, write, tables + write, Since(start));
  return 0;
}

}  // namespace
}  // namespace glossator

int main(int argc, char** argv) {
  try {
    return glossator::Run(argc, argv);
  } catch (const glossator::GlosError& error) {
    std::fprintf(stderr, "%s\n", error.Describe().c_str());
    return 1;
  }
}
