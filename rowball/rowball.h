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
// The threshold loop, with tolerance 1e-8, runs while |R - h*theta| > 1e-8.
// It also ends after an iteration that keeps every active value (the next
// one would repeat it exactly, forever) or that keeps none (the next one
// would divide by an empty count).  On every row where the plain loop ends by
// its test with a non-empty active set, both give the same results bit for
// bit.  Where rounding empties the active set, the plain loop ends too, but
// only after dividing by that empty count: theta -Inf and a row of +Inf
// (seven values of 1996266067028.0457 and three of 1996266067028.0474 with
// t = 1e-6, for one).  This function ends such a row by design with the last
// finite theta, which makes the row zeros.
//
// Returns false, computing nothing, when t is negative (a NaN t is not).
bool rowball(double* P, double* theta, double* iterations, const double* X, std::int32_t m, std::int32_t n,
             double t);

}  // namespace proxkit

#endif
