// The parse run on several threads: the files are loaded and scanned on a small pool, each into
// a tree of its own, while the run's thread takes the results in list order, replays each file's
// progress calls and warnings through the run's platform and joins its unit to the run's tree.
//
// What the user sees is decided on the run's thread alone: the pool's threads answer every
// progress call with "go on" (or "stop" once the run has stopped, only to stop early; that
// result is thrown away). When a replayed progress call answers "stop", the file is parsed once
// more on the run's thread from the text already loaded, with the calls already made swallowed
// and the cancel answered at the same call, so that the tree ends exactly as a run on one thread
// leaves it. A file whose parse failed joins the tree as far as it got, and its error is thrown
// after its calls are replayed.
#include <atomic>
#include <cstdlib>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "base/errors.h"
#include "base/ordered_pool.h"
#include "parser/cGlossator.h"
#include "base/platform.h"

namespace glossator {

int DefaultJobs() {
  if (const char* text = std::getenv("GLOSSATOR_JOBS")) {
    char* end = nullptr;
    long jobs = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && jobs >= 1 && jobs <= 1024) return static_cast<int>(jobs);
  }
  unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

namespace {

// One progress call or warning of a file's parse, in the order it was made.
struct ParseEvent {
  bool is_warning = false;
  std::string header;
  std::string detail;
  bool step = false;
  Warning warning;
};

// A no-op platform apart from the two calls a parse makes; the base of the two below.
class ParsePlatform : public Platform {
 public:
  void ShowProgress(TGlosParser*, int) override {}
  void FinishProgress() override {}
  void CloseProgress() override {}
  void ShowInformation(std::string_view) override {}
  void ShowMessage(std::string_view) override {}
  void SetBusy(bool) override {}
};

// Records a file's progress calls and warnings on a pool thread. Answers "go on" until the run
// has stopped taking results.
class RecordingPlatform : public ParsePlatform {
 public:
  explicit RecordingPlatform(const std::atomic<bool>& stop) : stop_(stop) {}

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

// Stands in for the run's platform while a cancelled file is parsed again on the run's thread:
// the first `replayed` calls were made already and are swallowed, the one at `stop_at` answers
// "stop" as the run's platform did, and every later call goes to `target` (may be null).
class ReplayTail : public ParsePlatform {
 public:
  ReplayTail(Platform* target, size_t replayed, size_t stop_at)
      : target_(target), replayed_(replayed), stop_at_(stop_at) {}

  bool UpdateProgress(std::string_view header, std::string_view detail, bool step) override {
    size_t k = seen_++;
    if (k < replayed_) return k != stop_at_;
    return target_ == nullptr || target_->UpdateProgress(header, detail, step);
  }
  void ReportWarning(const Warning& warning) override {
    if (seen_++ >= replayed_ && target_ != nullptr) target_->ReportWarning(warning);
  }

 private:
  Platform* target_;
  size_t replayed_;
  size_t stop_at_;
  size_t seen_ = 0;
};

constexpr size_t kNoStop = std::numeric_limits<size_t>::max();

}  // namespace

// The pool and the replay. A friend of TGlosParser: it runs a file's parse on a parser of its
// own and moves the result into the run's parser.
class ParsePool {
 public:
  ParsePool(TGlosParser& run, const std::vector<std::string>& files, int jobs)
      : run_(run),
        files_(files),
        // The run's thread parses too while the file it takes next is not ready. The threads
        // may run a few files ahead of the run: enough to keep them busy, few enough to bound
        // the memory of the waiting results.
        pool_(files.size(), jobs - 1, 4 * static_cast<size_t>(jobs),
              [this](size_t i) { return ParseAlone(files_[i]); }) {}
  ParsePool(const ParsePool&) = delete;
  ParsePool& operator=(const ParsePool&) = delete;

  // Takes the files in list order. Returns with run_.Cancelled set at a cancel; throws the error
  // that ends the run.
  void Run(TXMLNode* parsed_units);

 private:
  // One file as a pool thread left it.
  struct FileResult {
    std::unique_ptr<TXMLTree> tree;  // its root stands for "parsedUnits"
    std::string text;                // the file as loaded, for a parse again
    std::vector<ParseEvent> events;
    std::exception_ptr error;
  };

  FileResult ParseAlone(const std::string& path);
  void Stop();
  // Replays the events; returns the index of the progress call that answered "stop", or kNoStop.
  size_t Replay(const std::vector<ParseEvent>& events);
  // Parses the file again on this thread from its loaded text, up to the cancel at event
  // `stop_at`; see ReplayTail.
  void ParseAgain(const std::string& path, FileResult& result, size_t stop_at,
                  TXMLNode* parsed_units);
  // Moves the file's unit node, if it has one, to the end of the run's "parsedUnits".
  void Join(TXMLTree& file_tree, const std::string& path, TXMLNode* parsed_units);

