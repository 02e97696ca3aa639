// Writes the seed corpora: for every kernel, a few valid calls (its worked
// examples and edge cases) and the hostile calls each of its checks exists
// for, one file per call, as <directory>/<kernel>/<name>.
//
//   fuzz_seeds fuzz/corpus
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/call_format.h"

namespace {

using proxkit::fuzz::CallWriter;
namespace fs = std::filesystem;

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

struct Seed {
  const char* kernel;
  const char* name;
  CallWriter call;
};

// Segment kernels share their hostile tables; `extra` is rho for the
// three-input ones.
void segment_seeds(std::vector<Seed>& seeds, const char* kernel, const std::vector<double>& extra) {
  const int nrhs = extra.empty() ? 2 : 3;
  const auto with = [&](CallWriter w) {
    if (!extra.empty()) w.row(extra);
    return w;
  };
  const std::vector<double> v = {3, 4, 0, 5, 12};
  seeds.push_back({kernel, "two-segments", with(CallWriter(nrhs, 1).row(v).row({0, 2, 5}))});
  seeds.push_back({kernel, "column-vector", with(CallWriter(nrhs, 1).column(v).column({0, 2, 5}))});
  seeds.push_back({kernel, "matrix-vector", with(CallWriter(nrhs, 1).full(2, 2, {3, 4, 6, 8}).row({0, 2, 4}))});
  seeds.push_back({kernel, "single-entry-table", with(CallWriter(nrhs, 1).row(v).scalar(3))});
  seeds.push_back({kernel, "empty-table", with(CallWriter(nrhs, 1).row(v).full(0, 0, {}))});
  seeds.push_back({kernel, "empty-vector", with(CallWriter(nrhs, 1).full(0, 0, {}).row({0, 0}))});
  seeds.push_back({kernel, "empty-first-segment", with(CallWriter(nrhs, 1).row({3, 4}).row({0, 0, 2}))});
  seeds.push_back({kernel, "overlapping-segments", with(CallWriter(nrhs, 1).row(v).row({0, 2.5, 5}))});
  seeds.push_back({kernel, "last-entry-below-length", with(CallWriter(nrhs, 1).row(v).row({0, 2, 4.5}))});
  seeds.push_back({kernel, "last-entry-above-length", with(CallWriter(nrhs, 1).row(v).row({0, 2, 5.5}))});
  seeds.push_back({kernel, "last-entry-nan", with(CallWriter(nrhs, 1).row(v).row({0, 2, nan}))});
  seeds.push_back({kernel, "interior-entry-beyond", with(CallWriter(nrhs, 1).row(v).row({3, 1e9, 2, 5}))});
  seeds.push_back({kernel, "starts-naming-no-position",
                   with(CallWriter(nrhs, 1).row(v).row({nan, 5, -7, 5, inf, 5, 1e300, 5, -inf, 5}))});
  const double far = 2305843009213693952.0;  // 2^61: an offset that wraps to the vector's address
  seeds.push_back({kernel, "starts-far-past-the-vector",
                   with(CallWriter(nrhs, 1).row(v).row({9.2e18, 1, far, 2, 2 * far, 3, 1e18, 4, 6, 5}))});
  seeds.push_back({kernel, "extreme-elements",
                   with(CallWriter(nrhs, 1).row({1e200, -0.0, nan, inf, 5e-324, -1}).row({0, 2, 4, 6}))});
  // Two batches of eight segments of unequal lengths: the first all long
  // enough for the transposed loads, the second short, with one segment
  // overlapping its neighbour.
  std::vector<double> batches = {0};
  for (double length : {9, 12, 8, 15, 10, 8, 11, 9, 3, 1, 5, 2, 6, 4, 1, 3}) batches.push_back(batches.back() + length);
  batches[12] -= 2.5;
  std::vector<double> values(static_cast<std::size_t>(batches.back()));
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i % 7) - 2.75;
  seeds.push_back({kernel, "batches-of-unequal-segments", with(CallWriter(nrhs, 1).row(values).row(batches))});
  seeds.push_back({kernel, "too-many-results", with(CallWriter(nrhs, 2).row(v).row({0, 5}))});
  seeds.push_back({kernel, "one-input", CallWriter(1, 1).row(v)});
  seeds.push_back({kernel, "no-input", CallWriter(0, 0)});
  seeds.push_back({kernel, "single-vector", with(CallWriter(nrhs, 1).of_kind(proxkit::fuzz::kSingle, 1, 5, v).row({0, 5}))});
  seeds.push_back({kernel, "single-table",
                   with(CallWriter(nrhs, 1).row(v).of_kind(proxkit::fuzz::kSingle, 1, 2, {0, 5}))});
  seeds.push_back({kernel, "sparse-table", with(CallWriter(nrhs, 1).row(v).sparse(1, 2, {5}))});
  seeds.push_back({kernel, "integer-table",
                   with(CallWriter(nrhs, 1).row(v).of_kind(proxkit::fuzz::kInteger + 16 * 4, 1, 2, {0, 5}))});
  if (!extra.empty()) {
    seeds.push_back({kernel, "empty-rho", CallWriter(3, 1).row(v).row({0, 2, 5}).full(0, 0, {})});
    seeds.push_back({kernel, "zero-rho", CallWriter(3, 1).row({0, 0, 3, 4}).row({0, 2, 4}).scalar(0)});
    seeds.push_back({kernel, "negative-rho", CallWriter(3, 1).row({0, 0, 3, 4}).row({0, 2, 4}).scalar(-1)});
    seeds.push_back({kernel, "nan-rho", CallWriter(3, 1).row(v).row({0, 2, 5}).scalar(nan)});
    seeds.push_back({kernel, "single-rho",
                     CallWriter(3, 1).row(v).row({0, 2, 5}).of_kind(proxkit::fuzz::kSingle, 1, 1, {0.7})});
    seeds.push_back({kernel, "complex-rho",
                     CallWriter(3, 1).row(v).row({0, 5}).of_kind(proxkit::fuzz::kComplex, 1, 1, {1})});
  }
}

