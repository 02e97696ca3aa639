# The two commands a new user needs:
#   make demo   installs what is missing, builds the plug-ins, runs the examples in Octave
#   make test   installs what is missing, builds, runs every test (ends with CTest's summary)
#   make package  builds the Octave package $(BUILD)/proxkit-<version>.tar.gz

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
OCTAVE = octave-cli --no-history --no-init-file --quiet

.PHONY: all deps build test demo package clean

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

package: build
	@ls $(BUILD)/proxkit-*.tar.gz

clean:
	rm -rf $(BUILD)
