#ifndef GLOSSATOR_HTML_PAGE_WRITER_H_
#define GLOSSATOR_HTML_PAGE_WRITER_H_

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "base/warning.h"

namespace glossator {

class DocTreeReader;
class FileSystem;
enum class IndexKind;

// A page made ready for writing: its path and bytes, or the error that building them raised.
// After writing, `error` also holds the error of the write.
struct RenderedPage {
  std::string path;
  std::string text;
  std::exception_ptr error;
  // A class page (its name is set): an error of its own is reported and the run goes on.
  std::string class_name;
  // Set with `error` when the page's own guard takes it in: a class page and a std::exception.
  bool guarded = false;
};

// The pages of one step of the run (an index page, or a unit page with its class pages), in the
// order they are written.
struct PageBatch {
  std::vector<RenderedPage> pages;
  std::string source_file;  // the unit's file as listed, named by the class page warnings
  int next_class = -1;      // the unit's class that the next part starts with; -1: no more
};

// The most class pages one part of a unit holds (see RenderUnitPages).
inline constexpr int kClassPagesPerPart = 64;

// Renders the pages of unit i of the unit index from its class `first_class` on: the unit page
// itself with the first part (first_class 0), then at most kClassPagesPerPart class pages;
// `next_class` says where the next part starts. Pure: errors are kept in the pages, nothing is
// written.
PageBatch RenderUnitPages(const DocTreeReader& tree, const std::string& out_dir, int i,
                          int first_class);
PageBatch RenderIndexPage(const DocTreeReader& tree, const std::string& out_dir, IndexKind kind);

// Writes the pages in order, keeping each write's error in its page, and stops after the first
// error that its page's guard does not take in: the pages after it are not written.
void WriteBatch(FileSystem& files, PageBatch& batch);

// After WriteBatch: reports every guarded error in page order with `report` and rethrows the
// first unguarded one.
void FinishBatch(const PageBatch& batch, const std::function<void(const Warning&)>& report);

}  // namespace glossator

#endif  // GLOSSATOR_HTML_PAGE_WRITER_H_
