#ifndef PROXKIT_ROWBALL_H
#define PROXKIT_ROWBALL_H

#include <cstdint>

namespace proxkit {

// Projects every row of the m-by-n column-major matrix X onto the l1 ball of
// radius t, into the zero-filled m-by-n matrix P, and stores each row's
// threshold and count of threshold iterations into theta[i] and
// iterations[i] (m values each; either may be null to leave it out).  P is
// the only scratch storage besides a few small arrays on the stack: a row's
// active values lie in the rows of P that are projected with it, until its
// projection overwrites them.
//
// Runs on the instruction set that chosen_instruction_set() names
// (core/instruction_set.h); every set gives the same bits.
//
// The threshold loop runs while |R - h*theta| > tolerance, for the active
// set's sum R less t and count h.  It also ends after an iteration that keeps
// every active value (the next one would repeat it exactly, forever) or that
// keeps none (the next one would divide by an empty count).  On every row
// where the plain loop ends by its test with a non-empty active set, both
// give the same results bit for bit.  Where rounding empties the active set,
// the plain loop ends too, but only after dividing by that empty count: theta
// -Inf and a row of +Inf (seven values of 1996266067028.0457 and three of
// 1996266067028.0474 with t = 1e-6, for one).  This function ends such a row
// by design with the last finite theta, which makes the row zeros.
//
// Tolerance 0 is the exact rule: the loop runs until an iteration keeps every
// active value (or its residue is exactly 0), so theta is the exact threshold
// of the projection up to the rounding of the last active set's sum and of
// one division.  Every iteration but the last drops a value, so a row takes
// at most n iterations.  The default 1e-8 is the documented absolute
// tolerance: the bits callers have always had.  It is absolute, so it ends
// the loop early on rows of small magnitude, and on rows whose threshold is
// within 1e-8 of a value ([3 1.99999999] with t = 1 gives theta 1.999999995,
// the exact rule 2).  The caller refuses a negative or NaN tolerance.
//
// Returns false, computing nothing, when t is negative (a NaN t is not).
bool rowball(double* P, double* theta, double* iterations, const double* X, std::int32_t m, std::int32_t n,
             double t, double tolerance = 1e-8);

// The same loop in IEEE single, bit for bit as the plain single-precision
// loop: sums from 0.0f in ascending column order, theta = R / h with the
// count h rounded to single (exact up to 2^24 columns, correctly rounded
// beyond, as is the count of iterations returned), nothing contracted.  An absolute 1e-8 means nothing uniform
// in single: on rows of magnitude near 1 it is below single's spacing
// (1.2e-7), so only a residue of exactly 0 ends the loop by its test, and on
// rows of small magnitude it ends the loop early, as in double.  Single's
// default is the exact rule, tolerance 0, which ends every row in at most n
// iterations with the threshold as exact as single's arithmetic allows: it
// costs, beyond the iterations that find the final active set, at most one
// pass over that set.
// Rows of up to 2^24 columns run on float lanes, which count exactly that
// far; longer rows run a plain loop with integer counts: the plain loop's
// bits for every n up to 2^31 - 1.  A row whose l1 norm overflows single
// (beyond 3.4e38) becomes zeros with theta +Inf, as in the plain loop.
bool rowball(float* P, float* theta, float* iterations, const float* X, std::int32_t m, std::int32_t n, float t,
             float tolerance = 0.0f);

}  // namespace proxkit

#endif
