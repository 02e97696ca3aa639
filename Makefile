# The two commands a new user needs:
#   make demo   installs what is missing, builds the plug-ins, runs the examples in Octave
#   make test   installs what is missing, builds, runs every test (ends with CTest's summary)

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
OCTAVE = octave-cli --no-history --no-init-file --quiet

.PHONY: all deps build test demo bench clean

all: build

deps:
	@sh scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	$(OCTAVE) --eval "addpath('$(BUILD)/octave', 'examples'); run_examples"

# The benchmark suite: an optimised build of its own, then every workload.
bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DPROXKIT_BENCH=ON \
	  -DPROXKIT_TESTS=OFF -DPROXKIT_SANITIZE=OFF -DPROXKIT_OCTAVE=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	$(BUILD)-bench/bench/proxkit_bench $(BENCH_ARGS)

clean:
	rm -rf $(BUILD)
