#!/usr/bin/env bash
# Proves the end-to-end harness under each window manager: the private desktop starts and stops
# cleanly, our test client and an xterm are managed, and the window manager reports the
# properties the switcher's X11 backend reads (client list, allowed actions, dialog type and
# state) and delivers the close requests it sends.
#
# Usage: e2e/smoke_desktop.sh [path/to/vantlo-test-client] [window managers...]
# Default client: build/e2e/client/vantlo-test-client, then build-client/vantlo-test-client.
set -u

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
source "$here/lib/desktop.sh"

client="${1:-}"
if [[ -z "$client" ]]; then
    for candidate in "$root/build/e2e/client/vantlo-test-client" \
        "$root/build-client/vantlo-test-client"; do
        [[ -x "$candidate" ]] && client="$candidate" && break
    done
fi
if [[ ! -x "$client" ]]; then
    echo "smoke: vantlo-test-client not found; build it or pass its path" >&2
    exit 2
fi
shift $(($# > 0 ? 1 : 0))
managers=("$@")
((${#managers[@]})) || managers=(openbox fluxbox)

failures=0
fail() {
    echo "FAIL [$DESKTOP_WM] $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok   [$DESKTOP_WM] $*"
}

has_ready_lines() {
    (($(grep -c '^ready ' "$1" 2>/dev/null) >= $2))
}

# Waits for COUNT "ready <id>" lines in FILE and prints the ids.
wait_ready() {
    local file="$1" count="${2:-1}" seconds=10
    if desktop_poll "$seconds" has_ready_lines "$file" "$count"; then
        grep '^ready ' "$file" | awk '{print $2}'
        return 0
    fi
    desktop_fail "client writing $file did not report $count ready window(s) within ${seconds}s"
}

in_client_list() {
    client_list | grep -qx "$1"
}

expect_in_client_list() {
    local id="$1" what="$2"
    # Managers add a client to the list a moment after its window appears.
    if desktop_poll 5 in_client_list "$id"; then
        pass "$what is in _NET_CLIENT_LIST"
    else
        fail "$what ($id) is missing from _NET_CLIENT_LIST: $(client_list | tr '\n' ' ')"
    fi
}

check_client_list() {
    local plain_out="$DESKTOP_TMP/plain.out" ids id n=0
    desktop_spawn "$client" --title "Smoke Plain" --count 2 >"$plain_out"
    ids=$(wait_ready "$plain_out" 2) || {
        fail "two-window client did not become ready"
        return
    }
    for id in $ids; do
        n=$((n + 1))
        expect_in_client_list "$id" "test client window $n"
    done
    desktop_spawn xterm -T "Smoke Terminal" -e sleep 600
    id=$(wait_for_window_title "Smoke Terminal" 10) || {
        fail "xterm did not appear"
        return
    }
    expect_in_client_list "$id" "xterm"
    local pid
    pid=$(timeout 3 xprop -id "$(echo "$ids" | head -n 1)" _NET_WM_PID | awk '{print $NF}')
    if [[ "$pid" =~ ^[0-9]+$ ]] && [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == vantlo-test-cli* ]]; then
        pass "_NET_WM_PID names the test client process"
    else
        fail "_NET_WM_PID '$pid' is not the test client"
    fi
}

# Openbox keeps the list the client writes back; fluxbox derives it from the Motif hint. Either
# way the close action must be absent once the window is managed.
check_no_close() {
    local out="$DESKTOP_TMP/noclose.out" id actions
    desktop_spawn "$client" --title "Smoke No Close" --no-close >"$out"
    id=$(wait_ready "$out") || {
        fail "--no-close client did not become ready"
        return
    }
    if ! desktop_poll 5 bash -c "! xprop -id $id _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_CLOSE"; then
        fail "--no-close window still allows close: $(window_atoms "$id" _NET_WM_ALLOWED_ACTIONS | tr '\n' ' ')"
        return
    fi
    actions=$(window_atoms "$id" _NET_WM_ALLOWED_ACTIONS)
    if grep -qx _NET_WM_ACTION_MOVE <<<"$actions"; then
        pass "--no-close: allowed actions lack close ($(grep -c '^reasserted' "$out") rewrite(s) by the client)"
    else
        fail "--no-close window lost its other actions too: $(tr '\n' ' ' <<<"$actions")"
    fi
}

check_dialog() {
    local out="$DESKTOP_TMP/dialog.out" ids main dialog type transient
    desktop_spawn "$client" --title "Smoke Dialog" --dialog --ignore-close >"$out"
    ids=$(wait_ready "$out" 2) || {
        fail "--dialog client did not become ready"
        return
    }
    main=$(wait_for_window_title "Smoke Dialog" 5)
    dialog=$(wait_for_window_title "Smoke Dialog dialog" 5)
    type=$(window_atoms "$dialog" _NET_WM_WINDOW_TYPE)
    transient=$(timeout 3 xprop -id "$dialog" WM_TRANSIENT_FOR | awk '/window id/ {print $NF}')
    if [[ "$type" == _NET_WM_WINDOW_TYPE_DIALOG ]] && window_state "$dialog" | grep -qx _NET_WM_STATE_MODAL &&
        [[ -n "$transient" && $((transient)) -eq $main ]]; then
        pass "modal dialog: dialog type, modal state, transient for its main window"
    else
        fail "dialog $dialog: type '$type', state '$(window_state "$dialog" | tr '\n' ' ')', transient-for '$transient' (main $main)"
    fi
    expect_in_client_list "$dialog" "the dialog"

    "$client" --send-close "$main" || fail "--send-close could not send"
    if desktop_poll 5 grep -q "^close-ignored $main\$" "$out"; then
        sleep 0.5
        if timeout 3 xprop -id "$main" WM_NAME >/dev/null 2>&1 && client_list | grep -qx "$main"; then
            pass "_NET_CLOSE_WINDOW reached the client as WM_DELETE_WINDOW and was ignored"
        else
            fail "--ignore-close window vanished after _NET_CLOSE_WINDOW"
        fi
    else
        fail "_NET_CLOSE_WINDOW did not reach the --ignore-close client"
    fi
}

check_polite_close() {
    local out="$DESKTOP_TMP/close.out" id
    desktop_spawn "$client" --title "Smoke Closable" >"$out"
    local pid=$DESKTOP_LAST_PID
    id=$(wait_ready "$out") || {
        fail "closable client did not become ready"
        return
    }
    "$client" --send-close "$id" || fail "--send-close could not send"
    if desktop_poll 5 bash -c "! kill -0 $pid 2>/dev/null || [[ \$(ps -o stat= -p $pid) == Z* ]]"; then
        wait "$pid"
        local rc=$?
        if ((rc == 0)) && grep -q "^closed $id\$" "$out"; then
            pass "_NET_CLOSE_WINDOW closed the window and the client exited cleanly"
        else
            fail "closable client exited with $rc: $(tr '\n' ' ' <"$out")"
        fi
    else
        fail "closable client still runs 5s after _NET_CLOSE_WINDOW"
    fi
}

check_retitle() {
    local out="$DESKTOP_TMP/retitle.out" id
    desktop_spawn "$client" --title "Smoke Before" --retitle-after 0.3 "Smoke After" >"$out"
    id=$(wait_ready "$out") || {
        fail "retitling client did not become ready"
        return
    }
    if [[ "$(wait_for_window_title "Smoke After" 5)" == "$id" ]]; then
        pass "--retitle-after renames the window"
    else
        fail "--retitle-after did not rename $id"
    fi
}

run_under() {
    VANTLO_E2E_WM="$1" desktop_start || {
        failures=$((failures + 1))
        return
    }
    pass "desktop up on $DISPLAY"
    check_client_list
    check_no_close
    check_dialog
    check_polite_close
    check_retitle
    local started=("${DESKTOP_SPAWNED_PIDS[@]}" "$DESKTOP_WM_PID" "$DESKTOP_XVFB_PID")
    desktop_stop
    local pid
    for pid in "${started[@]}"; do
        if kill -0 "$pid" 2>/dev/null; then
            echo "FAIL [$1] process $pid outlived desktop_stop" >&2
            failures=$((failures + 1))
        fi
    done
}

for wm in "${managers[@]}"; do
    run_under "$wm"
done
if ((failures > 0)); then
    echo "smoke: $failures check(s) failed" >&2
    exit 1
fi
echo "smoke: all checks passed under ${managers[*]}"
