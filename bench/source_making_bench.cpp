#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bytes/bitmap_header.h"
#include "sources/pasted_bitmap.h"
#include "sources/software_pattern.h"

namespace {

constexpr int canvas_w = 2048, canvas_h = 1536;

// Each shape at the largest canvas and size 1 (jiggles at size 4, their most walks);
// compare with BM_Recombine.
void BM_GeneratePattern(benchmark::State& state) {
  pattern_choice choice;
  choice.shape = int(state.range(0));
  choice.size_index = choice.shape == shape_jiggles ? 3 : 0;
  for (auto _ : state) {
    image_record record;
    benchmark::DoNotOptimize(GenerateSoftwarePattern(choice, canvas_w, canvas_h, record));
  }
}
BENCHMARK(BM_GeneratePattern)
    ->DenseRange(shape_null, shape_blank)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A 32-bit bottom-up clipboard bitmap of the largest canvas pasted into a record.
void BM_PasteBitmap32(benchmark::State& state) {
  std::vector<uint8_t> block(40 + size_t(canvas_w) * canvas_h * 4);
  WriteBitmapInfoHeader(Bitmap32Header(canvas_w, canvas_h), block.data());
  std::mt19937 rng(3);
  for (size_t i = 40; i < block.size(); ++i) block[i] = uint8_t(rng());
  for (auto _ : state) {
    image_record record;
    benchmark::DoNotOptimize(NormalisePastedBitmap(block.data(), block.size(), record));
  }
}
BENCHMARK(BM_PasteBitmap32)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
