// What both fuzz targets need: a way to stop on a fault, and a scratch folder of their own.
#ifndef GLOSSATOR_FUZZ_FUZZ_SUPPORT_H_
#define GLOSSATOR_FUZZ_FUZZ_SUPPORT_H_

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fuzz_support {

// Prints what went wrong under the target's name and aborts, which libFuzzer reports as a
// finding with the input that caused it.
[[noreturn]] inline void Fault(const char* target, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", target, what.c_str());
  std::abort();
}

// A new folder under TMPDIR (else /tmp), made on the first call and removed again when the
// fuzzer ends normally; after a fault it stays for a look.
inline const std::filesystem::path& ScratchFolder(const char* target) {
  static const std::filesystem::path scratch = [target] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/glosfuzz.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) Fault(target, "cannot make the scratch folder");
    static std::string made;
    made = pattern;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(made, ignored);
    });
    return std::filesystem::path(pattern);
  }();
  return scratch;
}

}  // namespace fuzz_support

#endif  // GLOSSATOR_FUZZ_FUZZ_SUPPORT_H_
