#!/usr/bin/env bash
# Private X desktop for one end-to-end test: Xvfb plus a window manager whose configuration binds
# no keys, so a key the program under test grabs (Alt+Tab among them) reaches it and nothing else.
#
# Usage (the library is sourced, never run):
#   source e2e/lib/desktop.sh
#   desktop_start                  # VANTLO_E2E_WM=openbox (default) or fluxbox
#                                  # DESKTOP_OPENBOX_STOCK=1: openbox's own rc.xml (binds Alt+Tab)
#   desktop_spawn xterm -T demo    # background process, ended by desktop_stop
#   wait_for_window_title demo 10
#   desktop_stop                   # also runs on EXIT
#
# Every wait has a timeout; a failure prints one "desktop: ..." line to stderr and returns non-zero.
# Exported after desktop_start: DISPLAY, DESKTOP_WM, DESKTOP_TMP (scratch dir, removed on stop).

DESKTOP_SCREEN_GEOMETRY="${DESKTOP_SCREEN_GEOMETRY:-1280x1024x24}"
DESKTOP_START_TIMEOUT="${DESKTOP_START_TIMEOUT:-15}"
DESKTOP_XVFB_PID=""
DESKTOP_WM_PID=""
DESKTOP_SPAWNED_PIDS=()
DESKTOP_TMP=""
DESKTOP_WM=""

desktop_fail() {
    echo "desktop: $*" >&2
    return 1
}

# Polls COMMAND every 0.1 s until it succeeds or SECONDS pass.
desktop_poll() {
    local seconds="$1"
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            return 1
        fi
        sleep 0.1
    done
}

desktop_display_answers() {
    timeout 3 xdpyinfo -display "$1" >/dev/null 2>&1
}

desktop_display_taken() {
    [[ -e "/tmp/.X$1-lock" || -e "/tmp/.X11-unix/X$1" ]]
}

desktop_pid_alive() {
    [[ -n "$1" ]] && kill -0 "$1" 2>/dev/null
}

# Starts Xvfb on the first free display from a random base; a display that another test takes
# between the check and the start makes Xvfb exit, and the next number is tried.
desktop_start_xvfb() {
    local base=$((100 + RANDOM % 800)) attempt n
    for ((attempt = 0; attempt < 20; attempt++)); do
        n=$((base + attempt))
        desktop_display_taken "$n" && continue
        # -noreset: without it the server resets when the probe disconnects, and a window
        # manager connecting in that moment is refused.
        # -fbdir: the screen's image stays readable as a file (desktop_screenshot).
        Xvfb ":$n" -screen 0 "$DESKTOP_SCREEN_GEOMETRY" -nolisten tcp -noreset \
            -fbdir "$DESKTOP_TMP" >"$DESKTOP_TMP/xvfb.log" 2>&1 &
        DESKTOP_XVFB_PID=$!
        local deadline=$((SECONDS + DESKTOP_START_TIMEOUT))
        while desktop_pid_alive "$DESKTOP_XVFB_PID" && ((SECONDS < deadline)); do
            if desktop_display_answers ":$n"; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        if desktop_pid_alive "$DESKTOP_XVFB_PID"; then
            desktop_kill_and_reap "$DESKTOP_XVFB_PID"
            DESKTOP_XVFB_PID=""
            desktop_fail "Xvfb :$n did not answer within ${DESKTOP_START_TIMEOUT}s:" \
                "$(tail -n 5 "$DESKTOP_TMP/xvfb.log")"
            return 1
        fi
        wait "$DESKTOP_XVFB_PID" 2>/dev/null
        DESKTOP_XVFB_PID=""
    done
    desktop_fail "no free X display found (last Xvfb log: $(tail -n 3 "$DESKTOP_TMP/xvfb.log"))"
}

