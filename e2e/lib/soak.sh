#!/usr/bin/env bash
# Pieces of the soak test (e2e/soak.sh): the real program started on the private desktop, the
# gestures a user makes with it, window churn and samples of the program's resources. Source
# after lib/desktop.sh and lib/checks.sh.

SOAK_PID=""
SOAK_LOG=""
SOAK_CHURN_PID=""
SOAK_UNANSWERED=0
SOAK_FAILED_STEP=""

# Starts the program with its output in FILE (appended); extra VAR=value arguments go into its
# environment. It runs in a scratch working folder with core dumps allowed, so a crash leaves
# evidence (soak_no_core).
soak_start_vantlo() {
    SOAK_LOG="$1"
    shift
    mkdir -p "$DESKTOP_TMP/cwd"
    (cd "$DESKTOP_TMP/cwd" && ulimit -c unlimited 2>/dev/null
        exec env "$@" "$VANTLO") >>"$SOAK_LOG" 2>&1 &
    SOAK_PID=$!
}

soak_alive() {
    [[ -n "$SOAK_PID" ]] && ! process_gone "$SOAK_PID"
}

# The panel is an override-redirect child of the root. Not xdotool search: it stops at the
# first window that vanishes under it, which churn makes nearly certain.
soak_panel_id() {
    timeout 5 "$DRIVER" viewable Vantlo 2>/dev/null | head -n 1
}

soak_panel_shown() {
    [[ -n "$(soak_panel_id)" ]]
}

soak_panel_gone() {
    ! soak_panel_shown
}

# Waits until the program answers Alt+Tab with its panel (it grabs the hot key a moment after
# it starts, and a fresh start reads every window first), then closes the panel with Escape.
soak_wait_ready() {
    local deadline=$((SECONDS + ${1:-30}))
    while ((SECONDS < deadline)) && soak_alive; do
        xdotool keydown alt key Tab
        if desktop_poll 2 soak_panel_shown; then
            xdotool key Escape keyup alt
            desktop_poll 5 soak_panel_gone
            return 0
        fi
        xdotool keyup alt
    done
    desktop_fail "the program did not answer Alt+Tab: $(tail -n 3 "$SOAK_LOG" 2>/dev/null)"
}

# Ends the program with SIGTERM (SIGKILL after five seconds) and waits for it.
soak_stop_vantlo() {
    [[ -n "$SOAK_PID" ]] || return 0
    desktop_kill_and_reap "$SOAK_PID"
    SOAK_PID=""
}

soak_kill_vantlo() {
    [[ -n "$SOAK_PID" ]] || return 0
    kill -KILL "$SOAK_PID" 2>/dev/null
    wait "$SOAK_PID" 2>/dev/null
    SOAK_PID=""
}

soak_no_core() {
    ! compgen -G "$DESKTOP_TMP/cwd/core*" >/dev/null
}

# Keeps a core dump for a look with gdb (e2e/out is not part of the repository).
soak_keep_core() {
    local core
    core=$(compgen -G "$DESKTOP_TMP/cwd/core*" | head -n 1)
    [[ -n "$core" ]] || return 0
    mkdir -p "$E2E_ROOT/e2e/out"
    cp "$core" "$E2E_ROOT/e2e/out/core.$1" && echo "soak: core dump kept in e2e/out/core.$1" >&2
}

# --- gestures: each is one summon; false when the program did not answer it ------------------

# Alt+Tab held until the panel shows; the rest of the gesture runs while it shows.
soak_summon_held() {
    xdotool keydown alt key Tab
    if desktop_poll 5 soak_panel_shown; then
        return 0
    fi
    SOAK_FAILED_STEP="no panel 5 s after Alt+Tab"
    xdotool keyup alt
    return 1
}

soak_wait_gone() {
    desktop_poll 5 soak_panel_gone && return 0
    # Leave a clean desktop for the next gesture even when this one failed, and say whether the
    # program was only late or is stuck.
    local waited=$SECONDS
    xdotool key Escape keyup alt
    if desktop_poll 10 soak_panel_gone; then
        SOAK_FAILED_STEP="the panel stayed 5 s after the gesture ended (gone $((SECONDS - waited)) s after another Escape)"
    else
        SOAK_FAILED_STEP="the panel stayed 5 s after the gesture ended and 10 s after another Escape"
    fi
    SOAK_FAILED_STEP+="; program log: $(tail -n 2 "$SOAK_LOG" 2>/dev/null | tr '\n' '|')"
    return 1
}

soak_gesture_held() {
    soak_summon_held || return 1
    xdotool keyup alt
    soak_wait_gone
}

# Down and up in one stroke: Alt may be gone before the panel has taken the keyboard.
soak_gesture_quick() {
    xdotool keydown alt key Tab keyup alt
    soak_wait_gone
}

soak_gesture_escape() {
    soak_summon_held || return 1
    xdotool key Escape
    soak_wait_gone || return 1
    xdotool keyup alt
}

soak_gesture_moving() {
    soak_summon_held || return 1
    xdotool key Tab Tab shift+Tab
    xdotool keyup alt
    soak_wait_gone
}

# Return opens search, which stays open after Alt goes up; typing filters, Return opens the match.
soak_gesture_search() {
    local text="$1"
    soak_summon_held || return 1
    xdotool key Return keyup alt
    xdotool type --delay 15 "$text"
    xdotool key Return
    soak_wait_gone
}

