#!/usr/bin/env bash
# The fault half of the soak test (e2e/soak.sh). Each fault must end as the program's rules say:
# it keeps running and answers the next Alt+Tab, or it exits with a line in its log; it never
# keeps the keyboard, and it loses no setting it had already stored. Source after lib/soak.sh.

FAULT_MOUNTS=()
FAULT_SENTINEL="kept through every fault"

# --- the keyboard is the desktop's again -----------------------------------------------------

# Another client can grab the keyboard, and keys typed go to the focused window: an xterm that
# copies what it reads to a file.
keyboard_is_free() {
    if ! desktop_poll 5 bash -c "[[ \$('$DRIVER' grab-probe) == free ]]"; then
        echo "another client cannot grab the keyboard" >&2
        return 1
    fi
    local id token="typed$RANDOM$RANDOM"
    id=$(wait_for_window_title typist 5) || return 1
    xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowactivate "$id"
    wait_for_active_title typist 5 || return 1
    xdotool type --delay 20 "$token"
    xdotool key Return
    if ! desktop_poll 5 grep -q "$token" "$DESKTOP_TMP/typed"; then
        echo "keys typed into the xterm did not arrive" >&2
        return 1
    fi
}

check_keyboard_free() {
    if keyboard_is_free; then
        pass "$1: the keyboard is free, another client grabs it and an xterm gets typed keys"
    else
        fail "$1: the keyboard is not usable by other clients"
    fi
}

# The program still runs and shows its panel for the next Alt+Tab; or it has ended with a log
# line and an exit status of its own (not a signal).
check_answers_or_exited_cleanly() {
    local what="$1"
    if soak_alive; then
        if soak_gesture_held; then
            pass "$what: the program keeps running and answers the next Alt+Tab"
        else
            fail "$what: the program runs but did not answer the next Alt+Tab"
        fi
        return
    fi
    wait "$SOAK_PID" 2>/dev/null
    local status=$?
    SOAK_PID=""
    if ((status < 128)) && [[ -s "$SOAK_LOG" ]] && soak_no_core; then
        pass "$what: the program ended cleanly (status $status): $(tail -n 1 "$SOAK_LOG")"
    else
        fail "$what: the program ended with status $status: $(tail -n 3 "$SOAK_LOG")"
    fi
}

# --- settings folders --------------------------------------------------------------------------

# Writes a settings file with a value the faults must not lose and padding that makes every
# save take a moment (so a kill lands inside one). Prints the file.
write_settings() {
    local folder="$1"
    mkdir -p "$folder/vantlo"
    python3 - "$folder/vantlo/defaults.json" "$FAULT_SENTINEL" <<'PY'
import json, sys
json.dump({"Vantlo.soakSentinel": sys.argv[2], "Vantlo.soakPadding": "x" * (1 << 20)},
          open(sys.argv[1], "w"), indent=2)
PY
}

# True when every JSON file of the settings folder parses and the sentinel is still stored.
settings_intact() {
    python3 - "$1/vantlo" "$FAULT_SENTINEL" <<'PY'
import glob, json, sys
folder, sentinel = sys.argv[1], sys.argv[2]
files = glob.glob(folder + "/*.json")
for name in files:
    with open(name) as f:
        value = json.load(f)
    if not isinstance(value, dict):
        sys.exit(f"{name} does not hold an object")
main = json.load(open(folder + "/defaults.json"))
if main.get("Vantlo.soakSentinel") != sentinel:
    sys.exit("the stored value is gone")
PY
}

temporaries_in() {
    find "$1/vantlo" -maxdepth 1 -name '*.tmp-*' 2>/dev/null
}

# Mounts a tmpfs of SIZE at FOLDER; false (and nothing mounted) where mounting is not allowed.
mount_small_folder() {
    local folder="$1" size="$2"
    mkdir -p "$folder"
    mount -t tmpfs -o "size=$size,mode=0700" soak-settings "$folder" 2>/dev/null || return 1
    FAULT_MOUNTS+=("$folder")
}

unmount_folders() {
    local folder
    for folder in "${FAULT_MOUNTS[@]}"; do
        umount "$folder" 2>/dev/null || umount -l "$folder" 2>/dev/null
    done
    FAULT_MOUNTS=()
}

fault_cleanup() {
    soak_stop_vantlo
    unmount_folders
    desktop_stop
}

# --- the faults ------------------------------------------------------------------------------

