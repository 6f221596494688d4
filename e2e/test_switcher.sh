#!/usr/bin/env bash
# The switcher end to end under one window manager (VANTLO_E2E_WM): the real program with three
# xterms titled alpha, beta and gamma, activated in that order. Holding Alt and pressing Tab
# switches to the previous window, a second Tab one further, even a quick stroke switches,
# Escape switches to nothing,
# Return then typing part of a title then Return switches to that window, Alt+X closes the
# highlighted window and Alt+Q minimises every window to show the desktop.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo

# Holds Alt, runs the given xdotool key words one by one, releases Alt.
with_alt() {
    xdotool keydown alt
    sleep 0.3
    local word
    for word in "$@"; do
        xdotool key "$word"
        sleep 0.25
    done
    xdotool keyup alt
}

expect_active() {
    local title="$1" what="$2"
    if wait_for_active_title "$title" 5; then
        pass "$what"
    else
        fail "$what: active window is '$(active_window_title)', expected '$title'"
    fi
}

desktop_start || exit 1
e2e_private_folders

start_xterm alpha
start_xterm beta
start_xterm gamma
activate alpha
activate beta
activate gamma

desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
vantlo_pid=$DESKTOP_LAST_PID
sleep 2

# The real panel, held open, bypasses the window manager: it is the topmost window of the
# screen, the manager lists it nowhere (no taskbar or pager entry) and takes no focus for it.
xdotool keydown alt key Tab
panel=""
desktop_poll 5 bash -c "xdotool search --onlyvisible --name '^Vantlo\$' >/dev/null" &&
    panel=$(xdotool search --onlyvisible --name '^Vantlo$' | head -n 1)
attributes="" topmost="" clients=""
if [[ -n "$panel" ]]; then
    attributes=$(xwininfo -id "$panel")
    topmost=$(xwininfo -root -children | awk '/^ +0x/ { print $1; exit }')
    clients=$(xprop -root _NET_CLIENT_LIST)
fi
xdotool key Escape keyup alt
panel_hex=$([[ -n "$panel" ]] && printf '0x%x' "$panel")
if grep -q "Override Redirect State: yes" <<<"$attributes" && [[ "$topmost" == "$panel_hex" ]] &&
    ! grep -qi "$panel_hex\b" <<<"$clients"; then
    pass "the held panel is on top of every window and in no taskbar"
else
    fail "panel ${panel_hex:-not found}: topmost ${topmost:-?}; clients ${clients:-?}; $(grep -i override <<<"$attributes")"
fi
expect_active gamma "Escape right after the panel appears switches nothing"

with_alt Tab
expect_active beta "Alt+Tab switches to the previously used window"

# Most recent first is now beta, gamma, alpha.
with_alt Tab Tab
expect_active alpha "Alt+Tab+Tab switches to the window used before the previous one"

before=$(active_window_title)
with_alt Tab Escape
sleep 0.5
expect_active "$before" "Escape closes the panel without switching"

with_alt Tab Return g a m Return
expect_active gamma "Return, part of a title and Return switch to that window"

# The program keeps what it read of each window and reads again only what changed: a window
# opened since the last summon, a title changed on one already read, and a window closed since
# must each show at the next summon.
start_xterm epsilon
epsilon_id=$(wait_for_window_title epsilon)
activate gamma
with_alt Tab Return e p s Return
expect_active epsilon "a window opened since the last summon is listed"
xprop -id "$epsilon_id" -f _NET_WM_NAME 8u -set _NET_WM_NAME zeta
xprop -id "$epsilon_id" -set WM_NAME zeta
desktop_poll 5 bash -c "xprop -id $epsilon_id _NET_WM_NAME | grep -q zeta" ||
    fail "could not rename epsilon to set the scene"
activate gamma
with_alt Tab Return z e t Return
if wait_for_active_title zeta 5; then
    pass "a title changed since the last summon is seen"
else
    fail "a title changed since the last summon is seen: active window is '$(active_window_title)'"
    xdotool key Escape sleep 0.3 key Escape  # the search found nothing and is still up
fi
activate gamma
activate alpha
xdotool windowclose "$epsilon_id" 2>/dev/null || xdotool windowkill "$epsilon_id"
desktop_poll 5 bash -c "! xprop -root _NET_CLIENT_LIST | grep -qi '$(printf '0x%x' "$epsilon_id")\b'"
activate alpha
with_alt Tab
expect_active gamma "a window closed since the last summon is no longer listed"

# Alt goes up before the panel has taken the keyboard; the release must still switch.
xdotool keydown alt key Tab keyup alt
expect_active alpha "a quick Alt+Tab in one stroke switches to the previous window"

count_xterms() {
    xdotool search --name '^(alpha|beta|gamma)$' 2>/dev/null | wc -l
}
# All three are still open here; counting them right after a switch can catch the manager
# mid-restack, when xdotool reports no windows at all.
xterms_before=3
with_alt Tab x
if desktop_poll 5 bash -c "(( \$(xdotool search --name '^(alpha|beta|gamma)\$' 2>/dev/null | wc -l) == $xterms_before - 1 ))"; then
    pass "Alt+X closes the highlighted window"
else
    fail "Alt+X did not close a window ($(count_xterms) of $xterms_before left)"
fi

all_minimised() {
    local id
    for id in $(xdotool search --name '^(alpha|beta|gamma)$' 2>/dev/null); do
        xprop -id "$id" WM_STATE 2>/dev/null | grep -q 'window state: Iconic' || return 1
    done
}
with_alt Tab q
if desktop_poll 5 all_minimised; then
    pass "Alt+Q minimises every window to show the desktop"
else
    fail "Alt+Q left windows on screen"
fi

check_still_running "$vantlo_pid" "$DESKTOP_TMP/vantlo.out"
show_logs_on_failure "$DESKTOP_TMP/vantlo.out"
e2e_finish test_switcher
