#include "app/serve/unit_reading.h"

#include <new>
#include <optional>

#include "base/errors.h"
#include "base/ordered_pool.h"
#include "base/platform.h"
#include "model/uXMLparser.h"

namespace glossator {

namespace {

// Keeps the warnings of one file's read; progress calls always go on.
class WarningRecorder : public ParseObserver {
 public:
  bool UpdateProgress(std::string_view, std::string_view, bool) override { return true; }
  void ReportWarning(const Warning& warning) override { warnings.push_back(warning); }

  std::vector<Warning> warnings;
};

ReadUnit ReadOne(const std::string& path, const ParseSettings& settings, FileSystem& files) {
  // One parser per thread keeps the memory of its tables from file to file.
  thread_local FileParser parser;
  WarningRecorder recorder;
  FileResult result = parser.Parse(path, settings, files, &recorder);
  ReadUnit unit;
  unit.path = path;
  unit.included = std::move(result.included);
  unit.warnings = std::move(recorder.warnings);
  if (result.error) {
    unit.error = ErrorText(result.error);
    return unit;
  }
  unit.model = std::move(result.model);
  return unit;
}

}  // namespace

std::string ErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const GlosError& e) {
    return e.Describe();
  } catch (const std::bad_alloc&) {
    return OutOfMemoryError().what();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

std::vector<ReadUnit> ReadUnits(const std::vector<std::string>& paths,
                                const ParseSettings& settings, FileSystem& files, int jobs) {
  std::vector<ReadUnit> units;
  units.reserve(paths.size());
  if (jobs <= 1 || paths.size() <= 1) {
    for (const std::string& path : paths) units.push_back(ReadOne(path, settings, files));
    return units;
  }
  OrderedPool<ReadUnit> pool(paths.size(), jobs - 1, 4 * static_cast<size_t>(jobs),
                             [&](size_t i) { return ReadOne(paths[i], settings, files); });
  for (size_t i = 0; i < paths.size(); ++i) units.push_back(pool.Take(i));
  return units;
}

}  // namespace glossator