std::vector<Seed> seeds() {
  std::vector<Seed> s;
  segment_seeds(s, "grpnorm", {});
  segment_seeds(s, "grpclip", {});
  segment_seeds(s, "grpshrink", {1});
  segment_seeds(s, "grpsign", {0.01});

  const auto pairdot = [](std::vector<double> ir, std::vector<double> ic) {
    return CallWriter(4, 1).full(2, 2, {1, 2, 3, 4}).full(2, 2, {5, 6, 7, 8}).row(ir).row(ic);
  };
  s.push_back({"pairdot", "two-products", pairdot({1, 2}, {2, 1})});
  s.push_back({"pairdot", "no-position", pairdot({}, {})});
  s.push_back({"pairdot", "row-and-column-positions", CallWriter(4, 1).full(2, 2, {1, 2, 3, 4})
                                                          .full(2, 2, {5, 6, 7, 8}).row({1, 2}).column({2, 1})});
  s.push_back({"pairdot", "rank-zero", CallWriter(4, 1).full(0, 2, {}).full(0, 3, {}).row({1, 2}).row({3, 1})});
  s.push_back({"pairdot", "rank-above-dimension",
               CallWriter(4, 1).full(3, 2, {1, 2, 3, 4, 5, 6}).full(3, 3, {}).row({1}).row({1})});
  s.push_back({"pairdot", "different-ranks", CallWriter(4, 1).full(2, 2, {1, 2, 3, 4}).full(3, 3, {}).row({1}).row({1})});
  s.push_back({"pairdot", "different-lengths", pairdot({1, 2}, {1})});
  s.push_back({"pairdot", "fractional-position",
               CallWriter(4, 1).full(4, 2, {1, 2, 3, 4, 5, 6, 7, 8}).full(4, 4, {}).row({1.5}).row({1})});
  s.push_back({"pairdot", "positions-out-of-range", pairdot({0, 3, -1, 1, 1, 1e300}, {1, 1, 1, 0, 3, 1})});
  s.push_back({"pairdot", "positions-not-finite", pairdot({nan, 1, inf, -inf}, {1, nan, 1, 1})});
  s.push_back({"pairdot", "last-position-fraction-beyond", pairdot({2.75}, {2.5})});
  // Enough positions for two full groups of eight and a rest, all inside the
  // factors but for one in the refused variant.
  std::vector<double> rows_of_u, columns_of_v;
  for (int k = 0; k < 19; ++k) {
    rows_of_u.push_back(1 + k % 4);
    columns_of_v.push_back(1 + (k * 3) % 5);
  }
  const auto factors = [](int nrhs) {
    return CallWriter(nrhs, 1).full(3, 4, {1, -2, 3, 0.5, 4, -1, 2, 2, 7, -3, 1, 1}).full(3, 5, {2, 1, 0, -1, 3, 5, 4, 2, 1,
                                                                                               0.25, -4, 6, 1, 1, 2});
  };
  s.push_back({"pairdot", "groups-of-eight", factors(4).row(rows_of_u).row(columns_of_v)});
  columns_of_v[17] = 6;
  s.push_back({"pairdot", "groups-of-eight-one-outside", factors(4).row(rows_of_u).row(columns_of_v)});
  s.push_back({"pairdot", "too-many-results", CallWriter(4, 2).full(2, 2, {1, 2, 3, 4}).full(2, 2, {}).row({1}).row({1})});
  s.push_back({"pairdot", "three-inputs", CallWriter(3, 1).full(2, 2, {1, 2, 3, 4}).full(2, 2, {}).row({1})});
  s.push_back({"pairdot", "single-factor",
               CallWriter(4, 1).of_kind(proxkit::fuzz::kSingle, 2, 2, {1, 2, 3, 4}).full(2, 2, {}).row({1}).row({1})});
  s.push_back({"pairdot", "single-factors",
               CallWriter(4, 1).of_kind(proxkit::fuzz::kSingle, 2, 2, {1, 2, 3, 4})
                   .of_kind(proxkit::fuzz::kSingle, 2, 2, {5, 6, 7, 8}).row({1, 2}).row({2, 1})});
  s.push_back({"pairdot", "sparse-positions",
               CallWriter(4, 1).full(2, 2, {1, 2, 3, 4}).full(2, 2, {}).sparse(1, 2, {1}).sparse(1, 2, {1})});

  s.push_back({"nzassign", "all-stored-values", CallWriter(2, 0).sparse(3, 3, {1, 2, 3}).row({7, 8, 9})});
  s.push_back({"nzassign", "shorter-v", CallWriter(2, 0).sparse(3, 3, {1, 2, 3}).row({-0.0})});
  s.push_back({"nzassign", "empty-v", CallWriter(2, 0).sparse(3, 3, {1, 2, 3}).full(0, 0, {})});
  s.push_back({"nzassign", "zero-written", CallWriter(2, 0).sparse(2, 2, {1, 2}).row({0, nan})});
  s.push_back({"nzassign", "v-longer-than-storage", CallWriter(2, 0).sparse(3, 3, {1, 2}).row({7, 8, 9, 10})});
  s.push_back({"nzassign", "no-storage", CallWriter(2, 0).sparse(2, 2, {}).row({1})});
  s.push_back({"nzassign", "full-destination", CallWriter(2, 0).full(2, 2, {1, 2, 3, 4}).column({5, 6, 7, 8, 9})});
  s.push_back({"nzassign", "a-result-requested", CallWriter(2, 1).sparse(2, 2, {1}).row({5})});
  s.push_back({"nzassign", "one-input", CallWriter(1, 0).sparse(2, 2, {1})});
  s.push_back({"nzassign", "sparse-v", CallWriter(2, 0).sparse(3, 3, {1, 2, 3}).sparse(3, 3, {4})});
  s.push_back({"nzassign", "single-destination", CallWriter(2, 0).of_kind(proxkit::fuzz::kSingle, 2, 2, {1, 2, 3, 4})
                                                      .of_kind(proxkit::fuzz::kSingle, 1, 2, {-0.0, nan})});
  s.push_back({"nzassign", "double-v-single-destination",
               CallWriter(2, 0).of_kind(proxkit::fuzz::kSingle, 2, 2, {1, 2, 3, 4}).row({5})});
  s.push_back({"nzassign", "integer-v",
               CallWriter(2, 0).sparse(2, 2, {1, 2}).of_kind(proxkit::fuzz::kInteger, 1, 2, {4, 5})});

  const auto rowball = [](std::size_t rows, std::size_t cols, std::vector<double> x, double m, double n, double t,
                          int nlhs = 3) { return CallWriter(4, nlhs).full(rows, cols, x).scalar(m).scalar(n).scalar(t); };
  s.push_back({"rowball", "two-iterations", rowball(1, 3, {3, 1, -2}, 1, 3, 2)});
  s.push_back({"rowball", "zero-radius", rowball(2, 3, {3, 0, 1, 0, 2, 0}, 2, 3, 0)});
  s.push_back({"rowball", "norm-equal-to-radius", rowball(1, 3, {1, -1, 1}, 1, 3, 3)});
  s.push_back({"rowball", "negative-radius", rowball(1, 2, {1, 2}, 1, 2, -1)});
  s.push_back({"rowball", "nan-radius", rowball(1, 3, {-0.0, nan, 2}, 1, 3, nan)});
  s.push_back({"rowball", "no-row", rowball(0, 0, {}, 0, 3, 1)});
  s.push_back({"rowball", "no-column", rowball(0, 0, {}, 2, 0, 1)});
  s.push_back({"rowball", "infinite-element", rowball(1, 3, {inf, 1, 2}, 1, 3, 1)});
  s.push_back({"rowball", "large-magnitudes", rowball(1, 4, {1e10, 3e9, 1e-3, 7e9}, 1, 4, 1)});
  s.push_back({"rowball", "x-shorter-than-m-n", rowball(1, 3, {3, 1, 2}, 2, 3, 1)});
  s.push_back({"rowball", "huge-dimensions", rowball(1, 1, {1}, 1e10, 1e10, 1)});
  s.push_back({"rowball", "negative-dimension", rowball(1, 1, {1}, -1, 1, 1)});
  s.push_back({"rowball", "fractional-dimensions", rowball(2, 2, {1, 2, 3, 4}, 2.9, 2.5, 1)});
  // Rows enough for full blocks of 32 rows (one, then two and a rest).
  const auto rows_of_values = [](std::size_t m, std::size_t n) {
    std::vector<double> x(m * n);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>((i * 7) % 11) - 5;
    return x;
  };
  s.push_back({"rowball", "one-full-block", rowball(40, 3, rows_of_values(40, 3), 40, 3, 1)});
  s.push_back({"rowball", "two-full-blocks", rowball(70, 2, rows_of_values(70, 2), 70, 2, 0.5)});
  s.push_back({"rowball", "one-result-slot", rowball(1, 3, {3, 1, -2}, 1, 3, 2, 1)});
  s.push_back({"rowball", "no-result-requested", rowball(1, 3, {3, 1, -2}, 1, 3, 2, 0)});
  s.push_back({"rowball", "single-rows",
               CallWriter(4, 3).of_kind(proxkit::fuzz::kSingle, 2, 3, {3, 3, 1, 1, -2, 2}).scalar(2).scalar(3).scalar(2)});
  s.push_back({"rowball", "exact-tolerance", CallWriter(5, 3).row({3, 1.99999999}).scalar(1).scalar(2).scalar(1).scalar(0)});
  s.push_back({"rowball", "negative-tolerance", CallWriter(5, 3).row({3, 2}).scalar(1).scalar(2).scalar(1).scalar(-1)});
  s.push_back({"rowball", "three-inputs", CallWriter(3, 3).row({1, 2}).scalar(1).scalar(2)});
  s.push_back({"rowball", "integer-dimension",
               CallWriter(4, 3).row({1, 2}).of_kind(proxkit::fuzz::kInteger, 1, 1, {1}).scalar(2).scalar(1)});
  s.push_back({"rowball", "empty-scalars", CallWriter(4, 3).row({1, 2}).full(0, 0, {}).full(0, 0, {}).full(0, 0, {})});
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
    return 2;
  }
  for (const Seed& seed : seeds()) {
    const fs::path directory = fs::path(argv[1]) / seed.kernel;
    fs::create_directories(directory);
    std::ofstream file(directory / seed.name, std::ios::binary);
    const auto& bytes = seed.call.bytes();
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
      std::fprintf(stderr, "cannot write %s\n", (directory / seed.name).c_str());
      return 1;
    }
  }
  return 0;
}
