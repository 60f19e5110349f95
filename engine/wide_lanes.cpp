#include "engine/wide_lanes.h"

namespace {
bool allowed_wide = true;
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
