// Writes the documentation site of real units, for comparing its time with the frame set's:
// reads the units with the line reader (TGlosParser, the reader the frame set uses), turns its
// tree into unit models (classes with their methods, properties and fields; routines;
// constants; what the line reader knows), and writes the site on two threads.
//
//   glossator_site_bench OUT_DIR (--list FILE | UNIT...) [--jobs N] [--no-write]
//
// With --no-write the files are rendered but not written.
// Prints the seconds of reading, of turning the tree into units, of the site's tables and of
// rendering and writing every file, the files and bytes written, and the sum.

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
#include "model/uXMLparser.h"
#include "model/unit_model.h"
#include "parser/cGlossator.h"

namespace glossator {
namespace {

ItemKind MemberKind(std::string_view declaration) {
  auto starts = [&](std::string_view word) {
    return declaration.size() >= word.size() &&
           std::equal(word.begin(), word.end(), declaration.begin(),
                      [](char a, char b) { return a == (b | 0x20); });
  };
  if (starts("constructor")) return ItemKind::kConstructor;
  if (starts("destructor")) return ItemKind::kDestructor;
  if (starts("property")) return ItemKind::kProperty;
  return ItemKind::kMethod;
}

// The name a routine declaration declares: the word after its keyword.
std::string DeclaredName(std::string_view declaration) {
  size_t space = declaration.find(' ');
  if (space == std::string_view::npos) return std::string(declaration);
  std::string_view rest = declaration.substr(space + 1);
  size_t end = rest.find_first_of("(:; [");
  return std::string(rest.substr(0, end));
}

DocItem ClassOf(const TGlosParser& tree, const TXMLNode* unit, int c) {
  DocItem item;
  item.kind = ItemKind::kClass;
  item.name = std::string(tree.UnitClassName(unit, c));
  item.comment = std::string(tree.UnitClassComment(unit, c));
  std::vector<std::string> chain;
  tree.GetAncestors(item.name, chain);
  if (!chain.empty()) item.ancestors = {chain.back()};
  item.declaration = item.name + " = class" +
                     (item.ancestors.empty() ? std::string() : "(" + item.ancestors[0] + ")");
  for (int m = 0; m < tree.MethodCount(unit, c); ++m) {
    DocTreeReader::MethodTexts texts = tree.Method(unit, c, m);
    DocItem member;
    member.declaration = std::string(texts.decl);
    member.kind = MemberKind(texts.decl);
    member.name = DeclaredName(texts.decl);
    member.visibility = std::string(texts.visibility);
    member.comment = std::string(texts.comment);
    member.long_comment = std::string(texts.long_comment);
    item.members.push_back(std::move(member));
  }
  for (int f = 0; f < tree.FieldCount(unit, c); ++f) {
    DocItem field;
    field.kind = ItemKind::kField;
    field.name = std::string(tree.FieldName(unit, c, f));
    field.type = std::string(tree.FieldType(unit, c, f));
    field.declaration = field.name + ": " + field.type + ";";
    field.comment = std::string(tree.FieldComment(unit, c, f));
    field.visibility = "public";
    item.members.push_back(std::move(field));
  }
  return item;
}

DocUnit UnitOf(const TGlosParser& tree, const TXMLNode* node) {
  DocUnit unit;
  unit.name = std::string(node->Name());
  unit.file = tree.SourceFile(node);
  for (int c = 0; c < tree.UnitClassCount(node); ++c) unit.items.push_back(ClassOf(tree, node, c));
  for (int r = 0; r < tree.UnitFunctionCount(node); ++r) {
    DocItem routine;
    routine.kind = ItemKind::kRoutine;
    routine.name = std::string(tree.UnitFunctionName(node, r));
    routine.declaration = std::string(tree.UnitFunctionDecl(node, r));
    routine.comment = std::string(tree.UnitFunctionComment(node, r));
    routine.long_comment = std::string(tree.UnitFunctionLongComment(node, r));
    unit.items.push_back(std::move(routine));
  }
  for (int k = 0; k < tree.UnitConstantCount(node); ++k) {
    DocItem constant;
    constant.kind = ItemKind::kConstant;
    constant.name = std::string(tree.UnitConstantName(node, k));
    constant.value = std::string(tree.UnitConstantValue(node, k));
    constant.declaration = constant.name + " = " + constant.value + ";";
    constant.comment = std::string(tree.UnitConstantComment(node, k));
    unit.items.push_back(std::move(constant));
  }
  return unit;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Arguments {
  std::string out_dir;
  std::vector<std::string> files;
  int jobs = 2;
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
                 "[--no-write]\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  TGlosParser parser;
  parser.Jobs = args.jobs;
  parser.ParseUnits(args.files);
  double read = Since(start);

  auto step = std::chrono::steady_clock::now();
  std::vector<DocUnit> units;
  for (int k = 0; k < parser.ParsedUnitCount(); ++k) {
    units.push_back(UnitOf(parser, parser.ParsedUnit(k)));
  }
  double convert = Since(step);

  step = std::chrono::steady_clock::now();
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
  std::printf(
      "read %.3f s, to units %.3f s, site tables %.3f s, render and write %.3f s; "
      "site %.3f s, all %.3f s\n",
      read, convert, tables, write, tables + write, Since(start));
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
