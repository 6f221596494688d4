#!/usr/bin/env bash
# Saves PNG screenshots of the switcher panel's test showing for a human look, one per state:
# default list, search, a tab group, a long window group, no matches, left edge, large text,
# Simplified Chinese and the guide card. Runs on a private Xvfb desktop with openbox.
#
#   VANTLO_BINARY_DIR=build e2e/screenshots.sh [output folder, default e2e/out]
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/panel.sh"
panel_require_binary
out="${1:-$here/out}"
mkdir -p "$out"
failures=0

# NAME, settings JSON, then the environment of the showing; the keys to press come from KEYS.
shoot() {
    local name="$1" defaults="$2"
    shift 2
    PANEL_DEFAULTS="$defaults" panel_start "$@"
    if ! panel_wait_shown >/dev/null; then
        failures=$((failures + 1))
        return
    fi
    if [[ -n "${KEYS:-}" ]]; then
        eval "$KEYS"
    fi
    if panel_screenshot "$out/$name.png"; then
        echo "saved $out/$name.png"
    else
        failures=$((failures + 1))
    fi
    panel_stop
}

type_text() {
    xdotool type --delay 40 "$1"
}

VANTLO_E2E_WM=openbox desktop_start || exit 1
KEYS="" shoot 01-default-list ""
KEYS="xdotool key Return; sleep 0.2; type_text doc" shoot 02-search ""
KEYS="xdotool key Right" shoot 03-tab-group "" VANTLO_TEST_SELECTION=2
KEYS="xdotool key Right; sleep 0.2; for i in \$(seq 12); do xdotool key Down; sleep 0.05; done" \
    shoot 04-window-group-25 "" VANTLO_TEST_SELECTION=4 VANTLO_TEST_WINDOW_GROUP=25
KEYS="xdotool key Return; sleep 0.2; type_text zzqx" shoot 05-no-matches ""
KEYS="" shoot 06-left-edge '{"Vantlo.PanelEdge": "left"}'
KEYS="" shoot 07-large-text '{"Vantlo.PanelFontSize": "large"}'
KEYS="" shoot 08-simplified-chinese '{"Vantlo.AppLanguage": "simplifiedChinese"}'
KEYS="xdotool key Return; sleep 0.2; type_text fi" \
    shoot 09-simplified-chinese-search '{"Vantlo.AppLanguage": "simplifiedChinese"}'
KEYS="" shoot 10-guide-card "" VANTLO_TEST_GUIDE=panelBasics
KEYS="xdotool key Right" shoot 11-guide-card-in-group-chinese \
    '{"Vantlo.AppLanguage": "simplifiedChinese"}' VANTLO_TEST_GUIDE=actions VANTLO_TEST_SELECTION=2
KEYS="" shoot 12-small-compact '{"Vantlo.PanelFontSize": "small", "Vantlo.PanelWidth": "compact"}'
desktop_stop
if ((failures > 0)); then
    echo "screenshots: $failures failed" >&2
    exit 1
fi
