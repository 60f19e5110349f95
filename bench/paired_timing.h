#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// Times our operation and a peer's on the same work in one process: alternating
// blocks of warm runs (the first run of a block only warms the caches), so that
// neither side is measured cold after the other and both see the same load. Reports
// the minimum of each side, and the spread of the per-block ratio of minima.
struct paired_times {
  double ours_ms = 0, peer_ms = 0;  // minima over every counted run
  double ours_median_ms = 0, peer_median_ms = 0;
  double ratio = 0, ratio_low = 0, ratio_high = 0;  // ours / peer: of the minima; of blocks
};

// Stands for no untimed preparation.
struct unprepared {
  void operator()() const {}
};

// As TimePaired below; before_ours runs ahead of each run of ours, outside the timing
// (to give an operation that works in place the same input every time).
template <class Ours, class Peer, class Prepare>
paired_times TimePairedPrepared(Ours ours, Peer peer, Prepare before_ours, int blocks = 7,
                                double block_ms = 120) {
  using clock = std::chrono::steady_clock;
  const auto run_ms = [](auto& f) {
    const auto t0 = clock::now();
    f();
    return std::chrono::duration<double, std::milli>(clock::now() - t0).count();
  };
  const auto ours_ms = [&] {
    before_ours();
    return run_ms(ours);
  };
  // One run of each to size the blocks.
  const double first = std::max(ours_ms(), run_ms(peer));
  const int runs = std::clamp(int(block_ms / std::max(first, 1e-3)), 3, 200);
  std::vector<double> all_ours, all_peer, block_ratios;
  for (int b = 0; b < blocks; ++b) {
    double best[2] = {1e300, 1e300};
    for (int side = 0; side < 2; ++side) {
      // Which side goes first alternates too.
      const bool is_ours = (side == 0) == (b % 2 == 0);
      std::vector<double>& times = is_ours ? all_ours : all_peer;
      for (int i = 0; i <= runs; ++i) {
        const double t = is_ours ? ours_ms() : run_ms(peer);
        if (i == 0) continue;
        times.push_back(t);
        best[is_ours ? 0 : 1] = std::min(best[is_ours ? 0 : 1], t);
      }
    }
    block_ratios.push_back(best[0] / best[1]);
  }
  const auto median = [](std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  paired_times r;
  r.ours_ms = *std::min_element(all_ours.begin(), all_ours.end());
  r.peer_ms = *std::min_element(all_peer.begin(), all_peer.end());
  r.ours_median_ms = median(all_ours);
  r.peer_median_ms = median(all_peer);
  r.ratio = r.ours_ms / r.peer_ms;
  r.ratio_low = *std::min_element(block_ratios.begin(), block_ratios.end());
  r.ratio_high = *std::max_element(block_ratios.begin(), block_ratios.end());
  return r;
}

template <class Ours, class Peer>
paired_times TimePaired(Ours ours, Peer peer, int blocks = 7, double block_ms = 120) {
  return TimePairedPrepared(ours, peer, unprepared{}, blocks, block_ms);
}

// Of two forms of the same peer work, whether the first is the faster, timed against
// each other in the same alternating blocks (fewer and shorter ones).
template <class First, class Second>
bool FirstIsFaster(First first, Second second) {
  return TimePaired(first, second, 5, 80).ratio <= 1.0;
}

// Runs the pair once as one benchmark iteration: the reported time is ours, the
// counters hold the peer's and the ratios, and a summary line is printed.
template <class Ours, class Peer, class Prepare = unprepared>
void ReportPaired(benchmark::State& state, const std::string& what, Ours ours, Peer peer,
                  Prepare before_ours = {}) {
  paired_times r;
  for (auto _ : state) {
    r = TimePairedPrepared(ours, peer, before_ours);
    state.SetIterationTime(r.ours_ms / 1e3);
  }
  state.counters["peer_ms"] = r.peer_ms;
  state.counters["ratio"] = r.ratio;
  state.counters["ratio_lo"] = r.ratio_low;
  state.counters["ratio_hi"] = r.ratio_high;
  std::printf("paired %-58s ours %7.2f ms (median %7.2f)  peer %7.2f ms (median %7.2f)  ratio %.2f [%.2f..%.2f]\n",
              what.c_str(), r.ours_ms, r.ours_median_ms, r.peer_ms, r.peer_median_ms, r.ratio,
              r.ratio_low, r.ratio_high);
  std::fflush(stdout);
}
