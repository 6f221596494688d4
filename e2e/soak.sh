#!/usr/bin/env bash
# Soak and fault test of the real program on a private desktop (Xvfb and openbox).
#
#   e2e/soak.sh [--short | --long] [--series FILE] [--no-faults | --faults-only]
#
#   --short  (the default; scripts/test.sh runs it) 100 windows, 200 summons, a sample every 50;
#            with the faults about 8 minutes on a busy 2-core machine.
#   --long   (by hand, about 10 minutes) 300 windows, 1,000 summons, a sample every 100.
#
# The soak: one test client shows the windows ("soak 1" ...), and a churn loop starts a client
# with 5 windows and ends the previous one every 0.2 s. The summons cycle through the gestures
# a user makes: Alt+Tab held then released, a quick Alt+Tab in one stroke, Escape, release
# after moving the selection, and search (Return, a title typed, Return). Every summon must be
# answered (the panel shows and goes). The program's resident memory (VmRSS), its proportional
# share (Pss: shared library pages divided among the processes mapping them, so it moves when
# other programs start or end; reported, not bounded), open file descriptors (/proc/PID/fd) and
# threads (/proc/PID/task) are sampled with the churn held still and the panel gone; the series
# "summons rss_kb pss_kb fds threads" goes to FILE (default e2e/out/soak-MODE.txt) and is
# printed. VANTLO_SOAK_PROBE=COMMAND runs "COMMAND PID SUMMONS" at each sample while the churn
# holds still (a look with gdb or heaptrack).
#
# Bounds after warm-up (the first 50 summons in short mode, 200 in long mode; warm-up begins by
# walking one panel's selection over 120 rows, which fills the thumbnail cache), measured
# against the sample that ends it:
#   - resident memory grows by at most 6 MiB;
#   - open file descriptors: exactly as many as at the end of warm-up, not counting those that
#     watch running applications (a pidfd per application of any display of this user, so their
#     number follows the machine); none of those may watch a process that has ended;
#   - threads: the program's own threads exactly as many as at the end of warm-up; Qt's pool
#     workers come and go (idle ones end after 30 s) but never exceed the pools' ceiling.
#
# Where the memory goes (RelWithDebInfo, openbox, 2 cores at a load of 3 to 8; VmRSS, malloc
# statistics and malloc_trim(0) called from gdb at each sample, heaptrack attached after
# warm-up). The program starts at about 36 MB, 32 MB of it pages of its libraries; with 300
# windows and the thumbnail cache full it holds 60 to 68 MB:
#   - the thumbnail cache: up to 100 pictures of at most 256 pixels on a side (160 KB for these
#     320x200 windows, at most 256 KB for any window). A window list refresh drops the pictures
#     of windows that are gone, which also keeps a new window that is given a closed window's
#     number from showing the old picture;
#   - a live heap of about 21 MB beside it, of which Qt's gradient cache is 0.7 MB (60 colour
#     tables, filled by the selection highlight), the recency history 40 KB on disk and a few
#     times that in memory (500 windows and 200 applications at most, full by summon 300), the
#     window and process lists, and what libxcb keeps for our own X connection;
#   - 4 to 6 MB of freed memory the malloc arenas keep: the pictures are captured on pool
#     threads and glibc's moving threshold puts blocks of their size in those threads' arenas,
#     where freed ones leave holes. malloc_trim(0) at summon 1,000 gives it back (68.2 to
#     62.1 MB). Fixing the threshold at 128 KiB (mallopt) saves about as much but maps every
#     large block afresh, and made the summon slower with a browser's 1,000 tabs in the list
#     (in-process benchmark, mapped p50 3.0 to 3.7 ms against 2.4 to 2.5 ms), so the program
#     keeps glibc's default.
# Long mode: 63.2 MB after the fill, 66.3 MB at summon 200, 68.2 MB at 1,000 (before pictures of
# closed windows were dropped: 62.2, 66.2 and 67.4 MB). It still grows by about 0.2 MB per 100
# summons after warm-up (with the threshold fixed, 62.7, 64.7 and 66.7 MB at 200, 1,000 and
# 2,000): live heap in the pool threads' arenas. heaptrack finds no site of our own that grows;
# the one that does is libxcb's record of requests awaiting an answer on our X connection
# (32 bytes each; 208 KB live after 500 summons, 393 KB after 1,000). Short mode: 60.0 MB
# after the fill, 62.0 MB at summon 50, 62.6 MB at summon 200 (200 summons in 90 s at a load
# of 5.8).
#
# Then the faults (lib/soak_faults.sh), each on the same fresh desktop: the window manager
# killed and restarted while the panel shows, SIGKILLs during settings saves, a full settings
# folder, a read-only settings folder, and the X server killed while the panel shows.
#
# Exit status: 0 when every check passed, 1 otherwise, 2 when the program is not built.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
source "$here/lib/soak.sh"
source "$here/lib/soak_faults.sh"

