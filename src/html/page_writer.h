#ifndef GLOSSATOR_HTML_PAGE_WRITER_H_
#define GLOSSATOR_HTML_PAGE_WRITER_H_

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/warning.h"

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
};

// Renders the page of unit i of the unit index and then the pages of its classes. Pure: errors
// are kept in the pages, nothing is written.
PageBatch RenderUnitPages(const DocTreeReader& tree, const std::string& out_dir, int i);
PageBatch RenderIndexPage(const DocTreeReader& tree, const std::string& out_dir, IndexKind kind);

// Writes the pages in order, keeping each write's error in its page, and stops after the first
// error that its page's guard does not take in: the pages after it are not written.
void WriteBatch(FileSystem& files, PageBatch& batch);

// After WriteBatch: reports every guarded error in page order with `report` and rethrows the
// first unguarded one.
void FinishBatch(const PageBatch& batch, const std::function<void(const Warning&)>& report);

// Writes batches on a thread of its own, one at a time, so that rendering the next batch and
// writing this one overlap. Without `threaded` each batch is written at once, on the caller's
// thread, by Submit.
class PageWriter {
 public:
  PageWriter(FileSystem& files, bool threaded);
  // Writes the batch in hand, if any, then ends the thread.
  ~PageWriter();
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;

  // REQUIRES: the batch handed over before was collected with Wait.
  void Submit(PageBatch batch);
  // Waits until the batch handed over last is written and returns it, as WriteBatch left it.
  // REQUIRES: a batch was handed over and not yet collected.
  PageBatch Wait();

 private:
  void Work();

  FileSystem& files_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<PageBatch> in_;   // handed over, not written yet; guarded by mutex_
  std::optional<PageBatch> out_;  // written, not collected yet; guarded by mutex_
  bool done_ = false;             // guarded by mutex_
  std::thread thread_;            // not started without `threaded`
};

}  // namespace glossator

#endif  // GLOSSATOR_HTML_PAGE_WRITER_H_
