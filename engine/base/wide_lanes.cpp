#include "engine/base/wide_lanes.h"

namespace {
bool allowed_wide = true;
bool allowed_widest = true;
}  // namespace

bool WideLanes() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2 && allowed_wide;
#else
  return false;
#endif
}

void AllowWideLanes(bool allowed) { allowed_wide = allowed; }

bool WidestLanes() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                             __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw");
  return avx512 && allowed_widest && WideLanes();
#else
  return false;
#endif
}

void AllowWidestLanes(bool allowed) { allowed_widest = allowed; }