desktop_write_openbox_config() {
    local dir="$DESKTOP_TMP/openbox"
    mkdir -p "$dir"
    # DESKTOP_OPENBOX_STOCK=1: the configuration openbox ships, which binds Alt+Tab itself, as a
    # new user's desktop does.
    if [[ "${DESKTOP_OPENBOX_STOCK:-0}" == 1 ]]; then
        cp /etc/xdg/openbox/rc.xml "$dir/rc.xml" || return 1
        cp /etc/xdg/openbox/menu.xml "$dir/menu.xml" 2>/dev/null || true
        return 0
    fi
    # No <keyboard> bindings at all; the mouse keeps click-to-focus, title-bar moves and the
    # frame buttons, which is what a user of any desktop expects. A plain click on a window
    # reaches the window (only Alt+click is the frame's, as in the stock configuration).
    cat >"$dir/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout><animateIconify>no</animateIconify></theme>
  <desktops><number>2</number><firstdesk>1</firstdesk><popupTime>0</popupTime></desktops>
  <keyboard></keyboard>
  <mouse>
    <context name="Frame"><mousebind button="A-Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind></context>
    <context name="Client"><mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind></context>
    <context name="Titlebar"><mousebind button="Left" action="Drag"><action name="Move"/></mousebind></context>
    <context name="Close"><mousebind button="Left" action="Click"><action name="Close"/></mousebind></context>
    <context name="Iconify"><mousebind button="Left" action="Click"><action name="Iconify"/></mousebind></context>
    <context name="Maximize"><mousebind button="Left" action="Click"><action name="ToggleMaximize"/></mousebind></context>
  </mouse>
  <menu><file>menu.xml</file></menu>
</openbox_config>
XML
    cat >"$dir/menu.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_menu xmlns="http://openbox.org/3.4/menu"><menu id="root-menu" label="Vantlo e2e"/></openbox_menu>
XML
}

desktop_write_fluxbox_config() {
    local dir="$DESKTOP_TMP/home/.fluxbox"
    mkdir -p "$dir"
    : >"$dir/keys"
    printf '[begin] (Vantlo e2e)\n[end]\n' >"$dir/menu"
    : >"$dir/apps"
    : >"$dir/startup"
    cat >"$dir/init" <<INIT
session.keyFile: $dir/keys
session.menuFile: $dir/menu
session.appsFile: $dir/apps
session.styleFile: /usr/share/fluxbox/styles/Emerge
session.screen0.workspaces: 2
session.screen0.focusModel: ClickFocus
session.screen0.focusNewWindows: true
session.screen0.toolbar.visible: true
session.screen0.slit.autoHide: false
session.ignoreBorder: false
INIT
}

desktop_start_wm() {
    local wm="$1" home="$DESKTOP_TMP/home"
    mkdir -p "$home"
    case "$wm" in
    openbox)
        desktop_write_openbox_config
        HOME="$home" XDG_CONFIG_HOME="$home/.config" \
            openbox --config-file "$DESKTOP_TMP/openbox/rc.xml" \
            >"$DESKTOP_TMP/wm.log" 2>&1 &
        ;;
    fluxbox)
        desktop_write_fluxbox_config
        HOME="$home" fluxbox -rc "$home/.fluxbox/init" >"$DESKTOP_TMP/wm.log" 2>&1 &
        ;;
    *)
        desktop_fail "unknown window manager '$wm' (VANTLO_E2E_WM: openbox or fluxbox)"
        return 1
        ;;
    esac
    DESKTOP_WM_PID=$!
    DESKTOP_WM="$wm"
    export DESKTOP_WM
}

