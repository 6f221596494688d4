#!/usr/bin/env bash
# Shared by scripts/start.sh, scripts/uninstall.sh and scripts/package.sh (sourced, never run):
# the release build and the copies of Vantlo that run from an installed program.

# Brings the build folder up to date and sets VANTLO_BUILD to it: VANTLO_BUILD_DIR when set (an
# existing build, never reconfigured), else the release build in build/. Returns non-zero when
# that fails (every step checks, since callers may test the result, which turns off set -e).
vantlo_release_build() {
    VANTLO_BUILD="${VANTLO_BUILD_DIR:-build}"
    if [[ -z "${VANTLO_BUILD_DIR:-}" ]]; then
        local launcher=()
        if command -v ccache >/dev/null; then
            launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
        fi
        cmake -S . -B "$VANTLO_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTLO_TESTS=OFF \
            -DVANTLO_BENCH=OFF "${launcher[@]}" >/dev/null || return 1
    elif [[ ! -f "$VANTLO_BUILD/CMakeCache.txt" ]]; then
        echo "$VANTLO_BUILD is not a configured build folder" >&2
        return 1
    fi
    if ! grep -q '^VANTLO_DESKTOP:BOOL=ON$' "$VANTLO_BUILD/CMakeCache.txt"; then
        echo "$VANTLO_BUILD is built without the desktop (VANTLO_DESKTOP=OFF)" >&2
        return 1
    fi
    cmake --build "$VANTLO_BUILD" --target vantlo vantlo_packaging_files
}

# Process ids of the copies of Vantlo that run from PROGRAM, as their lock files name them
# (checked against the process, so a reused process id is never taken for one).
vantlo_running_copies() {
    local program="$1" folder lock pid holder
    for folder in "${XDG_RUNTIME_DIR:-}" "/tmp/vantlo-$(id -u)"; do
        [[ -n "$folder" && -d "$folder" ]] || continue
        for lock in "$folder"/vantlo-*.lock; do
            [[ -f "$lock" ]] || continue
            { read -r pid && read -r holder; } <"$lock" || continue
            [[ "$pid" =~ ^[0-9]+$ && "$holder" == "$program" ]] || continue
            # The program file may already be replaced or removed: /proc then adds " (deleted)".
            [[ "$(readlink "/proc/$pid/exe" 2>/dev/null)" == "$program"* ]] && echo "$pid"
        done
    done
}

# Asks every copy running from PROGRAM to quit and waits up to five seconds for them.
vantlo_stop_copies() {
    local program="$1" pids pid waited
    mapfile -t pids < <(vantlo_running_copies "$program")
    ((${#pids[@]})) || return 0
    kill -TERM "${pids[@]}" 2>/dev/null || true
    for pid in "${pids[@]}"; do
        for ((waited = 0; waited < 50; waited++)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            echo "Vantlo (pid $pid) did not quit; quit it from its tray menu." >&2
            return 1
        fi
        echo "Stopped the running Vantlo (pid $pid)."
    done
}
