#!/usr/bin/env bash
# Checks the R package's tarball as CRAN would (R CMD check --as-cran),
# without the PDF manual (no TeX), and fails on any error or warning; the
# notes are listed in r/README.md. Usage: scripts/r-check.sh [BUILD]
# (default build; BUILD/locseq_VERSION.tar.gz from scripts/r-package.sh).
#
# The check asks no package repository anything: --as-cran would fetch the
# package lists of CRAN and Bioconductor to look for dependency cycles, so
# the repositories (from R's profile, or R's list of them) are an empty one
# in BUILD/r-offline. It still asks a time server for the clock, which
# --as-cran cannot turn off; offline that is a note.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(cd "${1:-build}" && pwd)
version=$(sed -n 's/^project(locseq VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tarball=$build/locseq_$version.tar.gz
[ -f "$tarball" ] || { echo "r-check: $tarball is missing (make r-package)" >&2; exit 1; }

offline=$build/r-offline
mkdir -p "$offline/src/contrib"
: >"$offline/src/contrib/PACKAGES"
{
  printf 'menu_name\tURL\tdefault\tsource\twin.binary\tmac.binary\n'
  for repo in CRAN BioCsoft BioCann BioCexp; do
    printf '%s\t%s\tfile://%s\tTRUE\tTRUE\tTRUE\tTRUE\n' "$repo" "$repo" "$offline"
  done
} >"$offline/repositories"
printf 'options(repos = c(CRAN = "file://%s"))\n' "$offline" >"$offline/Rprofile"

cd "$build"
R_REPOSITORIES=$offline/repositories R_PROFILE_USER=$offline/Rprofile \
  _R_CHECK_CRAN_INCOMING_REMOTE_=false MAKEFLAGS=-j${JOBS:-2} \
  R CMD check --as-cran --no-manual "$tarball"
if grep -q '^\* checking .*\(WARNING\|ERROR\)$' locseq.Rcheck/00check.log; then
  echo "r-check: the check gave warnings or errors (build/locseq.Rcheck/00check.log)" >&2
  exit 1
fi
