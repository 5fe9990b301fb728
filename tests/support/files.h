#ifndef GLOSSATOR_TESTS_SUPPORT_FILES_H_
#define GLOSSATOR_TESTS_SUPPORT_FILES_H_

// Whole-file reading and writing for tests that set up files or look at what a run left.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace glossator {

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes `bytes` as the whole file at `path`, creating the folders above it; a write that fails
// fails the test, since every test after it would look at the wrong files.
inline void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SUPPORT_FILES_H_
