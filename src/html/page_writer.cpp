// Rendering the pages of a step apart from writing them.
#include "html/page_writer.h"

#include <new>
#include <utility>

#include "base/errors.h"
#include "base/file_system.h"
#include "html/pages.h"
#include "model/doc_tree.h"

namespace glossator {

namespace {

// Keeps the error of `make` in `page`; a class page's guard takes in every std::exception, as
// when the page is written.
template <typename Make>
void Render(RenderedPage& page, Make make) {
  try {
    make();
  } catch (const std::bad_alloc&) {
    // Out of memory is no page's own fault: it ends the run, naming the page.
    OutOfMemoryError error;
    error.SetFile(page.path.empty() ? "the page of class " + page.class_name : page.path);
    page.error = std::make_exception_ptr(error);
  } catch (const std::exception&) {
    page.error = std::current_exception();
    page.guarded = !page.class_name.empty();
  } catch (...) {
    page.error = std::current_exception();
  }
}

// The warning for a class page that could not be written; `error` says why.
Warning ClassPageWarning(const PageBatch& batch, const RenderedPage& page,
                         const std::exception& error) {
  const std::string& class_name = page.class_name;
  std::string reason = error.what();
  if (const auto* create = dynamic_cast<const FileCreateError*>(&error)) {
    if (!create->Reason().empty()) reason += ": " + create->Reason();
  }
  if (class_name.find_first_of("/\\") != std::string::npos) reason = "the name holds /";
  Warning warning;
  warning.file = batch.source_file;
  warning.kind = "class-page";
  warning.text = "page of class " + class_name + " not written: " + reason;
  warning.box = "Error while generating html-files\n\n" + class_name + ": " + reason;
  return warning;
}

}  // namespace

PageBatch RenderUnitPages(const DocTreeReader& tree, const std::string& out_dir, int i,
                          int first_class) {
  PageBatch batch;
  const std::string name(tree.UnitName(i));
  const TXMLNode* unit = tree.FindUnit(name);
  batch.source_file = tree.SourceFile(unit);
  if (first_class == 0) {
    RenderedPage& unit_page = batch.pages.emplace_back();
    Render(unit_page, [&] {
      unit_page.path = PagePath(out_dir, name + ".html");
      unit_page.text = UnitPage(tree, unit, name, tree.UnitComment(i)).TakeText();
    });
    // A unit page that fails ends the run before any of its class pages.
    if (unit_page.error) return batch;
  }

  int classes = tree.UnitClassCount(unit);
  int end = classes - first_class > kClassPagesPerPart ? first_class + kClassPagesPerPart : classes;
  if (end < classes) batch.next_class = end;
  batch.pages.reserve(batch.pages.size() + static_cast<size_t>(end - first_class));
  for (int c = first_class; c < end; ++c) {
    const std::string class_name(tree.UnitClassName(unit, c));
    if (class_name.empty()) continue;
    RenderedPage& page = batch.pages.emplace_back();
    page.class_name = class_name;
    Render(page, [&] {
      page.path = PagePath(out_dir, class_name + ".html");
      page.text = ClassPage(tree, unit, name, c).TakeText();
    });
  }
  return batch;
}

PageBatch RenderIndexPage(const DocTreeReader& tree, const std::string& out_dir, IndexKind kind) {
  PageBatch batch;
  RenderedPage& page = batch.pages.emplace_back();
  Render(page, [&] {
    page.path = PagePath(out_dir, IndexFileName(kind));
    page.text = IndexPage(tree, kind).TakeText();
  });
  return batch;
}

void WriteBatch(FileSystem& files, PageBatch& batch) {
  for (RenderedPage& page : batch.pages) {
    if (!page.error) Render(page, [&] { files.WriteFile(page.path, page.text); });
    if (page.error && !page.guarded) return;
  }
}

void FinishBatch(const PageBatch& batch, const std::function<void(const Warning&)>& report) {
  for (const RenderedPage& page : batch.pages) {
    if (!page.error) continue;
    if (!page.guarded) std::rethrow_exception(page.error);
    try {
      std::rethrow_exception(page.error);
    } catch (const std::exception& error) {
      report(ClassPageWarning(batch, page, error));
    }
  }
}

}  // namespace glossator
