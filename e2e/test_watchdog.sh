#!/usr/bin/env bash
# The grab watchdog end to end: the real program, its panel held open with Alt, then its main
# thread blocked on purpose (`vantlo stall`, which exists only while VANTLO_TEST_STALL_SECONDS is
# set). While the main thread is still stuck the keyboard must come back: another client can
# grab it, the panel is off the screen, and typed text reaches the xterm that has the focus.
# Once the program answers again it logs the event once, switches nothing, and the next
# Alt+Tab works as usual. The screenshot shows the desktop with the typed line and no panel.
# e2e-managers: any
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo
e2e_require_tools

# Long enough that every check below runs while the main thread is still blocked.
export VANTLO_TEST_STALL_SECONDS=6
shots="${VANTLO_E2E_SHOTS:-$E2E_ROOT/e2e/out}"
mkdir -p "$shots"

desktop_start || exit 1
e2e_private_folders

typed="$DESKTOP_TMP/typed.txt"
desktop_spawn xterm -T other -geometry 60x10+20+20 -e sleep 600
wait_for_window_title other >/dev/null || fail "xterm other did not appear"
desktop_spawn xterm -T typist -geometry 60x10+120+220 -e sh -c "cat >'$typed'"
typist=$(wait_for_window_title typist) || fail "xterm typist did not appear"
xdotool windowactivate --sync "$(wait_for_window_title other)" 2>/dev/null
xdotool windowactivate --sync "$typist" 2>/dev/null
wait_for_active_title typist 5 || fail "could not focus the typist xterm to set the scene"

desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
vantlo_pid=$DESKTOP_LAST_PID
sleep 2

panel_visible() {
    xdotool search --onlyvisible --name '^Vantlo$' >/dev/null 2>&1
}
keyboard_free() {
    [[ "$("$DRIVER" grab-probe)" == free ]]
}

xdotool keydown alt key Tab
if desktop_poll 5 panel_visible && ! keyboard_free; then
    pass "Alt+Tab held shows the panel and holds the keyboard"
else
    fail "the panel did not show with the keyboard held"
fi

"$VANTLO" stall || fail "the stall command was refused"
stalled_at=$SECONDS
xdotool keyup alt
if desktop_poll 3 keyboard_free; then
    pass "with the main thread blocked, another client can grab the keyboard again"
else
    fail "the keyboard stayed grabbed while the main thread was blocked"
fi
if desktop_poll 2 bash -c "! xdotool search --onlyvisible --name '^Vantlo\$' >/dev/null 2>&1"; then
    pass "the panel left the screen"
else
    fail "the panel stayed on screen"
fi
xdotool type --delay 20 "hello from the keyboard"
xdotool key Return
if desktop_poll 2 grep -q "hello from the keyboard" "$typed"; then
    pass "typed text reaches the focused xterm"
else
    fail "the xterm received: '$(cat "$typed" 2>/dev/null)'"
fi
desktop_screenshot "$shots/watchdog-keyboard-back.png" || true
if ((SECONDS - stalled_at < VANTLO_TEST_STALL_SECONDS)) && kill -0 "$vantlo_pid" 2>/dev/null; then
    pass "all of that while the program was still blocked"
else
    fail "the checks took $((SECONDS - stalled_at))s, past the ${VANTLO_TEST_STALL_SECONDS}s stall"
fi

# The program answers again: the queued Alt release must not switch, the panel stays away.
sleep "$VANTLO_TEST_STALL_SECONDS"
watchdog_lines=$(grep -c "did not answer for .* ms while the switcher held the keyboard" \
    "$DESKTOP_TMP/vantlo.out")
if ((watchdog_lines == 1)); then
    pass "the watchdog logged once"
else
    fail "watchdog log lines: $watchdog_lines"
fi
if wait_for_active_title typist 2 && ! panel_visible; then
    pass "after the stall nothing was switched and the panel stayed hidden"
else
    fail "after the stall: active '$(active_window_title)', panel visible: $(panel_visible && echo yes)"
fi

xdotool keydown alt
sleep 0.3
xdotool key Tab
sleep 0.3
xdotool keyup alt
if wait_for_active_title other 5 && desktop_poll 3 keyboard_free; then
    pass "the next Alt+Tab switches as usual and gives the keyboard back"
else
    fail "next Alt+Tab: active '$(active_window_title)'"
fi

if ((E2E_FAILURES > 0)); then
    echo "--- vantlo output" >&2
    tail -20 "$DESKTOP_TMP/vantlo.out" >&2
fi
e2e_finish test_watchdog