mode=short
series=""
run_soak=1
run_faults=1
while (($#)); do
    case "$1" in
    --short | --long) mode="${1#--}" ;;
    --series)
        series="${2:?--series needs a file}"
        shift
        ;;
    --no-faults) run_faults=0 ;;
    --faults-only) run_soak=0 ;;
    *)
        echo "usage: e2e/soak.sh [--short | --long] [--series FILE] [--no-faults | --faults-only]" >&2
        exit 2
        ;;
    esac
    shift
done

if [[ "$mode" == long ]]; then
    windows=300 summons=1000 every=100 warmup=200
else
    windows=100 summons=200 every=50 warmup=50
fi
# Kept by hand for a quick look; CI and the stated bounds use the values above.
windows="${VANTLO_SOAK_WINDOWS:-$windows}"
summons="${VANTLO_SOAK_SUMMONS:-$summons}"
rss_growth_limit_kb=$((6 * 1024))
series="${series:-$here/out/soak-$mode.txt}"

e2e_require_tools
e2e_require_vantlo
export DESKTOP_WM="${VANTLO_E2E_WM:-openbox}"

# Appends one sample to the raw series: "summons rss_kb pss_kb fds threads pooled pidfds stale".
take_sample() {
    local count="$1"
    soak_churn_pause || fail "the churn loop did not hold still"
    # Let the program read the last window changes and finish the panel's slide-out.
    sleep 1
    echo "$count $(soak_resources)" >>"$series.raw"
    if [[ -n "${VANTLO_SOAK_PROBE:-}" ]]; then "$VANTLO_SOAK_PROBE" "$SOAK_PID" "$count"; fi
    soak_churn_resume
}

# Checks the samples after warm-up against the bounds stated at the top.
check_series() {
    local base count rss fds threads pooled ceiling
    base=$(awk -v w="$warmup" '$1 == w' "$series.raw")
    if [[ -z "$base" ]]; then
        fail "no sample at the end of warm-up ($warmup summons)"
        return
    fi
    read -r _ base_rss _ base_fds base_threads base_pooled base_pidfds _ <<<"$base"
    ceiling=$(soak_pool_ceiling)
    local rss_ok=1 fds_ok=1 threads_ok=1 pidfds stale most=0
    while read -r count rss _ fds threads pooled pidfds stale; do
        if ((stale > 0)); then
            fail "at summon $count, $stale descriptor(s) still watch processes that have ended"
            fds_ok=0
        fi
        ((count > warmup)) || continue
        ((rss - base_rss > most)) && most=$((rss - base_rss))
        if ((rss - base_rss > rss_growth_limit_kb)); then
            fail "resident memory grew by $(((rss - base_rss) / 1024)) MiB from summon $warmup to $count (bound: $((rss_growth_limit_kb / 1024)) MiB)"
            rss_ok=0
        fi
        if ((fds - pidfds != base_fds - base_pidfds)); then
            fail "open file descriptors: $((fds - pidfds)) at summon $count, $((base_fds - base_pidfds)) after warm-up (not counting process watches)"
            fds_ok=0
        fi
        if ((threads - pooled != base_threads - base_pooled || pooled > ceiling)); then
            fail "threads at summon $count: $((threads - pooled)) own and $pooled pool workers; after warm-up $((base_threads - base_pooled)) own, pool ceiling $ceiling"
            threads_ok=0
        fi
    done <"$series.raw"
    ((rss_ok)) && pass "resident memory after warm-up stays within $((rss_growth_limit_kb / 1024)) MiB of summon $warmup ($((base_rss / 1024)) MiB; at most $((most / 1024)).$((most % 1024 * 10 / 1024)) MiB more)"
    ((fds_ok)) && pass "open file descriptors stay at $((base_fds - base_pidfds)) after warm-up besides process watches, none of them stale"
    ((threads_ok)) && pass "own threads stay at $((base_threads - base_pooled)) after warm-up, pool workers at most $ceiling"
}

