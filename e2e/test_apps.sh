#!/usr/bin/env bash
# Running applications, workspace actions and desktop entries under one window manager
# (VANTLO_E2E_WM): processes matched to entries, activate, hide, polite quit, a client that
# refuses to close and needs SIGKILL, the signal safety rule, entries found and launched, and the
# activation and termination notifications.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"
e2e_require_tools

app_line() {
    "$DRIVER" apps | grep "^app $1 "
}

check_running_apps() {
    local pid out
    read -r pid out < <(start_client --title "Windowed")
    wait_ready "$out" >/dev/null || { fail "client not ready"; return 1; }
    desktop_spawn xterm -T "Entry Terminal" -e sleep 600
    local xterm_pid=$DESKTOP_LAST_PID
    wait_for_window_title "Entry Terminal" >/dev/null
    # The manager focuses a new window once it maps it; let that happen before activating.
    wait_for_active_title "Entry Terminal" 5
    desktop_poll 5 bash -c "'$DRIVER' apps | grep -q '^app $xterm_pid '"
    if app_line "$pid" | grep -q "bundle VantloTestClient policy regular"; then
        pass "a windowed process without an entry is an application named by its WM_CLASS"
    else
        fail "test client app: '$(app_line "$pid")'"
    fi
    if app_line "$xterm_pid" | grep -q "policy regular path /usr/share/applications/.*xterm.desktop"; then
        pass "xterm is matched to its desktop entry ($(app_line "$xterm_pid" | awk '{print $4}'))"
    else
        fail "xterm app: '$(app_line "$xterm_pid")'"
    fi
    "$DRIVER" activate-app "$pid" >/dev/null
    wait_for_active_title "Windowed" 5
    if "$DRIVER" front | grep -q "^front $pid "; then
        pass "activating an application brings its window to the front"
    else
        fail "frontmost after activate: '$("$DRIVER" front)'"
    fi
}

check_hide_and_quit() {
    local pid out ids
    read -r pid out < <(start_client --title "Hideable" --count 2)
    ids=$(wait_ready "$out" 2) || { fail "client not ready"; return 1; }
    "$DRIVER" hide "$pid" >/dev/null
    local id all_hidden=1
    for id in $ids; do
        desktop_poll 5 bash -c "xprop -id $id _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN" ||
            all_hidden=0
    done
    if ((all_hidden)); then
        pass "hiding an application iconifies all its windows"
    else
        fail "hide left a window visible"
    fi
    "$DRIVER" activate-app "$pid" >/dev/null
    if wait_for_active_title "Hideable 2" 5 || wait_for_active_title "Hideable 1" 1; then
        pass "activating a hidden application restores one of its windows"
    else
        fail "activate after hide: active '$(active_window_title)'"
    fi
    "$DRIVER" quit "$pid" >/dev/null
    if desktop_poll 5 process_gone "$pid"; then
        pass "quitting closes the windows politely and the client exits"
    else
        fail "polite quit: client still runs, output $(tr '\n' ' ' <"$out")"
    fi
}

check_refusing_client() {
    local pid out
    read -r pid out < <(start_client --title "Stubborn" --ignore-close)
    wait_ready "$out" >/dev/null || { fail "client not ready"; return 1; }
    "$DRIVER" quit "$pid" >/dev/null
    desktop_poll 5 has_lines "$out" "^close-ignored " 1
    sleep 0.3
    if ! process_gone "$pid"; then
        pass "a client that ignores the polite quit keeps running"
    else
        fail "the refusing client exited on a polite quit"
    fi
    "$DRIVER" kill "$pid" >/dev/null
    if desktop_poll 5 process_gone "$pid"; then
        pass "the forced quit (SIGKILL) ends the refusing client"
    else
        fail "SIGKILL did not end $pid"
    fi
}

check_signal_safety() {
    if ! "$DRIVER" kill 1 >/dev/null 2>&1 && ! "$DRIVER" kill 0 >/dev/null 2>&1; then
        pass "the forced quit refuses pid 0 and 1"
    else
        fail "a forced quit of pid 0 or 1 was sent"
    fi
}

write_entries() {
    local dir="$1/applications"
    mkdir -p "$dir/vendor" "$1/bin"
    # Its own program name, so the other test clients do not count as this entry's program.
    ln -sf "$CLIENT" "$1/bin/vantlo-e2e-launched"
    cat >"$dir/vantlo-e2e-client.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Vantlo E2E Client
Name[zh_CN]=Vantlo 测试客户端
Icon=utilities-terminal
Exec=$1/bin/vantlo-e2e-launched --title "Launched Entry"
ENTRY
    cat >"$dir/vendor/nested.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Nested Entry
Exec=true
ENTRY
    cat >"$dir/vantlo-e2e-helper.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Helper
NoDisplay=true
Exec=true
ENTRY
    # Not entries at all: reading them must neither block nor run without end.
    mkfifo "$dir/vantlo-e2e-fifo.desktop"
    ln -sf /dev/zero "$dir/vantlo-e2e-zero.desktop"
    # A user's Hidden entry removes the system entry of the same ID.
    cat >"$dir/debian-xterm.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=XTerm
Hidden=true
ENTRY
}

