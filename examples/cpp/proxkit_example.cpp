// The proxkit kernels called from C++ on plain arrays: the same functions,
// and the same bits, as the plug-ins that MATLAB and Octave call.
#include <proxkit/proxkit.h>

#include <cstdio>
#include <vector>

int main() {
  // A vector of 5 coefficients in two groups, (3, 4) and (0, 5, 12), given
  // by the segment table of accumulated lengths 0, 2, 5.
  const std::vector<double> x{3, 4, 0, 5, 12};
  const std::vector<double> table{0, 2, 5};
  const proxkit::SegmentTable groups{table.data(), table.size()};

  std::printf("proxkit %s\n", PROXKIT_VERSION);
  std::printf("grpnorm: %.17g\n", proxkit::grpnorm(x.data(), x.size(), groups));
  return 0;
}
