#!/usr/bin/env bash
# The switcher's latency on a busy private X desktop (Xvfb + openbox, WINDOWS test windows):
#
#   release  Alt release -> the keyboard can be grabbed by another client and the panel is
#            unmapped (goal: p95 under 16 ms with 300 windows);
#   churn    Tab press -> panel viewable while CHURN_WINDOWS windows are created and destroyed
#            every CHURN_PERIOD seconds (goal: p95 under 16.7 ms with 300 windows).
#
#   bench/desktop_latency.sh [build-dir]            # both
#   MODES=churn bench/desktop_latency.sh build/dev  # one
#
# Environment: RUNS (40 per mode), WINDOWS (300), APPS (150 desktop entries), CHURN_WINDOWS (5),
# CHURN_PERIOD (0.2), SETTLE_MS (250: how long the panel shows before Alt is released).
# Both are timed by vantlo-summon-probe, an X client of its own: XTEST key events, the root
# window's structure events, and for the release a keyboard grab tried in a loop.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
runs=${RUNS:-40}
windows=${WINDOWS:-300}
apps=${APPS:-150}
churn_windows=${CHURN_WINDOWS:-5}
churn_period=${CHURN_PERIOD:-0.2}
settle_ms=${SETTLE_MS:-250}
read -r -a modes <<<"${MODES:-release churn}"

build=${1:-}
if [[ -z "$build" ]]; then
    build="$root/build-summon"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTLO_TESTS=OFF \
        -DVANTLO_BENCH=ON >/dev/null || exit 1
    ninja -C "$build" -j2 vantlo vantlo-summon-probe vantlo-test-client >/dev/null || exit 1
fi
build=$(cd "$build" && pwd)
vantlo="$build/src/vantlo"
probe="$build/bench/vantlo-summon-probe"
client="$build/e2e/client/vantlo-test-client"
for tool in "$vantlo" "$probe" "$client"; do
    [[ -x "$tool" ]] || { echo "desktop_latency: $tool is not built" >&2; exit 1; }
done

export VANTLO_BINARY_DIR="$build"
source "$root/e2e/lib/desktop.sh"
source "$root/e2e/lib/checks.sh"
source "$here/lib/summon_desktop.sh"

echo "machine: $(nproc) cores; load before:$(uptime | sed 's/.*load average//')"
desktop_start openbox || exit 1
summon_desktop_prepare "$apps"
start_client --title "Busy" --count "$windows" >/dev/null
desktop_poll 120 bash -c "(( \$(timeout 3 xprop -root _NET_CLIENT_LIST | tr ',' '\n' | grep -c 0x) >= $windows ))" ||
    { echo "desktop_latency: only $(summon_desktop_clients) of $windows windows appeared" >&2; exit 1; }
echo "desktop: $DISPLAY, openbox, $(summon_desktop_clients) windows, $apps more desktop entries"

desktop_spawn "$vantlo" >"$DESKTOP_TMP/vantlo.log" 2>&1
summon_desktop_wait_ready "$probe" || exit 1

# Creates CHURN_WINDOWS windows every CHURN_PERIOD seconds and destroys the previous ones.
churn() {
    local previous="" current=""
    trap 'kill $previous $current 2>/dev/null; exit 0' TERM
    while :; do
        "$client" --title "Churn" --count "$churn_windows" >/dev/null 2>&1 &
        current=$!
        sleep "$churn_period"
        [[ -n "$previous" ]] && kill "$previous" 2>/dev/null
        previous=$current
    done
}

printf '\n%-44s %8s %8s %8s %8s %8s %5s\n' "" p50 p95 mean min max runs
report() {
    local label=$1 file=$2
    read -r p50 p95 mean min max n < <(summarize <"$file")
    printf '%-44s %6sms %6sms %6sms %6sms %6sms %5s\n' "$label" "$p50" "$p95" "$mean" "$min" "$max" "$n"
}

for mode in "${modes[@]}"; do
    case "$mode" in
        release)
            out="$DESKTOP_TMP/release.out"
            "$probe" release --class vantlo --runs "$runs" --settle-ms "$settle_ms" >"$out"
            awk '/^release_ms/ { print $2 }' "$out" >"$out.both"
            awk '/^release_ms/ { print $4 }' "$out" >"$out.grab"
            awk '/^release_ms/ { print $6 }' "$out" >"$out.unmap"
            report "Alt release -> keyboard free and unmapped" "$out.both"
            report "Alt release -> keyboard free" "$out.grab"
            report "Alt release -> panel unmapped" "$out.unmap"
            grep '^failed' "$out" | sort | uniq -c
            ;;
        churn)
            out="$DESKTOP_TMP/churn.out"
            churn &
            churner=$!
            sleep 2
            "$probe" hotkey --class vantlo --runs "$runs" --settle-ms "$settle_ms" >"$out"
            kill "$churner"
            wait "$churner" 2>/dev/null
            awk '/^summon_ms/ { print $2 }' "$out" >"$out.times"
            report "Tab press -> panel, $churn_windows windows churning every ${churn_period}s" "$out.times"
            grep '^failed' "$out" | sort | uniq -c
            ;;
        *)
            echo "desktop_latency: unknown mode $mode" >&2
            exit 2
            ;;
    esac
done
echo
echo "machine: load after:$(uptime | sed 's/.*load average//')"
