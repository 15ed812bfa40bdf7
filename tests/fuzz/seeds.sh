#!/usr/bin/env bash
# Writes seed inputs for the fuzz targets into DIR/run, DIR/records,
# DIR/import and DIR/pipeline, made from the example job, the golden jobs,
# the example's table and small generated tables.
#   seeds.sh DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
out=$1
mkdir -p "$out/run" "$out/records" "$out/import" "$out/pipeline"

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

# The whole pipeline: an options byte (see pipeline_fuzz.cpp), then a table.
# The example's table in parts small enough for the fuzzer (4 KB): the
# first years at the first locations, for the first genotypes.
part() {  # name options-byte years locations genotypes
  { printf '%b' "$2"
    awk -F, -v Y="$3" -v L="$4" -v G="$5" '
      NR == 1 { print; next }
      !($1 in y) { ny++; y[$1] = ny } !($2 in l) { nl++; l[$2] = nl } !($3 in g) { ng++; g[$3] = ng }
      y[$1] <= Y && l[$2] <= L && g[$3] <= G' "$top/examples/wheat.csv"; } > "$out/pipeline/$1"
}
part wheat-3x8x6 '\x00' 3 8 6
part wheat-4x6x5-standardized '\x30' 4 6 5
part wheat-2x12x4-half-share '\xC0' 2 12 4
# Small tables of each form import reads, made here.
table() { printf '%b' "$2" > "$out/pipeline/$1"; }
cells() {  # years locations genotypes separator decimal-point
  local y l g
  for y in $(seq 1 "$1"); do for l in $(seq 1 "$2"); do for g in $(seq 1 "$3"); do
    printf '%s%s"Site %s"%sG%s%s%s%s%s\n' "$((2000 + y))" "$4" "$l" "$4" "$g" "$4" \
      "$(( (l * 7 + g * 3 + y) % 10 ))" "$5" "$(( (l * g + y) % 10 ))"
  done; done; done
}
table comma "\x00year,location,genotype,yield\n$(cells 3 6 4 , .)\n"
table semicolon "\x02year;site;entry;value\n$(cells 3 5 3 ';' ,)\n"
table tab-missing "\x03season\tloc\tvariety\tyield\n$(cells 2 7 3 "$(printf '\t')" . | sed '3s/[^[:blank:]]*$/NA/;9s/[^[:blank:]]*$//')\n"
table replicates "\x04year,location,genotype,yield\n$(cells 2 5 3 , .)\n$(cells 1 5 3 , .)\n"
table long-names "\x08year,location,genotype,yield\n$(cells 2 6 3 , . | sed 's/Site /Experimental station /')\n"
echo "seeds in $out"
