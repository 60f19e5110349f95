#pragma once

// Whether the vector paths may use 32-byte lanes: the processor has them (AVX2)
// and they are allowed.
bool WideLanes();
// For tests: false keeps the vector paths to 16-byte lanes where wider ones exist.
void AllowWideLanes(bool allowed);

// Whether the vector paths may use 64-byte lanes: wide lanes are allowed and the
// processor has AVX-512 (foundation and double-word/quad-word instructions).
bool WidestLanes();
// For tests: false keeps the vector paths to 32-byte lanes at most.
void AllowWidestLanes(bool allowed);
