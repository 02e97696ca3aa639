/* The MATLAB host's MEX interface, as far as proxkit's plug-ins use it.
 *
 * Declarations of the host operations that the kernels call, under the
 * names and signatures of MATLAB's documented MEX API, for the plug-ins that
 * MATLAB itself loads (.mexw64, .mexw32, .mexglx, .mexa64, .mexmaci64,
 * .mexmaca64).  Each plug-in is built on one of the host's two array
 * interfaces, chosen the way MATLAB's own build does it:
 *
 *  - MX_COMPAT_32 defined (mex -compatibleArrayDims): 32-bit dimensions.
 *    mwSize and mwIndex are int, and the operations whose dimensions changed
 *    width carry the suffix _700 (mxCreateDoubleMatrix_700).
 *  - otherwise (mex -largeArrayDims): dimensions as wide as a pointer.
 *    mwSize and mwIndex are size_t, and those operations carry the suffix
 *    _730, unversioned, as every MATLAB of R2017b and later exports them
 *    (Linux x86-64 included).  Only the 32-bit Linux MATLAB (.mexglx, last
 *    released with R2012a) exported them under their plain names, bound to
 *    the libmx symbol version v7.3; a .mexa64 asking for that version would
 *    not load in today's MATLAB.
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

#ifdef MX_COMPAT_32
typedef int mwSize;
typedef int mwIndex;
typedef int mwSignedIndex;
#else
typedef size_t mwSize;
typedef size_t mwIndex;
typedef ptrdiff_t mwSignedIndex;
#endif

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

/* Operations whose signature is the same on both interfaces. */
double* mxGetPr(const mxArray* pm);
size_t mxGetNumberOfElements(const mxArray* pm);
size_t mxGetM(const mxArray* pm);
size_t mxGetN(const mxArray* pm);
bool mxIsDouble(const mxArray* pm);
bool mxIsComplex(const mxArray* pm);
bool mxIsSparse(const mxArray* pm);

void mexErrMsgTxt(const char* message);
int mexPrintf(const char* format, ...);

/* Operations with an mwSize in their signature: one entry point per
 * interface.  PROXKIT_MX_DIMS(name) names the one of this build. */
#if defined(MX_COMPAT_32)
#define PROXKIT_MX_DIMS(name) name##_700
#elif defined(__linux__) && defined(__i386__)
#define PROXKIT_MX_DIMS(name) name
__asm__(".symver mxCreateDoubleMatrix,mxCreateDoubleMatrix@v7.3");
__asm__(".symver mxGetJc,mxGetJc@v7.3");
#else
#define PROXKIT_MX_DIMS(name) name##_730
#endif

#define mxCreateDoubleMatrix PROXKIT_MX_DIMS(mxCreateDoubleMatrix)
#define mxGetJc PROXKIT_MX_DIMS(mxGetJc)
mxArray* mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity complexity);
mwIndex* mxGetJc(const mxArray* pm);

/* The entry point that every plug-in exports, and nothing else. */
void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

#ifdef __cplusplus
}
#endif

#endif
