// Writes the site of the fixture library, or with --units N of a made-up library of N units, and
// says how long it took and how big it is.
//
//   site_fixture OUT_DIR [--units N] [--classes N] [--members N] [--threads N]
//                        [--source-url PATTERN] [--private] [--title TEXT] [--no-write]
//
// With --no-write the files are rendered but not written, to tell rendering from writing.
// The output folder is created when missing. Timings go to standard output: building the
// tables, rendering and writing the files (on --threads threads, default 2), and the whole.

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "base/file_system.h"
#include "fixture_units.h"
#include "html/site/site.h"

namespace glossator {
namespace {

struct Arguments {
  std::string out_dir;
  bool synthetic = false;
  SyntheticSize size;
  int threads = 2;
  bool write = true;
  SiteOptions options;
};

[[noreturn]] void Usage() {
  std::fprintf(stderr,
               "usage: site_fixture OUT_DIR [--units N] [--classes N] [--members N] "
               "[--threads N] [--source-url PATTERN] [--private] [--title TEXT] [--no-write]\n");
  std::exit(2);
}

Arguments Parse(int argc, char** argv) {
  Arguments args;
  args.options.title = "Fixture library";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage();
      return argv[++i];
    };
    if (arg == "--units") {
      args.synthetic = true;
      args.size.units = std::stoul(value());
    } else if (arg == "--classes") {
      args.size.classes = std::stoul(value());
    } else if (arg == "--members") {
      args.size.members = std::stoul(value());
    } else if (arg == "--threads") {
      args.threads = std::stoi(value());
    } else if (arg == "--source-url") {
      args.options.source_url = value();
    } else if (arg == "--no-write") {
      args.write = false;
    } else if (arg == "--private") {
      args.options.with_private = true;
    } else if (arg == "--title") {
      args.options.title = value();
    } else if (args.out_dir.empty() && arg[0] != '-') {
      args.out_dir = arg;
    } else {
      Usage();
    }
  }
  if (args.out_dir.empty()) Usage();
  if (args.synthetic) args.options.title = "Synthetic library";
  return args;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Renders and writes every file; the threads take the next file number as they finish one.
size_t WriteAll(const Site& site, const std::string& dir, int threads, bool write) {
  std::atomic<size_t> next{0};
  std::atomic<size_t> bytes{0};
  auto work = [&] {
    const std::vector<std::string>& files = site.Files();
    for (size_t k = next++; k < files.size(); k = next++) {
      std::string content = site.Render(k);
      bytes += content.size();
      if (write) SystemFileSystem().WriteFile(dir + "/" + files[k], content);
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
  return bytes;
}

int Run(const Arguments& args) {
  mkdir(args.out_dir.c_str(), 0755);
  auto start = std::chrono::steady_clock::now();
  std::vector<DocUnit> units = args.synthetic ? SyntheticUnits(args.size) : FixtureUnits();
  double made = Seconds(start);
  size_t items = 0;
  for (const DocUnit& unit : units) items += unit.items.size();

  auto site_start = std::chrono::steady_clock::now();
  Site site(units, args.options);
  double tables = Seconds(site_start);
  size_t bytes = WriteAll(site, args.out_dir, args.threads, args.write);
  double total = Seconds(site_start);

  for (const Warning& warning : site.Warnings()) {
    std::fprintf(stderr, "%s:%d: warning: %s\n", warning.file.c_str(), warning.line,
                 warning.text.c_str());
  }
  std::printf("units %zu, unit-level items %zu (made in %.3f s)\n", units.size(), items, made);
  std::printf("files %zu, bytes %zu (%.1f MB)\n", site.Files().size(), bytes, bytes / 1e6);
  std::printf("tables %.3f s, tables + render%s on %d threads %.3f s\n", tables,
              args.write ? " + write" : "", args.threads, total);
  return 0;
}

}  // namespace
}  // namespace glossator

int main(int argc, char** argv) {
  try {
    return glossator::Run(glossator::Parse(argc, argv));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "site_fixture: %s\n", error.what());
    return 1;
  }
}
