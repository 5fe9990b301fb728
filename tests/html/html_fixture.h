#ifndef GLOSSATOR_TESTS_HTML_HTML_FIXTURE_H_
#define GLOSSATOR_TESTS_HTML_HTML_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace glossator {

// A fresh folder for one test, removed again at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& suffix = "") {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::path(testing::TempDir()) /
            (std::string("glossator_") + info->test_suite_name() + "_" + info->name() + suffix);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }

  // The folder's path with a trailing "/".
  std::string Dir() const { return path_.string() + "/"; }
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return Path(name);
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

 private:
  std::filesystem::path path_;
};

// Lines joined with CR LF, each line ended by it: the bytes of a page or a source file.
inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_HTML_HTML_FIXTURE_H_
