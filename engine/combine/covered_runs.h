#pragma once
#include <cstdint>

#include "engine/combine/pixel_operators.h"

// A combining operator over a run of n pixels that both layers cover, three bytes a
// pixel in and out: exactly the bytes of calling the operator pixel by pixel. The
// costliest operators have vector forms.
template <class Op>
void CoveredRun(const Op& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n) {
  for (int c = 0; c < n; ++c, a += 3, b += 3, out += 3)
    op(1, 1, pixel3{a[0], a[1], a[2]}, pixel3{b[0], b[1], b[2]}, &out[0], &out[1], &out[2]);
}

// Whether CoveredRun has a vector form for the operator.
template <class Op>
inline constexpr bool vector_run = false;
template <>
inline constexpr bool vector_run<average> = true;
template <>
inline constexpr bool vector_run<most> = true;
template <>
inline constexpr bool vector_run<least> = true;
template <>
inline constexpr bool vector_run<saturated> = true;
template <>
inline constexpr bool vector_run<grey> = true;

template <>
void CoveredRun(const average& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n);
template <>
void CoveredRun(const most& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n);
template <>
void CoveredRun(const least& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n);
template <>
void CoveredRun(const saturated& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n);
template <>
void CoveredRun(const grey& op, const uint8_t* a, const uint8_t* b, uint8_t* out, int n);
