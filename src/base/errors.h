#ifndef GLOSSATOR_BASE_ERRORS_H_
#define GLOSSATOR_BASE_ERRORS_H_

#include <new>
#include <stdexcept>
#include <string>

namespace glossator {

// An error that ends a run. It carries the fixed message the user sees and, where known, the
// file being read or written, so the one top-level report can name it.
class GlosError : public std::runtime_error {
 public:
  explicit GlosError(const std::string& message) : std::runtime_error(message) {}

  const std::string& File() const { return file_; }
  void SetFile(const std::string& file) { file_ = file; }

  // What the run knew about the file that may explain the error ("the file is a program, not a
  // unit"); empty for none.
  const std::string& Note() const { return note_; }
  void SetNote(const std::string& note) { note_ = note; }

  // The message with the file in front of it and the note behind it, for reports:
  // "a.pas: message (note)".
  std::string Describe() const;

 private:
  std::string file_;
  std::string note_;
};

// A line index outside the line list: "List index out of bounds (%d)".
class ListIndexError : public GlosError {
 public:
  explicit ListIndexError(long long index);
  long long Index() const { return index_; }

 private:
  long long index_;
};

// A file that cannot be opened for reading: "Cannot open file %s".
class FileOpenError : public GlosError {
 public:
  explicit FileOpenError(const std::string& path);
};

// A file that cannot be created: "Cannot create file %s". The system's reason, where there is
// one, is kept beside the message for warnings that have room for it.
class FileCreateError : public GlosError {
 public:
  explicit FileCreateError(const std::string& path, std::string reason = {});
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// A write that failed after the file was created (a full disk, say).
class FileWriteError : public GlosError {
 public:
  FileWriteError(const std::string& path, const std::string& reason);
};

// The memory ran out while a file was read or a page made: "Out of memory", or "Out of memory
// while <doing>" for a step of the run that has no file of its own. The run ends; the file or
// page is named where known.
class OutOfMemoryError : public GlosError {
 public:
  explicit OutOfMemoryError(const std::string& doing = {});
};

// Runs `step`; when the memory runs out in it, throws OutOfMemoryError saying what was being done.
template <typename Step>
auto WhileDoing(const char* doing, Step step) -> decltype(step()) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError(doing);
  }
}

}  // namespace glossator

#endif  // GLOSSATOR_BASE_ERRORS_H_
