#ifndef GLOSSATOR_TESTS_SUPPORT_TEMP_FOLDER_H_
#define GLOSSATOR_TESTS_SUPPORT_TEMP_FOLDER_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "support/files.h"

namespace glossator {

// A fresh, empty folder for one test, removed with its content when the object goes. Its name
// holds the test's suite and name and the process id, so that tests run side by side (ctest -j)
// never share a folder; `suffix` tells apart several folders of one test.
class TempFolder {
 public:
  explicit TempFolder(const std::string& suffix = "") {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("glossator_") + info->test_suite_name() + "_" + info->name() +
                       "_" + std::to_string(getpid()) + suffix;
    for (char& c : name) {
      if (c == '/') c = '_';  // parameterised tests have "/" in their names
    }
    root_ = std::filesystem::path(testing::TempDir()) / name;
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  ~TempFolder() {
    // A test may have taken the write permission away to provoke failures.
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // The folder's path with a trailing "/".
  std::string Dir() const { return root_.string() + "/"; }
  // The path of `name` inside the folder.
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

  // Writes the file `name` (folders included) and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteAll(root_ / name, bytes);
    return Path(name);
  }
  std::string Read(const std::string& name) const { return ReadAll(root_ / name); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(root_ / name); }

 private:
  std::filesystem::path root_;
};

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SUPPORT_TEMP_FOLDER_H_
