/* The MATLAB host's MEX interface, as far as proxkit's plug-ins use it.
 *
 * Declarations of the host operations that the kernels call, under the
 * names and signatures of MATLAB's documented MEX API, for the plug-ins that
 * MATLAB itself loads (.mexw64, .mexw32, .mexglx, .mexa64, .mexmaci64,
 * .mexmaca64).  Every plug-in is built on the host's large-array interface,
 * the one MATLAB's own mex builds by default (mex -R2017b): mwSize and
 * mwIndex as wide as a pointer, and the operations whose dimensions changed
 * width in MATLAB 7.3 under the suffix _730, unversioned, as every MATLAB of
 * R2017b and later exports them.  Only the 32-bit Linux MATLAB (.mexglx,
 * last released with R2012a) exported them under their plain names, bound to
 * the libmx symbol version v7.3, the form of the plug-ins its own mex made;
 * a .mexa64 asking for that version would not load in today's MATLAB.  On
 * the 32-bit platforms a pointer, and so every dimension, is 32 bits wide.
 *
 * Only the operations listed here exist for the plug-ins: the import
 * libraries of the Windows builds (libmx.def, libmex.def beside this file)
 * list exactly the same ones. */
#ifndef PROXKIT_MATLAB_MEX_H
#define PROXKIT_MATLAB_MEX_H

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
typedef ptrdiff_t mwSignedIndex;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

/* The classes in MATLAB's order, which is their values in the interface. */
typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS,
  mxSTRUCT_CLASS,
  mxLOGICAL_CLASS,
  mxCHAR_CLASS,
  mxVOID_CLASS,
  mxDOUBLE_CLASS,
  mxSINGLE_CLASS
} mxClassID;

/* Operations whose signature is the same on both interfaces. */
double* mxGetPr(const mxArray* pm);
void* mxGetData(const mxArray* pm);
size_t mxGetNumberOfElements(const mxArray* pm);
size_t mxGetM(const mxArray* pm);
size_t mxGetN(const mxArray* pm);
bool mxIsDouble(const mxArray* pm);
bool mxIsSingle(const mxArray* pm);
bool mxIsComplex(const mxArray* pm);
bool mxIsSparse(const mxArray* pm);

void mexErrMsgTxt(const char* message);
int mexPrintf(const char* format, ...);

/* Operations with an mwSize in their signature: PROXKIT_MX_DIMS(name)
 * names the large-array entry point of this platform's MATLAB. */
#if defined(__linux__) && defined(__i386__)
#define PROXKIT_MX_DIMS(name) name
__asm__(".symver mxCreateDoubleMatrix,mxCreateDoubleMatrix@v7.3");
__asm__(".symver mxCreateNumericMatrix,mxCreateNumericMatrix@v7.3");
__asm__(".symver mxGetJc,mxGetJc@v7.3");
#else
#define PROXKIT_MX_DIMS(name) name##_730
#endif

#define mxCreateDoubleMatrix PROXKIT_MX_DIMS(mxCreateDoubleMatrix)
#define mxCreateNumericMatrix PROXKIT_MX_DIMS(mxCreateNumericMatrix)
#define mxGetJc PROXKIT_MX_DIMS(mxGetJc)
mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity complexity);
mxArray* mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID classid, mxComplexity complexity);
mwIndex* mxGetJc(const mxArray* pm);

/* The entry points a plug-in exports, and nothing else: mexFunction, and on
 * the 64-bit platforms mexfilerequiredapiversion (api_version.cpp beside
 * this file), through which MATLAB learns the release and the API a file
 * was built for when it loads it. */
void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
void mexfilerequiredapiversion(unsigned int* built_by_release, unsigned int* target_api_version);

#ifdef __cplusplus
}
#endif

#endif
