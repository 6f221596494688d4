#!/usr/bin/env bash
# Installs what is missing, builds Vantlo, installs it for this user under ~/.local (the program,
# its desktop module, translations, manual page, applications-menu entry and icon) and starts it
# in the background on the current X11 display. A copy that runs from an earlier install is
# stopped first. scripts/uninstall.sh removes the installation again.
#
#   scripts/start.sh [--install-only]
#
# --install-only installs without starting. VANTLO_BUILD_DIR names an existing build folder to
# install from (brought up to date, never reconfigured) instead of the release build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/install.sh

install_only=0
case "${1:-}" in
"") ;;
--install-only) install_only=1 ;;
*)
    echo "usage: scripts/start.sh [--install-only]" >&2
    exit 2
    ;;
esac

scripts/deps.sh
vantlo_release_build

prefix="$HOME/.local"
program="$prefix/bin/vantlo"
# The list of what this install put in place, for scripts/uninstall.sh.
manifest="$prefix/share/vantlo/installed-files"
vantlo_stop_copies "$program"

# What the install will add, from a trial install beside it: the folders it creates are the
# ones that do not exist yet (or that an earlier install created), and Vantlo's own folders
# (lib/vantlo, share/vantlo), which an install from before this list existed may have made.
trial=$(mktemp -d)
trap 'rm -rf "$trial"' EXIT
DESTDIR="$trial" cmake --install "$VANTLO_BUILD" --prefix "$prefix" >/dev/null
mapfile -t files < <(cd "$trial" && find . \( -type f -o -type l \) | sed 's|^\.||' | sort)
declare -A created=()
if [[ -f "$manifest" ]]; then
    while read -r kind path; do
        [[ "$kind" == d ]] && created["$path"]=1
    done <"$manifest"
fi
for file in "${files[@]}" "$manifest"; do
    folder=$(dirname "$file")
    while [[ "$folder" != / && "$folder" != "$HOME" ]]; do
        if [[ ! -e "$folder" || "$(basename "$folder")" == vantlo ]]; then
            created["$folder"]=1
        fi
        folder=$(dirname "$folder")
    done
done

# Files an earlier install had that this one no longer has.
if [[ -f "$manifest" ]]; then
    while read -r kind path; do
        if [[ "$kind" == f ]] && ! printf '%s\n' "${files[@]}" | grep -qxF -- "$path"; then
            rm -f -- "$path"
        fi
    done <"$manifest"
fi

cmake --install "$VANTLO_BUILD" --prefix "$prefix" >/dev/null
{
    echo "# Installed by scripts/start.sh; scripts/uninstall.sh removes these files (f) and the"
    echo "# folders (d) the install created, when they are empty."
    printf 'f %s\n' "${files[@]}"
    if ((${#created[@]})); then
        printf 'd %s\n' "${!created[@]}" | sort
    fi
} >"$manifest"
echo "Vantlo is installed as $program (scripts/uninstall.sh removes it)."
# Lets the installed browsers start the tab bridge and says how to add the extension to each.
"$program" browser install

if ((install_only)); then
    exit 0
fi
if [[ -z "${DISPLAY:-}" ]]; then
    echo "There is no X11 display (DISPLAY is unset). Start Vantlo from your desktop session"
    echo "(it is in the applications menu), or see the README for a demonstration under Xvfb."
    exit 1
fi
log_dir="${XDG_STATE_HOME:-$HOME/.local/state}"
mkdir -p "$log_dir"
nohup "$program" >"$log_dir/vantlo.log" 2>&1 &
pid=$!
sleep 1
if ! kill -0 "$pid" 2>/dev/null; then
    echo "Vantlo did not start; see $log_dir/vantlo.log:" >&2
    tail -5 "$log_dir/vantlo.log" >&2
    exit 1
fi
echo "Vantlo is running (pid $pid). Hold Alt and press Tab."
