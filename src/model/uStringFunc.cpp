#include "model/uStringFunc.h"

namespace glossator {

std::pair<std::string, std::string> SplitAt(std::string_view text, std::string_view separator) {
  size_t p = separator.empty() ? std::string_view::npos : text.find(separator);
  if (p == std::string_view::npos) return {std::string(text), std::string()};
  return {std::string(text.substr(0, p)), std::string(text.substr(p + separator.size()))};
}

std::vector<std::string> SplitToList(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  // Same result as splitting the rest again and again with SplitAt, without copying the rest.
  while (!text.empty()) {
    size_t p = separator.empty() ? std::string_view::npos : text.find(separator);
    if (p == std::string_view::npos) {
      pieces.emplace_back(text);
      break;
    }
    pieces.emplace_back(text.substr(0, p));
    text.remove_prefix(p + separator.size());
  }
  return pieces;
}

std::string RemoveChar(std::string_view text, char c) {
  std::string out;
  out.reserve(text.size());
  // Copies the runs between the removed characters as a whole.
  for (size_t p = text.find(c); p != std::string_view::npos; p = text.find(c)) {
    out.append(text.data(), p);
    text.remove_prefix(p + 1);
  }
  out.append(text);
  return out;
}

std::string RemoveSpaces(std::string_view text) { return RemoveChar(text, ' '); }

std::string_view BeforeFirst(std::string_view text, std::string_view part) {
  size_t p = part.empty() ? std::string_view::npos : text.find(part);
  return p == std::string_view::npos ? std::string_view() : text.substr(0, p);
}

std::string_view AfterFirst(std::string_view text, std::string_view part) {
  size_t p = part.empty() ? std::string_view::npos : text.find(part);
  return p == std::string_view::npos ? std::string_view() : text.substr(p + part.size());
}

}  // namespace glossator
