// The release and the MEX API that MATLAB reads from a 64-bit plug-in as it
// loads it, the values MATLAB's own mex writes for the build this one
// matches: the large-array interface with separate real and imaginary
// storage (mex -R2017b, API 0x07300000), as built by R2017b (0x2017b), the
// oldest release the 64-bit plug-ins support.  A MATLAB loads files that
// older releases built, so the oldest release is the value every supported
// MATLAB accepts, Apple silicon's (R2023b and later) included.  Files for
// the 32-bit platforms state none: their last releases (R2015b, R2012a)
// predate the export.
#include "mex.h"

void mexfilerequiredapiversion(unsigned int* built_by_release, unsigned int* target_api_version) {
  *built_by_release = 0x2017b;
  *target_api_version = 0x07300000;
}
