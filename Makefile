# Halvane: `make run` builds and starts the program; `make test` builds and
# runs every test (a normal build, then one under ASan and UBSan).
BUILD      := build
SANITIZED  := build-sanitize
JOBS       ?= 2

.PHONY: all deps build run test bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# Starts the window in run/ (ARGS: the sky distribution number 1..8).
run: build
	@scripts/run.sh $(ARGS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	@cmake -S . -B $(SANITIZED) -DCMAKE_BUILD_TYPE=Debug -DHALVANE_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZED) -j$(JOBS)
	ctest --test-dir $(SANITIZED) --output-on-failure -j$(JOBS) -L unit

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done
	@BUILD=$(BUILD) scripts/bench-batches.sh

clean:
	rm -rf $(BUILD) $(SANITIZED)
