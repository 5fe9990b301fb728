// Program entry: parses the listed unit files and writes the debug dump.
#include <cstdio>
#include <string>
#include <vector>

#include "model/errors.h"
#include "parser/cGlossator.h"

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  glossator::TGlosParser parser;
  parser.DebugMode = true;
  try {
    parser.ParseUnits(files);
  } catch (const glossator::GlosError& error) {
    std::fprintf(stderr, "glossator: %s\n", error.Describe().c_str());
    return 1;
  }
  std::printf("%s\n", glossator::TGlosParser::DumpPath().c_str());
  return 0;
}
