// The proxkit kernels called from C++ on plain arrays: the same functions,
// and the same bits, as the plug-ins that MATLAB and Octave call.
#include <proxkit/proxkit.h>

#include <cstdio>
#include <vector>

namespace {

void print(const char* name, const std::vector<double>& values) {
  std::printf("%s:", name);
  for (double value : values) std::printf(" %.17g", value);
  std::printf("\n");
}

}  // namespace

int main() {
  // A vector of 4 coefficients in two groups, (3, 4) and (0.3, 0.4), given
  // by the segment table of accumulated lengths 0, 2, 4.
  const std::vector<double> x{3, 4, 0.3, 0.4};
  const std::vector<double> table{0, 2, 4};
  const proxkit::SegmentTable groups{table.data(), table.size()};
  const std::size_t n = x.size();

  std::printf("proxkit %s\n", PROXKIT_VERSION);
  std::printf("grpnorm: %.17g\n", proxkit::grpnorm(x.data(), n, groups));

  // Results go to arrays of the vector's length that the caller owns;
  // grpshrink and grpsign leave positions in no segment as they find them,
  // so their results start as zeros.
  std::vector<double> out(n);
  proxkit::grpclip(x.data(), n, groups, out.data());
  print("grpclip", out);

  out.assign(n, 0.0);
  proxkit::grpshrink(x.data(), n, groups, 1.0, out.data());
  print("grpshrink (rho 1)", out);

  out.assign(n, 0.0);
  proxkit::grpsign(x.data(), n, groups, 0.1, out.data());
  print("grpsign (rho 0.1)", out);
  return 0;
}