run_soak_phase() {
    desktop_start "$DESKTOP_WM" || exit 1
    e2e_private_folders
    mkdir -p "$(dirname "$series")"
    : >"$series.raw"
    local out
    read -r _ out < <(start_client --title soak --count "$windows")
    wait_ready "$out" "$windows" >/dev/null || {
        fail "the $windows soak windows did not appear"
        return
    }
    soak_start_vantlo "$DESKTOP_TMP/vantlo.out"
    soak_wait_ready 60 || {
        fail "the program did not start answering"
        return
    }
    soak_churn_start
    soak_fill_thumbnails || fail "the panel did not answer while its selection walked over 120 rows"
    take_sample 0
    local n started=$SECONDS unanswered_before=0
    for ((n = 1; n <= summons; n++)); do
        soak_gesture "$n" "$windows"
        if ((SOAK_UNANSWERED > unanswered_before)); then
            echo "the program's last lines: $(tail -n 5 "$DESKTOP_TMP/vantlo.out" | tr '\n' '|')" >&2
        fi
        unanswered_before=$SOAK_UNANSWERED
        if ! soak_alive; then
            fail "the program ended during summon $n: $(tail -n 5 "$DESKTOP_TMP/vantlo.out")"
            break
        fi
        if ((n % every == 0)); then
            take_sample "$n"
        fi
        if ((n == summons / 2)) && [[ -n "${VANTLO_SOAK_SCREENSHOT:-}" ]]; then
            soak_screenshot_under_churn "$VANTLO_SOAK_SCREENSHOT"
        fi
    done
    soak_churn_stop
    echo "soak: $((n - 1)) summons in $((SECONDS - started)) s, $SOAK_UNANSWERED unanswered"
    if ((SOAK_UNANSWERED == 0 && n > summons)); then
        pass "every one of $summons summons with $windows windows under churn was answered"
    elif ((SOAK_UNANSWERED > 0)); then
        fail "$SOAK_UNANSWERED of $summons summons were not answered"
    fi
    awk '{print $1, $2, $3, $4, $5}' "$series.raw" >"$series"
    echo "== series ($mode: summons rss_kb pss_kb fds threads)"
    cat "$series"
    check_series
    soak_stop_vantlo
    desktop_stop
}

# Holds the panel open under churn and saves the whole screen as a PNG (for a human look). The
# churn holds still for the capture: xwd gives up on a window that vanishes while it reads.
soak_screenshot_under_churn() {
    local file="$1"
    soak_summon_held || return 0
    soak_churn_pause
    sleep 0.7
    if command -v xwd >/dev/null && command -v python3 >/dev/null; then
        if xwd -root -silent >"$file.xwd" && python3 "$here/lib/xwd_to_png.py" "$file.xwd" "$file"; then
            echo "soak: screenshot of the panel under churn in $file"
        fi
        rm -f "$file.xwd"
    fi
    soak_churn_resume
    xdotool key Escape keyup alt
    soak_wait_gone
}

if ((run_soak)); then
    echo "== soak ($mode): $summons summons, $windows windows, churn of 5 windows every 0.2 s"
    run_soak_phase
fi
if ((run_faults)); then
    echo "== faults"
    run_fault_phase
fi
e2e_finish soak
