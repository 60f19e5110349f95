#pragma once
#include <cstdint>

#include "engine/base/process_state.h"

// Pixels of three bytes (blue, green, red) into target pixels of four, whose fourth
// byte keeps what it held. The reads go up to 4 bytes past the last pixel.
void StoreColours(const uint8_t* bgr, bgra* out, int n);
// The same into two buffers at once.
void StoreColours(const uint8_t* bgr, bgra* out, bgra* second, int n);
