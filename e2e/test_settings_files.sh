#!/usr/bin/env bash
# What lies at the settings file's path is not always a settings file, end to end under one
# window manager: a FIFO there must not hang the start, a link to /dev/zero or /dev/urandom must
# not be read without end (neither by the running program nor by `vantlo --diagnostics`); each is
# set aside with one log line and the program goes on with the defaults.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo

desktop_start || exit 1
e2e_private_folders
settings="$XDG_CONFIG_HOME/vantlo/defaults.json"
lock="$XDG_RUNTIME_DIR/vantlo-${DISPLAY#:}.lock"

fresh_settings_folder() {
    rm -rf "$XDG_CONFIG_HOME/vantlo"
    mkdir -p "$XDG_CONFIG_HOME/vantlo"
}

set_aside_once() {
    local out="$1" what="$2"
    [[ $(grep -c "Settings file $settings $what; moved it to $settings.damaged-" "$out") == 1 ]] &&
        [[ -n "$(compgen -G "$settings.damaged-*")" ]]
}

lock_names() {
    [[ -f "$lock" && "$(head -n 1 "$lock")" == "$1" ]]
}

# The program itself: start-up goes on past a FIFO instead of waiting for a writer forever.
fresh_settings_folder
mkfifo "$settings"
desktop_spawn "$VANTLO" >"$DESKTOP_TMP/fifo.out" 2>&1
running=$DESKTOP_LAST_PID
if desktop_poll 10 lock_names "$running" && set_aside_once "$DESKTOP_TMP/fifo.out" \
    "is a FIFO, not a regular file"; then
    pass "a FIFO as the settings file is set aside with one line and the program starts"
else
    fail "start with a FIFO settings file: $(tail -3 "$DESKTOP_TMP/fifo.out")"
fi
desktop_kill_and_reap "$running"

for device in /dev/zero /dev/urandom; do
    fresh_settings_folder
    ln -s "$device" "$settings"
    # Peak memory in KiB, from the kernel's own count for the finished child.
    /usr/bin/time -f "%M" -o "$DESKTOP_TMP/peak" timeout 20 "$VANTLO" --diagnostics \
        >"$DESKTOP_TMP/diag.out" 2>&1
    status=$?
    peak=$(tail -n 1 "$DESKTOP_TMP/peak" 2>/dev/null)
    if ((status == 0)) && [[ "$peak" =~ ^[0-9]+$ ]] && ((peak < 300000)) &&
        set_aside_once "$DESKTOP_TMP/diag.out" "is a character device, not a regular file"; then
        pass "--diagnostics with the settings file linked to $device: set aside, peak $((peak / 1024)) MiB"
    else
        fail "--diagnostics with a link to $device: status $status, peak '$peak' KiB, $(head -3 "$DESKTOP_TMP/diag.out")"
    fi
done

e2e_finish test_settings_files
