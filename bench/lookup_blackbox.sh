#!/bin/sh
# lookup_blackbox.sh: the real lookup-demo program over a large table, from the outside.
#
#   bench/lookup_blackbox.sh [--rows N] [--build DIR] [--locales "C.UTF-8 es_AR.UTF-8"] [--runs K]
#
# Writes a SQLite file with N rows (default 1,000,000) of two article-like text columns,
# then per locale: the floor (the same SELECT stepped with the SQLite C API, every cell
# copied, by lookup_blackbox_table), and `lookup-demo --aceptar` (offscreen) over that
# SELECT and over a one-row copy, each timed from start to exit with its peak resident
# size (/usr/bin/time). Prints "name value unit" lines:
#   floor_c_api_ms  the floor;  open_ms  lookup-demo from start until it has accepted and
#   exited;  open_to_floor  open_ms over the floor;  start_ms  the same on one row;
#   peak_rss_kb, start_rss_kb  peak resident sizes;  bytes_per_cell  the peak above the
#   one-row run's, per cell
set -eu
rows=1000000
build=build
locales="C.UTF-8 es_AR.UTF-8"
runs=3
while [ $# -gt 0 ]; do
    case "$1" in
    --rows) rows=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --locales) locales=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) echo "uso: lookup_blackbox.sh [--rows N] [--build DIR] [--locales LISTA] [--runs K]" >&2; exit 2 ;;
    esac
done
table="$build/bench/lookup_blackbox_table"
demo="$build/lookup-demo"
[ -x "$table" ] && [ -x "$demo" ] || { echo "lookup_blackbox.sh: build $table and $demo first" >&2; exit 2; }
select="SELECT DESCRIPCION, IDARTICULO FROM ARTICULOS"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$table" write "$dir/big.sqlite" "$rows"
"$table" write "$dir/one.sqlite" 1

# Milliseconds and peak kB of one lookup-demo run: "MS KB".
run_demo() {
    start=$(date +%s%N)
    LANG=$1 LC_ALL=$1 QT_QPA_PLATFORM=offscreen /usr/bin/time -f %M -o "$dir/rss" \
        "$demo" --aceptar --consulta "$select" "@Server=sqlite; @DbName=$2;" >/dev/null
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000 )) $(cat "$dir/rss")"
}

# The least of K runs of a command printing "TIME [KB]": "TIME KB" (KB from the same runs' least).
least() {
    k=0
    while [ $k -lt "$runs" ]; do "$@"; k=$((k + 1)); done |
        LC_ALL=C awk 'NR == 1 || $1 < t {t = $1} NR == 1 || $2 < m {m = $2} END {print t, m + 0}'
}
floor_ms() { LC_ALL=C.UTF-8 "$table" floor "$dir/big.sqlite" "$rows" | awk '{print $2}'; }

# Arithmetic in the C locale: a Spanish one would write decimal commas.
for locale in $locales; do
    floor=$(least floor_ms | awk '{print $1}')
    set -- $(least run_demo "$locale" "$dir/one.sqlite")
    start_us=$1 start_kb=$2
    set -- $(least run_demo "$locale" "$dir/big.sqlite")
    LC_ALL=C awk -v locale="$locale" -v rows="$rows" -v floor="$floor" -v open_us="$1" -v peak="$2" \
        -v start_us="$start_us" -v start_kb="$start_kb" 'BEGIN {
        printf "locale %s\nrows %d count\nfloor_c_api_ms %.1f ms\nopen_ms %.1f ms\nopen_to_floor %.2f x\n",
            locale, rows, floor, open_us / 1000, open_us / 1000 / floor
        printf "start_ms %.1f ms\npeak_rss_kb %d kB\nstart_rss_kb %d kB\nbytes_per_cell %.1f bytes\n",
            start_us / 1000, peak, start_kb, (peak - start_kb) * 1024 / (2 * rows)
    }'
done
