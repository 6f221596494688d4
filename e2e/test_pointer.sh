#!/usr/bin/env bash
# The pointer on the real, summoned switcher panel under one window manager (VANTLO_E2E_WM),
# Alt held down as a user holds it: xterms alpha, beta and gamma, used in that order. A click on
# the third row opens that window at once; hovering a row's close button gives it its red hover
# look; a click on the close button closes that window; after a search engaged the panel and Alt
# went up, a click on a row still opens it; a click 4 px beside the panel keeps it, one 40 px away
# dismisses it; a summon while another program holds the keyboard closes again with one log
# line; with 40 more windows the wheel scrolls the list, and a row whose window ignores the close
# shows its closing state. Leaves pointer-*.png in e2e/out/ (or VANTLO_E2E_SHOTS).
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo
e2e_require_tools

shots="${VANTLO_E2E_SHOTS:-$E2E_ROOT/e2e/out}"
mkdir -p "$shots"

# Where the parts of a main-list row sit in a right-edge panel of the default width and text
# size: the list starts under 57 points of header and 6 of padding, rows are 48 high and 2 apart,
# the row's close button is a 20-point square 8 points in from the row's end (x 297 … 317 of
# the panel; the selected row grows by 3.5 % from its leading edge, so its button is drawn a
# little further right).
row_y() { echo $((PY + 57 + 6 + 24 + 50 * $1)); }
close_x() { echo $((PX + 307)); }
row_x() { echo $((PX + 170)); }

panel_id() {
    xdotool search --onlyvisible --name '^Vantlo$' 2>/dev/null | head -n 1
}
panel_up() { [[ -n "$(panel_id)" ]]; }
panel_down() { [[ -z "$(panel_id)" ]]; }

# Holds Alt, summons the panel with Tab and waits for it to finish sliding in; sets PX PY PH.
summon() {
    xdotool keydown alt
    sleep 0.2
    xdotool key Tab
    if ! desktop_poll 5 panel_up; then
        fail "the panel did not appear"
        xdotool keyup alt
        return 1
    fi
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$(panel_id)")"
    PX=$X PY=$Y PH=$HEIGHT
}

# Lets go of Alt and waits for the panel to go.
release() {
    xdotool keyup alt
    desktop_poll 5 panel_down || fail "the panel stayed after Alt went up"
}

# Saves the panel's part of the screen as SHOTS/NAME.png, after the animations settle.
shoot() {
    sleep "${2:-0.6}"
    desktop_screenshot "$shots/$1.png" "$(panel_id)" || fail "no screenshot $1"
}

count_pixels() {
    python3 "$here/lib/pixel.py" "$@"
}

desktop_start || exit 1
e2e_private_folders

start_xterm alpha 60x10+40+40
start_xterm beta 60x10+40+40
start_xterm gamma 60x10+40+40
activate alpha
activate beta
activate gamma

desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
vantlo_pid=$DESKTOP_LAST_PID
sleep 2

# Most recent first: gamma, beta, alpha. The click opens the row while Alt is still down.
if summon; then
    xdotool mousemove "$(row_x)" "$(row_y 2)"
    sleep 0.2
    xdotool click 1
    if desktop_poll 5 panel_down && wait_for_active_title alpha 5; then
        pass "a click on the third row with Alt held opens that window at once"
    else
        fail "after the click: panel $(panel_id), active '$(active_window_title)'"
    fi
    xdotool keyup alt
fi

# Most recent first: alpha, gamma, beta. Hover the second row's close button, then click it.
if summon; then
    xdotool mousemove "$(row_x)" "$(row_y 0)"
    sleep 0.2
    xdotool mousemove "$(close_x)" "$(row_y 1)"
    shoot pointer-close-hover
    # The panel's own coordinates in the picture: the hovered button, and the one of the row above.
    hovered=$(count_pixels "$shots/pointer-close-hover.png" 290 $((87 + 50 - 12)) 335 $((87 + 50 + 12)) red)
    other=$(count_pixels "$shots/pointer-close-hover.png" 290 $((87 - 12)) 335 $((87 + 12)) red)
    if ((hovered >= 40 && other == 0)); then
        pass "hovering a row's close button turns it red ($hovered red pixels, none on the row above)"
    else
        fail "close button hover look: $hovered red pixels on the hovered button, $other above"
    fi
    xdotool click 1
    if desktop_poll 5 bash -c "! xdotool search --name '^gamma\$' >/dev/null 2>&1"; then
        pass "a click on a row's close button closes that window"
    else
        fail "gamma is still open after a click on its close button"
    fi
    shoot pointer-after-close 0.1
    release
    wait_for_active_title alpha 5 || fail "closing from the panel switched to '$(active_window_title)'"
