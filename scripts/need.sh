#!/usr/bin/env bash
# Installs what a make target needs, from Debian's packages:
#   scripts/need.sh demo    a C++20 compiler, CMake >= 3.20, make, CLI11
#   scripts/need.sh test    and GoogleTest, Python 3
#   scripts/need.sh ci      and Chromium with its driver and Selenium (the page's browser test)
#   scripts/need.sh bench   and Google Benchmark
#   scripts/need.sh r       the build, and R with cpp11, decor and testthat (the R package)
# As root it runs apt-get; otherwise it prints the apt-get line to run and stops.
set -euo pipefail

what=${1:-demo}
need=()
have_header() { [ -f "/usr/include/$1" ]; }
have() { command -v "$1" >/dev/null 2>&1; }

# The build: g++ 10 or later (C++20), CMake 3.20 or later, make, CLI11.
if ! have g++ || [ "$(g++ -dumpversion | cut -d. -f1)" -lt 10 ]; then need+=(g++); fi
version_at_least() { [ "$(printf '%s\n%s\n' "$2" "$1" | sort -V | head -1)" = "$2" ]; }
if ! have cmake || ! version_at_least "$(cmake --version | awk 'NR == 1 { print $3 }')" 3.20; then
  need+=(cmake)
fi
have make || need+=(make)
have_header CLI/CLI.hpp || need+=(libcli11-dev)

case "$what" in
  demo) ;;
  test|ci|bench)
    have_header gtest/gtest.h || need+=(libgtest-dev)
    [ -x /usr/bin/python3 ] || need+=(python3)
    if [ "$what" = ci ]; then
      have chromium || need+=(chromium)
      have chromedriver || need+=(chromium-driver)
      /usr/bin/python3 -c 'import selenium' 2>/dev/null || need+=(python3-selenium)
    fi
    if [ "$what" = bench ]; then have_header benchmark/benchmark.h || need+=(libbenchmark-dev); fi
    ;;
  r)
    # R CMD INSTALL needs only r-base-core besides the compiler; cpp11 is
    # header-only, decor runs its registration, testthat its tests.
    if ! have Rscript; then
      need+=(r-base-core r-cran-cpp11 r-cran-decor r-cran-testthat)
    else
      for p in cpp11 decor testthat; do
        Rscript -e "quit(status = !requireNamespace('$p', quietly = TRUE))" 2>/dev/null ||
          need+=("r-cran-$p")
      done
    fi
    ;;
  *) echo "usage: scripts/need.sh demo|test|ci|bench|r" >&2; exit 2 ;;
esac

[ ${#need[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "locseq needs Debian packages that are not installed; as root, run:" >&2
  echo "  apt-get install -y --no-install-recommends ${need[*]}" >&2
  exit 1
fi
echo "installing: ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}"