check_desktop_entries() {
    local data="$DESKTOP_TMP/data"
    write_entries "$data"
    local entries
    entries=$(XDG_DATA_HOME="$data" LANG=zh_CN.UTF-8 timeout 20 "$DRIVER" entries \
        2>"$DESKTOP_TMP/entries.err")
    if [[ $(grep -c "Skipped the desktop entry $data/applications/vantlo-e2e-fifo.desktop is a FIFO" "$DESKTOP_TMP/entries.err") == 1 ]] &&
        grep -q "Skipped the desktop entry $data/applications/vantlo-e2e-zero.desktop is a character device" "$DESKTOP_TMP/entries.err"; then
        pass "a FIFO entry and an entry linked to /dev/zero are skipped with one line each"
    else
        fail "special entries: $(head -c 600 "$DESKTOP_TMP/entries.err")"
    fi
    # xdg-mime, asked for the folder handler, greps every entry and would hang on the FIFO: its
    # overrun must end it with everything it started.
    if desktop_poll 5 bash -c "! pgrep -f '[i]node/directory.*$data/applications' >/dev/null"; then
        pass "no helper is left stuck on the special entries"
    else
        fail "left running: $(pgrep -af "[i]node/directory.*$data/applications" | head -c 300)"
    fi
    if grep -q "^entry vantlo-e2e-client path $data/applications/vantlo-e2e-client.desktop name Vantlo 测试客户端$" <<<"$entries" &&
        grep -q "^entry vendor-nested " <<<"$entries" &&
        ! grep -q "vantlo-e2e-helper" <<<"$entries" && ! grep -q "^entry debian-xterm " <<<"$entries"; then
        pass "entries: localized names, nested IDs, NoDisplay and Hidden left out"
    else
        fail "entries: $(grep -E 'vantlo|nested|xterm' <<<"$entries" | tr '\n' '|')"
    fi
    local launched pid
    # A file, not a pipe: the launched program inherits the driver's output.
    XDG_DATA_HOME="$data" "$DRIVER" launch "$data/applications/vantlo-e2e-client.desktop" \
        >"$DESKTOP_TMP/launch.out" 2>"$DESKTOP_TMP/launch.err"
    launched=$(grep "^launched" "$DESKTOP_TMP/launch.out")
    pid=$(awk '{print $2}' <<<"$launched")
    if [[ "$pid" =~ ^[0-9]+$ ]] && wait_for_window_title "Launched Entry" 10 >/dev/null; then
        pass "launching an entry starts its program (pid $pid)"
    else
        { fail "launch: '$launched' $(cat "$DESKTOP_TMP/launch.out" "$DESKTOP_TMP/launch.err")"; return 1; }
    fi
    desktop_poll 5 bash -c "XDG_DATA_HOME='$data' '$DRIVER' apps | grep -q '^app $pid bundle vantlo-e2e-client '"
    if XDG_DATA_HOME="$data" "$DRIVER" apps | grep -q "^app $pid bundle vantlo-e2e-client policy regular"; then
        pass "the launched program is the entry's running application"
    else
        fail "launched app: $(XDG_DATA_HOME="$data" "$DRIVER" apps | grep "^app $pid ")"
    fi
    local again
    XDG_DATA_HOME="$data" "$DRIVER" launch "$data/applications/vantlo-e2e-client.desktop" \
        >"$DESKTOP_TMP/again.out"
    again=$(grep "^launched" "$DESKTOP_TMP/again.out")
    if [[ "$(awk '/^launched/ {print $2}' <<<"$again")" == "$pid" ]]; then
        pass "launching a running entry brings the running instance forward"
    else
        fail "second launch: '$again' (first pid $pid)"
    fi
    kill "$pid" 2>/dev/null
}

check_notifications() {
    local out="$DESKTOP_TMP/notifications.out" pid client_out
    read -r pid client_out < <(start_client --title "Noticed")
    wait_ready "$client_out" >/dev/null || { fail "client not ready"; return 1; }
    desktop_spawn "$DRIVER" notifications 20 >"$out"
    local watcher=$DESKTOP_LAST_PID
    desktop_poll 5 grep -q "^watching" "$out"
    desktop_spawn xterm -T "Other Terminal" -e sleep 600
    wait_for_active_title "Other Terminal" 5
    "$DRIVER" raise "$(wait_for_window_title Noticed)" >/dev/null
    if desktop_poll 5 grep -q "^activated $pid " "$out"; then
        pass "activating another application posts the activation notification"
    else
        fail "activation notification: $(tr '\n' '|' <"$out")"
    fi
    "$CLIENT" --send-close "$(wait_for_window_title Noticed)"
    if desktop_poll 5 grep -q "^terminated $pid " "$out"; then
        pass "the end of an application's process posts the termination notification"
    else
        fail "termination notification: $(tr '\n' '|' <"$out")"
    fi
    kill "$watcher" 2>/dev/null
}

desktop_start || exit 1
pass "desktop up on $DISPLAY"
check_running_apps
check_hide_and_quit
check_refusing_client
check_signal_safety
check_desktop_entries
check_notifications
e2e_finish test_apps
