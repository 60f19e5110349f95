#pragma once
#include <cstddef>
#include <cstdint>

// Row conversions between 3-byte and 4-byte pixels that the codecs and the load and
// save roads share. Input and output must not overlap.

// Blue, green, red to blue, green, red, 255.
void BgrToBgra(const uint8_t* bgr, uint8_t* bgra, size_t pixels);
// Red, green, blue to blue, green, red, 255.
void RgbToBgra(const uint8_t* rgb, uint8_t* bgra, size_t pixels);
// Blue, green, red, anything to blue, green, red.
void BgraToBgr(const uint8_t* bgra, uint8_t* bgr, size_t pixels);
// Separate red, green and blue lines to blue, green, red pixels, and back.
void PlanesToBgr(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint8_t* bgr, size_t pixels);
void BgrToPlanes(const uint8_t* bgr, uint8_t* red, uint8_t* green, uint8_t* blue, size_t pixels);
