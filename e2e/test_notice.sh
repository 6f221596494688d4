#!/usr/bin/env bash
# A start after the first run on openbox's own configuration, which keeps Alt+Tab: Vantlo shows
# one desktop notification naming the taken key, through a small notification service on a
# private session bus; its action opens the General preferences. With no notification service
# on the bus Vantlo only logs it, and starts all the same.
# e2e-managers: any
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo
command -v dbus-daemon >/dev/null || {
    echo "e2e: 'dbus-daemon' is not installed (scripts/deps.sh)" >&2
    exit 2
}
# Debian's own interpreter, which has python3-dbus and python3-gi.
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || {
    echo "e2e: python3-dbus and python3-gi are not installed (scripts/deps.sh)" >&2
    exit 2
}

DESKTOP_OPENBOX_STOCK=1 desktop_start openbox || exit 1
e2e_private_folders
mkdir -p "$XDG_CONFIG_HOME/vantlo"
echo '{"Vantlo.DidCompleteInteractiveOnboarding": true, "Vantlo.HasSeenWelcome": true}' \
    >"$XDG_CONFIG_HOME/vantlo/defaults.json"

read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
    paste -s -d ' ')
export DBUS_SESSION_BUS_ADDRESS="$bus_address"
[[ -n "$bus_pid" ]] && DESKTOP_SPAWNED_PIDS+=("$bus_pid")

notices="$DESKTOP_TMP/notices.jsonl"
desktop_spawn /usr/bin/python3 "$here/lib/notification_server.py" "$notices" open-general \
    >"$DESKTOP_TMP/server.out" 2>&1
server=$DESKTOP_LAST_PID
server_ready() { grep -q ready "$DESKTOP_TMP/server.out"; }
desktop_poll 10 server_ready || fail "the notification service did not start"

prefs_shown() { xdotool search --onlyvisible --name '^Vantlo Preferences$' >/dev/null 2>&1; }
notice_count() { [[ -f "$notices" ]] && wc -l <"$notices" || echo 0; }
noticed() { (($(notice_count) >= 1)); }

desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
if desktop_poll 15 noticed && grep -q '"summary": "Alt+Tab is taken"' "$notices" &&
    grep -q '"actions": \["open-general"\]' "$notices"; then
    pass "a start with Alt+Tab taken shows a notification naming it: $(head -n 1 "$notices")"
else
    fail "no notification: $(cat "$notices" 2>/dev/null); $(tail -3 "$DESKTOP_TMP/vantlo.out")"
fi
if desktop_poll 10 prefs_shown; then
    pass "its action opens the preferences"
else
    fail "the action opened no preferences window"
fi
sleep 2
(($(notice_count) == 1)) && pass "one notification per start" ||
    fail "$(notice_count) notifications in one start"

desktop_kill_and_reap "$server"
: >"$notices"
desktop_spawn "$VANTLO" >"$DESKTOP_TMP/second.out" 2>&1
no_service_logged() { grep -q "No notification service answered" "$DESKTOP_TMP/second.out"; }
if desktop_poll 15 no_service_logged && desktop_poll 10 "$VANTLO" show; then
    pass "without a notification service it is logged, and Vantlo runs"
    xdotool key Escape
else
    fail "without a service: $(tail -3 "$DESKTOP_TMP/second.out")"
fi

e2e_finish test_notice
