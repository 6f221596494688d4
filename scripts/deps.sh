#!/usr/bin/env bash
# Installs, with apt, the Debian 12 packages Vantlo needs to build, run and test. Only missing
# packages are installed; root or sudo is needed when something is missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang-format
  libicu-dev nlohmann-json3-dev liburiparser-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libglib2.0-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-res0-dev libxcb-keysyms1-dev
  libxcb-xtest0-dev libxcb-composite0-dev libxcb-image0-dev libxcb-shm0-dev libxcb-randr0-dev
  libxcb-xkb-dev libx11-xcb-dev libxkbcommon-dev
  # build: the menu entry and metadata translated (msgfmt and its AppStream rules), the icon
  # pictures drawn from its vector drawing
  gettext appstream librsvg2-bin
  # build: the browser extension's CRX, signed with its identity key
  python3 openssl
  # run: icons and the Qt X11 platform plugin
  qt6-qpa-plugins adwaita-icon-theme
  # test: a private X server, window managers and real X clients
  xvfb xauth openbox fluxbox xdotool xterm x11-utils python3
  # test: a session bus and a small notification service written with python3-dbus
  dbus-daemon python3-dbus python3-gi
  # test: the package's checkers
  lintian desktop-file-utils
  # test: the clipboard, window screenshots (xwd) and a system tray for the preferences test
  xclip x11-apps trayer
  # test: the first-run guide frees GNOME's own Alt+Tab with gsettings in the real schema
  libglib2.0-bin gsettings-desktop-schemas
  # test: a Chinese font, so the Simplified Chinese screenshots show their text
  fonts-wqy-microhei
  # test: a run's peak memory (/usr/bin/time)
  time
  # test: an input method (fcitx5 with pinyin and its Qt 6 frontend) for Chinese in the search
  fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6
  # test: real browsers for the tab bridge, a page fetcher, and a session bus with an MPRIS player
  chromium firefox-esr curl dbus python3-dbus python3-gi
)
if [[ "${1:-}" == "--bench" ]]; then
  packages+=(fzf fzy rofi)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
