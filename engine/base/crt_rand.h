#pragma once
#include <cstdint>

// The run-time library's linear congruential generator: state := state * 214013 +
// 2531011 (mod 2^32), each draw bits 16..30 of the new state. The program never
// seeds it, so one sequence runs from state 1 for the whole run.
struct crt_rand {
  static constexpr uint32_t multiplier = 214013;
  static constexpr uint32_t increment = 2531011;

  uint32_t state = 1;

  int Next() {
    state = state * multiplier + increment;
    return int((state >> 16) & 0x7FFF);
  }

  // The state n draws later, in O(log n) steps, so that rows of a pass can start
  // their own part of the one sequence.
  static uint32_t Skip(uint32_t state, uint64_t n);
};

// The process-wide sequence.
extern crt_rand run_time_rand;
