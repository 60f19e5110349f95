#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "sources/mem_stream.h"
#include "sources/raster.h"

namespace {

// The largest target, with a photograph's mix of noise and flat stretches.
void FillTarget(CRaster& image) {
  image.Create(2048, 1536, 24, raster_format_bmp);
  uint32_t seed = 1;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    uint8_t* row = image.GetBits(y);
    for (uint32_t i = 0; i < image.GetRowBytes(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      row[i] = (seed & 0x30000) ? uint8_t(seed >> 24) : i ? row[i - 1] : 0;
    }
  }
}

std::vector<uint8_t> Encoded(CRaster& image, uint32_t format) {
  CMemStream out;
  out.Open();
  image.Encode(&out, format);
  const uint8_t* p = out.GetBuffer(false);
  return std::vector<uint8_t>(p, p + out.Tell());
}

void BM_TargetEncode(benchmark::State& state) {
  CRaster image;
  FillTarget(image);
  const auto format = uint32_t(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(Encoded(image, format).size());
}

void BM_TargetDecode(benchmark::State& state) {
  CRaster image;
  FillTarget(image);
  const std::vector<uint8_t> file = Encoded(image, uint32_t(state.range(0)));
  for (auto _ : state) {
    CRaster decoded(file.data(), file.size(), uint32_t(state.range(0)));
    benchmark::DoNotOptimize(decoded.IsValid());
  }
}

BENCHMARK(BM_TargetEncode)->Arg(raster_format_tga)->Arg(raster_format_pcx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TargetDecode)->Arg(raster_format_tga)->Arg(raster_format_pcx)->Unit(benchmark::kMillisecond);

}  // namespace
