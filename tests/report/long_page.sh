#!/usr/bin/env bash
# The page of a trial of many years and long names (long_job.py), imported
# and run as a user would, in a real browser, laid out at several widths and
# in print.
#   long_page.sh LOCSEQ PYTHON WORK_DIR
set -euo pipefail
locseq=$1 python=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work"
cd "$work"
"$python" "$here/long_job.py" long.csv
"$locseq" import long.csv LONG --rename >/dev/null 2>&1
"$locseq" run LONG --quiet --report LONG.html
exec "$python" "$here/browser_check.py" --layout LONG.html LONG.png
