#pragma once
#include <functional>

// Runs body(first_row, end_row) over bands of [0, rows) on a persistent pool of
// worker threads and the calling thread, and returns when every band is done.
// Bands never overlap, so a body that writes only its own rows needs no locking.
void ParallelRows(int rows, const std::function<void(int, int)>& body);
// The same, calling progress(rows finished so far) on the calling thread now and
// then while the bands run, last with rows; the workers never wait for it.
void ParallelRows(int rows, const std::function<void(int, int)>& body,
                  const std::function<void(int)>& progress);

// Number of threads ParallelRows uses (the workers and the caller); 1 runs inline.
int RowThreads();
// For tests, benchmarks and the batch, whose saves and decodes take the other
// cores: 0 restores the default (the machine's hardware threads).
void SetRowThreads(int threads);
