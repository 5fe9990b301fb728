#ifndef GLOSSATOR_TESTS_APP_TEMP_FOLDER_H_
#define GLOSSATOR_TESTS_APP_TEMP_FOLDER_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace glossator {

// A fresh folder for one test, removed with its content when the test ends.
class TempFolder {
 public:
  TempFolder()
      : path_(std::filesystem::path(testing::TempDir()) /
              ("glossator_app_" + std::to_string(getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_APP_TEMP_FOLDER_H_
