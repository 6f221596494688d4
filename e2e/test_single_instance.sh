#!/usr/bin/env bash
# One copy of the program per user and display, end to end under one window manager: a second
# copy started while one runs exits at once and leaves the first running; after the running copy
# crashes, the next one starts, since the kernel let go of its lock.
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

timeout 20 "$VANTLO" >"$DESKTOP_TMP/second.out" 2>&1
status=$?
if ((status == 0)) && grep -q "already running (pid $first" "$DESKTOP_TMP/second.out"; then
    pass "a second copy exits and says which copy runs"
else
    fail "the second copy ended with status $status: $(tail -3 "$DESKTOP_TMP/second.out")"
fi
if desktop_pid_alive "$first" && lock_names "$first"; then
    pass "the first copy keeps running"
else
    fail "the first copy ended: $(tail -5 "$DESKTOP_TMP/first.out")"
fi

kill -KILL "$first"
wait "$first" 2>/dev/null
desktop_spawn "$VANTLO" >"$DESKTOP_TMP/third.out" 2>&1
third=$DESKTOP_LAST_PID
if desktop_poll 10 lock_names "$third" && sleep 1 && desktop_pid_alive "$third"; then
    pass "after a crash the next copy starts"
else
    fail "the copy after the crash did not start: $(tail -3 "$DESKTOP_TMP/third.out")"
fi

e2e_finish test_single_instance
