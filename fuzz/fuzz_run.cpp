// Fuzz target: arbitrary bytes as one or two unit files, through the parse run and the whole
// generation run of a batch run, into a scratch output folder.
//
// Input layout: the first byte holds the run's options, the rest is the text of the units,
// split at the first kSeparator byte into two files (no separator: one file).
//
//   bit 0      "Include private"
//   bit 1      an interactive run (it asks at the end; the answer is No)
//   bit 2      the output folder text already ends in "/"
//   bit 7      cancel at progress call 1 + bits 3..6
//   bit 3      without bit 7: debug mode, the tree dump goes beside the fuzzer's executable
//
// What a run may end with: completion, a cancel, or an error naming what failed that the
// program reports on purpose (the parser's index error for a scan past the last line, a page
// name that cannot be a file in the output folder). Anything else is a fault and aborts: another
// exception, an index error raised while writing pages, a file left outside the output folder,
// a leftover temporary file, or a completed run with a page of the fixed set missing.
//
// One kind of input is only parsed, not generated: units whose class pages would hold an
// ancestor diagram of more than kDiagramBudget bytes. The diagram lists every ancestor on its own
// indented line and follows a class name once per index entry of that name, so duplicated class
// declarations multiply the chain (2^n lines for n duplicated links) and a long chain makes pages
// that grow with its square. That output is what the page format asks for; writing gigabytes of
// it would only stall the fuzzer.
#include <limits.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/errors.h"
#include "base/platform.h"
#include "fuzz_support.h"
#include "html/generation_run.h"
#include "html/selection.h"
#include "model/doc_tree.h"
#include "model/uXMLparser.h"
#include "parser/cGlossator.h"

namespace {

namespace fs = std::filesystem;
using namespace glossator;

constexpr char kSeparator = '\x1e';

// Answers "go on" until call `cancel_at` (from 1; 0 never cancels), shows nothing.
class QuietPlatform : public Platform {
 public:
  explicit QuietPlatform(int cancel_at) : cancel_at_(cancel_at) {}
  void ShowProgress(TGlosParser*, int) override {}
  bool UpdateProgress(std::string_view, std::string_view, bool) override {
    return cancel_at_ == 0 || ++calls_ < cancel_at_;
  }
  void FinishProgress() override {}
  void CloseProgress() override {}
  void ShowInformation(std::string_view) override {}
  void ShowMessage(std::string_view) override {}
  void SetBusy(bool) override {}
  // Every warning must name a file; the class pages' guard reports its pages by kind.
  void ReportWarning(const Warning& warning) override {
    if (warning.file.empty() || warning.text.empty()) ++unnamed_warnings;
    if (warning.kind == "class-page") ++class_page_errors;
  }

  int class_page_errors = 0;
  int unnamed_warnings = 0;

