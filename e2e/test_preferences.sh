#!/usr/bin/env bash
# The preferences window end to end on one desktop (VANTLO_E2E_WM, with a tray): `vantlo
# preferences` without a running copy fails and says so; with one it opens the 760 × 560 window
# titled "Vantlo Preferences"; a new activation hot key recorded in it (Ctrl+Alt+K) summons the
# panel at once and Alt+Tab no longer does; the panel side set to Left shows the next panel at the
# left edge; an ignored title pattern hides that window from the switcher; launch at login writes
# and removes the autostart entry; "Copy Diagnostics" puts the report on the clipboard; 简体中文
# retitles the window and the tray menu without a restart. Every pane is saved as PNG in English
# and Chinese (e2e/out/preferences, or VANTLO_E2E_OUT).
# The window and its panes do not depend on the window manager; the tray it clicks is trayer's,
# which runs beside openbox (fluxbox brings a tray of its own in its toolbar).
# e2e-managers: any
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo
for tool in xclip xwd trayer; do
    command -v "$tool" >/dev/null || {
        echo "e2e: '$tool' is not installed (scripts/deps.sh)" >&2
        exit 2
    }
done
out="${VANTLO_E2E_OUT:-$here/out/preferences}"
mkdir -p "$out"
rm -f "$out"/*.png

# Where the controls are, in window coordinates (760 × 560, the sidebar 150 wide).
GENERAL_RECORDER=(487 134)
GENERAL_LANGUAGE=(600 247)
GENERAL_SIDE=(600 295)
GENERAL_LOGIN=(695 391)
FEEDBACK_COPY=(266 151)
# The title-pattern field is found at run time, at the bottom of the scrolled Exceptions pane.

prefs_title="Vantlo Preferences"
prefs_window() {
    xdotool search --onlyvisible --name "^$prefs_title\$" 2>/dev/null | head -n 1
}
prefs_shown() { [[ -n "$(prefs_window)" ]]; }

click_at() {
    local id
    id=$(prefs_window)
    xdotool mousemove --window "$id" "$1" "$2" click 1
    sleep 0.4
}

show_pane() {
    "$VANTLO" preferences "$1" || fail "vantlo preferences $1 ended with status $?"
    desktop_poll 5 prefs_shown || fail "no preferences window after 'vantlo preferences $1'"
    sleep 0.6
}

screenshot() {
    local id
    id=$(prefs_window)
    if xwd -silent -id "$id" | python3 "$here/lib/xwd2png.py" >"$out/$1.png" && [[ -s "$out/$1.png" ]]; then
        echo "saved $out/$1.png"
    else
        fail "no screenshot $1"
    fi
}

panel_window() {
    xdotool search --onlyvisible --name '^Vantlo$' 2>/dev/null | head -n 1
}
panel_shown() { [[ -n "$(panel_window)" ]]; }
panel_gone() { [[ -z "$(panel_window)" ]]; }

# Holds MODIFIERS, presses KEY, waits for the panel; prints its "x width" and lets go with Escape.
summon_with() {
    local modifiers="$1" key="$2" geometry=""
    xdotool keydown "$modifiers"
    sleep 0.2
    xdotool key "$key"
    if desktop_poll 3 panel_shown; then
        sleep 0.6
        eval "$(xdotool getwindowgeometry --shell "$(panel_window)")"
        geometry="$X $WIDTH"
        xwd -silent -root | python3 "$here/lib/xwd2png.py" >"$DESKTOP_TMP/root.png"
        cp "$DESKTOP_TMP/root.png" "$out/panel-$modifiers.png"
    fi
    xdotool key Escape
    xdotool keyup "$modifiers"
    desktop_poll 3 panel_gone
    echo "$geometry"
}

desktop_start || exit 1
e2e_private_folders
autostart="$XDG_CONFIG_HOME/autostart/com.local.vantlo.desktop"

# --- no running copy
if "$VANTLO" preferences >"$DESKTOP_TMP/alone.out" 2>&1; then
    fail "'vantlo preferences' without a running copy succeeded"
elif grep -q "Vantlo is not running" "$DESKTOP_TMP/alone.out"; then
    pass "'vantlo preferences' without a running copy says so and fails"
else
    fail "'vantlo preferences' alone said: $(cat "$DESKTOP_TMP/alone.out")"
fi

# A tray for the menu (the window manager of the suite has none).
desktop_spawn trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    --transparent false >/dev/null 2>&1
sleep 1
start_xterm alpha
start_xterm beta
start_xterm gamma
desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
socket="$XDG_RUNTIME_DIR/vantlo/${DISPLAY#:}.sock"
desktop_poll 10 test -S "$socket" || fail "the running copy opened no control socket at $socket"
sleep 1

# --- the window
show_pane general
id=$(prefs_window)
eval "$(xdotool getwindowgeometry --shell "$id")"
mode=$(stat -c %a "$socket")
if ((WIDTH == 760 && HEIGHT == 560)) && [[ "$mode" == 600 ]]; then
    pass "'vantlo preferences' opens the 760x560 window titled \"$prefs_title\" (socket $mode)"
else
    fail "window ${WIDTH}x${HEIGHT}, socket mode $mode"
fi
for pane in general shortcuts appearance exceptions feedback; do
    show_pane "$pane"
    screenshot "en-$pane"
done
if (($(xdotool search --onlyvisible --name "^$prefs_title\$" | wc -l) == 1)); then
    pass "opening it again fronts the same window"
else
    fail "more than one preferences window"
fi

# --- the activation hot key: Ctrl+Alt+K through the recorder
show_pane general
click_at "${GENERAL_RECORDER[@]}"
screenshot "en-general-recording"
xdotool key ctrl+alt+k
sleep 0.6
if grep -q '"Vantlo.Hotkey"' "$XDG_CONFIG_HOME/vantlo/defaults.json" 2>/dev/null; then
    pass "the recorder stored the new activation hot key"
else
    fail "no hot key stored: $(cat "$XDG_CONFIG_HOME/vantlo/defaults.json" 2>/dev/null)"
fi
activate alpha
activate beta
activate gamma
if [[ -n "$(summon_with ctrl+alt k)" ]]; then
    pass "Ctrl+Alt+K summons the panel at once"
else
    fail "Ctrl+Alt+K did not summon the panel: $(tail -3 "$DESKTOP_TMP/vantlo.out")"
fi
if [[ -z "$(summon_with alt Tab)" ]]; then
    pass "Alt+Tab no longer summons it"
else
    fail "Alt+Tab still summons the panel"
fi

# --- panel side: Left
show_pane general
click_at "${GENERAL_SIDE[@]}"
xdotool key Up Return
sleep 0.5
activate gamma
read -r x width <<<"$(summon_with ctrl+alt k)"
area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed 's/.*= //; s/,//g')
read -r wx _ <<<"${area:-0 0}"
# On screen, the panel's blue selection row (about 270 x 48) lies in the strip along the left edge
# (narrower than the panel, so the preferences window further right does not count; a window's
# blue title bar is far smaller).
edge_pixel=$(python3 "$here/lib/pixel.py" "$DESKTOP_TMP/root.png" "$wx" 0 $((wx + 250)) 1024 2>/dev/null)
if [[ -n "${x:-}" ]] && ((x == wx && ${edge_pixel:-0} > 8000)); then
    pass "with the panel side Left the next showing hugs the left edge (x=$x, width $width, $edge_pixel selection pixels at the edge)"
else
    fail "panel at x=${x:-none}, ${edge_pixel:-no} selection pixels at the edge after choosing Left (work area starts at $wx)"
fi

# --- an ignored title pattern
show_pane exceptions
xdotool mousemove --window "$(prefs_window)" 450 300
for _ in $(seq 20); do xdotool click 5; done
sleep 0.4
screenshot "en-exceptions-scrolled"
field_y=$(python3 "$here/lib/find_field.py" "$out/en-exceptions-scrolled.png" 2 2>/dev/null || echo 0)
click_at 400 "$field_y"
xdotool type --delay 30 "  ^beta\$ "
xdotool key Return
sleep 0.6
screenshot "en-exceptions"
if grep -q '\^beta\$' "$XDG_CONFIG_HOME/vantlo/defaults.json"; then
    pass "the trimmed title pattern is stored"
else
    fail "no title pattern stored: $(cat "$XDG_CONFIG_HOME/vantlo/defaults.json")"
fi
activate alpha
activate beta
activate gamma
xdotool keydown ctrl+alt key k
sleep 0.4
xdotool keyup ctrl+alt
if wait_for_active_title alpha 5; then
    pass "the window matching the pattern is no longer listed (the switch skips beta)"
else
    fail "after ignoring ^beta\$ the switch went to '$(active_window_title)'"
fi

# --- launch at login
show_pane general
click_at "${GENERAL_LOGIN[@]}"
if desktop_poll 3 test -f "$autostart" && grep -q "^Exec=" "$autostart"; then
    pass "launch at login writes the autostart entry"
else
    fail "no autostart entry at $autostart"
fi
click_at "${GENERAL_LOGIN[@]}"
if desktop_poll 3 bash -c "! test -e '$autostart'"; then
    pass "switching it off removes the entry"
else
    fail "the autostart entry stayed"
fi

# --- Copy Diagnostics
show_pane feedback
click_at "${FEEDBACK_COPY[@]}"
screenshot "en-feedback-copied"
"$VANTLO" --diagnostics >"$DESKTOP_TMP/report.txt" 2>/dev/null
xclip -o -selection clipboard >"$DESKTOP_TMP/clipboard.txt" 2>/dev/null
if [[ -s "$DESKTOP_TMP/clipboard.txt" ]] &&
    diff <(head -c -0 "$DESKTOP_TMP/clipboard.txt") <(printf '%s' "$(cat "$DESKTOP_TMP/report.txt")") >/dev/null; then
    pass "Copy Diagnostics puts exactly the report on the clipboard ($(wc -l <"$DESKTOP_TMP/report.txt") lines)"
else
    fail "clipboard differs from the report: $(diff "$DESKTOP_TMP/clipboard.txt" "$DESKTOP_TMP/report.txt" | head -5)"
fi

# --- language: 简体中文, live
# Opens the tray menu with a right click on Vantlo's icon and saves the menu's own window as PNG.
tray_menu_window() {
    local id
    for id in $(xdotool search --onlyvisible --classname vantlo 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        # The menu: taller than the icon, narrower than the preferences window.
        if ((HEIGHT > 60 && WIDTH < 500)); then
            echo "$id"
            return 0
        fi
    done
    return 1
}
tray_menu_shot() {
    local tray menu
    tray=$(xdotool search --onlyvisible --class trayer 2>/dev/null | head -n 1)
    [[ -n "$tray" ]] || return 1
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    # One icon in a tray aligned to the right edge.
    xdotool mousemove $((X + WIDTH - 12)) $((Y + HEIGHT / 2)) click 3
    desktop_poll 3 tray_menu_window || return 1
    sleep 0.4
    menu=$(tray_menu_window)
    xwd -silent -id "$menu" | python3 "$here/lib/xwd2png.py" >"$1"
    xdotool key Escape
    sleep 0.3
}
tray_menu_shot "$out/en-tray-menu.png" || fail "no tray menu opened from the tray icon"
show_pane general
click_at "${GENERAL_LANGUAGE[@]}"
xdotool key Down Down Return
sleep 1
prefs_title="Vantlo 偏好设置"
if desktop_poll 5 prefs_shown; then
    pass "choosing 简体中文 retitles the window at once"
else
    fail "window title after choosing 简体中文: $(xdotool getwindowname "$id" 2>/dev/null)"
fi
rm -f "$out/zh-tray-menu.png"
tray_menu_shot "$out/zh-tray-menu.png" || fail "no tray menu opened after the language change"
if [[ -s "$out/en-tray-menu.png" && -s "$out/zh-tray-menu.png" ]] &&
    ! cmp -s "$out/en-tray-menu.png" "$out/zh-tray-menu.png"; then
    pass "the tray menu is rebuilt in the new language"
else
    fail "the tray menu did not change"
fi
for pane in general shortcuts appearance exceptions feedback; do
    show_pane "$pane"
    screenshot "zh-$pane"
done

# The tray's second item opens the guide at any time, also after the first run.
guide_window() {
    xdotool search --onlyvisible --name '^Vantlo 使用引导$' 2>/dev/null | head -n 1
}
guide_shown() { [[ -n "$(guide_window)" ]]; }
tray=$(xdotool search --onlyvisible --class trayer 2>/dev/null | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + WIDTH - 12)) $((Y + HEIGHT / 2)) click 3
if desktop_poll 3 tray_menu_window; then
    sleep 0.4
    xdotool key Down Down Return
fi
if desktop_poll 5 guide_shown; then
    pass "the tray's 显示引导… opens the guide window"
else
    fail "no guide window after the tray's second item"
fi

e2e_finish test_preferences
