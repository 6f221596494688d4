#!/usr/bin/env bash
# The global hot key and the panel's input under one window manager (VANTLO_E2E_WM), driven with
# XTEST through xdotool: presses reach the handler once each whatever the lock keys, a key held
# by another program is refused, only the asked-for keys are taken, and while the panel shows the
# keyboard and pointer are held, keys arrive with macOS codes and flags, and releasing Alt ends
# the hold and gives every grab back.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
e2e_require_tools

readonly TAB=48 OPTION=0x800 W=13

count_lines() {
    grep -c "$2" "$1" 2>/dev/null
}

# Holds Alt, taps Tab COUNT times, releases Alt (separate key events, as a user types them).
alt_tab() {
    local count="${1:-1}" i
    xdotool keydown alt
    for ((i = 0; i < count; i++)); do
        xdotool key Tab
        sleep 0.1
    done
    xdotool keyup alt
}

check_hot_key() {
    local out="$DESKTOP_TMP/hotkey.out"
    desktop_spawn "$DRIVER" hotkey $TAB $OPTION 60 >"$out" 2>&1
    local driver=$DESKTOP_LAST_PID
    desktop_poll 5 grep -q "^registered" "$out" || { fail "Alt+Tab was not registered: $(cat "$out")"; return 1; }
    alt_tab 1
    desktop_poll 3 has_lines "$out" "^pressed 1" 1
    alt_tab 2
    if desktop_poll 3 has_lines "$out" "^pressed 1" 3 && (($(count_lines "$out" "^pressed") == 3)); then
        pass "each Alt+Tab press reaches the handler once"
    else
        fail "presses: $(count_lines "$out" "^pressed") of 3"
    fi

    xdotool keydown alt keydown Tab
    sleep 1.2
    xdotool keyup Tab keyup alt
    sleep 0.3
    if (($(count_lines "$out" "^pressed") == 4)); then
        pass "holding the hot key down fires once, not per auto-repeat"
    else
        fail "held key fired $(($(count_lines "$out" "^pressed") - 3)) time(s)"
    fi

    xdotool key Num_Lock
    alt_tab 1
    xdotool key Num_Lock
    xdotool key Caps_Lock
    alt_tab 1
    xdotool key Caps_Lock
    if desktop_poll 3 has_lines "$out" "^pressed" 6; then
        pass "the hot key works with NumLock and with CapsLock on"
    else
        fail "with lock keys: $(count_lines "$out" "^pressed") presses of 6"
    fi

    local second="$DESKTOP_TMP/second.out"
    "$DRIVER" hotkey $TAB $OPTION 0.1 >"$second" 2>&1
    if grep -q "^refused" "$second" && grep -q "Alt+Tab is taken by another program" "$second"; then
        pass "a hot key another program holds is refused and named in the log"
    else
        fail "conflict: $(tr '\n' '|' <"$second")"
    fi
    "$DRIVER" hotkey $W $OPTION 0.1 >"$second" 2>&1
    if grep -q "^registered" "$second"; then
        pass "keys that were not asked for stay free (Alt+W)"
    else
        fail "Alt+W could not be taken while only Alt+Tab is registered: $(tr '\n' '|' <"$second")"
    fi
    kill "$driver"
}

check_panel_input() {
    local out="$DESKTOP_TMP/panel.out"
    panel_driver_shown "$out" || return 1
    local driver=$PANEL_DRIVER
    if [[ "$("$DRIVER" grab-probe)" == grabbed ]]; then
        pass "while the panel shows the keyboard is held"
    else
        fail "the keyboard is not grabbed while the panel shows"
    fi
    xdotool key Tab
    xdotool key w
    xdotool mousemove 100 120 click 1
    sleep 0.3
    if desktop_poll 3 grep -q "^key $W flags 524288 text w$" "$out"; then
        pass "Alt+W arrives as key code 13 with the option flag and its text"
    else
        fail "key events: $(tr '\n' '|' <"$out")"
    fi
    if (($(count_lines "$out" "^pressed") == 2)) && ! grep -q "^key $TAB " "$out"; then
        pass "the hot key pressed again goes to the hot-key handler, not the panel"
    else
        fail "second Tab: $(tr '\n' '|' <"$out")"
    fi
    if grep -q "^click 100 120$" "$out"; then
        pass "a click while the panel shows arrives with its screen position"
    else
        fail "click: $(tr '\n' '|' <"$out")"
    fi
    xdotool keyup alt
    if desktop_poll 3 grep -q "^released" "$out" && grep -q "^flags 0$" "$out"; then
        pass "releasing Alt is seen and ends the hold"
    else
        fail "Alt release: $(tr '\n' '|' <"$out")"
    fi
    if desktop_poll 3 bash -c "[[ \$('$DRIVER' grab-probe) == free ]]"; then
        pass "after the hold every grab is given back"
    else
        fail "a grab outlived the panel"
    fi
    alt_tab 1
    if desktop_poll 3 has_lines "$out" "^released" 2; then
        pass "the next Alt+Tab shows and releases the panel again"
    else
        fail "second showing: $(tr '\n' '|' <"$out")"
    fi
    kill "$driver"
}

desktop_start || exit 1
pass "desktop up on $DISPLAY"
check_hot_key
check_panel_input
e2e_finish test_input
