#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bytes/pixel_rows.h"

namespace {

// Every length up to a few vector steps past the loops' margins, at every offset
// within a vector, against the pixels one at a time; the bytes around the output stay.
TEST(PixelRows, ConversionsMatchPixelByPixelAndStayInsideTheirRows) {
  std::mt19937 random(5);
  for (size_t pixels = 0; pixels < 40; ++pixels)
    for (size_t offset = 0; offset < 4; ++offset) {
      std::vector<uint8_t> in(offset + pixels * 4 + 8), out(offset + pixels * 4 + 8, 0xAB);
      for (uint8_t& b : in) b = uint8_t(random());
      const uint8_t* src = in.data() + offset;
      uint8_t* dst = out.data() + offset;
      for (bool swap : {false, true}) {
        std::vector<uint8_t> want(out);
        for (size_t x = 0; x < pixels; ++x)
          for (int c = 0; c < 4; ++c) want[offset + 4 * x + c] = c == 3 ? 255 : src[3 * x + (swap ? 2 - c : c)];
        (swap ? RgbToBgra : BgrToBgra)(src, dst, pixels);
        ASSERT_EQ(out, want) << pixels << " " << offset << " " << swap;
      }
      std::vector<uint8_t> want(out);
      for (size_t x = 0; x < pixels; ++x)
        for (int c = 0; c < 3; ++c) want[offset + 3 * x + c] = src[4 * x + c];
      BgraToBgr(src, dst, pixels);
      ASSERT_EQ(out, want) << pixels << " " << offset;

      // Planes: red, green, blue lines of the pixel count one after the other.
      std::vector<uint8_t> planes(offset + 3 * pixels + 8, 0xCD), want_planes(planes);
      for (size_t x = 0; x < pixels; ++x)
        for (int c = 0; c < 3; ++c) want_planes[offset + c * pixels + x] = src[3 * x + 2 - c];
      uint8_t* red = planes.data() + offset;
      BgrToPlanes(src, red, red + pixels, red + 2 * pixels, pixels);
      ASSERT_EQ(planes, want_planes) << pixels << " " << offset;
      want = out;
      std::copy(src, src + 3 * pixels, want.begin() + std::ptrdiff_t(offset));
      PlanesToBgr(red, red + pixels, red + 2 * pixels, dst, pixels);
      ASSERT_EQ(out, want) << pixels << " " << offset;
    }
}

}  // namespace
