// The segment walk on the wide instruction sets: one SIMD lane per segment.
//
// A batch of eight segments is summed with each segment in its own lane, each
// lane adding its own squares in ascending position from 0.0, so every norm
// is the one the plain loop gives; square roots are taken lane-wise.  While
// every segment of the batch has eight more positions, eight consecutive
// values of each segment are loaded and transposed in registers; where the
// lengths differ, each segment's rest is loaded under a mask (a masked lane
// reads nothing) and transposed, and the finished lanes keep their sums.  A
// lane far longer than the others finishes alone, as a plain chain.
//
// The norms are taken from vect before any segment of the batch is visited
// (a visit may write results but must not change vect), and the visits run
// in table order, so overlapping and decreasing tables keep their meaning.
//
// Every function here is compiled for its instruction set alone and lives in
// the namespace named after it; callers reach it only after the run-time
// choice (core/instruction_set.h).
#ifndef PROXKIT_SEGMENT_LANES_H
#define PROXKIT_SEGMENT_LANES_H

#include <cstddef>

#include "core/instruction_set.h"
#include "segment/segment_norm.h"

#if PROXKIT_WIDE_PATHS
#include "core/wide_intrinsics.h"

namespace proxkit {

namespace detail {
// Past this many positions where the lengths of a batch differ, the lanes
// that still run finish as plain chains: a transposed load with one live
// lane costs more than a scalar load.
constexpr std::size_t rest_limit = 48;
}  // namespace detail

namespace avx512 {

// segment_range of the eight segments that start at bounds[0] ... bounds[7],
// lane-wise; gives exactly segment_range's positions for any pair of doubles
// (tested against it).  Each comparison is the one segment_range makes, in
// double, and no value is converted unless the scalar rules convert it.
PROXKIT_TARGET_AVX512 inline void segment_ranges(const double* bounds, std::size_t n, std::size_t* begin,
                                                 std::size_t* end) {
  const __m512d first = _mm512_loadu_pd(bounds), last = _mm512_loadu_pd(bounds + 1);
  const __m512d length = _mm512_set1_pd(static_cast<double>(n));
  const __mmask8 named = _mm512_cmp_pd_mask(first, _mm512_set1_pd(-1.0), _CMP_GT_OQ);
  const __mmask8 ends_inside = _mm512_cmp_pd_mask(last, _mm512_setzero_pd(), _CMP_GT_OQ);
  const __mmask8 ends_past = _mm512_cmp_pd_mask(last, length, _CMP_GE_OQ);
  // ceil(last) for 0 < last < n; the other lanes stay 0 or become n.
  const __m512d ceiling = _mm512_roundscale_pd(last, _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC);
  __m512i e = _mm512_maskz_cvttpd_epu64(ends_inside & static_cast<__mmask8>(~ends_past), ceiling);
  e = _mm512_mask_mov_epi64(e, ends_past, _mm512_set1_epi64(static_cast<long long>(n)));
  const __mmask8 starts_inside = _mm512_cmp_pd_mask(first, length, _CMP_LT_OQ);
  const __mmask8 starts_late = _mm512_cmp_pd_mask(first, _mm512_set1_pd(1.0), _CMP_GE_OQ);
  __m512i b = _mm512_maskz_cvttpd_epu64(starts_inside & starts_late, first);
  b = _mm512_mask_mov_epi64(e, starts_inside, _mm512_min_epu64(b, e));
  _mm512_storeu_si512(begin, _mm512_maskz_mov_epi64(named, b));
  _mm512_storeu_si512(end, _mm512_maskz_mov_epi64(named, e));
}

// Up to eight values of the segment [begin, end) from position i on, in the
// low lanes, 0.0 in the others; a segment with nothing left reads nothing
// and forms no pointer past its end.
PROXKIT_TARGET_AVX512 inline __m512d values_from(const double* vect, std::size_t begin, std::size_t end,
                                                 std::size_t i) {
  const std::size_t left = end - begin > i ? end - begin - i : 0;
  return _mm512_maskz_loadu_pd(tail_mask(left < 8 ? left : 8), vect + begin + (left > 0 ? i : 0));
}

// The norms of a full batch, lane j for the segment [begin[j], end[j]).
PROXKIT_TARGET_AVX512 inline __m512d batch_norms(const double* vect, const std::size_t* begin,
                                                 const std::size_t* end) {
  std::size_t shortest = end[0] - begin[0], longest = shortest;
  for (int j = 1; j < 8; ++j) {
    const std::size_t length = end[j] - begin[j];
    shortest = length < shortest ? length : shortest;
    longest = length > longest ? length : longest;
  }
  __m512d squares = _mm512_setzero_pd();
  std::size_t i = 0;
  for (; i + 8 <= shortest; i += 8) {
    __m512d r[8];
    for (int j = 0; j < 8; ++j) r[j] = _mm512_loadu_pd(vect + begin[j] + i);
    transpose(r);
    for (int t = 0; t < 8; ++t) squares = _mm512_add_pd(squares, _mm512_mul_pd(r[t], r[t]));
  }
  if (longest - i <= detail::rest_limit) {
    const __m512i lengths = _mm512_sub_epi64(_mm512_loadu_si512(end), _mm512_loadu_si512(begin));
    for (; i < longest; i += 8) {
      __m512d r[8];
      for (int j = 0; j < 8; ++j) r[j] = values_from(vect, begin[j], end[j], i);
      transpose(r);
      const std::size_t steps = longest - i < 8 ? longest - i : 8;
      for (std::size_t t = 0; t < steps; ++t) {
        const __mmask8 live = _mm512_cmpgt_epu64_mask(lengths, _mm512_set1_epi64(static_cast<long long>(i + t)));
        squares = _mm512_mask_add_pd(squares, live, squares, _mm512_mul_pd(r[t], r[t]));
      }
    }
  } else {
    alignas(64) double s[8];
    _mm512_store_pd(s, squares);
    for (int j = 0; j < 8; ++j) s[j] = detail::squares_from(vect, begin[j] + i, end[j], s[j]);
    squares = _mm512_load_pd(s);
  }
  return _mm512_sqrt_pd(squares);
}

// Calls visit(Segment, norm) for every segment in table order, as
// for_each_segment_norm does.  A batch is visited once the norms of the
// next one are under way, so that its visits (grpnorm's chain of additions,
// the scaling passes) overlap the next batch's sums and square roots.
template <class Visit>
PROXKIT_TARGET_AVX512 void for_each_segment_norm(const double* vect, std::size_t n, SegmentTable table,
                                                 Visit& visit) {
  const std::size_t segments = table.count > 1 ? table.count - 1 : 0;
  alignas(64) std::size_t begin[2][8], end[2][8];
  alignas(64) double norms[2][8];
  std::size_t k = 0;
  for (; k + 8 <= segments; k += 8) {
    const int current = static_cast<int>(k / 8 % 2), previous = 1 - current;
    segment_ranges(table.bounds + k, n, begin[current], end[current]);
    _mm512_store_pd(norms[current], batch_norms(vect, begin[current], end[current]));
    if (k > 0)
      for (int j = 0; j < 8; ++j)
        detail::visit_with_norm(visit, vect, Segment{begin[previous][j], end[previous][j]}, norms[previous][j]);
  }
  if (k > 0) {
    const int last = static_cast<int>((k / 8 - 1) % 2);
    for (int j = 0; j < 8; ++j) detail::visit_with_norm(visit, vect, Segment{begin[last][j], end[last][j]}, norms[last][j]);
  }
  detail::visit_rest(vect, n, table, k, visit);
}

// The element-wise passes over one segment, at full width with a masked
// tail (a masked lane neither reads nor writes).
PROXKIT_TARGET_AVX512 inline void scale(const double* from, double* to, std::size_t count, double factor) {
  const __m512d f = _mm512_set1_pd(factor);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) _mm512_storeu_pd(to + i, _mm512_mul_pd(f, _mm512_loadu_pd(from + i)));
  if (i < count) {
    const __mmask8 m = tail_mask(count - i);
    _mm512_mask_storeu_pd(to + i, m, _mm512_mul_pd(f, _mm512_maskz_loadu_pd(m, from + i)));
  }
}

PROXKIT_TARGET_AVX512 inline void divide(const double* from, double* to, std::size_t count, double divisor) {
  const __m512d d = _mm512_set1_pd(divisor);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) _mm512_storeu_pd(to + i, _mm512_div_pd(_mm512_loadu_pd(from + i), d));
  if (i < count) {
    const __mmask8 m = tail_mask(count - i);
    // The masked-off lanes divide 0 by the divisor and are not stored.
    _mm512_mask_storeu_pd(to + i, m, _mm512_div_pd(_mm512_maskz_loadu_pd(m, from + i), d));
  }
}

