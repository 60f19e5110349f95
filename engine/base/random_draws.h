#pragma once
#include <cstdint>
#include <random>

// Integers in [low, high] from a 32-bit engine, by the program's own rule: with
// n = high - low + 1, outputs x are taken until x / n < (2^32 - 1) / n or
// (2^32 - 1) % n = n - 1, and the value is low + x % n. Unlike the standard
// library's distributions the rule is fixed, so a seed always gives the same picture.
template <class Engine>
int DrawInt(Engine& engine, int low, int high) {
  const uint32_t n = uint32_t(int64_t(high) - low + 1);
  const uint32_t top = 0xFFFFFFFFu;
  const bool every_output = top % n == n - 1;
  for (;;) {
    const uint32_t x = uint32_t(engine());
    if (every_output || x / n < top / n) return low + int(x % n);
  }
}

// A Mersenne Twister with its seed and one range, as the effects use them; the
// same draws as DrawInt, with the divisions worked out once.
class random_draws {
 public:
  random_draws(uint32_t seed, int low, int high)
      : engine(seed), low(low), n(uint32_t(int64_t(high) - low + 1)), below(0xFFFFFFFFu / n),
        every_output(0xFFFFFFFFu % n == n - 1), power_of_two((n & (n - 1)) == 0) {}
  int Next() {
    for (;;) {
      const uint32_t x = uint32_t(engine());
      if (power_of_two) return low + int(x & (n - 1));  // 2^32 - 1 leaves n - 1: every output counts
      if (every_output || x / n < below) return low + int(x % n);
    }
  }

 private:
  std::mt19937 engine;
  int low;
  uint32_t n;
  uint32_t below;
  bool every_output;
  bool power_of_two;
};
