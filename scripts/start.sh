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
log_dir="${XDG_STATE_HOME:-$HOME/.local/state}"
mkdir -p "$log_dir"
nohup "$HOME/.local/bin/vantlo" >"$log_dir/vantlo.log" 2>&1 &
pid=$!
sleep 1
if ! kill -0 "$pid" 2>/dev/null; then
  echo "Vantlo did not start; see $log_dir/vantlo.log:" >&2
  tail -5 "$log_dir/vantlo.log" >&2
  exit 1
fi
echo "Vantlo is running (pid $pid). Hold Alt and press Tab."
