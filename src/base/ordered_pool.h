#ifndef GLOSSATOR_BASE_ORDERED_POOL_H_
#define GLOSSATOR_BASE_ORDERED_POOL_H_

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace glossator {

// Makes the results 0 .. count-1, each by make(i), and hands them to one taker in index order.
// The results are made on `threads` threads of the pool and on the taker's own thread: a taker
// whose next result is not ready makes one that nobody has started instead of waiting, so that
// with n threads n+1 cores stay busy, and with none the taker makes every result itself. No
// result is started more than `window` places ahead of the taker, which bounds the memory of
// the results waiting. What `make` does must not depend on the order in which the results are
// made or on the thread that makes them; what it throws (running out of memory, say) is thrown
// again by the Take of that result.
template <typename Result>
class OrderedPool {
 public:
  //
  // A thread that cannot be started (the system refuses more threads, or memory for their
  // stacks) leaves its share to the threads that did start, down to the taker alone, which gives
  // the same results.
  OrderedPool(size_t count, int threads, size_t window, std::function<Result(size_t)> make)
      : make_(std::move(make)), results_(count), errors_(count), window_(window < 1 ? 1 : window) {
    for (int t = 0; t < threads && static_cast<size_t>(t) < count; ++t) {
      try {
        threads_.emplace_back([this] { Work(); });
      } catch (const std::exception&) {
        break;  // std::system_error or std::bad_alloc
      }
    }
  }
  // Stops the threads after the results they are making and drops the results not taken.
  ~OrderedPool() {
    Stop();
    for (std::thread& thread : threads_) thread.join();
  }
  OrderedPool(const OrderedPool&) = delete;
  OrderedPool& operator=(const OrderedPool&) = delete;

  // Makes or waits for result i and hands it over. REQUIRES: the results before i were taken,
  // in order, and Stop was not called.
  Result Take(size_t i) {
    std::unique_lock lock(mutex_);
    while (!results_[i].has_value() && !errors_[i]) {
      if (CanStart()) {
        MakeUnlocked(lock);
        continue;
      }
      awaited_ = i;
      taker_changed_.wait(lock);
    }
    awaited_ = kNone;
    std::exception_ptr error = std::move(errors_[i]);
    std::optional<Result> result = std::move(results_[i]);
    results_[i].reset();
    taken_ = i + 1;
    bool wake = idle_threads_ > 0;
    lock.unlock();
    // One more result may be started now.
    if (wake) threads_changed_.notify_one();
    if (error) std::rethrow_exception(error);
    return std::move(*result);
  }

  // No result is started after this.
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    threads_changed_.notify_all();
  }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // REQUIRES: mutex_ held.
  bool CanStart() const { return !stopped_ && next_ < results_.size() && next_ < taken_ + window_; }

  // Starts the next result, makes it with the lock released and stores it. Returns whether
  // the taker waits for it. REQUIRES: lock holds mutex_ and CanStart().
  bool MakeUnlocked(std::unique_lock<std::mutex>& lock) {
    size_t i = next_++;
    lock.unlock();
    std::optional<Result> result;
    std::exception_ptr error;
    try {
      result.emplace(make_(i));
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    if (error) {
      errors_[i] = std::move(error);
    } else {
      results_[i] = std::move(result);
    }
    return awaited_ == i;
  }

  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (stopped_ || next_ >= results_.size()) return;
      if (!CanStart()) {
        ++idle_threads_;
        threads_changed_.wait(lock);
        --idle_threads_;
        continue;
      }
      if (MakeUnlocked(lock)) taker_changed_.notify_one();
    }
  }

  const std::function<Result(size_t)> make_;
  std::mutex mutex_;
  std::condition_variable taker_changed_;       // the result the taker waits for is ready
  std::condition_variable threads_changed_;     // a result may be started, or the pool stops
  std::vector<std::optional<Result>> results_;  // guarded by mutex_
  std::vector<std::exception_ptr> errors_;      // what make threw, by result; guarded
  size_t next_ = 0;                             // the next result to start; guarded
  size_t taken_ = 0;                            // results taken; guarded
  size_t awaited_ = kNone;  // the result the taker sleeps for, or kNone; guarded
  int idle_threads_ = 0;    // pool threads waiting for room in the window; guarded
  bool stopped_ = false;    // guarded
  const size_t window_;
  std::vector<std::thread> threads_;
};

}  // namespace glossator

#endif  // GLOSSATOR_BASE_ORDERED_POOL_H_
