#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/image_record.h"
#include "engine/base/process_state.h"
#include "sources/document.h"
#include "codecs/mem_stream.h"
#include "codecs/raster.h"

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

// The document's load and save roads against a yardstick on the same file: the plain
// read of its bytes, libtiff alone, or Pillow (in its own process: it is timed there,
// its start-up left out; Pillow is single-threaded, and so are our codecs). Each side
// runs in warm blocks, the two alternating, so that neither meets the other's cold
// caches; a block's time is its fastest run. A save either replaces the file the run
// before wrote (ours through a staged file renamed over it, Pillow by truncating it)
// or writes a file that does not exist yet (the file is removed before each run,
// outside the timing).
constexpr int rounds = 5;
constexpr int runs_per_block = 8;

struct bench_files {
  std::string folder;
  CvorbelDoc doc;

  bench_files() {
    char pattern[] = "/tmp/vorbel-codec-bench-XXXXXX";
    folder = mkdtemp(pattern) ? pattern : "/tmp";
    CRaster image;
    FillTarget(image);
    target_width = image.GetWidth();
    target_height = image.GetHeight();
    for (int y = 0; y < target_height; ++y) {
      const uint8_t* row = image.GetBits(target_height - 1 - y);
      for (int x = 0; x < target_width; ++x) {
        bgra& p = target_pixels[size_t(y) * size_t(target_width) + size_t(x)];
        p.blue = row[3 * x], p.green = row[3 * x + 1], p.red = row[3 * x + 2];
      }
    }
    wic_ready = true;
    for (const char* extension : {"bmp", "tif", "tga", "pcx"}) doc.SaveTarget(Path(extension), extension);
    const std::string script =
        "import os, sys, time\n"
        "from PIL import Image\n"
        "op, path, n = sys.argv[1], sys.argv[2], int(sys.argv[3])\n"
        "out = path + '.pillow.' + path.rsplit('.', 1)[1]\n"
        "im = Image.open(path); im.load()\n"
        "def once():\n"
        "    if op == 'load':\n"
        "        with Image.open(path) as f: f.load()\n"
        "    else:\n"
        "        im.save(out)\n"
        "def fresh():\n"
        "    if op == 'save_new' and os.path.exists(out): os.remove(out)\n"
        "fresh(); once(); best = 1e300\n"
        "for _ in range(n):\n"
        "    fresh(); t = time.perf_counter(); once(); best = min(best, time.perf_counter() - t)\n"
        "print(best * 1000)\n";
    if (FILE* f = std::fopen(Path("py").c_str(), "w")) {
      std::fputs(script.c_str(), f);
      std::fclose(f);
    }
  }
  ~bench_files() { std::filesystem::remove_all(folder); }
  std::string Path(const std::string& extension) const { return folder + "/target." + extension; }
};

bench_files& Files() {
  static bench_files files;
  return files;
}

