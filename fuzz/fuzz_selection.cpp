// Fuzz target: arbitrary bytes as a selection file. Loading must never fail, and saving what was
// loaded back into the same file must load again as the same selection (the other sections and
// keys of the file are kept, so this also drives the INI layer's rewriting).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/selection_file.h"
#include "html/selection.h"
#include "model/errors.h"

namespace {

namespace fs = std::filesystem;
using namespace glossator;

[[noreturn]] void Fault(const std::string& what) {
  std::fprintf(stderr, "fuzz_selection: %s\n", what.c_str());
  std::abort();
}

const std::string& SelectionPath() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/glosfuzz.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Fault("cannot make the scratch folder");
    // Removed again when the fuzzer ends normally; after a fault it stays for a look.
    static std::string made;
    made = pattern;
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(made, ignored);
    });
    return pattern + "/selection.gls";
  }();
  return path;
}

bool Same(const Selection& a, const Selection& b) {
  return a.files == b.files && a.out_dir == b.out_dir && a.desc_file == b.desc_file &&
         a.menubar_file == b.menubar_file && a.parse_private == b.parse_private &&
         a.debug_mode == b.debug_mode;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = SelectionPath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) Fault("cannot write " + path);
  }
  Selection loaded;
  LoadSelection(path, loaded);
  try {
    SaveSelection(path, loaded);
  } catch (const GlosError& error) {
    Fault(std::string("saving a loaded selection failed: ") + error.what());
  }
  Selection again;
  LoadSelection(path, again);
  if (!Same(loaded, again)) Fault("a saved selection loads back differently");
  return 0;
}