fi

# Engaged by a search, the panel stays after Alt goes up and still takes clicks: the first row
# of the results for "bet" is beta.
if summon; then
    xdotool key Return
    sleep 0.2
    xdotool type --delay 60 bet
    xdotool keyup alt
    sleep 0.4
    if panel_up; then
        xdotool mousemove "$(row_x)" "$(row_y 0)"
        sleep 0.1
        xdotool click 1
        if desktop_poll 5 panel_down && wait_for_active_title beta 5; then
            pass "after a search has engaged it, a click on a row opens that window"
        else
            fail "after the engaged click: panel $(panel_id), active '$(active_window_title)'"
        fi
    else
        fail "the panel went when Alt went up after a search"
    fi
    activate alpha
fi

# A click just beside the panel keeps it; one well away dismisses it without switching.
if summon; then
    xdotool mousemove $((PX - 4)) $((PY + PH / 2)) click 1
    sleep 0.5
    if panel_up; then
        pass "a click 4 px beside the panel keeps it"
    else
        fail "a click 4 px beside the panel dismissed it"
    fi
    xdotool mousemove $((PX - 40)) $((PY + PH / 2)) click 1
    if desktop_poll 5 panel_down; then
        pass "a click 40 px away from the panel dismisses it"
    else
        fail "the panel stayed after a click 40 px away"
    fi
    xdotool keyup alt
    sleep 0.3
    wait_for_active_title alpha 5 || fail "dismissing by a click switched to '$(active_window_title)'"
fi

# Another program holds the keyboard: a summon (through the command, as the hot key cannot reach
# us then) cannot take it, so the panel goes again and the log says why in one line.
refusal="could not take the keyboard"
"$DRIVER" hold-keyboard 4 >"$DESKTOP_TMP/hold.out" 2>&1 &
holder=$!
if desktop_poll 3 grep -q held "$DESKTOP_TMP/hold.out"; then
    "$VANTLO" show >/dev/null 2>&1
    sleep 2
    lines=$(grep -c "$refusal" "$DESKTOP_TMP/vantlo.out")
    if panel_down && ((lines == 1)); then
        pass "a summon while another program holds the keyboard closes the panel, logged once"
    else
        fail "with the keyboard held elsewhere: panel $(panel_id), $lines log line(s)"
    fi
else
    fail "the driver could not hold the keyboard: $(cat "$DESKTOP_TMP/hold.out")"
fi
wait "$holder" 2>/dev/null

# Forty windows more, which ignore a request to close: the wheel over the list scrolls it, and a
# row whose close was asked for shows its closing state while its window stays.
read -r _ many < <(start_client --title many --count 40 --ignore-close)
wait_ready "$many" 40 >/dev/null || fail "the 40 test windows did not appear"
if summon; then
    # The pointer on the second row selects it; the wheel then moves the rows, and the highlight
    # with its row, up and out of that place.
    xdotool mousemove "$(row_x)" "$(row_y 0)"
    sleep 0.1
    xdotool mousemove "$(row_x)" "$(row_y 1)"
    shoot pointer-wheel-before
    xdotool click --repeat 4 --delay 60 5
    shoot pointer-wheel-after
    band=(40 $((87 + 50 - 20)) 320 $((87 + 50 + 20)))
    before=$(count_pixels "$shots/pointer-wheel-before.png" "${band[@]}")
    after=$(count_pixels "$shots/pointer-wheel-after.png" "${band[@]}")
    if ((before >= 500 && after * 10 < before)) &&
        ! cmp -s "$shots/pointer-wheel-before.png" "$shots/pointer-wheel-after.png"; then
        pass "the wheel scrolls a 40-window list (selection band $before → $after blue pixels)"
    else
        fail "the wheel did not scroll: selection band $before → $after blue pixels"
    fi
    xdotool mousemove "$(close_x)" "$(row_y 1)"
    sleep 0.2
    xdotool click 1
    shoot pointer-closing-row 0.4
    if panel_up && (($(xdotool search --name '^many [0-9]+$' 2>/dev/null | wc -l) == 40)); then
        pass "a window that ignores its close keeps its row, the panel stays up"
    else
        fail "after closing a window that ignores it: panel $(panel_id)"
    fi
    release
fi

check_still_running "$vantlo_pid" "$DESKTOP_TMP/vantlo.out"
show_logs_on_failure "$DESKTOP_TMP/vantlo.out"
e2e_finish test_pointer
