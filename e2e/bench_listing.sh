#!/usr/bin/env bash
# Measures the window listing on a private Xvfb desktop with WINDOWS test windows (default 500)
# under each window manager. Not part of e2e/run.sh (it is a measurement, not a test).
#
#   VANTLO_BINARY_DIR=build e2e/bench_listing.sh [WINDOWS] [window managers...]
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
windows="${1:-500}"
shift $(($# > 0 ? 1 : 0))
managers=("$@")
((${#managers[@]})) || managers=(openbox fluxbox)
bench="$E2E_BUILD/bench/vantlo_bench_desktop"
[[ -x "$bench" && -x "$CLIENT" ]] || {
    echo "bench_listing: build vantlo_bench_desktop and vantlo-test-client first" >&2
    exit 2
}
for wm in "${managers[@]}"; do
    VANTLO_E2E_WM="$wm" desktop_start || exit 1
    read -r pid out < <(start_client --title "Bench" --count "$windows")
    wait_ready_all() { has_lines "$out" '^ready ' "$windows"; }
    desktop_poll 120 wait_ready_all || {
        echo "bench_listing: $windows windows did not appear under $wm" >&2
        desktop_stop
        exit 1
    }
    # Let the manager finish managing every window.
    desktop_poll 60 bash -c "(( \$(xprop -root _NET_CLIENT_LIST | tr ',' '\n' | wc -l) >= $windows ))"
    echo "== $windows windows under $wm"
    "$bench" --benchmark_min_time=1
    desktop_stop
done
