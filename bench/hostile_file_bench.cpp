#include <benchmark/benchmark.h>

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codecs/imaging.h"

namespace {

// A progressive JPEG of the largest square a source may hold, whose last scan comes
// again a thousand times: what the decoder refuses, and how long the refusal takes.
std::vector<uint8_t> RepeatedScans() {
  constexpr int side = 7000;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = info.image_height = side;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 80, TRUE);
  jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(side * 3);
  for (int x = 0; x < side; ++x) row[x * 3] = 90, row[x * 3 + 1] = 140, row[x * 3 + 2] = 200;
  JSAMPROW rows[1] = {row.data()};
  while (info.next_scanline < info.image_height) jpeg_write_scanlines(&info, rows, 1);
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> file(buffer, buffer + size);
  std::free(buffer);

  const uint8_t scan_start[] = {0xff, 0xda};
  const auto last = std::find_end(file.begin(), file.end() - 2, scan_start, scan_start + 2);
  const std::vector<uint8_t> scan(last, file.end() - 2);
  std::vector<uint8_t> hostile(file.begin(), file.end() - 2);
  for (int i = 0; i < 1000; ++i) hostile.insert(hostile.end(), scan.begin(), scan.end());
  hostile.insert(hostile.end(), {0xff, 0xd9});
  return hostile;
}

void BM_RepeatedScansRefused(benchmark::State& state) {
  static const std::vector<uint8_t> file = RepeatedScans();
  std::vector<uint8_t> pixels;
  for (auto _ : state) {
    std::string error;
    auto decoder = imaging::OpenMemory(file.data(), file.size(), error);
    if (!decoder) {
      state.SkipWithError("the file did not open");
      break;
    }
    pixels.resize(size_t(decoder->Width()) * decoder->Height() * 4);
    const uint64_t scans = imaging::DecodeWork().jpeg_scans;
    if (decoder->CopyPixels(pixels.data(), size_t(decoder->Width()) * 4, pixels.size())) {
      state.SkipWithError("the file was decoded, not refused");
      break;
    }
    state.counters["scans"] = double(imaging::DecodeWork().jpeg_scans - scans);
  }
}
BENCHMARK(BM_RepeatedScansRefused)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