 private:
  int cancel_at_;
  int calls_ = 0;
};

// A page name the run refuses or the file system cannot hold: one with a folder separator, or
// one longer than a file name may be.
bool IsRefusedName(const std::string& file_name) {
  return file_name.find_first_of("/\\") != std::string::npos || file_name.size() > NAME_MAX;
}

constexpr double kDiagramBudget = 64.0 * (1 << 20);

std::string FirstValueOf(const TXMLNode* node, std::string_view leaf) {
  const TXMLNode* child = node == nullptr ? nullptr : node->FindChild(leaf);
  return child == nullptr ? std::string() : std::string(child->FirstValue());
}

const TXMLNode* ChildOf(const TXMLNode* node, std::string_view name) {
  return node == nullptr ? nullptr : node->FindChild(name);
}

// The number of names GetAncestors gives for `name`, without making the list: the same walk up
// the chain, each step repeating the steps above it once per index entry.
double AncestorCount(const TXMLNode* root, std::string_view name,
                     const std::unordered_map<std::string, int>& entries) {
  const TXMLNode* all_classes = ChildOf(root, elem::kAllClasses);
  const TXMLNode* parsed_units = ChildOf(root, elem::kParsedUnits);
  std::vector<int> repeats;
  std::unordered_set<std::string> on_chain{std::string(name)};
  std::string current(name);
  for (;;) {
    const std::string unit = FirstValueOf(ChildOf(all_classes, current), elem::kUnit);
    const TXMLNode* classes = ChildOf(ChildOf(parsed_units, unit), elem::kClasses);
    const std::string ancestor = FirstValueOf(ChildOf(classes, current), elem::kInheritFrom);
    auto found = entries.find(ancestor);
    int r = ancestor != "TObject" && !on_chain.count(ancestor) && found != entries.end()
                ? found->second
                : 0;
    repeats.push_back(r);
    if (r == 0) break;
    on_chain.insert(ancestor);
    current = ancestor;
  }
  double count = 1;
  for (size_t k = repeats.size() - 1; k > 0 && count < 1e12; --k) {
    count = count * repeats[k - 1] + 1;
  }
  return count;
}

// The bytes of one ancestor diagram, following the layout of the class pages.
double DiagramBytes(const std::vector<std::string>& ancestors, const std::string& name) {
  double bytes = 0;
  long indent = ancestors.empty() ? 0 : static_cast<long>(ancestors.front().size()) / 2;
  for (const std::string& a : ancestors) {
    indent -= static_cast<long>(a.size()) / 2;
    bytes += (indent >= 0 ? indent + 1 : 0) + 2.0 * a.size() + 25;
    indent += static_cast<long>(a.size()) + 5;
    bytes += (indent >= 0 ? indent + 1 : 0) + 2;
  }
  indent -= static_cast<long>(name.size()) / 2;
  return bytes + (indent >= 0 ? indent + 1 : 0) + name.size() + 1;
}

// Parses `files` as the run will. Returns whether its class pages stay within the budget, and
// counts in *refused the class pages that the run must pass over for their names (visited as
// the page writers do: every unit of the index, and of units with one name the first).
bool DiagramsFit(const std::vector<std::string>& files, bool parse_private, int* refused) {
  *refused = 0;
  TGlosParser parser;
  parser.ParsePrivate = parse_private;
  try {
    parser.ParseUnits(files);
  } catch (const GlosError&) {
    return true;  // the run ends in the parse, before any class page
  }
  const DocTree& tree = *parser.Result();
  const TXMLNode* root = tree.Tree().Root();
  std::unordered_map<std::string, int> entries;
  const TXMLNode* all_classes = ChildOf(root, elem::kAllClasses);
  for (size_t i = 0; all_classes != nullptr && i < all_classes->ChildCount(); ++i) {
    ++entries[std::string(all_classes->Child(i)->Name())];
  }
  double total = 0;
  for (int u = 0; u < tree.UnitCount(); ++u) {
    const TXMLNode* unit = tree.FindUnit(tree.UnitName(u));
    for (int c = 0; c < tree.UnitClassCount(unit); ++c) {
      const std::string name(tree.UnitClassName(unit, c));
      if (!name.empty() && IsRefusedName(name + ".html")) ++*refused;
      if (AncestorCount(root, name, entries) > 100000) return false;
      std::vector<std::string> ancestors;
      tree.GetAncestors(name, ancestors);
      total += DiagramBytes(ancestors, name);
      if (total > kDiagramBudget) return false;
    }
  }
  return true;
}

[[noreturn]] void Fault(const std::string& what) { fuzz_support::Fault("fuzz_run", what); }

// The scratch folder with its "src" folder for the unit files.
const fs::path& Scratch() {
  static const fs::path& scratch = []() -> const fs::path& {
    const fs::path& folder = fuzz_support::ScratchFolder("fuzz_run");
    fs::create_directory(folder / "src");
    return folder;
  }();
  return scratch;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Fault("cannot write " + path.string());
}

// A refused page name: one that holds a folder separator or is too long for the file system.
bool IsRefusedPageName(const std::string& path, const std::string& out_dir) {
  return path.compare(0, out_dir.size(), out_dir) == 0 &&
         IsRefusedName(path.substr(out_dir.size()));
}

void CheckOutput(const fs::path& out, bool completed) {
  for (const auto& entry : fs::directory_iterator(out)) {
    std::string name = entry.path().filename().string();
    bool page = name.size() >= 5 && name.compare(name.size() - 5, 5, ".html") == 0;
    bool picture = name.size() >= 4 && name.compare(name.size() - 4, 4, ".gif") == 0;
    if (!(page || picture) || !entry.is_regular_file()) Fault("stray output file " + name);
  }
  if (!completed) return;
  for (const char* name : {"description.html", "index-unit.html", "index-class.html",
                           "index-function.html", "index-constant.html", "menuebar.html",
                           "index.html", "legend.html", "constructors.gif", "public_big.gif"}) {
    if (!fs::is_regular_file(out / name)) Fault(std::string("missing page ") + name);
  }
}

void CheckScratch(const fs::path& scratch, size_t source_count) {
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(scratch)) {
    (void)entry;
    ++entries;
  }
  size_t sources = 0;
  for (const auto& entry : fs::directory_iterator(scratch / "src")) {
    (void)entry;
    ++sources;
  }
  if (entries != 2 || sources != source_count) Fault("a file was written outside the output");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t options = data[0];
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const fs::path& scratch = Scratch();
  const fs::path out = scratch / "out";
  std::error_code ignored;
  fs::remove_all(out, ignored);
  fs::remove_all(scratch / "src", ignored);
  fs::create_directory(scratch / "src");
  fs::create_directory(out);

