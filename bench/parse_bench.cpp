// Times one parse run over a list of unit files, as the program makes it (the tree, its sort, its
// indexes and, with --dump, the debug dump, written into the current folder). Prints files, lines
// and the wall seconds of the run.
//
//   glossator_parse_bench [--dump] [--list FILE] [UNIT...]
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/errors.h"
#include "model/uXMLparser.h"
#include "parser/cGlossator.h"

int main(int argc, char** argv) {
  std::vector<std::string> files;
  bool dump = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--dump") {
      dump = true;
    } else if (arg == "--list" && i + 1 < argc) {
      std::ifstream list(argv[++i]);
      for (std::string line; std::getline(list, line);) {
        if (!line.empty()) files.push_back(line);
      }
    } else {
      files.push_back(arg);
    }
  }
  long lines = 0;
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) ++lines;
  }
  auto start = std::chrono::steady_clock::now();
  glossator::TGlosParser parser;
  try {
    parser.ParseUnits(files);
    // The dump as a run writes it: the text, then the file beside this program.
    if (dump) parser.Result()->Tree().SaveToFile("glosdata.xml");
  } catch (const glossator::GlosError& error) {
    std::fprintf(stderr, "%s\n", error.Describe().c_str());
    return 1;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const glossator::DocTree& tree = *parser.Result();
  std::printf("files %zu lines %ld seconds %.4f classes %d routines %d constants %d\n",
              files.size(), lines, seconds, tree.ClassCount(), tree.FunctionCount(),
              tree.ConstantCount());
  return 0;
}
