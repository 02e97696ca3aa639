// The proxkit kernels called from C++ on plain arrays: the same functions,
// and the same bits, as the plug-ins that MATLAB and Octave call.  The
// caller owns every array and passes its length; results that the plug-ins
// create zero-filled are passed in as zeros.
#include <proxkit/proxkit.h>

#include <cstdint>
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
  std::printf("proxkit %s\n", PROXKIT_VERSION);

  // A vector of 4 coefficients in two groups, (3, 4) and (0.3, 0.4), given
  // by the segment table of accumulated lengths 0, 2, 4.
  const std::vector<double> x{3, 4, 0.3, 0.4};
  const std::vector<double> table{0, 2, 4};
  const proxkit::SegmentTable groups{table.data(), table.size()};
  const std::size_t n = x.size();

  std::printf("grpnorm: %.17g\n", proxkit::grpnorm(x.data(), n, groups));
  std::vector<double> out(n);
  proxkit::grpclip(x.data(), n, groups, out.data());
  print("grpclip", out);
  out.assign(n, 0.0);
  proxkit::grpshrink(x.data(), n, groups, 1.0, out.data());
  print("grpshrink (rho 1)", out);
  out.assign(n, 0.0);
  proxkit::grpsign(x.data(), n, groups, 0.1, out.data());
  print("grpsign (rho 0.1)", out);

  // U = [1 2; 3 4] passed transposed (column-major, so U' holds 1 2 3 4)
  // and V = [5 7; 6 8]: (U*V)(1,2) and (U*V)(2,1).  The positions must lie
  // inside the factors; pairdot_entries_in_range checks them as the plug-in
  // does.
  const std::vector<double> Ut{1, 2, 3, 4}, V{5, 6, 7, 8};
  const std::vector<double> iR{1, 2}, iC{2, 1};
  const std::size_t r = 2;
  std::vector<double> values(iR.size());
  if (proxkit::pairdot_entries_in_range(iR.data(), iR.size(), r, Ut.size()) &&
      proxkit::pairdot_entries_in_range(iC.data(), iC.size(), r, V.size()))
    proxkit::pairdot(Ut.data(), V.data(), r, iR.data(), iC.data(), iR.size(), values.data());
  print("pairdot", values);

  // The first stored values of an array overwritten in place.
  std::vector<double> stored{1, 3, 2};
  const std::vector<double> replacement{10, 20};
  proxkit::nzassign(stored.data(), replacement.data(), replacement.size());
  print("nzassign", stored);

  // The rows (3, 1, -2) and (0.5, 0, -0.5) of a 2-by-3 column-major matrix
  // projected onto the l1 ball of radius 2.
  const std::int32_t rows = 2, cols = 3;
  const std::vector<double> X{3, 0.5, 1, 0, -2, -0.5};
  std::vector<double> P(rows * cols), theta(rows), iterations(rows);
  proxkit::rowball(P.data(), theta.data(), iterations.data(), X.data(), rows, cols, 2.0);
  print("rowball P", P);
  print("rowball theta", theta);
  print("rowball iterations", iterations);
  return 0;
}
