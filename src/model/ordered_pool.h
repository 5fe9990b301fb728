#ifndef GLOSSATOR_MODEL_ORDERED_POOL_H_
#define GLOSSATOR_MODEL_ORDERED_POOL_H_

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace glossator {

// Makes the results 0 .. count-1 on a few threads, each by make(i), and hands them to one taker
// in index order. The threads run at most `window` results ahead of the taker, which bounds the
// memory of the results waiting. `make` runs on the pool's threads and must not throw; what it
// does must not depend on the order in which the results are made.
template <typename Result>
class OrderedPool {
 public:
  OrderedPool(size_t count, int threads, size_t window, std::function<Result(size_t)> make)
      : make_(std::move(make)), results_(count), window_(window < 1 ? 1 : window) {
    for (int t = 0; t < threads; ++t) threads_.emplace_back([this] { Work(); });
  }
  // Stops the threads after the results they are making and drops the results not taken.
  ~OrderedPool() {
    Stop();
    for (std::thread& thread : threads_) thread.join();
  }
  OrderedPool(const OrderedPool&) = delete;
  OrderedPool& operator=(const OrderedPool&) = delete;

  // Waits for result i and hands it over. REQUIRES: the results before i were taken, in order,
  // and Stop was not called.
  Result Take(size_t i) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return results_[i].has_value(); });
    Result result = std::move(*results_[i]);
    results_[i].reset();
    taken_ = i + 1;
    lock.unlock();
    changed_.notify_all();
    return result;
  }

  // No result is started after this.
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    changed_.notify_all();
  }

 private:
  void Work() {
    for (;;) {
      size_t i;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] {
          return stopped_ || next_ >= results_.size() || next_ < taken_ + window_;
        });
        if (stopped_ || next_ >= results_.size()) return;
        i = next_++;
      }
      Result result = make_(i);
      {
        std::lock_guard lock(mutex_);
        results_[i] = std::move(result);
      }
      changed_.notify_all();
    }
  }

  const std::function<Result(size_t)> make_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::optional<Result>> results_;  // guarded by mutex_
  size_t next_ = 0;                             // the next result a thread makes; guarded
  size_t taken_ = 0;                            // results taken; guarded
  bool stopped_ = false;                        // guarded
  const size_t window_;
  std::vector<std::thread> threads_;
};

}  // namespace glossator

#endif  // GLOSSATOR_MODEL_ORDERED_POOL_H_
