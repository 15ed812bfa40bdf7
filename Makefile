# The two commands a newcomer needs: `make demo` and `make test`; each first
# installs what it lacks (scripts/need.sh; Debian packages, as root).
# The rest: `make build`, `make asan-test` (the suite under AddressSanitizer
# and UndefinedBehaviorSanitizer), `make bench`, `make fuzz`, `make format`,
# `make r-package` and `make r-check` (the R package, r/README.md).

BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all configure build program test asan-test demo screenshot bench fuzz format clean \
        r-package r-check

all: build

configure:
	scripts/need.sh demo
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program alone, without the tests.
program: configure
	cmake --build $(BUILD) -j $(JOBS) --target locseq

test:
	scripts/need.sh test
	$(MAKE) build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

asan-test:
	scripts/need.sh test
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOCSEQ_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The example trial twice: the WHEAT job as it stands (a classification made
# elsewhere), and the same data from the long table examples/wheat.csv,
# imported and classified here.
DEMO := $(abspath $(BUILD))/demo
demo: program
	rm -rf $(DEMO) && mkdir -p $(DEMO)
	cp examples/WHEAT.CLS examples/WHEAT.NAQ examples/WHEAT.SEQ $(DEMO)/
	cd $(DEMO) && ../locseq run WHEAT --quiet --tables WHEAT-tables --report WHEAT.html
	cd $(DEMO) && ../locseq import $(abspath examples/wheat.csv) wheat
	cd $(DEMO) && ../locseq run wheat --quiet --tables wheat-tables --report wheat.html
	@echo
	@echo "In $(DEMO):"
	@echo "  WHEAT.SCO, .COS, .ALC  the reports of the example job (see examples/README.md)"
	@echo "  WHEAT-tables/          its results as CSV: steps, fit_by_year, groups, distances, membership"
	@echo "  WHEAT.html             its results as one page: open it in a browser"
	@echo "  wheat.*                the job made from examples/wheat.csv by import, and its run"

# The example's page rendered by headless Chromium (Debian: chromium,
# chromium-driver, python3-selenium) into docs/report.png for the README.
SCREENSHOT_HEIGHT ?= 2400
screenshot: demo
	scripts/need.sh ci
	/usr/bin/python3 tests/report/browser_check.py $(DEMO)/WHEAT.html docs/report.png \
	  --max-height $(SCREENSHOT_HEIGHT)

# Fuzzing with clang's libFuzzer: each target runs FUZZ_SECONDS, seeded from
# the example and the golden jobs (the pipeline target from the example's
# table and small generated tables); new inputs go to build-fuzz/corpus, crashes
# to build-fuzz/findings. Copy a finding (minimised) into tests/fuzz/<target>/
# so that `make test` replays it from then on.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_FLAGS ?=
fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DLOCSEQ_FUZZ=ON -DLOCSEQ_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target run_fuzzer records_fuzzer import_fuzzer pipeline_fuzzer
	tests/fuzz/seeds.sh $(FUZZ_BUILD)/seeds
	mkdir -p $(FUZZ_BUILD)/corpus/run $(FUZZ_BUILD)/corpus/records $(FUZZ_BUILD)/corpus/import \
	  $(FUZZ_BUILD)/corpus/pipeline $(FUZZ_BUILD)/seeds/import $(FUZZ_BUILD)/findings
	for t in run records import pipeline; do \
	  $(FUZZ_BUILD)/$${t}_fuzzer -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
	    -artifact_prefix=$(FUZZ_BUILD)/findings/$$t- $(FUZZ_FLAGS) \
	    $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/seeds/$$t tests/fuzz/$$t || exit 1; \
	done

# Benchmarks (bench/README.md): a Release build in build-bench, the capacity
# job generated once into build-bench/capacity (again when the generator
# changes), the micro benchmarks of the year reader and the per-year stages
# (medians of BENCH_REPS repetitions), then BENCH_RUNS whole runs of the
# program on the job in each mode (the year cache, and --cache-mb 0:
# medians), then the classification of the job's trial and of a generated
# unbalanced trial of 5,000 locations (build-bench/unbalanced).
BENCH_JOB  ?= $(BENCH_BUILD)/capacity
BENCH_TRIAL ?= $(BENCH_BUILD)/unbalanced
BENCH_REPS ?= 5
BENCH_RUNS ?= 5
BENCH_FLAGS ?=
bench:
	scripts/need.sh bench
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DLOCSEQ_BENCH=ON -DLOCSEQ_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target locseq make_capacity_job micro_bench whole_run classify_bench make_unbalanced_trial
	@if [ ! -f $(BENCH_JOB)/answers ] || [ $(BENCH_BUILD)/bench/make_capacity_job -nt $(BENCH_JOB)/answers ]; then \
	  $(BENCH_BUILD)/bench/make_capacity_job $(BENCH_JOB) || exit 1; \
	else echo "capacity job: $(BENCH_JOB) (up to date)"; fi
	@if [ ! -f $(BENCH_TRIAL)/TRIAL.SEQ ] || [ $(BENCH_BUILD)/bench/make_unbalanced_trial -nt $(BENCH_TRIAL)/TRIAL.SEQ ]; then \
	  $(BENCH_BUILD)/bench/make_unbalanced_trial $(BENCH_TRIAL) || exit 1; \
	else echo "unbalanced trial: $(BENCH_TRIAL) (up to date)"; fi
	$(BENCH_BUILD)/bench/micro_bench --seq=$(BENCH_JOB)/CAP.SEQ \
	  --benchmark_repetitions=$(BENCH_REPS) --benchmark_report_aggregates_only=true $(BENCH_FLAGS)
	$(BENCH_BUILD)/bench/whole_run --runs $(BENCH_RUNS) $(BENCH_JOB)
	$(BENCH_BUILD)/bench/whole_run --runs $(BENCH_RUNS) --cache-mb 0 $(BENCH_JOB)
	$(BENCH_BUILD)/bench/whole_run --runs $(BENCH_RUNS) --sweep 2:18 $(BENCH_JOB)
	$(BENCH_BUILD)/bench/classify_bench --dense $(BENCH_JOB)
	$(BENCH_BUILD)/bench/classify_bench --job TRIAL $(BENCH_TRIAL)

# The R package (r/README.md): r-package assembles it in
# $(BUILD)/r-package/locseq from r/ and the analysis's sources, with the
# example's tables from the program as its tests' fixture, and builds
# $(BUILD)/locseq_VERSION.tar.gz; r-check checks that tarball as CRAN would
# (no PDF manual, no repository asked) and fails on a warning.
r-package:
	scripts/need.sh r
	$(MAKE) program
	scripts/r-package.sh $(BUILD)

r-check: r-package
	JOBS=$(JOBS) scripts/r-check.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')
