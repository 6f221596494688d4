#!/usr/bin/env bash
# Keyboard layouts under one window manager (VANTLO_E2E_WM). The panel's input (the driver's
# panel, the real X11 backend) reports keys by position and text by layout: switched to Russian
# with setxkbmap while the panel holds the keyboard, the key where a US keyboard has X arrives as
# X (key code 7) typing "ч"; then German, the key left of Return types "ä"; then French AZERTY,
# the key where a US keyboard has Q arrives as Q (key code 12) typing "a"; the grab holds
# throughout. The real program with a German layout
# set after it started: "ä" typed into the search, whether the panel still holds the keyboard or
# already has the focus for typing (and keeps it when a new window appears), finds the window
# titled bär; Alt+Tab, Alt+X and Alt+Q still work.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
e2e_require_tools
e2e_require_vantlo

# X key codes (evdev) of positions: where a US keyboard has X and Q, the key left of Return, and
# Return.
readonly POS_X=53 POS_Q=24 POS_LEFT_OF_RETURN=48 POS_RETURN=36

grab_held() {
    [[ "$("$DRIVER" grab-probe)" == grabbed ]]
}

check_panel_input_follows_layout() {
    setxkbmap -layout us -option ''
    local out="$DESKTOP_TMP/panel.out"
    panel_driver_shown "$out" || return 1
    local driver=$PANEL_DRIVER
    local layout position expected
    for layout in "ru $POS_X 7 ч" "de $POS_LEFT_OF_RETURN 39 ä" "fr $POS_Q 12 a"; do
        read -r layout position code expected <<<"$layout"
        setxkbmap -layout "$layout" -option ''
        sleep 0.5
        xdotool key "$position"
        if desktop_poll 3 grep -q "^key $code flags 524288 text $expected\$" "$out"; then
            pass "switched to $layout while the panel shows: X key $position is key $code typing $expected"
        else
            fail "$layout: $(tr '\n' '|' <"$out")"
        fi
    done
    if grab_held; then
        pass "the keyboard stays held through the layout changes"
    else
        fail "a layout change broke the panel's grab"
    fi
    xdotool keyup alt
    if desktop_poll 3 grep -q "^released" "$out" && desktop_poll 3 bash -c "[[ \$('$DRIVER' grab-probe) == free ]]"; then
        pass "releasing Alt still ends the hold"
    else
        fail "Alt release after the layout changes: $(tr '\n' '|' <"$out")"
    fi
    kill "$driver"
}

# Holds Alt, presses the given xdotool keys one by one, releases Alt.
with_alt() {
    xdotool keydown alt
    sleep 0.3
    local key
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.25
    done
    xdotool keyup alt
}

all_minimised() {
    local id
    for id in $(xdotool search --name '^(alpha|gamma)$' 2>/dev/null); do
        xprop -id "$id" WM_STATE 2>/dev/null | grep -q 'window state: Iconic' || return 1
    done
}

check_program_follows_layout() {
    start_xterm alpha 60x8
    start_utf8_xterm bär 60x8
    start_xterm gamma 60x8
    activate bär
    activate alpha
    activate gamma
    setxkbmap -layout us -option ''
    desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
    vantlo_pid=$DESKTOP_LAST_PID
    sleep 2
    # The layout changes after the program read the keyboard.
    setxkbmap -layout de -option ''
    sleep 0.5

    # Return first: the panel takes the focus and Qt types the key, even after a window that
    # appeared meanwhile was given the focus by the window manager.
    with_alt Tab $POS_RETURN
    start_xterm late 60x8
    sleep 0.5
    xdotool key $POS_LEFT_OF_RETURN
    sleep 0.2
    xdotool key $POS_RETURN
    if wait_for_active_title bär 5; then
        pass "Return, then the key left of Return types ä in the search and finds bär, though a new window appeared"
    else
        fail "search for ä after Return: active is '$(active_window_title)'"
    fi

    # Typed while the panel still holds the keyboard; a typed query opens the search with the
    # first Return and the second opens the row.
    activate gamma
    with_alt Tab $POS_LEFT_OF_RETURN $POS_RETURN $POS_RETURN
    if wait_for_active_title bär 5; then
        pass "the key left of Return typed straight after Alt+Tab types ä and finds bär"
    else
        fail "search for ä while held: active is '$(active_window_title)'"
    fi

    with_alt Tab
    if wait_for_active_title gamma 5; then
        pass "Alt+Tab still switches with the German layout"
    else
        fail "Alt+Tab with the German layout: active is '$(active_window_title)'"
    fi
    with_alt Tab $POS_X
    if desktop_poll 5 bash -c "! xdotool search --name '^bär\$' >/dev/null"; then
        pass "Alt+X still closes the highlighted window with the German layout"
    else
        fail "Alt+X with the German layout left bär open"
    fi
    # Alt+Q once the panel has the focus for typing: the Q position, whatever the layout.
    with_alt Tab $POS_RETURN $POS_Q
    if desktop_poll 5 all_minimised; then
        pass "Alt+Q from the open search shows the desktop with the German layout"
    else
        fail "Alt+Q from the open search left windows on screen"
    fi
    check_still_running "$vantlo_pid" "$DESKTOP_TMP/vantlo.out"
}

desktop_start || exit 1
e2e_private_folders
check_panel_input_follows_layout
check_program_follows_layout
show_logs_on_failure "$DESKTOP_TMP/vantlo.out"
e2e_finish test_keyboard_layout