SOAK_GESTURES=(held quick escape moving search)

# Runs gesture number N of the cycle; a failure counts as an unanswered summon.
soak_gesture() {
    local n="$1" windows="$2" kind="${SOAK_GESTURES[$(($1 % ${#SOAK_GESTURES[@]}))]}"
    local ok=0
    case "$kind" in
    search) soak_gesture_search "soak $(((n * 7) % windows + 1))" || ok=1 ;;
    *) "soak_gesture_$kind" || ok=1 ;;
    esac
    if ((ok != 0)); then
        SOAK_UNANSWERED=$((SOAK_UNANSWERED + 1))
        echo "summon $n ($kind) was not answered: $SOAK_FAILED_STEP" >&2
    fi
    return $ok
}

# --- churn ---------------------------------------------------------------------------------

# Every 0.2 s a test client with 5 windows starts and the previous one ends. While the file
# PAUSE exists the loop holds still with one client (5 windows) up and touches PAUSE.held.
soak_churn_loop() {
    local pause="$1" step=0 previous="" current=""
    trap 'kill $previous $current 2>/dev/null; exit 0' TERM
    while :; do
        if [[ -e "$pause" ]]; then
            touch "$pause.held"
            sleep 0.05
            continue
        fi
        rm -f "$pause.held"
        step=$((step + 1))
        "$CLIENT" --title "churn $step" --count 5 >/dev/null 2>&1 &
        current=$!
        sleep 0.2
        if [[ -n "$previous" ]]; then
            kill "$previous" 2>/dev/null
            wait "$previous" 2>/dev/null
        fi
        previous=$current
    done
}

soak_churn_start() {
    SOAK_CHURN_PAUSE="$DESKTOP_TMP/churn.pause"
    rm -f "$SOAK_CHURN_PAUSE" "$SOAK_CHURN_PAUSE.held"
    desktop_spawn soak_churn_loop "$SOAK_CHURN_PAUSE"
    SOAK_CHURN_PID=$DESKTOP_LAST_PID
}

soak_churn_pause() {
    [[ -n "$SOAK_CHURN_PID" ]] || return 0
    touch "$SOAK_CHURN_PAUSE"
    desktop_poll 5 test -e "$SOAK_CHURN_PAUSE.held"
}

soak_churn_resume() {
    [[ -n "$SOAK_CHURN_PID" ]] || return 0
    rm -f "$SOAK_CHURN_PAUSE" "$SOAK_CHURN_PAUSE.held"
}

soak_churn_stop() {
    [[ -n "$SOAK_CHURN_PID" ]] || return 0
    desktop_kill_and_reap "$SOAK_CHURN_PID"
    SOAK_CHURN_PID=""
}

# --- samples -------------------------------------------------------------------------------

# Prints "RSS_KB PSS_KB FDS THREADS POOLED PIDFDS STALE" of the program: resident memory, its
# proportional share (shared library pages divided among the processes that map them; 0 where
# the kernel does not tell), open file descriptors, threads, how many of those threads are Qt's
# pool workers, how many descriptors watch processes (one per running application, of any
# display of this user, so their number follows the rest of the machine) and how many of those
# watch a process that has ended.
soak_resources() {
    local proc="/proc/$SOAK_PID" rss pss fds threads pooled pidfds=0 stale=0 fd pid
    rss=$(awk '/^VmRSS:/ {print $2}' "$proc/status" 2>/dev/null)
    pss=$(awk '/^Pss:/ {print $2}' "$proc/smaps_rollup" 2>/dev/null)
    fds=$(find "$proc/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
    threads=$(find "$proc/task" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
    pooled=$(cat "$proc"/task/*/comm 2>/dev/null | grep -c '^Thread (pooled)$')
    for fd in "$proc"/fd/*; do
        [[ "$(readlink "$fd" 2>/dev/null)" == "anon_inode:[pidfd]" ]] || continue
        pidfds=$((pidfds + 1))
        pid=$(awk '/^Pid:/ {print $2}' "$proc/fdinfo/${fd##*/}" 2>/dev/null)
        if [[ -z "$pid" || "$pid" -le 0 ]] || process_gone "$pid"; then
            stale=$((stale + 1))
        fi
    done
    echo "${rss:-0} ${pss:-0} $fds $threads $pooled $pidfds $stale"
}

# Walks the selection of one held panel over 120 rows, so that the thumbnail cache (the picture
# of every row that has been selected, at most 100) is full before warm-up ends and its
# pictures are not mistaken for growth afterwards.
soak_fill_thumbnails() {
    soak_summon_held || return 1
    local tabs=() i
    for ((i = 0; i < 120; i++)); do tabs+=(Tab); done
    xdotool key --delay 60 "${tabs[@]}"
    xdotool key Escape
    soak_wait_gone
    xdotool keyup alt
}

# The pool workers a quiet program may keep: the program's two background pools (at least two
# workers each, the second half the cores) and Qt's global pool (one per core, used by image
# scaling); idle workers end after 30 s, so their number moves between samples.
soak_pool_ceiling() {
    local cores
    cores=$(getconf _NPROCESSORS_ONLN 2>/dev/null || nproc)
    echo $(((cores > 2 ? cores : 2) + (cores / 2 > 2 ? cores / 2 : 2) + cores))
}