# The window manager dies while the panel shows, and a new one starts: once while Alt is still
# held, once after Alt went up with no manager running.
fault_window_manager() {
    local what="window manager killed while the panel shows"
    soak_start_vantlo "$DESKTOP_TMP/wm-fault.out"
    soak_wait_ready 30 || {
        fail "$what: the program did not start"
        return
    }
    local round
    for round in held released; do
        if ! soak_summon_held; then
            fail "$what: no panel before the fault"
            continue
        fi
        kill -KILL "$DESKTOP_WM_PID"
        wait "$DESKTOP_WM_PID" 2>/dev/null
        if [[ "$round" == released ]]; then
            xdotool keyup alt
            desktop_poll 5 soak_panel_gone || fail "$what: the panel stayed after Alt went up"
        fi
        desktop_start_wm "$DESKTOP_WM"
        desktop_poll 15 desktop_wm_ready || fail "$what: $DESKTOP_WM did not start again"
        if [[ "$round" == held ]]; then
            xdotool keyup alt
            desktop_poll 5 soak_panel_gone || fail "$what: the panel stayed after Alt went up"
        fi
        check_keyboard_free "$what (Alt released $([[ $round == held ]] && echo after || echo before) the restart)"
    done
    check_answers_or_exited_cleanly "$what"
    soak_stop_vantlo
}

