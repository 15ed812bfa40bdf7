#!/usr/bin/env bash
# The example job's page, as `locseq run --sweep` writes it, in a real browser, laid
# out at several widths and in print.
#   example_page.sh LOCSEQ PYTHON EXAMPLES_DIR WORK_DIR
set -euo pipefail
locseq=$1 python=$2 examples=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
cp "$examples"/WHEAT.CLS "$examples"/WHEAT.NAQ "$examples"/WHEAT.SEQ "$work"/
cd "$work"
"$locseq" run WHEAT --quiet --report WHEAT.html --plots plots --sweep 2:8
exec "$python" "$(dirname "$0")/browser_check.py" --layout WHEAT.html WHEAT.png
