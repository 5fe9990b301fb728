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
#include "base/errors.h"
#include "fuzz_support.h"
#include "html/selection.h"

namespace {

namespace fs = std::filesystem;
using namespace glossator;

[[noreturn]] void Fault(const std::string& what) { fuzz_support::Fault("fuzz_selection", what); }

const std::string& SelectionPath() {
  static const std::string path =
      (fuzz_support::ScratchFolder("fuzz_selection") / "selection.gls").string();
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