// The fastest of a warm block; prepare runs before each run, outside the timing.
double BlockMs(const std::function<void()>& run, const std::function<void()>& prepare = [] {}) {
  prepare();
  run();
  double best = 1e300;
  for (int i = 0; i < runs_per_block; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// Pillow's fastest of a warm block in milliseconds: "load" decodes the file; "save"
// writes the decoded picture over the file of the run before, "save_new" to a new one.
double PillowBlockMs(const std::string& operation, const std::string& path) {
  const std::string command =
      "/usr/bin/python3 " + Files().Path("py") + " " + operation + " " + path + " " + std::to_string(runs_per_block);
  double ms = -1;
  if (FILE* p = popen(command.c_str(), "r")) {
    if (std::fscanf(p, "%lf", &ms) != 1) ms = -1;
    pclose(p);
  }
  return ms;
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::vector<uint8_t> bytes(std::filesystem::file_size(path));
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  size_t done = 0;
  for (ssize_t n; fd >= 0 && done < bytes.size() && (n = read(fd, bytes.data() + done, bytes.size() - done)) > 0;)
    done += size_t(n);
  if (fd >= 0) close(fd);
  return bytes;
}

// The rows of a TIFF file as libtiff gives them, strip by strip.
void LibtiffStrips(const std::string& path) {
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) return;
  std::vector<uint8_t> pixels(size_t(TIFFStripSize(tif)) * TIFFNumberOfStrips(tif));
  for (uint32_t s = 0, n = TIFFNumberOfStrips(tif); s < n; ++s)
    TIFFReadEncodedStrip(tif, s, pixels.data() + size_t(s) * size_t(TIFFStripSize(tif)), -1);
  benchmark::DoNotOptimize(pixels.data());
  TIFFClose(tif);
}

void Compare(benchmark::State& state, const std::function<double()>& ours_block,
             const std::function<double()>& peer_block) {
  double ours_best = 1e300, peer_best = 1e300, low = 1e300, high = 0;
  for (auto _ : state) {
    for (int r = 0; r < rounds; ++r) {
      const double a = ours_block();
      const double b = peer_block();
      ours_best = std::min(ours_best, a), peer_best = std::min(peer_best, b);
      low = std::min(low, a / b), high = std::max(high, a / b);
    }
    state.SetIterationTime(ours_best / 1000);
  }
  state.counters["peer_ms"] = peer_best;
  state.counters["ratio"] = ours_best / peer_best;
  state.counters["ratio_lo"] = low;
  state.counters["ratio_hi"] = high;
}

std::function<double()> Block(std::function<void()> run) {
  return [run] { return BlockMs(run); };
}

void BM_LoadBmpVsFileRead(benchmark::State& state) {
  bench_files& f = Files();
  Compare(state, Block([&] { f.doc.LoadSourceWithWic(f.Path("bmp"), 1); }),
          Block([&] { benchmark::DoNotOptimize(ReadWhole(f.Path("bmp")).data()); }));
}

// The least a load does: the file read, and a new record of the frame's size written
// once (the file's bytes copied into it, where ours widens them).
void ReadIntoRecord(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadWhole(path);
  image_record record;
  record.Create(target_width, target_height);
  std::memcpy(record.Pixels(), bytes.data(), std::min(bytes.size(), size_t(target_width) * target_height * 4));
  benchmark::DoNotOptimize(record.Pixels());
}

void BM_LoadVsReadIntoRecord(benchmark::State& state) {
  bench_files& f = Files();
  const std::string path = f.Path(state.range(0) == 0 ? "bmp" : "tif");
  Compare(state, Block([&] { f.doc.LoadSourceWithWic(path, 1); }), Block([&] { ReadIntoRecord(path); }));
}

void BM_LoadTiffVsLibtiff(benchmark::State& state) {
  bench_files& f = Files();
  Compare(state, Block([&] { f.doc.LoadSourceWithWic(f.Path("tif"), 1); }), Block([&] { LibtiffStrips(f.Path("tif")); }));
}

void BM_LoadVsPillow(benchmark::State& state) {
  bench_files& f = Files();
  const auto format = uint32_t(state.range(0));
  const std::string path = f.Path(format == raster_format_tga ? "tga" : "pcx");
  Compare(state, Block([&] { f.doc.LoadSourceWithCRaster(path, format, 1); }),
          [&] { return PillowBlockMs("load", path); });
}

// Argument: format id, then 1 for a new file each run, 0 for replacing the last.
void BM_SaveVsPillow(benchmark::State& state) {
  bench_files& f = Files();
  const char* extension = state.range(0) == raster_format_tga ? "tga" : "pcx";
  const bool fresh = state.range(1) == 1;
  const std::string out = f.Path(std::string("ours.") + extension);
  Compare(state,
          [&] {
            return BlockMs([&] { f.doc.SaveTarget(out, extension); },
                           [&] { fresh && std::filesystem::remove(out); });
          },
          [&] { return PillowBlockMs(fresh ? "save_new" : "save", f.Path(extension)); });
}

BENCHMARK(BM_LoadBmpVsFileRead)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadVsReadIntoRecord)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTiffVsLibtiff)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadVsPillow)->Arg(raster_format_tga)->Arg(raster_format_pcx)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveVsPillow)
    ->Args({raster_format_tga, 0})->Args({raster_format_tga, 1})
    ->Args({raster_format_pcx, 0})->Args({raster_format_pcx, 1})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
