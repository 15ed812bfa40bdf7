#!/usr/bin/env bash
# Shows that two builds of locseq write the same outputs.
#
#   scripts/same_outputs.sh [--keep DIR] REF_PROG NEW_PROG JOB_DIR...
#
# For every job folder, runs both programs with
#   run J --tables T --report P.html --plots D [-g N] [-s]
# each in a folder of its own holding the same copy of the job's inputs
# (same bytes, same modification times, so the pages list the same files),
# then compares everything: standard output, standard error, exit status,
# the reports, the four tables, the page and every figure.
#
# A job folder is either a dialogue job (its inputs and `stdin`, the console
# answers: the file names, the truncation level and the standardisation
# answer are taken from it, as the dialogue would read them) or a folder
# holding one .CLS with its .NAQ and .SEQ of the same name (such as
# examples/). A JOB.names.csv beside the inputs is copied as J.names.csv.
#
# A page or figure whose bytes differ only by the isolation of the job's
# texts (<bdi> elements and the marks U+2068 and U+2069) is counted apart;
# any other difference is shown. Exit status 0 when no output differs
# otherwise (with --strict, not even by the isolation), 1 when one does,
# 2 for a usage error.
set -uo pipefail

usage() {
  sed -n '2,/^$/s/^# \{0,1\}//p' "$0" >&2
  exit 2
}

keep=""
strict=0
while [[ $# -gt 0 && $1 == --* ]]; do
  case $1 in
    --keep) keep=$2; shift 2 ;;
    --strict) strict=1; shift ;;
    *) usage ;;
  esac
done
[[ $# -ge 3 ]] || usage
ref=$(realpath "$1") new=$(realpath "$2")
shift 2
[[ -x $ref && -x $new ]] || { echo "same_outputs: $ref or $new is not a program" >&2; exit 2; }

work=${keep:-$(mktemp -d "${TMPDIR:-/tmp}/same_outputs.XXXXXX")}
mkdir -p "$work"
[[ -n $keep ]] || trap 'rm -rf "$work"' EXIT

# The first `limit` characters of a line, without trailing blanks.
answer() {
  local text=${1:0:$2}
  printf '%s' "${text%"${text##*[! ]}"}"
}

# Sets `inputs` (the .CLS, .NAQ and .SEQ of the job, as paths) and `options`
# from the job folder $1.
read_job() {
  local dir=$1 lines=() at=0 k
  inputs=() options=()
  if [[ ! -f $dir/stdin ]]; then
    local cls=("$dir"/*.CLS)
    [[ ${#cls[@]} -eq 1 && -f ${cls[0]} ]] || return 1
    local base=${cls[0]%.CLS}
    inputs=("$base.CLS" "$base.NAQ" "$base.SEQ")
    return 0
  fi
  mapfile -t lines <"$dir/stdin"
  if [[ ${lines[0]:0:1} == [Yy] ]]; then
    local job
    job=$(answer "${lines[1]-}" 50)
    for k in .CLS .NAQ .SEQ; do inputs+=("$dir/$(answer "$job$k" 50)"); done
    at=2
  else
    for k in 1 2 3; do inputs+=("$dir/$(answer "${lines[k]-}" 50)"); done
    at=7
  fi
  if [[ -n ${lines[at]+set} && ${lines[at]:0:1} != [Yy] ]]; then
    # The level is read in free format: blank lines are passed over.
    local level=""
    at=$((at + 1))
    while [[ -n ${lines[at]+set} ]]; do
      read -r level _ <<<"${lines[at]//,/ }"
      at=$((at + 1))
      [[ -z $level ]] || break
    done
    if [[ $level =~ ^[+]?[0-9]+$ ]]; then
      options+=(-g "$((10#${level#+}))")
    else
      echo "same_outputs: $dir: the typed level '$level' is not a whole number: -g left out"
    fi
  else
    at=$((at + 1))
  fi
  [[ ${lines[at]-} == [Yy]* ]] && options+=(-s)
  return 0
}

# Runs program $1 in folder $2 with the job's options.
run_in() {
  (cd "$2" && timeout 300 "$1" run J --tables T --report P.html --plots D "${options[@]}" \
    >../"$3".stdout 2>../"$3".stderr; echo $? >../"$3".status)
}

# A page or figure without the isolation of the job's texts.
unisolated() {
  perl -pe 's{</?bdi>|\xE2\x81[\xA8\xA9]}{}g' "$1"
}

jobs=0 files=0 identical=0 isolated=0 differ=0
for dir in "$@"; do
  dir=${dir%/}
  if ! read_job "$dir"; then
    echo "same_outputs: $dir: neither a stdin nor a single .CLS: skipped" >&2
    continue
  fi
  jobs=$((jobs + 1))
  stage=$work/$jobs
  mkdir -p "$stage/in"
  k=0
  for ext in CLS NAQ SEQ; do
    [[ -f ${inputs[k]} ]] && cp -p "${inputs[k]}" "$stage/in/J.$ext"
    k=$((k + 1))
  done
  names=${inputs[0]%.*}.names.csv
  [[ -f $names ]] && cp -p "$names" "$stage/in/J.names.csv"
  for side in ref new; do cp -pr "$stage/in" "$stage/$side"; done
  run_in "$ref" "$stage/ref" ref
  run_in "$new" "$stage/new" new
  for what in stdout stderr status; do
    mv "$stage/ref.$what" "$stage/ref/=$what" && mv "$stage/new.$what" "$stage/new/=$what"
  done

  shown=0
  while IFS= read -r -d '' file; do
    name=${file#"$stage/ref/"}
    files=$((files + 1))
    other=$stage/new/$name
    if cmp -s "$file" "$other"; then
      identical=$((identical + 1))
      continue
    fi
    if [[ -f $other && ($name == *.html || $name == *.svg) ]] &&
      cmp -s <(unisolated "$file") <(unisolated "$other"); then
      isolated=$((isolated + 1))
      continue
    fi
    differ=$((differ + 1))
    if [[ $shown -eq 0 ]]; then
      echo "== $dir (run J ${options[*]})"
      shown=1
    fi
    if [[ -f $other ]]; then
      echo "-- $name differs:"
      diff <(unisolated "$file") <(unisolated "$other") | head -8
    else
      echo "-- $name: written by $ref only"
    fi
  done < <(find "$stage/ref" -type f -print0 | sort -z)
  while IFS= read -r -d '' file; do
    name=${file#"$stage/new/"}
    if [[ ! -e $stage/ref/$name ]]; then
      differ=$((differ + 1))
      echo "== $dir: $name: written by $new only"
    fi
  done < <(find "$stage/new" -type f -print0 | sort -z)
  [[ -n $keep ]] || rm -rf "$stage"
done

echo "same_outputs: $jobs jobs, $files files compared: $identical identical," \
  "$isolated differ only by the isolation of the job's texts, $differ differ otherwise"
[[ $differ -eq 0 && ($strict -eq 0 || $isolated -eq 0) ]]
