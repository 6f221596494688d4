# The desktop the summon benchmarks share, sourced after e2e/lib/desktop.sh and checks.sh:
# fresh settings, many installed applications, and the statistics they print.

# p50, p95 (nearest rank), mean, min and max of the numbers on standard input.
summarize() {
    sort -n | awk '{ v[NR] = $1; s += $1 }
        END {
            if (NR == 0) { print "none"; exit }
            i50 = int(NR * 0.50); if (i50 < NR * 0.50) i50++; if (i50 < 1) i50 = 1
            i95 = int(NR * 0.95); if (i95 < NR * 0.95) i95++; if (i95 < 1) i95 = 1
            printf "%.2f %.2f %.2f %.2f %.2f %d\n", v[i50], v[i95], s / NR, v[1], v[NR], NR
        }'
}

summon_desktop_clients() {
    timeout 3 xprop -root _NET_CLIENT_LIST 2>/dev/null | tr ',' '\n' | grep -c 0x
}

# Fresh settings folders (the first-run guide completed) and APPS desktop entries in the user's
# applications folder, as many as a desktop installation has.
summon_desktop_prepare() {
    local apps=$1 i
    export XDG_CONFIG_HOME="$DESKTOP_TMP/config" XDG_CACHE_HOME="$DESKTOP_TMP/cache"
    export XDG_RUNTIME_DIR="$DESKTOP_TMP/runtime"
    mkdir -p "$XDG_CONFIG_HOME/vantlo" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    printf '{"Vantlo.DidCompleteInteractiveOnboarding": true, "Vantlo.HasSeenWelcome": true}\n' \
        >"$XDG_CONFIG_HOME/vantlo/defaults.json"
    export XDG_DATA_HOME="$DESKTOP_TMP/data"
    mkdir -p "$XDG_DATA_HOME/applications"
    for ((i = 1; i <= apps; i++)); do
        printf '[Desktop Entry]\nType=Application\nName=Bench Application %d\nComment=An installed application\nExec=bench-application-%d %%U\nIcon=application-x-executable\nCategories=Utility;\n' \
            "$i" "$i" >"$XDG_DATA_HOME/applications/org.example.BenchApplication$i.desktop"
    done
}

# Waits until Vantlo's hot key shows its panel (the caches warm on background threads first),
# then summons once more so the first counted run is not the first of anything.
summon_desktop_wait_ready() {
    local probe=$1
    sleep 2
    for _ in $(seq 10); do
        if "$probe" hotkey --class vantlo --timeout-ms 2000 >/dev/null; then
            "$probe" hotkey --class vantlo >/dev/null
            return 0
        fi
    done
    echo "Vantlo's panel never showed: $(tail -n 3 "$DESKTOP_TMP/vantlo.log")" >&2
    return 1
}
