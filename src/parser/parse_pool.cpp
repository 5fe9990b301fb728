// The parse run on several threads: the files are loaded and scanned on a small pool, each into
// a tree of its own, while the run's thread takes the results in list order, replays each file's
// progress calls and warnings to the run and joins its unit to the run's tree.
//
// What the user sees is decided on the run's thread alone: the pool's threads answer every
// progress call with "go on" (or "stop" once the run has stopped, only to stop early; that
// result is thrown away). When a replayed progress call answers "stop", the file is parsed once
// more on the run's thread from the text already loaded, with the calls already made swallowed
// and the cancel answered at the same call, so that the tree ends exactly as a run on one thread
// leaves it. A file whose parse failed joins the tree as far as it got, and its error is thrown
// after its calls are replayed.
#include <atomic>
#include <exception>
#include <limits>
#include <mutex>
#include <new>

#include "base/errors.h"
#include "base/ordered_pool.h"
#include "model/uXMLparser.h"
#include "parser/file_parse.h"

namespace glossator {

namespace {

// One progress call or warning of a file's parse, in the order it was made.
struct ParseEvent {
  bool is_warning = false;
  std::string header;
  std::string detail;
  bool step = false;
  Warning warning;
};

// Records a file's progress calls and warnings on a pool thread. Answers "go on" until the run
// has stopped taking results.
class RecordingObserver : public ParseObserver {
 public:
  explicit RecordingObserver(const std::atomic<bool>& stop) : stop_(stop) {}

  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override {
    ParseEvent& event = events.emplace_back();
    event.header = header;
    event.detail = detail;
    event.step = step;
    return !stop_.load(std::memory_order_relaxed);
  }
  void ReportWarning(const Warning& warning) override {
    events.push_back(ParseEvent{true, {}, {}, false, warning});
  }

  std::vector<ParseEvent> events;

 private:
  const std::atomic<bool>& stop_;
};

// Stands in for the run while a cancelled file is parsed again on the run's thread: the first
// `replayed` calls were made already and are swallowed, the one at `stop_at` answers "stop" as
// the run did, and every later call goes to `target`.
class ReplayTail : public ParseObserver {
 public:
  ReplayTail(ParseObserver& target, size_t replayed, size_t stop_at)
      : target_(target), replayed_(replayed), stop_at_(stop_at) {}

  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override {
    size_t k = seen_++;
    if (k < replayed_) return k != stop_at_;
    return target_.UpdateProgress(header, detail, step);
  }
  void ReportWarning(const Warning& warning) override {
    if (seen_++ >= replayed_) target_.ReportWarning(warning);
  }

 private:
  ParseObserver& target_;
  size_t replayed_;
  size_t stop_at_;
  size_t seen_ = 0;
};

constexpr size_t kNoStop = std::numeric_limits<size_t>::max();

// One file as a pool thread left it.
struct PooledFile {
  FileResult result;
  std::vector<ParseEvent> events;
};

// The pool and the replay.
class ParsePool {
 public:
  ParsePool(const std::vector<std::string>& files, int jobs, const ParseSettings& settings,
            FileSystem& file_system, ParseTarget& target)
      : files_(files),
        settings_(settings),
        file_system_(file_system),
        target_(target),
        // The run's thread parses too while the file it takes next is not ready. The threads
        // may run some files ahead of the run: enough to keep them busy while the run's thread
        // joins a large unit (the site's tables take a few milliseconds for one), few enough
        // to bound the memory of the waiting results.
        pool_(files.size(), jobs - 1, 16 * static_cast<size_t>(jobs),
              [this](size_t i) { return ParseAlone(files_[i]); }) {}
  ParsePool(const ParsePool&) = delete;
  ParsePool& operator=(const ParsePool&) = delete;

  // Takes the files in list order. Returns with the target cancelled at a cancel; throws the
  // error that ends the run.
  void Run();

