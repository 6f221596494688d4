#!/usr/bin/env bash
# Shared pieces of the end-to-end tests: where the built tools are, pass/fail bookkeeping and
# waits on the test client's output. Source after lib/desktop.sh.
#
# VANTLO_BINARY_DIR names the build directory (default: build/ beside e2e/).

E2E_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
E2E_BUILD="${VANTLO_BINARY_DIR:-$E2E_ROOT/build}"
# Absolute, since tests hand the tools' paths to programs that run elsewhere (links, entries).
if [[ -d "$E2E_BUILD" ]]; then
    E2E_BUILD="$(cd "$E2E_BUILD" && pwd)"
fi
CLIENT="$E2E_BUILD/e2e/client/vantlo-test-client"
DRIVER="$E2E_BUILD/e2e/driver/vantlo-x11-driver"
E2E_FAILURES=0

e2e_require_tools() {
    local tool
    for tool in "$CLIENT" "$DRIVER"; do
        if [[ ! -x "$tool" ]]; then
            echo "e2e: $tool is not built (set VANTLO_BINARY_DIR to the build directory)" >&2
            exit 2
        fi
    done
}

VANTLO="$E2E_BUILD/src/vantlo"

# Ends the test script when the program is not built.
e2e_require_vantlo() {
    if [[ ! -x "$VANTLO" ]]; then
        echo "e2e: $VANTLO is not built (set VANTLO_BINARY_DIR to the build directory)" >&2
        exit 2
    fi
}

# Private settings and runtime folders under the desktop's scratch folder (after desktop_start),
# so the program under test neither reads nor locks the user's own. The settings say the
# first-run guide was finished, so its window does not open over what a test drives; a test of
# the first run sets E2E_FIRST_RUN=1.
e2e_private_folders() {
    export XDG_CONFIG_HOME="$DESKTOP_TMP/config" XDG_RUNTIME_DIR="$DESKTOP_TMP/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    if [[ "${E2E_FIRST_RUN:-0}" != 1 ]]; then
        mkdir -p "$XDG_CONFIG_HOME/vantlo"
        echo '{"Vantlo.DidCompleteInteractiveOnboarding": true}' \
            >"$XDG_CONFIG_HOME/vantlo/defaults.json"
    fi
}

pass() {
    echo "ok   [$DESKTOP_WM] $*"
}

fail() {
    echo "FAIL [$DESKTOP_WM] $*" >&2
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Exit status for the test script: 0 when every check passed.
e2e_finish() {
    local name="$1"
    desktop_stop
    if ((E2E_FAILURES > 0)); then
        echo "$name: $E2E_FAILURES check(s) failed" >&2
        return 1
    fi
    return 0
}

has_lines() {
    (($(grep -c "$2" "$1" 2>/dev/null) >= $3))
}

all_managed() {
    local managed id
    managed=$(client_list)
    for id in "$@"; do
        grep -qx "$id" <<<"$managed" || return 1
    done
}

# Waits for COUNT "ready <id>" lines in FILE and for the manager to list those windows (it adds
# a client a moment after the window maps), then prints the ids.
wait_ready() {
    local file="$1" count="${2:-1}" ids
    if ! desktop_poll 10 has_lines "$file" '^ready ' "$count"; then
        desktop_fail "client writing $file did not report $count ready window(s)"
        return 1
    fi
    ids=$(grep '^ready ' "$file" | awk '{print $2}')
    # shellcheck disable=SC2086
    desktop_poll 10 all_managed $ids || desktop_fail "the manager did not list every window of $file"
    echo "$ids"
}

# Starts a test client with ARGS; prints "PID FILE" of the client and its output file.
start_client() {
    local out
    out=$(mktemp "$DESKTOP_TMP/client.XXXXXX")
    desktop_spawn "$CLIENT" "$@" >"$out" 2>"$out.err"
    echo "$DESKTOP_LAST_PID $out"
}

process_gone() {
    ! kill -0 "$1" 2>/dev/null || [[ "$(ps -o stat= -p "$1" 2>/dev/null)" == Z* ]]
}

driver_lists() {
    "$DRIVER" windows | grep -q "$1"
}

# The driver's line for window ID, empty when it is not listed.
listed_window() {
    "$DRIVER" windows | grep "^window $1 "
}

# Starts an xterm titled TITLE (GEOMETRY: 60x10) that lives ten minutes, and waits for its window.
start_xterm() {
    desktop_spawn xterm -T "$1" -geometry "${2:-60x10}" -e sleep 600
    wait_for_window_title "$1" >/dev/null || fail "xterm $1 did not appear"
}

# An xterm names itself in UTF-8 (_NET_WM_NAME) only when the title comes as an escape sequence.
start_utf8_xterm() {
    desktop_spawn env LC_ALL=C.UTF-8 xterm -u8 -xrm 'XTerm*utf8Title: true' \
        -geometry "${2:-60x10}" -e bash -c "printf '\\033]2;%s\\007' '$1'; exec sleep 600"
    wait_for_window_title "$1" >/dev/null || fail "xterm $1 did not appear"
}

activate_once() {
    xdotool windowactivate "$2" 2>/dev/null
    desktop_poll 1 active_title_is "$1"
}

# Makes the window titled TITLE the active one. A window just mapped may not be managed yet, and
# the manager ignores a request for it: ask once it is listed, and again until it is active.
activate() {
    local id
    id=$(wait_for_window_title "$1") || return 1
    desktop_poll 5 all_managed "$id"
    desktop_poll 8 activate_once "$1" "$id" || fail "could not activate $1 to set the scene"
}

# Passes when the program PID still runs; otherwise fails with the last lines of its LOG.
check_still_running() {
    if kill -0 "$1" 2>/dev/null; then
        pass "the program keeps running"
    else
        fail "the program ended: $(tail -5 "$2")"
    fi
}

# After a failed check, shows the last lines of each FILE on standard error.
show_logs_on_failure() {
    if ((E2E_FAILURES > 0)); then
        echo "--- program output" >&2
        tail -n 20 "$@" >&2
    fi
}

# Starts the driver's panel on the hot key Alt+Tab (key code 48, the Option mask) with its output
# in OUT, holds Alt and presses Tab; the driver's pid is left in PANEL_DRIVER. Fails, with Alt let
# go, when the driver is not ready or no panel shows.
panel_driver_shown() {
    local out="$1"
    desktop_spawn "$DRIVER" panel 48 0x800 60 >"$out" 2>&1
    # shellcheck disable=SC2034  # read by the suites
    PANEL_DRIVER=$DESKTOP_LAST_PID
    desktop_poll 5 grep -q "^registered" "$out" || {
        fail "panel driver not ready"
        return 1
    }
    xdotool keydown alt
    xdotool key Tab
    desktop_poll 3 grep -q "^shown" "$out" || {
        xdotool keyup alt
        fail "the hot key did not show the panel: $(tr '\n' '|' <"$out")"
        return 1
    }
}
