#pragma once
#include <cstring>
#include <vector>

#include "engine/base/process_state.h"

// The target's pixels as they are now, to compare with what an action leaves.
inline std::vector<bgra> Target() {
  return {target_pixels, target_pixels + size_t(target_width) * target_height};
}

inline bool Same(const std::vector<bgra>& a, const std::vector<bgra>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(bgra)) == 0;
}
