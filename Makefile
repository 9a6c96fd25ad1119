# The two set-up commands of the README: `make run` and `make test`.
# Each installs missing Debian packages first (tools/install-deps.sh), then configures and builds
# with Ninja. The suite runs twice, as built with AddressSanitizer/UBSan and as optimised like the
# program users run (the two builds find different faults: memory errors in one, uninitialised
# values and races that only optimisation shows in the other); warnings are errors in both.
JOBS ?= 2
RUN_DIR := build/release
TEST_DIR := build/test
OPT_TEST_DIR := build/relwithdebinfo
BENCH_DIR := build/release

.PHONY: deps run build test bench format deb

deps:
	@bash tools/install-deps.sh

build: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQJS_WERROR=ON
	cmake --build $(RUN_DIR) -j $(JOBS)

run: build
	$(RUN_DIR)/app/quorveljs $(ARGS)

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQJS_WERROR=ON -DQJS_SANITIZE=ON \
		-DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(OPT_TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQJS_WERROR=ON
	cmake --build $(OPT_TEST_DIR) -j $(JOBS)
	cd $(OPT_TEST_DIR) && ctest --output-on-failure -j $(JOBS)
	JOBS=$(JOBS) bash tools/fuzz-smoke.sh

# A Debian package of the Release build (CPack; dependencies from dpkg-shlibdeps), in $(RUN_DIR).
deb: build
	cd $(RUN_DIR) && cpack -G DEB

bench: build
	bash bench/run.sh $(BENCH_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
