#!/usr/bin/env bash
# The test showing of the switcher panel under a private desktop: start `vantlo` with
# VANTLO_TEST_PANEL=1, wait for its panel, drive it with xdotool, read what it prints and ask it
# for screenshots. Source after lib/desktop.sh.
#
#   panel_start [VAR=value ...]   # settings as Vantlo.* keys come from PANEL_DEFAULTS (JSON)
#   panel_wait_shown              # prints the panel's window id
#   panel_screenshot out.png
#   panel_wait_line "selected: X" # waits for a line on the program's standard output
#   panel_stop

PANEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
PANEL_BUILD="${VANTLO_BINARY_DIR:-$PANEL_ROOT/build}"
PANEL_BINARY="$PANEL_BUILD/src/vantlo"
PANEL_PID=""
PANEL_OUT=""
PANEL_SHOT=""
PANEL_DEFAULTS="${PANEL_DEFAULTS:-}"

panel_require_binary() {
    if [[ ! -x "$PANEL_BINARY" ]]; then
        echo "e2e: $PANEL_BINARY is not built (set VANTLO_BINARY_DIR to the build directory)" >&2
        exit 2
    fi
}

# Starts the test showing with a fresh settings folder; extra VAR=value arguments go into its
# environment.
panel_start() {
    panel_stop
    local config="$DESKTOP_TMP/config.$RANDOM"
    mkdir -p "$config/vantlo"
    if [[ -n "$PANEL_DEFAULTS" ]]; then
        printf '%s\n' "$PANEL_DEFAULTS" >"$config/vantlo/defaults.json"
    fi
    PANEL_OUT="$(mktemp "$DESKTOP_TMP/panel.XXXXXX")"
    PANEL_SHOT="$DESKTOP_TMP/shot.$RANDOM.png"
    env XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$DESKTOP_TMP" VANTLO_TEST_PANEL=1 \
        VANTLO_TEST_SCREENSHOT="$PANEL_SHOT" "$@" "$PANEL_BINARY" >"$PANEL_OUT" \
        2>"$PANEL_OUT.err" &
    PANEL_PID=$!
}

panel_visible_window() {
    xdotool search --onlyvisible --name '^Vantlo$' 2>/dev/null | head -n 1
}

# Waits until the panel is on screen and has finished sliding in; prints its window id.
panel_wait_shown() {
    local id=""
    if ! desktop_poll "${1:-10}" panel_has_window; then
        desktop_fail "the panel did not appear: $(tail -n 3 "$PANEL_OUT.err" 2>/dev/null)"
        return 1
    fi
    id=$(panel_visible_window)
    sleep 0.5  # slide-in and the springs of the first frame
    echo "$id"
}

panel_has_window() {
    [[ -n "$(panel_visible_window)" ]]
}

panel_gone() {
    [[ -z "$(panel_visible_window)" ]]
}

panel_wait_hidden() {
    desktop_poll "${1:-5}" panel_gone
}

panel_has_line() {
    grep -qF -- "$1" "$PANEL_OUT"
}

panel_wait_line() {
    desktop_poll "${2:-5}" panel_has_line "$1"
}

# Lets the animations settle, then has the program save the panel as PNG to FILE.
panel_screenshot() {
    local file="$1" before
    sleep "${2:-0.7}"
    rm -f "$PANEL_SHOT"
    before=$(grep -c "screenshot" "$PANEL_OUT" 2>/dev/null)
    kill -USR1 "$PANEL_PID" 2>/dev/null || return 1
    if ! desktop_poll 5 test -s "$PANEL_SHOT"; then
        desktop_fail "no screenshot from the panel: $(tail -n 2 "$PANEL_OUT")"
        return 1
    fi
    desktop_poll 2 bash -c "(( \$(grep -c screenshot '$PANEL_OUT') > $before ))"
    cp "$PANEL_SHOT" "$file"
}

panel_stop() {
    if [[ -n "$PANEL_PID" ]] && kill -0 "$PANEL_PID" 2>/dev/null; then
        kill "$PANEL_PID" 2>/dev/null
        wait "$PANEL_PID" 2>/dev/null
    fi
    PANEL_PID=""
}
