#!/usr/bin/env bash
# The commands to the running copy on openbox's own configuration, which binds Alt+Tab itself:
# without a running copy `vantlo show` says so and fails; with one, whose hot key the window
# manager holds, `vantlo show` still summons the panel, which switches on Alt's release when Alt
# is held and otherwise stays until Escape; `vantlo quit` ends the running copy.
# e2e-managers: any
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo

DESKTOP_OPENBOX_STOCK=1 desktop_start openbox || exit 1
e2e_private_folders

panel_window() {
    xdotool search --onlyvisible --name '^Vantlo$' 2>/dev/null | head -n 1
}
panel_shown() { [[ -n "$(panel_window)" ]]; }
panel_gone() { [[ -z "$(panel_window)" ]]; }
log_says() { grep -q "$1" "$DESKTOP_TMP/vantlo.out"; }

if "$VANTLO" show 2>"$DESKTOP_TMP/none.err"; then
    fail "'vantlo show' succeeded without a running copy"
elif grep -q "Vantlo is not running" "$DESKTOP_TMP/none.err"; then
    pass "without a running copy 'vantlo show' says so and fails"
else
    fail "'vantlo show' without a copy: $(cat "$DESKTOP_TMP/none.err")"
fi

desktop_spawn xterm -T alpha
desktop_spawn xterm -T beta
wait_for_window_title beta 10 >/dev/null || fail "no xterm"
desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
vantlo_pid=$DESKTOP_LAST_PID
if desktop_poll 10 log_says "Alt+Tab is taken"; then
    pass "openbox holds Alt+Tab, and Vantlo says so"
else
    fail "no word on the taken hot key: $(tail -3 "$DESKTOP_TMP/vantlo.out")"
fi
socket_up() { "$VANTLO" show 2>/dev/null; }
desktop_poll 10 socket_up || fail "'vantlo show' never reached the running copy"
if desktop_poll 5 panel_shown && sleep 1.5 && panel_shown; then
    pass "'vantlo show' summons the panel, which stays without Alt held"
else
    fail "'vantlo show' showed no lasting panel"
fi
xdotool key Escape
desktop_poll 5 panel_gone && pass "Escape closes it" || fail "the panel stayed after Escape"

xdotool keydown alt
sleep 0.2
"$VANTLO" show || fail "'vantlo show' with Alt held ended with status $?"
if desktop_poll 5 panel_shown; then
    sleep 0.5
    xdotool keyup alt
    if desktop_poll 5 panel_gone; then
        pass "with Alt held the panel switches when Alt is released"
    else
        fail "the panel stayed after Alt was released"
        xdotool key Escape
    fi
else
    xdotool keyup alt
    fail "'vantlo show' with Alt held showed no panel"
fi

# Ended, or only a zombie of this shell's until it is reaped.
copy_gone() {
    ! desktop_pid_alive "$vantlo_pid" || [[ "$(ps -o stat= -p "$vantlo_pid")" == Z* ]]
}
if "$VANTLO" quit && desktop_poll 10 copy_gone; then
    pass "'vantlo quit' ends the running copy"
else
    fail "the copy still runs after 'vantlo quit': $(tail -3 "$DESKTOP_TMP/vantlo.out")"
fi

e2e_finish test_commands
