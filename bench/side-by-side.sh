#!/usr/bin/env bash
# The bulk work of q7bom side by side with the plain database, in one run:
# whole processes, output to /dev/null, the fastest of N runs of each; prints
# a markdown table (work | q7bom | reference | ratio ref / q7bom) and the cost
# of BO02003 per row on three account sizes.
#
#   bench/side-by-side.sh [--bin DIR] [--work DIR] [--runs N] [--big-runs N] [--quick] [--no-server]
#
#   --bin DIR       where q7bom and q7bench-select are (default: build/bin of this tree)
#   --work DIR      scratch folder for the accounts and files (default /tmp/q7-side-by-side)
#   --runs N        runs of the small rows: import, start-up, server (default 3)
#   --big-runs N    runs of the million-row reports and account builds (default 1)
#   --quick         leaves out the 4 000 000-line account
#   --no-server     prints the server rows as skipped without trying a cluster
#
# The references:
#   flat reports   `sqlite3 -csv FILE "<statement>"` (the shell's defaults), and
#                  q7bench-select: the same statement on the account's own
#                  connection (its page cache and memory map), every row stepped,
#                  no cell read, nothing written. The statement is the one
#                  `q7bom report KEY --bridged` prints: the report's statement as
#                  the file runs it, which needs no function the shell lacks.
#   bom import     `.import` of the same CSV into a scratch table and one
#                  INSERT … SELECT each for the BOM heads and the lines
#                  (bench/import-reference.sql), no checks: the floor.
#   start-up       `sqlite3 -csv` of BO02008's statement on the demo account.
#   server         the same command on the file (a cluster of
#                  scripts/pg-cluster.sh: fsync off, on this machine).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$root/build/bin
work=/tmp/q7-side-by-side
runs=3
big_runs=1
quick=0
server=1
while [ $# -gt 0 ]; do
  case "$1" in
  --bin) bin=$2; shift 2 ;;
  --work) work=$2; shift 2 ;;
  --runs) runs=$2; shift 2 ;;
  --big-runs) big_runs=$2; shift 2 ;;
  --quick) quick=1; shift ;;
  --no-server) server=0; shift ;;
  -h | --help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
  *) echo "side-by-side: unknown option $1" >&2; exit 2 ;;
  esac
done
for n in "$runs" "$big_runs"; do
  [[ $n =~ ^[1-9][0-9]*$ ]] || { echo "side-by-side: a number of runs is a whole number from 1" >&2; exit 2; }
done
q7bom=$bin/q7bom
select_only=$bin/q7bench-select
for program in "$q7bom" "$select_only"; do
  [ -x "$program" ] || { echo "side-by-side: $program is not built" >&2; exit 2; }
done
command -v sqlite3 >/dev/null || { echo "side-by-side: the sqlite3 shell is not installed" >&2; exit 2; }
mkdir -p "$work"
log=$work/log
: >"$log"
rows=() # the table's rows
per_row=() # BO02003 per row at each size

now() { date +%s.%N; }

# best N PREPARE COMMAND...: runs PREPARE (untimed, may be :) and then
# COMMAND, N times, standard output to /dev/null and standard error to
# $work/stderr; sets $best to the fastest wall time in seconds.
best() {
  local n=$1 prepare=$2 t0 t1
  shift 2
  best=
  for ((i = 0; i < n; ++i)); do
    $prepare >/dev/null 2>>"$log"
    t0=$(now)
    if ! "$@" >/dev/null 2>"$work/stderr"; then
      echo "side-by-side: failed: $*" >&2
      cat "$work/stderr" >&2
      exit 1
    fi
    t1=$(now)
    best=$(awk -v a="$t0" -v b="$t1" -v best="$best" 'BEGIN { t = b - a; if (best == "" || t < best) best = t; printf "%.4f", best }')
  done
  cat "$work/stderr" >>"$log"
}

