# The two commands a new user needs:
#   make demo   installs what is missing, builds the plug-ins, runs the examples in Octave
#   make test   installs what is missing, builds, runs every test (ends with CTest's summary)
#   make package  builds the Octave package $(BUILD)/proxkit-<version>.tar.gz
#   make dist   builds the MATLAB plug-ins of every platform this machine can build into dist/
#   make release  builds $(BUILD)/release/ (the MATLAB zip, the Octave package, SHA256SUMS) and tests it
#   make test-octaves  builds and tests in chroots of Debian 13 (Octave 9) and sid (the newest)
#   make test-stable  the whole make test in a chroot of Debian 13, Debian's current stable
#               release (not run by .ci/run: with the other two it would outlast CI's limit)

BUILD ?= build
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 180
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# The chroots of make test-octaves; another folder lets clones share them
# (each clone builds in a folder of its own there, one run at a time).
CHROOTS ?= $(BUILD)/chroots
OCTAVE = octave-cli --no-history --no-init-file --quiet

.PHONY: all deps deps-cross build test test-octaves test-stable demo package dist release clean fuzz-build fuzz fuzz-seeds memcheck bench bench-build bench-peers bench-compare

all: build

deps:
	@sh scripts/install-deps.sh

# The cross compilers and wine for the MATLAB plug-ins of other platforms
# and the Arm tests, and zig (for macOS) in $(BUILD)/toolchains.
deps-cross:
	@sh scripts/install-deps.sh cross $(BUILD)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DPROXKIT_FUZZ_DIR=$(abspath $(FUZZ_BUILD))
	cmake --build $(BUILD) -j $(JOBS)

test: deps-cross build fuzz-build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The demo, the Octave tests of both builds and the package, in a chroot of
# each of Debian's later suites, made once and kept in $(CHROOTS).
test-octaves:
	sh scripts/test-octaves.sh "$(CHROOTS)"

# The whole make test in the chroot of Debian's current stable release, so
# that its toolchains' output is met where users meet it.
test-stable:
	sh scripts/test-octaves.sh --make-test "$(CHROOTS)" trixie

demo: build
	$(OCTAVE) --eval "addpath('$(BUILD)/octave', 'examples'); run_examples"

package: build
	@ls $(BUILD)/proxkit-*.tar.gz

dist: deps deps-cross
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) --target dist -j $(JOBS)

# The release: the plug-ins of every platform dist builds, the Octave
# package, and the tests of what was packed (ctest's label release), which
# fail here where the zip is missing or older than the plug-ins.
release: deps-cross build
	cmake --build $(BUILD) --target release -j $(JOBS)
	cd $(BUILD) && PROXKIT_RELEASE=required ctest -L release --no-tests=error --output-on-failure

# The fuzz targets: clang, libFuzzer, AddressSanitizer and UBSan, in a build
# directory of their own.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DPROXKIT_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS, one after the other; what they learn
# accumulates in $(FUZZ_BUILD)/corpus, findings land in $(FUZZ_BUILD)/findings.
# A call may take a minute before it counts as hung: under the sanitizers an
# accepted rowball call for 2^31 - 1 rows of no columns takes seconds.
fuzz: fuzz-build
	@mkdir -p $(FUZZ_BUILD)/findings
	@set -e; for target in $(FUZZ_BUILD)/fuzz/fuzz_*; do \
	  kernel=$${target##*/fuzz_}; [ "$$kernel" = seeds ] && continue; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$kernel; \
	  echo "== $$kernel: $(FUZZ_SECONDS) s"; \
	  $$target -max_total_time=$(FUZZ_SECONDS) -timeout=60 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/findings/$$kernel- \
	    $(FUZZ_BUILD)/corpus/$$kernel fuzz/corpus/$$kernel; \
	done

# Rewrites the committed seed corpora from fuzz/make_seeds.cpp.
fuzz-seeds: fuzz-build
	$(FUZZ_BUILD)/fuzz/fuzz_seeds fuzz/corpus

# The hostile-input calls under valgrind's memcheck: any invalid read or
# write in a plug-in fails it.  In Octave where valgrind can start it, else
# through the stand-in host; MEMCHECK_HOST=octave or standin chooses.
memcheck: build
	sh scripts/memcheck.sh $(BUILD) $(MEMCHECK_HOST)

# The benchmark suite: an optimised build of its own, then every workload.
bench: bench-build
	$(BUILD)-bench/bench/proxkit_bench $(BENCH_ARGS)

bench-build: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DPROXKIT_BENCH=ON \
	  -DPROXKIT_TESTS=OFF -DPROXKIT_SANITIZE=OFF -DPROXKIT_OCTAVE=ON
	cmake --build $(BUILD)-bench -j $(JOBS)

# A change measured: the kernels of the working tree against those of
# BASE (a git revision), in turns, as ratios.
BASE ?= main
ROUNDS ?= 5
BENCH_FILTER ?= /kernel/
bench-compare: deps
	sh scripts/bench-compare.sh $(BASE) $(ROUNDS) '$(BENCH_FILTER)'

# The plug-ins against the vectorised code an Octave user would write
# instead, then the kernels against NumPy (Debian's python3-numpy, through
# the system's own python3).
bench-peers: bench-build
	@sh scripts/install-deps.sh peers
	$(OCTAVE) --eval "addpath('bench'); peers ({'$(BUILD)-bench/octave', '$(BUILD)-bench/bench/octave'}, {'$(BUILD)-bench/octave-mex', '$(BUILD)-bench/bench/octave-mex'})"
	/usr/bin/python3 bench/peers.py $(BUILD)-bench/bench/libproxkit_cabi.so

# Nothing is removed while a chroot of make test-octaves has a file system
# mounted in it.
clean:
	@if findmnt -rn -o TARGET | grep -q -e '^$(abspath $(BUILD))/' -e '^$(abspath $(FUZZ_BUILD))/'; then \
	  echo "make clean: a file system is mounted under $(BUILD) or $(FUZZ_BUILD); nothing removed" >&2; exit 1; fi
	rm -rf --one-file-system $(BUILD) $(FUZZ_BUILD)
