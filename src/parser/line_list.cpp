#include "parser/line_list.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/errors.h"
#include "model/text_rules.h"

namespace glossator {

void TLineList::SetText(std::string text) {
  text_ = std::move(text);
  Split();
}

void TLineList::LoadFromFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw FileOpenError(path);
  struct stat st;
  if (fstat(fileno(file), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(file);
    throw FileOpenError(path);
  }
  std::string text;
  if (S_ISREG(st.st_mode)) text.reserve(static_cast<size_t>(st.st_size));
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw FileOpenError(path);
  SetText(std::move(text));
}

void TLineList::Split() {
  size_t end = text_.find('\0');
  if (end == std::string::npos) end = text_.size();
  std::string_view text(text_.data(), end);
  lines_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) {
      lines_.push_back(text.substr(start));
      break;
    }
    lines_.push_back(text.substr(start, stop - start));
    start = stop + ((text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') ? 2 : 1);
  }

  size_t n = lines_.size();
  blank_.assign(n, 0);
  open_brace_above_.assign(n, 0);
  close_brace_below_.assign(n, -1);
  for (size_t i = 0; i < n; ++i) {
    blank_[i] = Trim(lines_[i]).empty() ? 1 : 0;
    bool open = lines_[i].find('{') != std::string_view::npos;
    open_brace_above_[i] = (i > 0 && open) ? static_cast<int>(i) : (i > 0 ? open_brace_above_[i - 1] : 0);
  }
  for (size_t i = n; i > 0; --i) {
    bool close = lines_[i - 1].find('}') != std::string_view::npos;
    close_brace_below_[i - 1] = close ? static_cast<int>(i - 1) : (i < n ? close_brace_below_[i] : -1);
  }
}

size_t TLineList::Checked(int i) const {
  if (i < 0 || static_cast<size_t>(i) >= lines_.size()) throw ListIndexError(i);
  return static_cast<size_t>(i);
}

std::string_view TLineList::At(int i) const { return lines_[Checked(i)]; }

std::string_view TLineList::TrimmedAt(int i) const { return Trim(lines_[Checked(i)]); }

}  // namespace glossator