# The EWMH check: the root names a child window that names itself in the same property.
desktop_wm_ready() {
    local child
    child=$(timeout 3 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
    [[ -n "$child" ]] || return 1
    timeout 3 xprop -id "$child" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$child"
}

desktop_start() {
    local wm="${1:-${VANTLO_E2E_WM:-openbox}}"
    if [[ -n "$DESKTOP_XVFB_PID" ]]; then
        desktop_fail "desktop_start called twice without desktop_stop"
        return 1
    fi
    local tool
    for tool in Xvfb xdpyinfo xprop xdotool "$wm"; do
        command -v "$tool" >/dev/null || {
            desktop_fail "'$tool' is not installed"
            return 1
        }
    done
    DESKTOP_TMP=$(mktemp -d "${TMPDIR:-/tmp}/vantlo-e2e.XXXXXX") || return 1
    export DESKTOP_TMP
    trap desktop_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    desktop_start_xvfb || {
        desktop_stop
        return 1
    }
    desktop_start_wm "$wm" || {
        desktop_stop
        return 1
    }
    local deadline=$((SECONDS + DESKTOP_START_TIMEOUT))
    until desktop_wm_ready; do
        if ! desktop_pid_alive "$DESKTOP_WM_PID" || ((SECONDS >= deadline)); then
            desktop_fail "$wm did not set _NET_SUPPORTING_WM_CHECK on $DISPLAY:" \
                "$(tail -n 5 "$DESKTOP_TMP/wm.log")"
            desktop_stop
            return 1
        fi
        sleep 0.1
    done
}

# Runs COMMAND in the background on the test display; its pid is in DESKTOP_LAST_PID and
# desktop_stop ends it. Output goes to the caller's stdout/stderr unless redirected by the caller.
desktop_spawn() {
    "$@" &
    DESKTOP_LAST_PID=$!
    DESKTOP_SPAWNED_PIDS+=("$DESKTOP_LAST_PID")
}

# TERM, then KILL after two seconds; reaps the process so no zombie or stray survives.
desktop_kill_and_reap() {
    local pid="$1" waited=0
    desktop_pid_alive "$pid" || {
        wait "$pid" 2>/dev/null
        return 0
    }
    kill -TERM "$pid" 2>/dev/null
    while desktop_pid_alive "$pid" && ((waited < 20)); do
        # a process that is only a zombie of ours counts as gone once reaped
        if [[ "$(ps -o stat= -p "$pid" 2>/dev/null)" == Z* ]]; then
            break
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    if desktop_pid_alive "$pid" && [[ "$(ps -o stat= -p "$pid" 2>/dev/null)" != Z* ]]; then
        kill -KILL "$pid" 2>/dev/null
    fi
    # fluxbox 1.3.5 sometimes aborts while shutting down; the shell's job notice is noise.
    { wait "$pid"; } 2>/dev/null
    return 0
}

desktop_stop() {
    local pid
    for pid in "${DESKTOP_SPAWNED_PIDS[@]}"; do
        desktop_kill_and_reap "$pid"
    done
    DESKTOP_SPAWNED_PIDS=()
    [[ -n "$DESKTOP_WM_PID" ]] && desktop_kill_and_reap "$DESKTOP_WM_PID"
    [[ -n "$DESKTOP_XVFB_PID" ]] && desktop_kill_and_reap "$DESKTOP_XVFB_PID"
    DESKTOP_WM_PID=""
    DESKTOP_XVFB_PID=""
    if [[ -n "$DESKTOP_TMP" && -d "$DESKTOP_TMP" ]]; then
        rm -rf "$DESKTOP_TMP"
    fi
    DESKTOP_TMP=""
    trap - EXIT INT TERM
}

# Saves the whole screen, or the window ID's rectangle, as PNG to FILE.
desktop_screenshot() {
    local file="$1" id="${2:-}" geometry=()
    if [[ -n "$id" ]]; then
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)"
        geometry=("$X" "$Y" "$WIDTH" "$HEIGHT")
    fi
    python3 "$(dirname "${BASH_SOURCE[0]}")/xwd_crop_to_png.py" "$DESKTOP_TMP/Xvfb_screen0" "$file" \
        "${geometry[@]}"
}

# Prints the id (decimal) of the first window whose name is exactly TITLE, waiting up to TIMEOUT
# seconds (default 10) for it to exist.
wait_for_window_title() {
    local title="$1" seconds="${2:-10}" regex id
    regex="^$(printf '%s' "$title" | sed 's/[][\.|$(){}?+*^]/\\&/g')\$"
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        id=$(timeout 3 xdotool search --name "$regex" 2>/dev/null | head -n 1)
        if [[ -n "$id" ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    desktop_fail "no window titled '$title' appeared within ${seconds}s"
}

# Prints the id (decimal) of the root's _NET_ACTIVE_WINDOW, empty when none.
active_window_id() {
    local hex
    hex=$(timeout 3 xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | awk '/window id/ {print $NF}')
    [[ -n "$hex" && "$hex" != 0x0 ]] && printf '%d\n' "$hex"
}

active_window_title() {
    local id
    id=$(active_window_id)
    [[ -n "$id" ]] || return 1
    timeout 3 xdotool getwindowname "$id" 2>/dev/null
}

# Prints the atoms of a window's _NET_WM_STATE, one per line (nothing when the list is empty).
window_state() {
    window_atoms "$1" _NET_WM_STATE
}

# Prints the atoms of an ATOM[] property of a window, one per line.
window_atoms() {
    timeout 3 xprop -id "$1" "$2" 2>/dev/null | sed -n 's/^[^=]*= //p' | tr ',' '\n' | tr -d ' '
}

# Prints the decimal ids of the root's window list property (_NET_CLIENT_LIST by default).
client_list() {
    local prop="${1:-_NET_CLIENT_LIST}" hex
    for hex in $(timeout 3 xprop -root "$prop" 2>/dev/null | sed -n 's/^[^#]*# //p' | tr -d ','); do
        printf '%d\n' "$hex"
    done
}

active_title_is() {
    [[ "$(active_window_title)" == "$1" ]]
}

# Waits up to TIMEOUT seconds (default 10) until the active window is titled TITLE.
wait_for_active_title() {
    local title="$1" seconds="${2:-10}"
    desktop_poll "$seconds" active_title_is "$title" ||
        desktop_fail "active window is '$(active_window_title)', not '$title', after ${seconds}s"
}
