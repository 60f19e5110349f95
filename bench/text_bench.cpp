#include <benchmark/benchmark.h>

#include <string>

#include "sources/document.h"

namespace {

// A hundred lines of about 40 letters at a height of -27, rendered into source 1:
// what a text source, a font-size step or one batch pair costs.
void BM_RenderText100Lines(benchmark::State& state) {
  CvorbelDoc doc;
  for (int i = 0; i < 100; ++i)
    doc.source_text[0] += "Line " + std::to_string(i) + " of the quick brown fox jumps\r\n";
  doc.text_transparent[0] = 1;
  for (auto _ : state) {
    doc.text_font[0].lfHeight = -27;
    if (doc.RenderSourceText(0, 12) != 0) state.SkipWithError("render failed");
  }
  state.counters["width"] = doc.image_size[0].width;
  state.counters["height"] = doc.image_size[0].height;
}
BENCHMARK(BM_RenderText100Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