# 12.3 s, 0.84 s or 37 ms
seconds() { awk -v t="$1" 'BEGIN { if (t >= 10) printf "%.1f s", t; else if (t >= 1) printf "%.2f s", t; else printf "%.0f ms", t * 1000 }'; }
ratio() { awk -v r="$1" -v q="$2" 'BEGIN { printf "%.2f", r / q }'; }
row() { rows+=("| $1 | $2 | $3 | $(ratio "$4" "$5") |"); echo "  $1: q7bom $2, $3" >&2; }
grouped() { echo "$1" | sed -e ':a' -e 's/\([0-9]\)\([0-9]\{3\}\)\($\| \)/\1 \2\3/' -e 'ta'; } # 1 000 000
rows_of() { grep -Eo '^[0-9]+ rows' "$work/stderr" | grep -Eo '^[0-9]+'; }

# The synthetic account of LINES lines (8 lines per part: --depth 5 --fanout 10).
account() {
  local lines=$1 file=$work/syn-$1.db
  if [ ! -s "$file" ]; then
    echo "building the account of $(grouped "$lines") lines" >&2
    "$q7bom" init-db --synthetic --parts $((lines / 8)) --depth 5 --fanout 10 --path "$file" --force >/dev/null 2>>"$log"
  fi
  echo "$file"
}

q7_report() { "$q7bom" report "$1" --db "$2" --format csv; }
sqlite_csv() { sqlite3 -csv "$2" "$(cat "$work/$1.sql")"; }

# A flat report on an account against the sqlite3 shell and the statement's own time.
flat_report() {
  local key=$1 lines=$2 file q7 shell own n
  file=$(account "$lines")
  "$q7bom" report "$key" --bridged >"$work/$key.sql"
  echo "$key on $(grouped "$lines") lines" >&2
  best "$big_runs" : q7_report "$key" "$file"
  q7=$best
  n=$(rows_of)
  best "$big_runs" : sqlite_csv "$key" "$file"
  shell=$best
  best "$big_runs" : "$select_only" "$file" "$key"
  own=$best
  [ "$(rows_of)" = "$n" ] || { echo "side-by-side: $key: q7bom gave $n rows, the statement alone $(rows_of)" >&2; exit 1; }
  local columns
  columns=$(grep -Eo '^[0-9]+ columns' "$work/stderr" | grep -Eo '^[0-9]+')
  if [ "$key" = BO02003 ]; then
    per_row+=("| $(grouped "$lines") | $(grouped "$n") | $(seconds "$q7") | $(awk -v t="$q7" -v n="$n" 'BEGIN { printf "%.1f", t * 1e6 / n }') | $(awk -v t="$shell" -v n="$n" 'BEGIN { printf "%.1f", t * 1e6 / n }') | $(awk -v t="$own" -v n="$n" 'BEGIN { printf "%.1f", t * 1e6 / n }') |")
  fi
  [ "$lines" = 1000000 ] || return 0
  row "$key, $(grouped "$n") rows × $columns columns" "$(seconds "$q7")" "\`sqlite3 -csv\`, same SELECT: $(seconds "$shell")" "$shell" "$q7"
  row "$key, $(grouped "$n") rows" "$(seconds "$q7")" "the SELECT alone, account's cache: $(seconds "$own")" "$own" "$q7"
}

# --- flat reports -----------------------------------------------------------
flat_report BO02003 250000
flat_report BO02003 1000000
flat_report BO02005 1000000
if [ "$quick" = 0 ]; then
  flat_report BO02003 4000000
  rm -f "$work/syn-4000000.db" # 800 MB
fi

