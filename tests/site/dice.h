#ifndef GLOSSATOR_TESTS_SITE_DICE_H_
#define GLOSSATOR_TESTS_SITE_DICE_H_

#include <cstddef>
#include <cstdint>

namespace glossator {

// A small fixed-seed generator (a 64-bit linear congruential one), so that a seed always gives
// the same made-up library or the same sequence of edits.
class Dice {
 public:
  Dice() = default;
  explicit Dice(uint64_t seed) : state_(seed * kMix + 1) {}
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state_ >> 33);
  }
  size_t Below(size_t n) { return n == 0 ? 0 : Next() % n; }
  bool Percent(int p) { return Below(100) < static_cast<size_t>(p); }

 private:
  static constexpr uint64_t kMix = 0x9E3779B97F4A7C15ull;
  uint64_t state_ = kMix;
};

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_SITE_DICE_H_
