#!/usr/bin/env bash
# Windows through the X11 Accessibility backend under one window manager (VANTLO_E2E_WM):
# listing with titles (compound text among them), pids and stacking order, raise, minimise and
# un-minimise, desktops, the close button, dialogs, and listings racing with windows that
# disappear.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
e2e_require_tools

check_listing_and_stacking() {
    local pid out ids first second
    read -r pid out < <(start_client --title "Alpha" --count 2)
    ids=$(wait_ready "$out" 2) || { fail "two-window client not ready"; return 1; }
    first=$(sed -n 1p <<<"$ids")
    second=$(sed -n 2p <<<"$ids")
    desktop_spawn xterm -T "Listed Terminal" -e sleep 600
    local xterm_pid=$DESKTOP_LAST_PID xterm_id
    xterm_id=$(wait_for_window_title "Listed Terminal") || { fail "xterm did not appear"; return 1; }
    # A manager adds a new client to its list a moment after the window appears.
    desktop_poll 5 driver_lists "^window $xterm_id "
    local listing
    listing=$("$DRIVER" windows)
    if grep -q "^window $first pid $pid .* title Alpha 1$" <<<"$listing" &&
        grep -q "^window $second pid $pid .* title Alpha 2$" <<<"$listing" &&
        grep -q "^window $xterm_id pid $xterm_pid .* title Listed Terminal$" <<<"$listing"; then
        pass "listing names every window with its title and owning pid"
    else
        fail "listing: $listing"
    fi
    "$DRIVER" raise "$first" >/dev/null
    wait_for_active_title "Alpha 1" 5 || { fail "raise did not activate Alpha 1"; return 1; }
    if [[ "$("$DRIVER" windows "$pid" | awk 'NR==1 {print $2}')" == "$first" ]]; then
        pass "the raised window is listed first (topmost first)"
    else
        fail "stacking order after raise: $("$DRIVER" windows "$pid" | tr '\n' '|')"
    fi
    "$DRIVER" raise "$second" >/dev/null
    wait_for_active_title "Alpha 2" 5
    if [[ "$("$DRIVER" windows "$pid" | awk 'NR==1 {print $2}')" == "$second" ]]; then
        pass "raising the other window reorders the listing"
    else
        fail "stacking order after second raise: $("$DRIVER" windows "$pid" | tr '\n' '|')"
    fi
    # The test client paints its second window 0xa53a3a; 320x200 scales to 64x40.
    if [[ "$("$DRIVER" capture "$second")" == "image 64x40 centre a53a3a" ]]; then
        pass "capturing a window gives its pixels, scaled down"
    else
        fail "capture: $("$DRIVER" capture "$second")"
    fi
}

# xterm sets a title outside Latin-1 only as WM_NAME in compound text, with no _NET_WM_NAME.
check_compound_text_title() {
    local title="测试窗口" id
    LC_ALL=C.UTF-8 desktop_spawn xterm -T "$title" -e sleep 600
    id=$(wait_for_window_title "$title") || { fail "xterm titled $title did not appear"; return 1; }
    if [[ "$(xprop -id "$id" WM_NAME _NET_WM_NAME)" != *"WM_NAME(COMPOUND_TEXT)"* ]]; then
        fail "xterm did not set its title as compound text: $(xprop -id "$id" WM_NAME)"
    elif desktop_poll 5 driver_lists "^window $id .* title $title\$"; then
        pass "a compound-text title is listed decoded ($title)"
    else
        fail "compound-text title: $(listed_window "$id")"
    fi
}

check_minimise_and_restore() {
    local pid out id
    read -r pid out < <(start_client --title "Shy")
    id=$(wait_ready "$out") || { fail "client not ready"; return 1; }
    "$DRIVER" minimise "$id" >/dev/null
    if desktop_poll 5 bash -c "xprop -id $id _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN" &&
        listed_window "$id" | grep -q "minimised 1"; then
        pass "minimise iconifies the window and the listing reports it minimised"
    else
        fail "minimise: state '$(window_state "$id" | tr '\n' ' ')', $(listed_window "$id")"
    fi
    "$DRIVER" raise "$id" >/dev/null
    if wait_for_active_title "Shy" 5 && ! window_state "$id" | grep -q _NET_WM_STATE_HIDDEN; then
        pass "raising a minimised window restores and focuses it"
    else
        fail "un-minimise: state '$(window_state "$id" | tr '\n' ' ')'"
    fi
}