PROXKIT_TARGET_AVX512 inline void zero(double* to, std::size_t count) {
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) _mm512_storeu_pd(to + i, _mm512_setzero_pd());
  if (i < count) _mm512_mask_storeu_pd(to + i, tail_mask(count - i), _mm512_setzero_pd());
}

}  // namespace avx512

namespace avx2 {

// Up to four values of the segment from position i on, in the low lanes,
// 0.0 in the others; a segment with nothing left reads nothing and forms no
// pointer past its end.
PROXKIT_TARGET_AVX2 inline __m256d values_from(const double* vect, Segment segment, std::size_t i) {
  const std::size_t length = segment.end - segment.begin, left = length > i ? length - i : 0;
  return _mm256_maskload_pd(vect + segment.begin + (left > 0 ? i : 0), tail_mask(left < 4 ? left : 4));
}

// The norms of a full batch as two registers of four lanes, segment j of the
// batch in lane j % 4 of half j / 4.
PROXKIT_TARGET_AVX2 inline void batch_norms(const double* vect, const Segment* batch, double* norms) {
  std::size_t shortest = batch[0].end - batch[0].begin, longest = shortest;
  for (int j = 1; j < 8; ++j) {
    const std::size_t length = batch[j].end - batch[j].begin;
    shortest = length < shortest ? length : shortest;
    longest = length > longest ? length : longest;
  }
  __m256d squares[2] = {_mm256_setzero_pd(), _mm256_setzero_pd()};
  std::size_t i = 0;
  for (; i + 4 <= shortest; i += 4)
    for (int h = 0; h < 2; ++h) {
      __m256d r[4];
      for (int j = 0; j < 4; ++j) r[j] = _mm256_loadu_pd(vect + batch[4 * h + j].begin + i);
      transpose(r);
      for (int t = 0; t < 4; ++t) squares[h] = _mm256_add_pd(squares[h], _mm256_mul_pd(r[t], r[t]));
    }
  if (longest - i <= detail::rest_limit) {
    __m256i lengths[2];
    for (int h = 0; h < 2; ++h) {
      const Segment* s = batch + 4 * h;
      // Lengths and positions stay below 2^63: the signed comparison holds.
      lengths[h] = _mm256_set_epi64x(static_cast<long long>(s[3].end - s[3].begin), static_cast<long long>(s[2].end - s[2].begin),
                                     static_cast<long long>(s[1].end - s[1].begin), static_cast<long long>(s[0].end - s[0].begin));
    }
    for (; i < longest; i += 4) {
      for (int h = 0; h < 2; ++h) {
        const Segment* quarter = batch + 4 * h;
        __m256d r[4];
        for (int j = 0; j < 4; ++j) r[j] = values_from(vect, quarter[j], i);
        transpose(r);
        const std::size_t steps = longest - i < 4 ? longest - i : 4;
        for (std::size_t t = 0; t < steps; ++t) {
          // A finished lane keeps its sum as it is.
          const __m256d live = _mm256_castsi256_pd(_mm256_cmpgt_epi64(lengths[h], _mm256_set1_epi64x(static_cast<long long>(i + t))));
          squares[h] = _mm256_blendv_pd(squares[h], _mm256_add_pd(squares[h], _mm256_mul_pd(r[t], r[t])), live);
        }
      }
    }
    for (int h = 0; h < 2; ++h) _mm256_storeu_pd(norms + 4 * h, _mm256_sqrt_pd(squares[h]));
  } else {
    for (int h = 0; h < 2; ++h) _mm256_storeu_pd(norms + 4 * h, squares[h]);
    for (int j = 0; j < 8; ++j) norms[j] = detail::squares_from(vect, batch[j].begin + i, batch[j].end, norms[j]);
    for (int h = 0; h < 2; ++h) _mm256_storeu_pd(norms + 4 * h, _mm256_sqrt_pd(_mm256_loadu_pd(norms + 4 * h)));
  }
}

// Calls visit(Segment, norm) for every segment in table order, as
// for_each_segment_norm does.  The ranges come from segment_range itself:
// AVX2 has no conversion from double to 64-bit integers.
template <class Visit>
PROXKIT_TARGET_AVX2 void for_each_segment_norm(const double* vect, std::size_t n, SegmentTable table, Visit& visit) {
  const std::size_t segments = table.count > 1 ? table.count - 1 : 0;
  std::size_t k = 0;
  for (; k + 8 <= segments; k += 8) {
    Segment batch[8];
    double norms[8];
    for (int j = 0; j < 8; ++j) batch[j] = segment_range(table.bounds[k + j], table.bounds[k + j + 1], n);
    batch_norms(vect, batch, norms);
    for (int j = 0; j < 8; ++j) detail::visit_with_norm(visit, vect, batch[j], norms[j]);
  }
  detail::visit_rest(vect, n, table, k, visit);
}

// The element-wise passes over one segment, four at a time; the last few
// elements one by one, as a masked store runs in microcode on AMD
// processors.
PROXKIT_TARGET_AVX2 inline void scale(const double* from, double* to, std::size_t count, double factor) {
  const __m256d f = _mm256_set1_pd(factor);
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) _mm256_storeu_pd(to + i, _mm256_mul_pd(f, _mm256_loadu_pd(from + i)));
  for (; i < count; ++i) to[i] = factor * from[i];
}

PROXKIT_TARGET_AVX2 inline void divide(const double* from, double* to, std::size_t count, double divisor) {
  const __m256d d = _mm256_set1_pd(divisor);
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) _mm256_storeu_pd(to + i, _mm256_div_pd(_mm256_loadu_pd(from + i), d));
  for (; i < count; ++i) to[i] = from[i] / divisor;
}

PROXKIT_TARGET_AVX2 inline void zero(double* to, std::size_t count) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) _mm256_storeu_pd(to + i, _mm256_setzero_pd());
  for (; i < count; ++i) to[i] = 0.0;
}

}  // namespace avx2

}  // namespace proxkit

#endif  // PROXKIT_WIDE_PATHS

#endif
