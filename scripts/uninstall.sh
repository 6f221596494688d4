#!/usr/bin/env bash
# Removes what scripts/start.sh installed for this user under ~/.local, exactly the files its
# list names and the folders it created (when empty), after stopping a copy that runs from
# there. The autostart entry goes too when it starts that copy; the settings
# ($XDG_CONFIG_HOME/vantlo/) stay unless --purge is given. The Debian package is removed with
# apt instead (sudo apt remove vantlo).
#
#   scripts/uninstall.sh [--purge]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

purge=0
case "${1:-}" in
"") ;;
--purge) purge=1 ;;
*)
    echo "usage: scripts/uninstall.sh [--purge]" >&2
    exit 2
    ;;
esac

prefix="$HOME/.local"
program="$prefix/bin/vantlo"
manifest="$prefix/share/vantlo/installed-files"
config="$HOME/.config"
if [[ "${XDG_CONFIG_HOME:-}" == /* ]]; then
    config="$XDG_CONFIG_HOME"
fi

# The program's place as an autostart entry's Exec line gives it: quoted, with the escaping of
# values and of Exec arguments undone.
autostart_program() {
    sed -n 's/^Exec=//p' "$1" | head -n 1 |
        sed -e 's/\\\\/\\/g' -e 's/^"\(.*\)"$/\1/' -e 's/\\\(.\)/\1/g'
}

# What `vantlo browser install` (run by start.sh) wrote: the browsers' host manifests, with the
# folders that held nothing else, and the extension's copy.
remove_browser_bridge() {
    local folder
    for folder in "$config"/{chromium,google-chrome,BraveSoftware/Brave-Browser,microsoft-edge,vivaldi,opera}/NativeMessagingHosts \
        "$HOME/.mozilla/native-messaging-hosts"; do
        [[ -f "$folder/com.local.vantlo.browser_host.json" ]] || continue
        rm -f -- "$folder/com.local.vantlo.browser_host.json"
        while [[ "$folder" != "$config" && "$folder" != "$HOME" ]] && rmdir -- "$folder" 2>/dev/null; do
            folder="$(dirname "$folder")"
        done
    done
    rm -rf -- "$prefix/share/vantlo/browser-extension"
    rm -f -- "$prefix/share/vantlo/vantlo-tabs.xpi"
}

if [[ -f "$manifest" ]]; then
    vantlo_stop_copies "$program"
    remove_browser_bridge
    autostart="$config/autostart/com.local.vantlo.desktop"
    if [[ -f "$autostart" && "$(autostart_program "$autostart")" == "$program" ]]; then
        rm -f -- "$autostart"
    fi
    folders=()
    while read -r kind path; do
        case "$kind" in
        f) rm -f -- "$path" ;;
        d) folders+=("$path") ;;
        esac
    done <"$manifest"
    rm -f -- "$manifest"
    # Deepest first: a folder's path sorts after its parent's.
    if ((${#folders[@]})); then
        printf '%s\n' "${folders[@]}" | sort -r | while read -r folder; do
            rmdir --ignore-fail-on-non-empty -- "$folder" 2>/dev/null || true
        done
    fi
    rm -f -- "${XDG_STATE_HOME:-$HOME/.local/state}/vantlo.log"
    echo "Removed Vantlo from $prefix."
else
    echo "Vantlo is not installed for this user by scripts/start.sh (no $manifest)."
fi

if ((purge)); then
    rm -rf -- "$config/vantlo"
    echo "Removed the settings ($config/vantlo)."
else
    echo "The settings stay in $config/vantlo (scripts/uninstall.sh --purge removes them)."
fi
