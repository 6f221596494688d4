#!/usr/bin/env bash
# Media pause through MPRIS before a forced quit: a small player owns org.mpris.MediaPlayer2.vlc on
# a private session bus; the driver asks "vlc" to pause the way a forced quit of VLC does first,
# and the player must have received Pause by the time the ask returns (so before any kill);
# asking again once the player is gone returns without waiting out the script's time-out.
# It does not depend on the window manager, so it runs under one only.
# e2e-managers: any
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

if [[ ! -x "$DRIVER" ]]; then
    echo "e2e: $DRIVER is not built (set VANTLO_BINARY_DIR to the build directory)" >&2
    exit 2
fi
command -v dbus-run-session >/dev/null || {
    echo "e2e: dbus-run-session is not installed (scripts/deps.sh installs dbus)" >&2
    exit 2
}

desktop_start || exit 1
e2e_private_folders

# Inside the private bus: start the player, wait for its name, ask it to pause, report.
cat >"$DESKTOP_TMP/on-bus.sh" <<SCRIPT
/usr/bin/python3 "$here/lib/mpris_player.py" vlc >"$DESKTOP_TMP/player.out" 2>&1 &
player=\$!
for _ in \$(seq 50); do grep -q ready "$DESKTOP_TMP/player.out" && break; sleep 0.1; done
"$DRIVER" pause-media vlc >"$DESKTOP_TMP/driver.out" 2>&1
# What the player had heard when the ask returned, before it is killed.
cp "$DESKTOP_TMP/player.out" "$DESKTOP_TMP/heard-before-kill.out"
kill -KILL \$player
# A player that is gone: the ask returns at once, nothing hangs.
start=\$(date +%s%N)
"$DRIVER" pause-media vlc >>"$DESKTOP_TMP/driver.out" 2>&1
echo \$(( (\$(date +%s%N) - start) / 1000000 )) >"$DESKTOP_TMP/gone-ms"
SCRIPT
timeout 60 dbus-run-session -- bash "$DESKTOP_TMP/on-bus.sh" 2>"$DESKTOP_TMP/bus.err"

if grep -qx "Pause" "$DESKTOP_TMP/heard-before-kill.out" 2>/dev/null; then
    pass "the MPRIS player received Pause before it was killed"
else
    fail "the player heard: $(cat "$DESKTOP_TMP/heard-before-kill.out" 2>/dev/null);" \
        "driver: $(cat "$DESKTOP_TMP/driver.out" 2>/dev/null)"
fi
if [[ "$(grep -c "asked vlc to pause" "$DESKTOP_TMP/driver.out" 2>/dev/null)" == 2 ]]; then
    pass "asking a player that is gone returns ($(cat "$DESKTOP_TMP/gone-ms")ms)"
else
    fail "the second ask did not return: $(cat "$DESKTOP_TMP/driver.out" 2>/dev/null)"
fi
e2e_finish test_media_pause
