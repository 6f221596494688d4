#!/usr/bin/env bash
# Runs every end-to-end test (e2e/test_*.sh and the desktop smoke test) under each window
# manager, each test on its own private Xvfb display, and prints a pass/fail summary.
# Exit status: 0 when everything passed, 1 otherwise.
#
#   VANTLO_BINARY_DIR=build e2e/run.sh            # both managers
#   VANTLO_E2E_MANAGERS="openbox" e2e/run.sh      # one manager
#   e2e/run.sh test_windows                       # only the named tests
#
# A test that does not depend on the window manager says so with the line "# e2e-managers: any"
# and runs under the first manager only.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
export VANTLO_BINARY_DIR="${VANTLO_BINARY_DIR:-$root/build}"
read -r -a managers <<<"${VANTLO_E2E_MANAGERS:-openbox fluxbox}"

tests=()
if (($#)); then
    for name in "$@"; do
        tests+=("$here/${name%.sh}.sh")
    done
else
    tests=("$here"/test_*.sh)
fi

results=()
failed=0
started=$SECONDS
for wm in "${managers[@]}"; do
    if [[ -x "$here/smoke_desktop.sh" && $# -eq 0 ]]; then
        if "$here/smoke_desktop.sh" "$VANTLO_BINARY_DIR/e2e/client/vantlo-test-client" "$wm"; then
            results+=("pass  $wm  smoke_desktop")
        else
            results+=("FAIL  $wm  smoke_desktop")
            failed=$((failed + 1))
        fi
    fi
    for test in "${tests[@]}"; do
        name="$(basename "$test" .sh)"
        if [[ "$wm" != "${managers[0]}" ]] && grep -qx "# e2e-managers: any" "$test"; then
            continue
        fi
        echo "== $name under $wm"
        test_started=$SECONDS
        if VANTLO_E2E_WM="$wm" timeout 300 bash "$test"; then
            results+=("pass  $wm  $name ($((SECONDS - test_started))s)")
        else
            results+=("FAIL  $wm  $name ($((SECONDS - test_started))s)")
            failed=$((failed + 1))
        fi
    done
done

echo
echo "== end-to-end summary ($((SECONDS - started))s)"
printf '%s\n' "${results[@]}"
if ((failed > 0)); then
    echo "$failed end-to-end test run(s) failed" >&2
    exit 1
fi
echo "all end-to-end tests passed"
