#!/usr/bin/env bash
# Installs what is missing, builds Vantlo, installs it for this user (~/.local) and starts it in
# the background on the current X11 display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTLO_TESTS=OFF -DVANTLO_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX="$HOME/.local"
cmake --build build
cmake --install build >/dev/null

if [[ -z "${DISPLAY:-}" ]]; then
  echo "Vantlo is installed as $HOME/.local/bin/vantlo, but there is no X11 display (DISPLAY is"
  echo "unset). Start it from your desktop session, or see the README for a demonstration under Xvfb."
  exit 1
fi
nohup "$HOME/.local/bin/vantlo" >"${XDG_STATE_HOME:-$HOME/.local/state}/vantlo.log" 2>&1 &
echo "Vantlo is running (pid $!). Hold Alt and press Tab."
