#ifndef GLOSSATOR_TESTS_SUPPORT_SELECTION_TEXT_H_
#define GLOSSATOR_TESTS_SUPPORT_SELECTION_TEXT_H_

#include <string>
#include <vector>

namespace glossator {

// A selection file's text in the layout the program saves for a new file: the units under
// [FILES] as File0, File1, …, then [SETUP] with every key, CR LF line ends. Tests write it by
// hand rather than through the program's own writer, so that a fault there cannot hide itself.
// scripts/update-golden writes the same layout.
inline std::string SelectionText(const std::vector<std::string>& files, const std::string& out_dir,
                                 const std::string& desc_file = "", bool parse_private = false,
                                 bool debug_mode = false) {
  std::string text = "[FILES]\r\n";
  for (size_t i = 0; i < files.size(); ++i) {
    text += "File" + std::to_string(i) + "=" + files[i] + "\r\n";
  }
  text += "[SETUP]\r\nOutputDir=" + out_dir + "\r\nDescriptFile=" + desc_file +
          "\r\nMenubarFile=\r\nParsePrivate=" + (parse_private ? "1" : "0") +
          "\r\nDebugMode=" + (debug_mode ? "1" : "0") + "\r\n";
  return text;
}

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SUPPORT_SELECTION_TEXT_H_
