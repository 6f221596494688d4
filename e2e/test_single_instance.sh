#!/usr/bin/env bash
# One copy of the program per user and display, end to end under one window manager: a second
# copy (like the first, not installed under /usr/) started while one runs asks the first to quit
# over the command channel and takes its place; after the running copy crashes, the next one
# starts, since the kernel let go of its lock.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo

desktop_start || exit 1
e2e_private_folders
lock="$XDG_RUNTIME_DIR/vantlo-${DISPLAY#:}.lock"

lock_names() {
    [[ -f "$lock" && "$(head -n 1 "$lock")" == "$1" ]]
}

desktop_spawn "$VANTLO" >"$DESKTOP_TMP/first.out" 2>&1
first=$DESKTOP_LAST_PID
if desktop_poll 10 lock_names "$first"; then
    pass "the first copy holds the lock"
else
    fail "the first copy holds no lock ($(cat "$lock" 2>/dev/null))"
fi

desktop_spawn "$VANTLO" >"$DESKTOP_TMP/second.out" 2>&1
second=$DESKTOP_LAST_PID
first_gone() {
    ! desktop_pid_alive "$first" || [[ "$(ps -o stat= -p "$first")" == Z* ]]
}
if desktop_poll 10 lock_names "$second" && grep -q "Took over from the copy at" \
    "$DESKTOP_TMP/second.out"; then
    pass "a second copy asks the first to quit and takes its place"
else
    fail "the second copy did not take over: $(tail -3 "$DESKTOP_TMP/second.out")"
fi
if desktop_poll 10 first_gone; then
    wait "$first" 2>/dev/null
    status=$?
    # Status 0: it quit on the channel's request, not killed by a signal.
    ((status == 0)) && pass "the first copy quit when asked" ||
        fail "the first copy ended with status $status"
else
    fail "the first copy still runs: $(tail -5 "$DESKTOP_TMP/first.out")"
fi
if desktop_poll 10 "$VANTLO" show && desktop_pid_alive "$second"; then
    pass "the newcomer runs and answers commands"
    xdotool key Escape
else
    fail "the newcomer does not answer: $(tail -3 "$DESKTOP_TMP/second.out")"
fi

kill -KILL "$second"
wait "$second" 2>/dev/null
desktop_spawn "$VANTLO" >"$DESKTOP_TMP/third.out" 2>&1
third=$DESKTOP_LAST_PID
if desktop_poll 10 lock_names "$third" && sleep 1 && desktop_pid_alive "$third"; then
    pass "after a crash the next copy starts"
else
    fail "the copy after the crash did not start: $(tail -3 "$DESKTOP_TMP/third.out")"
fi

e2e_finish test_single_instance
