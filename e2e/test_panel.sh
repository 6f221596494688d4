#!/usr/bin/env bash
# The test showing of the switcher panel (VANTLO_TEST_PANEL=1) under one window manager
# (VANTLO_E2E_WM): the panel appears at the screen edge on every workspace and outside the
# taskbar, Return opens search, typing filters, Return prints the chosen row, Escape hides it.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
source "$here/lib/panel.sh"
panel_require_binary

check_placement_and_window_hints() {
    panel_start
    local id
    id=$(panel_wait_shown) || { fail "the test panel did not appear"; return 1; }
    local state desktop
    state=$(xprop -id "$id" _NET_WM_STATE)
    desktop=$(xprop -id "$id" _NET_WM_DESKTOP)
    if grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state" && grep -q _NET_WM_STATE_ABOVE <<<"$state" &&
        grep -q 4294967295 <<<"$desktop"; then
        pass "the panel stays above, out of the taskbar, on every workspace"
    else
        fail "window hints: $state / $desktop"
    fi
    # The right edge of the screen's work area (without the manager's toolbar), centred in it.
    local x y width height area wx wy ww wh
    eval "$(xdotool getwindowgeometry --shell "$id")"
    x=$X y=$Y width=$WIDTH height=$HEIGHT
    area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed 's/.*= //; s/,//g')
    read -r wx wy ww wh _ <<<"${area:-0 0 1280 1024}"
    local middle=$((wy + wh / 2)) centre=$((y + height / 2))
    if ((x + width == wx + ww && width == 354 && centre - middle <= 1 && middle - centre <= 1)); then
        pass "the panel hugs the right edge, vertically centred (${width}x${height}+${x}+${y})"
    else
        fail "placement ${width}x${height}+${x}+${y} in the work area ${ww}x${wh}+${wx}+${wy}"
    fi
    if [[ "$(xdotool getactivewindow 2>/dev/null)" == "$id" ]]; then
        pass "the panel takes the keyboard focus when shown"
    else
        fail "active window is $(xdotool getactivewindow 2>/dev/null), not the panel $id"
    fi
}

# Shows the test panel, opens search with Return and types a query that leaves one tab row.
search_for_planning() {
    panel_start
    panel_wait_shown >/dev/null || { fail "the test panel did not appear"; return 1; }
    xdotool key Return
    sleep 0.2
    xdotool type --delay 40 "planning"
    sleep 0.3
}

check_search_filters_and_return_opens() {
    search_for_planning || return
    xdotool key Return
    if panel_wait_line "Vantlo test panel selected: Quarterly planning – Google Docs"; then
        pass "Return opens search, typing filters, Return prints the selected row"
    else
        fail "output after searching: $(cat "$PANEL_OUT")"
    fi
}

check_close_key_prints_the_row() {
    search_for_planning || return
    xdotool key alt+x
    if panel_wait_line "Vantlo test panel close: Quarterly planning – Google Docs"; then
        pass "Alt+X on a tab row prints the row it would close"
    else
        fail "output after Alt+X: $(cat "$PANEL_OUT")"
    fi
}

check_selection_from_environment() {
    panel_start VANTLO_TEST_SELECTION=top
    panel_wait_shown >/dev/null || { fail "the test panel did not appear"; return 1; }
    xdotool key Return Down Return
    if panel_wait_line "Vantlo test panel selected: ninja -C build — ~/Projects/vantlo"; then
        pass "the selection starts where VANTLO_TEST_SELECTION says and moves with the arrows"
    else
        fail "output after moving from the top: $(cat "$PANEL_OUT")"
    fi
}

check_typing_without_return_searches() {
    panel_start
    panel_wait_shown >/dev/null || { fail "the test panel did not appear"; return 1; }
    xdotool type --delay 40 "htop"
    sleep 0.3
    xdotool key Return Return
    if panel_wait_line "Vantlo test panel selected: htop"; then
        pass "letters typed into the list go to the search field"
    else
        fail "output after typing: $(cat "$PANEL_OUT")"
    fi
}

check_escape_hides() {
    panel_start
    panel_wait_shown >/dev/null || { fail "the test panel did not appear"; return 1; }
    xdotool key Escape
    if panel_wait_hidden 5 && ! grep -q "selected" "$PANEL_OUT"; then
        pass "Escape hides the panel without choosing anything"
    else
        fail "after Escape: window $(panel_visible_window), output $(cat "$PANEL_OUT")"
    fi
}

check_click_opens_row() {
    panel_start VANTLO_TEST_SELECTION=top
    local id
    id=$(panel_wait_shown) || { fail "the test panel did not appear"; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$id")"
    # The second row of the main list: 57 points of header, 6 of padding, rows of 48 + 2.
    xdotool mousemove $((X + WIDTH / 2)) $((Y + 57 + 6 + 50 + 24)) click 1
    if panel_wait_line "Vantlo test panel selected: ninja -C build — ~/Projects/vantlo"; then
        pass "clicking a row opens it"
    else
        fail "output after a click: $(cat "$PANEL_OUT")"
    fi
}

desktop_start || exit 1
check_placement_and_window_hints
check_search_filters_and_return_opens
check_close_key_prints_the_row
check_selection_from_environment
check_typing_without_return_searches
check_escape_hides
check_click_opens_row
panel_stop
e2e_finish test_panel