  Selection selection;
  size_t split = text.find(kSeparator);
  WriteFile(scratch / "src" / "first.pas", text.substr(0, split));
  selection.files.push_back((scratch / "src" / "first.pas").string());
  if (split != std::string_view::npos) {
    WriteFile(scratch / "src" / "second.pas", text.substr(split + 1));
    selection.files.push_back((scratch / "src" / "second.pas").string());
  }
  selection.out_dir = out.string();
  if (options & 4) selection.out_dir += '/';
  selection.parse_private = (options & 1) != 0;
  selection.debug_mode = (options & 0x88) == 0x08;
  if (selection.debug_mode) selection.dump_file = (scratch / "glosdata.xml").string();
  const bool interactive = (options & 2) != 0;
  const int cancel_at = (options & 0x80) ? 1 + ((options >> 3) & 0x0f) : 0;
  const std::string out_dir = out.string() + "/";

  int refused_class_pages = 0;
  if (!DiagramsFit(selection.files, selection.parse_private, &refused_class_pages)) return 0;

  QuietPlatform platform(cancel_at);
  bool completed = false;
  try {
    RunSettings settings;
    settings.interactive = interactive;
    RunOutcome outcome = RunGeneration(selection, platform, settings).outcome;
    if (outcome == RunOutcome::kRejected) Fault("the input checks refused a valid selection");
    completed = outcome == RunOutcome::kCompleted;
  } catch (const ListIndexError& error) {
    // The parser's index error names the unit being read; one without a file came from the
    // page writers, which must never ask for a position that is not there.
    if (error.File().empty()) Fault(std::string("index error while writing: ") + error.what());
  } catch (const FileCreateError& error) {
    if (!IsRefusedPageName(error.File(), out_dir)) Fault(error.what());
  } catch (const std::exception& error) {
    Fault(std::string("unexpected error: ") + error.what());
  }
  // A class page guard that fired for a good name hid an error in the page writer.
  if (platform.unnamed_warnings > 0) Fault("a warning names no file");
  if (completed ? platform.class_page_errors != refused_class_pages
                : platform.class_page_errors > refused_class_pages) {
    Fault("class pages failed: " + std::to_string(platform.class_page_errors) + ", refused " +
          std::to_string(refused_class_pages));
  }
  CheckOutput(out, completed);
  if (selection.debug_mode) fs::remove(selection.dump_file);
  CheckScratch(scratch, selection.files.size());
  return 0;
}
