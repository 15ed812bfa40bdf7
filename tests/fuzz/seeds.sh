#!/usr/bin/env bash
# Writes seed inputs for the fuzz targets into DIR/run, DIR/records and
# DIR/import, made
# from the example job and the golden jobs.
#   seeds.sh DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
out=$1
mkdir -p "$out/run" "$out/records" "$out/import"

first() { ls "$1"/*"$2" 2>/dev/null | head -n 1 || true; }

# A whole job: answers, then .CLS, .NAQ and .SEQ, cut by lines "@@".
job() {  # name answers-file folder
  local cls naq seq
  cls=$(first "$3" .CLS); naq=$(first "$3" .NAQ); seq=$(first "$3" .SEQ)
  [ -n "$cls" ] || return 0
  { cat "$2"; printf '\n@@\n'; cat "$cls"; printf '\n@@\n'
    [ -n "$naq" ] && cat "$naq"; printf '\n@@\n'
    [ -n "$seq" ] && head -c 3000 "$seq"; } > "$out/run/$1"
}

job example "$top/examples/answers" "$top/examples"
for case in "$top"/tests/golden/*/case; do
  name=$(basename "$(dirname "$case")")
  job "$name" "$case/stdin" "$case"
done

# The record layer: the program's layouts with a few values, records,
# free-format values, .SEQ lines and numbers.
n=0
rec() { printf '%b' "$1" > "$out/records/seed-$n"; n=$((n + 1)); }
for layout in "(I7,(T8,10G10.2))" "(2(I7,3X),3E10.3,F10.2)" "(3I4,(T13,20I4))" "(1X,10A8)" \
              "(3X,I4,2X,I4,2X,I4,1X,F10.3)" "(I6,4X,A8)" "(4(5X,A1))" "(/,' For year ',A8)"; do
  rec "\x00$layout\n     1    1997\n   1 +   2 =   3      1.500\nabcdefgh"
done
rec "\x01\x05 1 2,3\n\n 4*7 x\n1,,2\n/"
rec "\x02 1 2 3 4.5\n1,2,3,4\n\n 2 1 1 1.5D+02 tail\n3 1 1\n"
for num in ".5" "5." "+1.5" "1.5D+02" "1e-50" "3.4E38" "0x1F" "12E3" "-0"; do rec "\x03$num"; done
# A table to import: the example's long table, cut short.
head -c 3000 "$top/examples/wheat.csv" > "$out/import/wheat"
echo "seeds in $out"