  // Hands a taken result to the pool's threads, which free it before their next file: freeing
  // a file's text and scan tables would otherwise take the run's thread a good part of its time.
  void Dispose(FileResult result);

  TGlosParser& run_;
  const std::vector<std::string>& files_;
  std::atomic<bool> stop_flag_{false};  // set when the run takes no more results
  std::mutex spent_mutex_;
  std::vector<FileResult> spent_;  // guarded by spent_mutex_
  OrderedPool<FileResult> pool_;   // last: its threads end before the rest goes
};

void ParsePool::Dispose(FileResult result) {
  std::lock_guard lock(spent_mutex_);
  spent_.push_back(std::move(result));
}

ParsePool::FileResult ParsePool::ParseAlone(const std::string& path) {
  {
    std::vector<FileResult> spent;
    {
      std::lock_guard lock(spent_mutex_);
      spent.swap(spent_);
    }
  }  // freed here, on this thread
  // One parser per thread for all its files: the line tables and the heading index keep their
  // memory from file to file, as they do on one thread; a fresh parser per file made every file
  // half again as slow.
  thread_local TGlosParser parser;
  FileResult result;
  RecordingPlatform recorder(stop_flag_);
  parser.platform_ = &recorder;
  parser.ParsePrivate = run_.ParsePrivate;
  try {
    parser.BeginFileTree(path);
    parser.LoadFile(path);
    parser.ParseLoaded(path, parser.tree_->Root());
    // The pages are written from several threads, which may only read the tree.
    parser.tree_->IndexAllNames();
  } catch (GlosError& error) {
    // What was wrong with the file's heading goes with the error, as on one thread.
    if (error.Note().empty()) error.SetNote(parser.file_note_);
    result.error = std::current_exception();
  } catch (...) {
    result.error = std::current_exception();
  }
  parser.platform_ = nullptr;
  parser.source_files_.clear();
  result.tree = std::move(parser.tree_);
  result.text = parser.lines_.TakeText();
  result.events = std::move(recorder.events);
  return result;
}

void ParsePool::Stop() {
  stop_flag_.store(true, std::memory_order_relaxed);
  pool_.Stop();
}

size_t ParsePool::Replay(const std::vector<ParseEvent>& events) {
  for (size_t k = 0; k < events.size(); ++k) {
    const ParseEvent& event = events[k];
    if (event.is_warning) {
      if (run_.platform_ != nullptr) run_.platform_->ReportWarning(event.warning);
    } else if (!run_.Progress(event.header, event.detail, event.step)) {
      return k;
    }
  }
  return kNoStop;
}

void ParsePool::Join(TXMLTree& file_tree, const std::string& path, TXMLNode* parsed_units) {
  TXMLNode* root = file_tree.Root();
  for (size_t u = 0; u < root->ChildCount(); ++u) run_.source_files_[root->Child(u)] = path;
  run_.tree_->Adopt(parsed_units, file_tree);
}

void ParsePool::ParseAgain(const std::string& path, FileResult& result, size_t stop_at,
                           TXMLNode* parsed_units) {
  ReplayTail tail(run_.platform_, stop_at + 1, stop_at);
  TGlosParser again(&tail);
  again.ParsePrivate = run_.ParsePrivate;
  again.BeginFileTree(path);
  again.lines_.SetText(std::move(result.text));
  try {
    again.ParseLoaded(path, again.tree_->Root());
  } catch (GlosError& error) {
    if (error.Note().empty()) error.SetNote(again.file_note_);
    Join(*again.tree_, path, parsed_units);
    throw;
  } catch (...) {
    Join(*again.tree_, path, parsed_units);
    throw;
  }
  Join(*again.tree_, path, parsed_units);
}

void ParsePool::Run(TXMLNode* parsed_units) {
  for (size_t i = 0; i < files_.size(); ++i) {
    const std::string& file = files_[i];
    FileResult result = pool_.Take(i);
    run_.current_file_ = file;
    try {
      size_t stop_at = Replay(result.events);
      if (stop_at != kNoStop) {
        Stop();
        ParseAgain(file, result, stop_at, parsed_units);
        return;
      }
      // Every replayed call answered "go on", as the thread's parse was told: the file's tree
      // is what a run on one thread holds at the same point, an error's partial tree included.
      if (result.tree) Join(*result.tree, file, parsed_units);
      if (result.error) {
        Stop();
        std::rethrow_exception(result.error);
      }
      Dispose(std::move(result));
    } catch (GlosError& error) {
      // The report must name the file being read.
      if (error.File().empty()) error.SetFile(file);
      throw;
    }
    if (run_.Cancelled) {
      Stop();
      return;
    }
  }
}

void TGlosParser::ParseInPool(const std::vector<std::string>& files, int jobs,
                              TXMLNode* parsed_units) {
  ParsePool(*this, files, jobs).Run(parsed_units);
}

}  // namespace glossator
