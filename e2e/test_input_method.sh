#!/usr/bin/env bash
# Chinese input in the real, summoned panel: fcitx5 with its pinyin engine and Qt 6 frontend on a
# private session bus, a private profile whose input methods are keyboard-us and pinyin, and the
# program started with QT_IM_MODULE=fcitx beside xterms titled alpha, 测试窗口 and gamma.
# Alt+Tab, Return opens the search and the panel takes the keyboard focus; with pinyin active,
# "ceshi" composes in the field (Escape and Return while composing belong to the input method and
# leave the panel up), the first candidate puts 测试 in the field, and Return raises 测试窗口.
# A second run in Simplified Chinese is cancelled while composing and gives the focus back.
# Leaves input-method-en.png and input-method-zh.png (the composing search) in e2e/out/.
# The focus it takes and gives back goes through the window manager, so it runs under each.
set -u
if [[ -z "${VANTLO_E2E_ON_BUS:-}" ]]; then
    command -v dbus-run-session >/dev/null || {
        echo "e2e: dbus-run-session is not installed (scripts/deps.sh installs dbus)" >&2
        exit 2
    }
    VANTLO_E2E_ON_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
e2e_require_vantlo
for tool in fcitx5 fcitx5-remote dbus-send; do
    command -v "$tool" >/dev/null || {
        echo "e2e: $tool is not installed (scripts/deps.sh installs fcitx5)" >&2
        exit 2
    }
done
out="${VANTLO_E2E_OUT:-$here/out}"
mkdir -p "$out"

readonly TITLE=测试窗口

write_fcitx_profile() {
    mkdir -p "$XDG_CONFIG_HOME/fcitx5"
    cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=keyboard-us

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
PROFILE
}

# Asks the bus without starting anything (fcitx5-remote would have the bus start a second copy).
fcitx_on_bus() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q true
}

panel_window() {
    xdotool search --onlyvisible --name '^Vantlo$' 2>/dev/null | head -n 1
}

panel_shown() {
    [[ -n "$(panel_window)" ]]
}

focus_is_panel() {
    [[ -n "$(panel_window)" && "$(xdotool getwindowfocus 2>/dev/null)" == "$(panel_window)" ]]
}

vantlo_pid=""
start_vantlo() {
    local language="$1"
    [[ -n "$vantlo_pid" ]] && desktop_kill_and_reap "$vantlo_pid"
    mkdir -p "$XDG_CONFIG_HOME/vantlo"
    # The first-run guide stays finished, as e2e_private_folders leaves it.
    printf '{"Vantlo.AppLanguage": "%s", "Vantlo.DidCompleteInteractiveOnboarding": true}\n' \
        "$language" >"$XDG_CONFIG_HOME/vantlo/defaults.json"
    desktop_spawn env QT_IM_MODULE=fcitx "$VANTLO" >"$DESKTOP_TMP/vantlo-$language.out" 2>&1
    vantlo_pid=$DESKTOP_LAST_PID
    sleep 2
}

# Alt+Tab, Return to open the search, Alt up: the panel must then hold the keyboard focus.
open_search() {
    xdotool keydown alt
    sleep 0.3
    xdotool key Tab
    sleep 0.3
    xdotool key Return
    sleep 0.2
    xdotool keyup alt
    desktop_poll 5 focus_is_panel
}

type_slowly() {
    local key
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.15
    done
}

pinyin_on() {
    fcitx5-remote -s pinyin
    desktop_poll 3 bash -c '[[ $(fcitx5-remote -n) == pinyin ]]'
}

# The panel and the candidate list beside it, from the screen image.
shoot_composing() {
    local file="$1" panel X="" Y="" WIDTH="" HEIGHT=""
    panel=$(panel_window)
    [[ -n "$panel" ]] || { fail "no panel on screen for $(basename "$file")"; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$panel" 2>/dev/null)"
    python3 "$here/lib/xwd_crop_to_png.py" "$DESKTOP_TMP/Xvfb_screen0" "$file" \
        $((X - 380)) "$Y" $((WIDTH + 380)) "$HEIGHT"
}

desktop_start || exit 1
e2e_private_folders
write_fcitx_profile
desktop_spawn fcitx5 --disable=wayland,waylandim >"$DESKTOP_TMP/fcitx5.log" 2>&1
if ! desktop_poll 20 fcitx_on_bus; then
    fail "fcitx5 did not come up: $(tail -n 3 "$DESKTOP_TMP/fcitx5.log")"
    e2e_finish test_input_method
    exit 1
fi

start_xterm alpha 60x8
start_utf8_xterm "$TITLE" 60x8
start_xterm gamma 60x8
activate "$TITLE"
activate alpha
activate gamma

start_vantlo english
if open_search; then
    pass "Return opens the search and the panel takes the keyboard focus"
else
    fail "the panel did not take the focus: focus $(xdotool getwindowfocus), panel $(panel_window)"
fi
pinyin_on || fail "pinyin did not become the panel's input method: $(fcitx5-remote -n)"

type_slowly c e s h i
sleep 0.5
shoot_composing "$out/input-method-en.png"
xdotool key Escape
sleep 0.5
if panel_shown; then
    pass "Escape while composing belongs to the input method: the panel stays"
else
    fail "Escape while composing closed the panel"
fi

type_slowly c e s h i Return
sleep 0.5
if panel_shown; then
    pass "Return while composing belongs to the input method: nothing is opened"
else
    fail "Return while composing ended the showing (active: '$(active_window_title)')"
fi
# Return made the input method put the letters in the field; clear them.
type_slowly BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace

type_slowly c e s h i 1
sleep 0.3
xdotool key Return
if wait_for_active_title "$TITLE" 5; then
    pass "the first candidate of \"ceshi\" puts 测试 in the search, and Return raises $TITLE"
else
    fail "after choosing 测试 and Return the active window is '$(active_window_title)'"
fi
if desktop_poll 5 bash -c "! xdotool search --onlyvisible --name '^Vantlo\$' >/dev/null"; then
    pass "the panel is gone after the choice"
else
    fail "the panel stayed after the choice"
fi

# The Simplified Chinese interface, composing, then cancelled: the focus returns.
activate gamma
start_vantlo simplifiedChinese
open_search || fail "the Chinese panel did not take the focus"
pinyin_on || fail "pinyin did not become the panel's input method"
type_slowly c e s h i
sleep 0.5
shoot_composing "$out/input-method-zh.png"
xdotool key Escape
sleep 0.3
xdotool key Escape
if desktop_poll 5 bash -c "! xdotool search --onlyvisible --name '^Vantlo\$' >/dev/null" &&
    desktop_poll 5 bash -c "[[ \$(xdotool getwindowfocus) == $(wait_for_window_title gamma) ]]"; then
    pass "Escape after the composition ends the showing and gives the focus back to gamma"
else
    fail "after cancelling: panel '$(panel_window)', focus $(xdotool getwindowfocus)"
fi
check_still_running "$vantlo_pid" "$DESKTOP_TMP/vantlo-simplifiedChinese.out"
show_logs_on_failure "$DESKTOP_TMP"/vantlo-*.out "$DESKTOP_TMP/fcitx5.log"
e2e_finish test_input_method