# SIGKILL while a switch is being saved, again and again; then a start with the temporary files
# those saves left (aged past the point where a save could still be under way).
fault_kill_during_saves() {
    local rounds="$1" what="SIGKILL during settings saves"
    write_settings "$XDG_CONFIG_HOME"
    local round left=0
    for ((round = 1; round <= rounds; round++)); do
        soak_start_vantlo "$DESKTOP_TMP/kill-fault.out"
        soak_wait_ready 30 || {
            fail "$what: the program did not start (round $round)"
            return
        }
        # Each switch records the recency history, saved half a second later: switch now and
        # then, watch for a save's temporary file and kill the program the moment it shows (or
        # after a few seconds without one).
        (while :; do
            xdotool keydown alt key Tab keyup alt
            sleep 0.7
        done) &
        local switcher=$! deadline=$((SECONDS + 3)) before now
        shopt -s nullglob
        before=("$XDG_CONFIG_HOME"/vantlo/*.tmp-*)
        # Globbing forks nothing, so the loop looks often enough to see a save of a few ms.
        until now=("$XDG_CONFIG_HOME"/vantlo/*.tmp-*); ((${#now[@]} > ${#before[@]})) ||
            ((SECONDS >= deadline)); do
            :
        done
        soak_kill_vantlo
        now=("$XDG_CONFIG_HOME"/vantlo/*.tmp-*)
        ((${#now[@]} > ${#before[@]})) && left=$((left + 1))
        shopt -u nullglob
        kill "$switcher"
        wait "$switcher" 2>/dev/null
        xdotool keyup alt
        if ! settings_intact "$XDG_CONFIG_HOME" 2>"$DESKTOP_TMP/intact.err"; then
            fail "$what: after kill $round: $(cat "$DESKTOP_TMP/intact.err" | tail -n 1)"
            return
        fi
    done
    if ((left == 0)); then
        fail "$what: no kill landed inside a save, so nothing was proved"
    else
        pass "$what: $rounds kills ($left of them inside a save), every settings file valid JSON with its values"
    fi
    if compgen -G "$XDG_CONFIG_HOME/vantlo/*.damaged-*" >/dev/null; then
        fail "$what: a settings file was set aside as damaged"
    fi
    # Interrupted saves are recognised by age; make those of this test old enough.
    temporaries_in "$XDG_CONFIG_HOME" | xargs -r touch -d '-5 minutes'
    soak_start_vantlo "$DESKTOP_TMP/kill-fault.out"
    soak_wait_ready 30 || fail "$what: the program did not start after the kills"
    local stray
    stray=$(temporaries_in "$XDG_CONFIG_HOME" | wc -l)
    if ((stray == 0)); then
        pass "$what: no temporary file is left after the next start"
    else
        fail "$what: $stray stale temporary file(s) left after the next start"
    fi
    check_answers_or_exited_cleanly "$what"
    soak_stop_vantlo
}

# The settings folder cannot take a save: full (a tiny tmpfs filled up) or read-only (the same
# remounted read-only). The program keeps working, says so once, and the stored files stay.
fault_unwritable_folder() {
    local kind="$1" what="settings folder $1" folder="$DESKTOP_TMP/settings-$1"
    if ! mount_small_folder "$folder" 2m; then
        if ((EUID == 0)); then
            echo "SKIP [$DESKTOP_WM] $what: mounting a tmpfs is not permitted here"
            return
        fi
        # Without mount rights a folder of our own can still be made read-only; a full one
        # cannot be made.
        [[ "$kind" == read-only ]] || {
            echo "SKIP [$DESKTOP_WM] $what: mounting a tmpfs is not permitted here"
            return
        }
        mkdir -p "$folder"
    fi
    write_settings "$folder"
    cp "$XDG_CONFIG_HOME"/vantlo/recency.json "$folder/vantlo/" 2>/dev/null
    local before
    before=$(cd "$folder/vantlo" && sha256sum ./*.json)
    if [[ "$kind" == full ]]; then
        dd if=/dev/zero of="$folder/filler" bs=4k 2>/dev/null
    elif [[ " ${FAULT_MOUNTS[*]} " == *" $folder "* ]]; then
        mount -o remount,ro "$folder" || fail "$what: could not remount read-only"
    else
        chmod 500 "$folder/vantlo" "$folder"
    fi
    local log="$DESKTOP_TMP/$kind-fault.out"
    soak_start_vantlo "$log" "XDG_CONFIG_HOME=$folder"
    soak_wait_ready 30 || {
        fail "$what: the program did not start"
        return
    }
    local n answered=0
    for ((n = 0; n < 6; n++)); do
        soak_gesture_held && answered=$((answered + 1))
    done
    if ((answered == 6)) && soak_alive; then
        pass "$what: six switches answered, the program keeps running"
    else
        fail "$what: $answered of 6 switches answered; running: $(soak_alive && echo yes || echo no)"
    fi
    # The recency history is saved half a second after the last switch: give the save time to
    # be tried before reading what was said.
    local tries
    for ((tries = 0; tries < 50; tries++)); do
        grep -q "Could not save settings" "$log" && break
        sleep 0.1
    done
    sleep 0.6
    # Once per run of failures: one line, or one per settings file where a store keeps several.
    local lines distinct
    lines=$(grep -c "Could not save settings" "$log")
    distinct=$(grep "Could not save settings" "$log" | sort -u | wc -l)
    if ((lines >= 1 && lines == distinct)); then
        pass "$what: said once: $(grep -m1 "Could not save settings" "$log")"
    else
        fail "$what: $lines log lines about saving, $distinct different: $(tail -n 3 "$log")"
    fi
    if [[ "$(cd "$folder/vantlo" && sha256sum ./*.json)" == "$before" ]] &&
        [[ -z "$(temporaries_in "$folder")" ]]; then
        pass "$what: the stored settings files are unchanged, no temporary file left"
    else
        fail "$what: the settings folder changed: $(ls -la "$folder/vantlo")"
    fi
    check_keyboard_free "$what"
    soak_stop_vantlo
    chmod -R u+w "$folder" 2>/dev/null
}

# The X server dies while the panel shows: the program ends with a line in its log, at once,
# by itself and without a core dump.
fault_x_server() {
    local what="X server killed while the panel shows"
    soak_start_vantlo "$DESKTOP_TMP/x-fault.out"
    soak_wait_ready 30 || {
        fail "$what: the program did not start"
        return
    }
    soak_summon_held || fail "$what: no panel before the fault"
    kill -KILL "$DESKTOP_XVFB_PID"
    wait "$DESKTOP_XVFB_PID" 2>/dev/null
    DESKTOP_XVFB_PID=""
    if ! desktop_poll 10 process_gone "$SOAK_PID"; then
        fail "$what: the program still runs 10 s later"
        return
    fi
    wait "$SOAK_PID" 2>/dev/null
    local status=$?
    SOAK_PID=""
    if ((status > 0 && status < 128)) && soak_no_core && grep -qi "x11\|x server\|display" "$SOAK_LOG"; then
        pass "$what: the program ended with status $status and the line: $(grep -i -m1 "x11\|x server\|display" "$SOAK_LOG")"
    else
        fail "$what: status $status, core: $(soak_no_core && echo no || echo yes), log: $(tail -n 3 "$SOAK_LOG" | tr '\n' '|')"
        soak_keep_core x-server
    fi
}

run_fault_phase() {
    desktop_start "$DESKTOP_WM" || exit 1
    trap fault_cleanup EXIT
    e2e_private_folders
    local out
    read -r _ out < <(start_client --title fault --count 3)
    wait_ready "$out" 3 >/dev/null || fail "the fault test's windows did not appear"
    : >"$DESKTOP_TMP/typed"
    desktop_spawn xterm -T typist -geometry 40x5 -e sh -c "cat >>'$DESKTOP_TMP/typed'"
    wait_for_window_title typist >/dev/null || fail "the typist xterm did not appear"

    fault_window_manager
    fault_kill_during_saves "$([[ "$mode" == long ]] && echo 40 || echo 10)"
    fault_unwritable_folder full
    fault_unwritable_folder read-only
    fault_x_server
    fault_cleanup
}
