// A plug-in that calls the large-array interface's operations but states the
// 32-bit-dimension API (0x07000000): the smoke driver must refuse to load it,
// as MATLAB's compatibility check would refuse such a file.
#include "mex.h"

void mexfilerequiredapiversion(unsigned int* built_by_release, unsigned int* target_api_version) {
  *built_by_release = 0x2017b;
  *target_api_version = 0x07000000;
}
