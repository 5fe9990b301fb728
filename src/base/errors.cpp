#include "base/errors.h"

namespace glossator {

std::string GlosError::Describe() const {
  std::string message = what();
  if (!note_.empty()) message += " (" + note_ + ")";
  // File errors already name their file in the message; do not say it twice.
  if (file_.empty() || message.find(file_) != std::string::npos) return message;
  return file_ + ": " + message;
}

ListIndexError::ListIndexError(long long index)
    : GlosError("List index out of bounds (" + std::to_string(index) + ")"), index_(index) {}

FileOpenError::FileOpenError(const std::string& path) : GlosError("Cannot open file " + path) {
  SetFile(path);
}

FileCreateError::FileCreateError(const std::string& path, std::string reason)
    : GlosError("Cannot create file " + path), reason_(std::move(reason)) {
  SetFile(path);
}

FileWriteError::FileWriteError(const std::string& path, const std::string& reason)
    : GlosError("Cannot write file " + path + (reason.empty() ? "" : " (" + reason + ")")) {
  SetFile(path);
}

OutOfMemoryError::OutOfMemoryError(const std::string& doing)
    : GlosError(doing.empty() ? "Out of memory" : "Out of memory while " + doing) {}

}  // namespace glossator