# --- import -----------------------------------------------------------------
echo "bom import of 100 000 lines" >&2
demo=$work/demo.db
[ -s "$demo" ] || "$q7bom" init-db --path "$demo" >/dev/null 2>>"$log"
python3 "$root/scripts/gen-import-csv.py" 100000 >"$work/import.csv"
fresh_copy() { cp "$demo" "$work/import.db"; }
q7_import() { /usr/bin/time -f '%M KB peak' -o "$work/peak" "$q7bom" bom import "$work/import.csv" --db "$work/import.db"; }
raw_import() { sqlite3 "$work/import.db" -cmd ".import --csv $work/import.csv import_rows" <"$root/bench/import-reference.sql"; }
best "$runs" fresh_copy q7_import
q7=$best
peak=$(awk '{ printf "%.0f MB", $1 / 1024 }' "$work/peak")
best "$runs" fresh_copy raw_import
row "\`bom import\`, 100 000 lines ($(grouped "$(awk -v t="$q7" 'BEGIN { printf "%.0f", 100000 / t }')") lines/s)" "$(seconds "$q7"), $peak" \
  "\`.import\` + INSERT…SELECT: $(seconds "$best")" "$best" "$q7"

# --- start-up ---------------------------------------------------------------
echo "start-up: BO02008 on the demo account" >&2
"$q7bom" report BO02008 --bridged >"$work/BO02008.sql"
best "$runs" : q7_report BO02008 "$demo"
q7=$best
n=$(rows_of)
best "$runs" : sqlite_csv BO02008 "$demo"
row "BO02008 on the demo account ($n rows: start-up)" "$(seconds "$q7")" "\`sqlite3 -csv\`, same SELECT: $(seconds "$best")" "$best" "$q7"

# --- the server's writes ----------------------------------------------------
llc_file() { cp "$work/syn-1000000.db" "$work/llc.db"; }
file_llc() { "$q7bom" maintain llc --db "$work/llc.db"; }
file_init() { "$q7bom" init-db --synthetic --parts 125000 --depth 5 --fanout 10 --path "$work/init.db" --force; }
connection=
if [ "$server" = 1 ] && connection=$("$root/scripts/pg-cluster.sh" start "$work/pg" 2>>"$log"); then
  trap '"$root/scripts/pg-cluster.sh" stop "$work/pg"' EXIT
  syn=${connection/dbname=postgres/dbname=syn}
  server_init() { "$q7bom" init-db --synthetic --parts 125000 --depth 5 --fanout 10 --server "$syn" --force; }
  server_llc() { "$q7bom" maintain llc --server "$syn"; }
  psql -q "$connection" -c "CREATE DATABASE syn" >/dev/null
  echo "server: init-db --synthetic, 1 000 000 lines" >&2
  best "$big_runs" : server_init
  q7=$best
  best "$big_runs" : file_init
  row "server \`init-db --synthetic\`, 1 000 000 lines" "$(seconds "$q7")" "the same on the file: $(seconds "$best")" "$best" "$q7"
  echo "server: maintain llc, 1 000 000 lines" >&2
  best "$big_runs" server_init server_llc
  q7=$best
  best "$big_runs" llc_file file_llc
  row "server \`maintain llc\`, 1 000 000 lines" "$(seconds "$q7")" "the same on the file: $(seconds "$best")" "$best" "$q7"
else
  why="no PostgreSQL cluster could be started"
  [ "$server" = 1 ] || why="--no-server"
  rows+=("| server \`init-db --synthetic\`, 1 000 000 lines | skipped | $why | — |")
  rows+=("| server \`maintain llc\`, 1 000 000 lines | skipped | $why | — |")
fi
rm -f "$work/llc.db" "$work/init.db" "$work/import.db"

# --- the table --------------------------------------------------------------
echo
echo "| work | q7bom | reference | ratio (ref / q7bom) |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
echo
echo "BO02003 per row (µs), whole processes:"
echo
echo "| lines | rows | q7bom | q7bom µs/row | \`sqlite3 -csv\` µs/row | SELECT alone µs/row |"
echo "|---:|---:|---:|---:|---:|---:|"
printf '%s\n' "${per_row[@]}"
exit 0
