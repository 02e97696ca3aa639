/* The stand-in host's view of the MEX interface.
 *
 * Just the host operations that proxkit's plug-ins call, with the names and
 * signatures of the large-array MEX API (64-bit unsigned sizes).  Plug-ins
 * built against this header link against the stand-in host library, which
 * tests, fuzzers and benchmarks use to call the real plug-ins without MATLAB
 * or Octave. */
#ifndef PROXKIT_STANDIN_MEX_H
#define PROXKIT_STANDIN_MEX_H

#include <stddef.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct mxArray_tag mxArray;
typedef size_t mwSize;
typedef size_t mwIndex;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS,
  mxSTRUCT_CLASS,
  mxLOGICAL_CLASS,
  mxCHAR_CLASS,
  mxVOID_CLASS,
  mxDOUBLE_CLASS,
  mxSINGLE_CLASS,
  mxINT8_CLASS,
  mxUINT8_CLASS,
  mxINT16_CLASS,
  mxUINT16_CLASS,
  mxINT32_CLASS,
  mxUINT32_CLASS,
  mxINT64_CLASS,
  mxUINT64_CLASS,
  mxFUNCTION_CLASS
} mxClassID;

double* mxGetPr(const mxArray* a);
void* mxGetData(const mxArray* a);
size_t mxGetNumberOfElements(const mxArray* a);
size_t mxGetM(const mxArray* a);
size_t mxGetN(const mxArray* a);
double mxGetScalar(const mxArray* a);
mwSize mxGetNzmax(const mxArray* a);
mwIndex* mxGetJc(const mxArray* a);
mxClassID mxGetClassID(const mxArray* a);
bool mxIsDouble(const mxArray* a);
bool mxIsSingle(const mxArray* a);
bool mxIsComplex(const mxArray* a);
bool mxIsSparse(const mxArray* a);
mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity complexity);
mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID id, mxComplexity complexity);

/* The entry point every plug-in exports. */
void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

void mexErrMsgTxt(const char* message);
int mexPrintf(const char* format, ...);

#ifdef __cplusplus
}
#endif

#endif
