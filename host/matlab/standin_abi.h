/* The stand-in for MATLAB's host libraries, seen from the smoke-test driver.
 *
 * libmx and libmex are built under the host's own library names (libmx.dll
 * and libmex.dll on Windows, libmx.so and libmex.so on Linux) and export the
 * host operations under MATLAB's names and symbol versions, so that the
 * plug-ins built for MATLAB load and run against them unchanged.  Besides
 * those, they export the few calls below with which the driver builds input
 * arrays, calls a plug-in and reads what the call did. */
#ifndef PROXKIT_STANDIN_ABI_H
#define PROXKIT_STANDIN_ABI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The host libraries export exactly what they mark with STANDIN_API. */
#if defined(_WIN32) && defined(STANDIN_BUILDING_HOST)
#define STANDIN_API __declspec(dllexport)
#else
#define STANDIN_API
#endif

typedef struct mxArray_tag mxArray;
typedef void (*standin_entry)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

enum standin_kind {
  STANDIN_DOUBLE, /* full real double, m*n values */
  STANDIN_SPARSE, /* sparse real double, `count` stored values */
  STANDIN_SINGLE, /* full real single, m*n values converted to float */
  STANDIN_CLAIMED /* full real double that claims m*n elements but stores
                     only `count`: a vector too long to build, whose storage
                     the plug-in must refuse before reading past `count` */
};

/* libmx: the MEX API whose operations it provides, as a plug-in states the
 * one it calls through mexfilerequiredapiversion: 0x07300000, the
 * large-array interface with separate real and imaginary storage. */
STANDIN_API unsigned int standin_array_api(void);
/* libmx: an array of the given kind holding `count` values (the rest 0).
 * Arrays live until standin_release_all(). */
STANDIN_API mxArray* standin_array(enum standin_kind kind, size_t m, size_t n, const double* values, size_t count);
STANDIN_API size_t standin_rows(const mxArray* a);
STANDIN_API size_t standin_cols(const mxArray* a);
STANDIN_API enum standin_kind standin_kind_of(const mxArray* a);
/* The doubles the array stores (its stored values when sparse); none when
 * it is single. */
STANDIN_API const double* standin_values(const mxArray* a, size_t* count);
/* The floats a single array stores; none when it is double. */
STANDIN_API const float* standin_singles(const mxArray* a, size_t* count);
/* Arrays created by the plug-in since the last standin_release_all(). */
STANDIN_API int standin_created(void);
STANDIN_API void standin_release_all(void);

/* libmex: calls a plug-in's entry point; returns 1 when the plug-in raised an
 * error through mexErrMsgTxt (which never returns into the plug-in), else 0. */
STANDIN_API int standin_call(standin_entry entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
/* The text of the last raised error, and all that the last call printed. */
STANDIN_API const char* standin_error(void);
STANDIN_API const char* standin_printed(void);

#ifdef __cplusplus
}
#endif

#endif
