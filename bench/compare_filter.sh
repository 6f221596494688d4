#!/usr/bin/env bash
# Compares `vantlo filter` with `fzf --filter` and `fzy -e` on one 100,000-line corpus and the
# same queries, whole process each time (start-up, reading, ranking, writing to /dev/null).
#
#   bench/compare_filter.sh [path/to/vantlo]
#
# Without a path it builds the program as users get it (Release, with the desktop) in
# build-compare/ and measures that executable. Each measurement
# is the median of RUNS runs (default 15); the tools take turns so load on the machine falls
# on all of them alike. Uses hyperfine when it is installed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${RUNS:-15}
lines=${LINES_IN_CORPUS:-100000}
queries=("a" "ab" "chr" "read" "g re" "dsbd" "budget" "config.yaml")

vantlo=${1:-}
if [[ -z "$vantlo" ]]; then
    cmake -S "$root" -B "$root/build-compare" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVANTLO_DESKTOP=ON -DVANTLO_TESTS=OFF -DVANTLO_BENCH=OFF >/dev/null
    ninja -C "$root/build-compare" -j2 vantlo >/dev/null
    vantlo="$root/build-compare/src/vantlo"
fi
for tool in fzf fzy; do
    command -v "$tool" >/dev/null || { echo "compare_filter: $tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus="$work/corpus.txt"
python3 "$here/make_corpus.py" "$lines" >"$corpus"
echo "corpus: $(wc -l <"$corpus") lines, $(wc -c <"$corpus") bytes; $runs runs per tool and query"
echo "vantlo: $vantlo ($(ldd "$vantlo" | grep -c '=>') shared libraries)"
echo "fzf:    $(fzf --version)"
echo "fzy:    $(fzy --version 2>&1 | head -1)"
echo

# Median wall time of one command in milliseconds, its input read from the corpus file.
median_ms() {
    sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m }'
}

# Times are read from bash's own clock in microseconds (${EPOCHREALTIME/[.,]/}): starting a
# `date` for each reading would add that process's start-up to every measurement.
measure_all() {
    local query=$1
    local -a times_v=() times_f=() times_z=()
    for ((i = 0; i < runs; i++)); do
        local s e
        s=${EPOCHREALTIME/[.,]/}; "$vantlo" filter "$query" <"$corpus" >/dev/null || true; e=${EPOCHREALTIME/[.,]/}
        times_v+=($((e - s)))
        s=${EPOCHREALTIME/[.,]/}; fzf --filter "$query" <"$corpus" >/dev/null || true; e=${EPOCHREALTIME/[.,]/}
        times_f+=($((e - s)))
        s=${EPOCHREALTIME/[.,]/}; fzy -e "$query" <"$corpus" >/dev/null || true; e=${EPOCHREALTIME/[.,]/}
        times_z+=($((e - s)))
    done
    v=$(printf '%s\n' "${times_v[@]}" | median_ms | awk '{ printf "%.2f", $1 / 1000 }')
    f=$(printf '%s\n' "${times_f[@]}" | median_ms | awk '{ printf "%.2f", $1 / 1000 }')
    z=$(printf '%s\n' "${times_z[@]}" | median_ms | awk '{ printf "%.2f", $1 / 1000 }')
}

measure_hyperfine() {
    local query=$1 json="$work/hf.json"
    hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" --input "$corpus" \
        --output null \
        "$vantlo filter '$query'" "fzf --filter '$query'" "fzy -e '$query'" >/dev/null
    read -r v f z < <(python3 -c 'import json,sys
r=json.load(open(sys.argv[1]))["results"]
print(*("%.2f" % (x["median"] * 1000) for x in r))' "$json")
}

printf '%-14s %8s %8s %8s %10s %10s %9s\n' query "vantlo" "fzf" "fzy" "fzf/vantlo" "fzy/vantlo" matches
total_v=0 total_f=0 total_z=0
for query in "${queries[@]}"; do
    if command -v hyperfine >/dev/null && hyperfine --help | grep -q -- '--input'; then
        measure_hyperfine "$query"
    else
        measure_all "$query"
    fi
    matches=$("$vantlo" filter "$query" <"$corpus" | wc -l)
    printf '%-14s %6sms %6sms %6sms %9.1fx %9.1fx %9s\n' "\"$query\"" "$v" "$f" "$z" \
        "$(awk -v a="$f" -v b="$v" 'BEGIN { print a / b }')" \
        "$(awk -v a="$z" -v b="$v" 'BEGIN { print a / b }')" "$matches"
    total_v=$(awk -v a="$total_v" -v b="$v" 'BEGIN { print a + b }')
    total_f=$(awk -v a="$total_f" -v b="$f" 'BEGIN { print a + b }')
    total_z=$(awk -v a="$total_z" -v b="$z" 'BEGIN { print a + b }')
done
printf '%-14s %6.2fms %6.2fms %6.2fms %9.1fx %9.1fx\n' "all queries" "$total_v" "$total_f" "$total_z" \
    "$(awk -v a="$total_f" -v b="$total_v" 'BEGIN { print a / b }')" \
    "$(awk -v a="$total_z" -v b="$total_v" 'BEGIN { print a / b }')"

# One million lines must work too (and stay quick).
python3 "$here/make_corpus.py" 1000000 >"$work/million.txt"
s=${EPOCHREALTIME/[.,]/}
count=$("$vantlo" filter "read" <"$work/million.txt" | wc -l)
e=${EPOCHREALTIME/[.,]/}
echo
echo "1,000,000 lines, query \"read\": $count matches in $(((e - s) / 1000)) ms"
