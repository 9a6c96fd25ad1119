# The two set-up commands of the README: `make run` and `make test`.
# Each installs missing Debian packages first (tools/install-deps.sh), then configures and builds
# with Ninja. Tests build with AddressSanitizer/UBSan and warnings as errors.
JOBS ?= 2
RUN_DIR := build/release
TEST_DIR := build/test
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
	JOBS=$(JOBS) bash tools/fuzz-smoke.sh

# A Debian package of the Release build (CPack; dependencies from dpkg-shlibdeps), in $(RUN_DIR).
deb: build
	cd $(RUN_DIR) && cpack -G DEB

bench: build
	bash bench/run.sh $(BENCH_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