check_other_desktop() {
    local pid out id
    read -r pid out < <(start_client --title "Elsewhere")
    id=$(wait_ready "$out") || { fail "client not ready"; return 1; }
    xdotool set_desktop_for_window "$id" 1
    desktop_poll 5 bash -c "xprop -id $id _NET_WM_DESKTOP | grep -q '= 1'"
    "$DRIVER" raise "$id" >/dev/null
    if wait_for_active_title "Elsewhere" 5 &&
        [[ "$(xprop -root _NET_CURRENT_DESKTOP | awk '{print $NF}')" == 1 ]]; then
        pass "raising a window on another desktop switches there and focuses it"
    else
        fail "other desktop: current $(xprop -root _NET_CURRENT_DESKTOP), active '$(active_window_title)'"
    fi
    xdotool set_desktop 0
}

check_close_button() {
    local pid out id
    read -r pid out < <(start_client --title "Closable")
    id=$(wait_ready "$out") || { fail "client not ready"; return 1; }
    if listed_window "$id" | grep -q "close enabled"; then
        pass "an ordinary window's close button is enabled"
    else
        fail "close button state: $(listed_window "$id")"
    fi
    "$DRIVER" close "$id" >/dev/null
    if desktop_poll 5 process_gone "$pid" && grep -q "^closed $id$" "$out"; then
        pass "pressing the close button closes the window politely"
    else
        fail "close: client output $(tr '\n' ' ' <"$out")"
    fi

    read -r pid out < <(start_client --title "Unclosable" --no-close)
    id=$(wait_ready "$out") || { fail "--no-close client not ready"; return 1; }
    if desktop_poll 5 bash -c "'$DRIVER' windows | grep -q '^window $id .*close disabled'"; then
        pass "a window without the close action has a disabled close button"
    else
        fail "no-close window: $(listed_window "$id")"
    fi
}

check_dialog_probe() {
    local pid out plain_pid plain_out
    read -r pid out < <(start_client --title "Asking" --dialog --ignore-close)
    wait_ready "$out" 2 >/dev/null || { fail "--dialog client not ready"; return 1; }
    read -r plain_pid plain_out < <(start_client --title "Quiet")
    wait_ready "$plain_out" >/dev/null || { fail "plain client not ready"; return 1; }
    local dialog
    dialog=$(wait_for_window_title "Asking dialog")
    if [[ "$("$DRIVER" probe "$pid")" == present && "$("$DRIVER" probe "$plain_pid")" == absent ]] &&
        listed_window "$dialog" | grep -q "subrole AXDialog"; then
        pass "the dialog probe finds the modal dialog and nothing in a plain client"
    else
        fail "probe: $("$DRIVER" probe "$pid") / $("$DRIVER" probe "$plain_pid"); $(listed_window "$dialog")"
    fi
    if [[ "$("$DRIVER" probe 999999)" == unreadable ]]; then
        pass "probing a process that does not exist answers unreadable"
    else
        fail "probe of a missing process: $("$DRIVER" probe 999999)"
    fi
}

one_listing_ok() {
    "$DRIVER" windows >/dev/null 2>"$DESKTOP_TMP/race.err" || { echo "exit $?" >>"$DESKTOP_TMP/race.err"; return 1; }
}

check_vanishing_windows() {
    local pid out ids
    read -r pid out < <(start_client --title "Fleeting" --count 60)
    ids=$(wait_ready "$out" 60) || { fail "60-window client not ready"; return 1; }
    local failures=0 listings=0
    (
        for id in $ids; do
            xdotool windowclose "$id" 2>/dev/null
        done
    ) &
    local destroyer=$!
    while kill -0 "$destroyer" 2>/dev/null; do
        one_listing_ok || failures=$((failures + 1))
        listings=$((listings + 1))
    done
    wait "$destroyer"
    if ((failures == 0)) && ! "$DRIVER" windows | grep -q "title Fleeting"; then
        pass "$listings listings raced with 60 windows being destroyed without an error"
    else
        fail "$failures of $listings listings failed: $(cat "$DESKTOP_TMP/race.err")"
    fi
}

check_screens() {
    local area visible
    area=$(xprop -root _NET_WORKAREA | sed 's/.*= //' | awk -F', ' '{print $1, $2, $3, $4}')
    visible=$("$DRIVER" screens | awk '/^screen/ {print $7, $8, $9, $10}')
    if [[ -n "$area" && "$visible" == "$area" ]] &&
        "$DRIVER" screens | grep -q "^screen 0 0 1280 1024 "; then
        pass "the screen's visible frame is the manager's work area ($visible)"
    else
        fail "screens: '$("$DRIVER" screens | tr '\n' '|')', work area '$area'"
    fi
}

desktop_start || exit 1
pass "desktop up on $DISPLAY"
if [[ "$("$DRIVER" trusted)" == trusted ]]; then
    pass "a display with an EWMH window manager is trusted"
else
    fail "the backend does not trust $DISPLAY"
fi
check_screens
check_listing_and_stacking
check_compound_text_title
check_minimise_and_restore
check_other_desktop
check_close_button
check_dialog_probe
check_vanishing_windows
e2e_finish test_windows