 private:
  PooledFile ParseAlone(const std::string& path);
  // Takes, replays and joins file i; false when the run was cancelled there.
  bool TakeNext(size_t i);
  void Stop();
  // Replays the events; returns the index of the progress call that answered "stop", or kNoStop.
  size_t Replay(const std::vector<ParseEvent>& events);
  // Parses the file again on this thread from its loaded text, up to the cancel at event
  // `stop_at`; see ReplayTail.
  void ParseAgain(const std::string& path, PooledFile& file, size_t stop_at);
  // Hands a taken result to the pool's threads, which free it before their next file: freeing
  // a file's text and tree would otherwise take the run's thread a good part of its time.
  void Dispose(PooledFile file);

  const std::vector<std::string>& files_;
  const ParseSettings& settings_;
  FileSystem& file_system_;
  ParseTarget& target_;
  std::atomic<bool> stop_flag_{false};  // set when the run takes no more results
  std::mutex spent_mutex_;
  std::vector<PooledFile> spent_;  // guarded by spent_mutex_
  OrderedPool<PooledFile> pool_;   // last: its threads end before the rest goes
};

void ParsePool::Dispose(PooledFile file) {
  std::lock_guard lock(spent_mutex_);
  spent_.push_back(std::move(file));
}

PooledFile ParsePool::ParseAlone(const std::string& path) {
  {
    std::vector<PooledFile> spent;
    {
      std::lock_guard lock(spent_mutex_);
      spent.swap(spent_);
    }
  }  // freed here, on this thread
  // One parser per thread for all its files: the line tables and the heading index keep their
  // memory from file to file, as they do on one thread; a fresh parser per file made every file
  // half again as slow.
  thread_local FileParser parser;
  RecordingObserver recorder(stop_flag_);
  PooledFile file;
  file.result = parser.Parse(path, settings_, file_system_, &recorder);
  file.events = std::move(recorder.events);
  return file;
}

void ParsePool::Stop() {
  stop_flag_.store(true, std::memory_order_relaxed);
  pool_.Stop();
}

size_t ParsePool::Replay(const std::vector<ParseEvent>& events) {
  for (size_t k = 0; k < events.size(); ++k) {
    const ParseEvent& event = events[k];
    if (event.is_warning) {
      target_.ReportWarning(event.warning);
    } else if (!target_.UpdateProgress(event.header, event.detail, event.step)) {
      return k;
    }
  }
  return kNoStop;
}

void ParsePool::ParseAgain(const std::string& path, PooledFile& file, size_t stop_at) {
  ReplayTail tail(target_, stop_at + 1, stop_at);
  FileParser again;
  FileResult result =
      again.ParseText(path, std::move(file.result.text), settings_, file_system_, &tail);
  target_.Join(result, path);
  if (result.error) std::rethrow_exception(result.error);
}

void ParsePool::Run() {
  for (size_t i = 0; i < files_.size(); ++i) {
    const std::string& path = files_[i];
    try {
      if (!TakeNext(i)) return;
    } catch (const std::bad_alloc&) {
      Stop();
      OutOfMemoryError error;
      error.SetFile(path);
      throw error;
    }
  }
}

bool ParsePool::TakeNext(size_t i) {
  const std::string& path = files_[i];
  PooledFile file = pool_.Take(i);
  size_t stop_at = Replay(file.events);
  if (stop_at != kNoStop) {
    Stop();
    ParseAgain(path, file, stop_at);
    return false;
  }
  // Every replayed call answered "go on", as the thread's parse was told: the file's tree is
  // what a run on one thread holds at the same point, an error's partial tree included.
  target_.Join(file.result, path);
  if (file.result.error) {
    Stop();
    std::rethrow_exception(file.result.error);
  }
  Dispose(std::move(file));
  return true;
}

}  // namespace

void ParseInPool(const std::vector<std::string>& files, int jobs, const ParseSettings& settings,
                 FileSystem& file_system, ParseTarget& target) {
  ParsePool(files, jobs, settings, file_system, target).Run();
}

}  // namespace glossator
