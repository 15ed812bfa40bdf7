#!/usr/bin/env bash
# Assembles the R package (r/README.md) in BUILD/r-package/locseq and builds
# BUILD/locseq_VERSION.tar.gz from it:
#   - the R side from r/ (DESCRIPTION with the version of CMakeLists.txt);
#   - the analysis's sources copied in with their folders, and src/Makevars
#     listing them;
#   - the registration of the C++ entry points (cpp11::cpp_register);
#   - the wheat data set, made from examples/wheat.csv;
#   - the job BUILD/locseq makes from examples/wheat.csv and the tables it
#     writes for it and for an unbalanced trial made up here, the tests'
#     fixtures.
# Usage: scripts/r-package.sh [BUILD]  (default build; BUILD/locseq must exist:
# make program). Needs R with the Debian packages r-cran-cpp11 and r-cran-decor.
set -euo pipefail
cd "$(dirname "$0")/.."

root=$(pwd)
build=${1:-build}
# The folders of the analysis the package compiles: all but the command line
# (cli/, on CLI11), the files it writes in full or not at all (files/, with
# its signal handlers) and the job check (check/).
folders="core records console formats setup sequence data groups fit findings tables report classify import"

version=$(sed -n 's/^project(locseq VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "r-package: no project(locseq VERSION ...) in CMakeLists.txt" >&2
  exit 1
fi
locseq=$(cd "$build" && pwd)/locseq
if [ ! -x "$locseq" ]; then
  echo "r-package: $locseq is missing (make program)" >&2
  exit 1
fi
out=$build/r-package
pkg=$out/locseq
rm -rf "$out" && mkdir -p "$pkg/src"

# The R side.
cp -R r/R r/man r/tests r/NAMESPACE r/LICENSE "$pkg"/
sed "s/@VERSION@/$version/" r/DESCRIPTION.in >"$pkg/DESCRIPTION"

# The C++ side: the package's own files, then the analysis with its folders.
cp r/src/*.cpp r/src/*.h "$pkg/src/"
printf '#define LOCSEQ_PACKAGE_VERSION "%s"\n' "$version" >"$pkg/src/locseq_version.h"
objects="cpp11.o"
for f in r/src/*.cpp; do objects+=" $(basename "${f%.cpp}").o"; done
shopt -s nullglob
for d in $folders; do
  mkdir -p "$pkg/src/$d"
  cp "src/$d"/*.h "src/$d"/*.cpp "$pkg/src/$d/"
  for f in "src/$d"/*.cpp; do objects+=" $d/$(basename "${f%.cpp}").o"; done
done
shopt -u nullglob
list=$(printf '%s\n' $objects | sed 's/^/  /; $!s/$/ \\/')
awk -v list="$list" '/@OBJECTS@/ { sub(/ @OBJECTS@/, " \\\n" list) } { print }' \
  r/src/Makevars.in >"$pkg/src/Makevars"

# The registration: src/cpp11.cpp and R/cpp11.R from the [[cpp11::register]]
# functions.
Rscript -e 'cpp11::cpp_register(commandArgs(TRUE)[1], quiet = TRUE)' "$pkg"

# The data set.
Rscript r/data-raw/wheat.R examples/wheat.csv "$pkg"

# The tests' fixtures: the tables the program writes for the example's
# long table, imported and classified with the program's defaults.
mkdir -p "$out/wheat-run" "$pkg/tests/testthat/fixtures"
(cd "$out/wheat-run" && "$locseq" import "$root/examples/wheat.csv" wheat >/dev/null &&
  "$locseq" run wheat --quiet --tables tables --sweep 2:8)
cp -R "$out/wheat-run/tables" "$pkg/tests/testthat/fixtures/wheat-tables"
for f in wheat.CLS wheat.NAQ wheat.SEQ wheat.names.csv wheat.settings; do
  cp "$out/wheat-run/$f" "$pkg/tests/testthat/fixtures/"
done

# And for an unbalanced trial made up here: 6 years, 15 locations, 10
# genotypes; a location sown from the third year, a genotype entered in the
# third year, some location-years not sown, and single cells missing (rows
# absent or NA).
awk 'BEGIN {
  s = 20261209
  print "season,site,variety,yield"
  for (y = 2011; y <= 2016; y++) for (l = 1; l <= 15; l++) for (g = 1; g <= 10; g++) {
    s = (s * 16807) % 2147483647; u = s / 2147483647
    s = (s * 16807) % 2147483647; v = s / 2147483647
    if ((l == 15 || g == 10) && y < 2013) continue
    if ((7 * l + y) % 11 == 0 || u < 0.03) continue
    value = 3 + g / 4 + (l % 4) * (g % 3) / 2 + (y % 3) / 3 + 2 * v
    if (u < 0.05) printf "%d,L%02d,G%d,NA\n", y, l, g
    else printf "%d,L%02d,G%d,%.2f\n", y, l, g, value
  }
}' >"$out/unbalanced.csv"
mkdir -p "$out/unbalanced-run"
(cd "$out/unbalanced-run" && "$locseq" import ../unbalanced.csv unbalanced >/dev/null &&
  "$locseq" run unbalanced --quiet --tables tables)
cp "$out/unbalanced.csv" "$pkg/tests/testthat/fixtures/"
cp -R "$out/unbalanced-run/tables" "$pkg/tests/testthat/fixtures/unbalanced-tables"

(cd "$build" && R CMD build --no-manual r-package/locseq)
echo "r-package: $build/locseq_$version.tar.gz"
