#pragma once
#include <cstdint>

// The 32-bit Mersenne Twister (the standard library's mt19937: same seeding, same
// outputs) made a whole state of 624 outputs at a time, in loops the compiler can
// widen; the library makes them one call at a time.
class twister_block {
 public:
  static constexpr int size = 624;

  explicit twister_block(uint32_t seed) {
    state[0] = seed;
    for (int i = 1; i < size; ++i) state[i] = 1812433253u * (state[i - 1] ^ (state[i - 1] >> 30)) + uint32_t(i);
  }

  // The next 624 outputs.
  void Next(uint32_t* out) {
    // The first stretch reads only words not yet renewed, the second only words
    // already renewed in this pass (and the next word, not yet), so each runs in lanes.
    for (int i = 0; i < size - shift; ++i) state[i] = Twist(state[i], state[i + 1], state[i + shift]);
    for (int i = size - shift; i < size - 1; ++i) state[i] = Twist(state[i], state[i + 1], state[i + shift - size]);
    state[size - 1] = Twist(state[size - 1], state[0], state[shift - 1]);
    for (int i = 0; i < size; ++i) {
      uint32_t y = state[i];
      y ^= y >> 11;
      y ^= (y << 7) & 0x9d2c5680u;
      y ^= (y << 15) & 0xefc60000u;
      out[i] = y ^ (y >> 18);
    }
  }

 private:
  static constexpr int shift = 397;

  static uint32_t Twist(uint32_t word, uint32_t next, uint32_t far) {
    const uint32_t y = (word & 0x80000000u) | (next & 0x7fffffffu);
    return far ^ (y >> 1) ^ ((y & 1u) * 0x9908b0dfu);
  }

  uint32_t state[size];
};
