#!/usr/bin/env bash
# Builds the Debian package of Vantlo, vantlo_<version>_<arch>.deb, into OUTPUT_DIR (default
# dist/), and prints its path:
#
#   scripts/package.sh [OUTPUT_DIR]
#
# The program is built in build/ (the release build scripts/start.sh uses), or in the existing
# build folder VANTLO_BUILD_DIR names (brought up to date, never reconfigured): a build with
# debugging information is stripped on the way into the package. The dependencies come from the
# shared libraries the program and its desktop module use (dpkg-shlibdeps), plus the plugins Qt
# loads at run time.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022

out="${1:-dist}"
maintainer="${VANTLO_MAINTAINER:-Vantlo developers <vantlo@users.noreply.github.com>}"

fail() {
    echo "package: $*" >&2
    exit 1
}

scripts/deps.sh
source scripts/lib/install.sh
vantlo_release_build || fail "no build to package"
build="$VANTLO_BUILD"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
changelog_version=$(sed -n '1s/^vantlo (\([^)]*\)).*/\1/p' packaging/changelog)
[[ "$version" == "$changelog_version" ]] ||
    fail "packaging/changelog's top entry is $changelog_version, the program is $version: add an entry"
arch=$(dpkg --print-architecture)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root="$stage/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr --strip >/dev/null
DESTDIR="$root" cmake --install "$build" --prefix /usr --component debian >/dev/null
for wanted in usr/bin/vantlo usr/share/applications/com.local.vantlo.desktop \
    usr/share/icons/hicolor/scalable/apps/com.local.vantlo.svg usr/share/man/man1/vantlo.1.gz \
    usr/share/doc/vantlo/copyright usr/share/vantlo/vantlo-tabs.crx \
    etc/chromium/native-messaging-hosts/com.local.vantlo.browser_host.json; do
    [[ -e "$root/$wanted" ]] || fail "the installation has no /$wanted"
done
chmod -R u+rwX,go+rX,go-w "$root"

# dpkg-shlibdeps reads the package names from a source package's control file.
mkdir -p "$stage/debian" "$root/DEBIAN"
printf 'Source: vantlo\n\nPackage: vantlo\nArchitecture: any\n' >"$stage/debian/control"
mapfile -t elf_files < <(cd "$root" && find . -type f -exec sh -c \
    'head -c 4 "$1" | grep -q "ELF"' _ {} \; -print | sed 's|^\./||' | sort)
# The install stripped the symbols; the compiler's notes go too, as Debian's own packages do.
for elf in "${elf_files[@]}"; do
    strip --remove-section=.comment --remove-section=.note "$root/$elf"
done
shlibs=$(cd "$stage" && dpkg-shlibdeps -O "${elf_files[@]/#/root/}" 2>"$stage/shlibdeps.log") || {
    cat "$stage/shlibdeps.log" >&2
    fail "dpkg-shlibdeps failed"
}
depends="${shlibs#shlibs:Depends=}"
# Loaded at run time, so no library names them: the SVG icon engine draws the icons of
# applications whose theme has only vector icons.
depends="$depends, libqt6svg6"

installed_size=$(cd "$root" && find usr etc -type f -printf '%s\n' |
    awk '{ kib += int(($1 + 1023) / 1024) } END { print kib }')
installed_size=$((installed_size + $(find "$root/usr" "$root/etc" -type d | wc -l)))

cat >"$root/DEBIAN/control" <<CONTROL
Package: vantlo
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $installed_size
Depends: $depends
Recommends: adwaita-icon-theme
Section: x11
Priority: optional
Homepage: https://github.com/vantlo/vantlo
Suggests: chromium | firefox-esr
Description: keyboard-driven switcher for windows, browser tabs and applications
 Vantlo is a keyboard-driven switcher for the X11 desktop. Hold Alt and press
 Tab: a panel slides in at the edge of the screen listing every window, every
 browser tab, the file manager's windows and the running applications, most
 recently used first.
 .
 Keep Alt held to move through the list, open groups, close windows or search
 by typing; release Alt to switch. Installed applications can be started from
 the same search.
 .
 Browser tabs come through the Vantlo Tabs extension, which Chromium installs
 from this package; Firefox ESR and the other browsers load it from
 /usr/share/vantlo.
CONTROL
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
# Files under /etc are the administrator's to change: dpkg keeps their edits on upgrade.
(cd "$root" && find etc -type f | sort | sed 's|^|/|') >"$root/DEBIAN/conffiles"
# The links into /etc/opt that Chrome, Brave, Vivaldi, Opera and Edge read.
install -m 0755 packaging/debian/postinst packaging/debian/postrm "$root/DEBIAN/"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums" "$root/DEBIAN/conffiles"

# Files carry the release's date, so one source gives one package.
release_date=$(sed -n 's/^ -- .*>  //p' packaging/changelog | head -n 1)
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(date -d "$release_date" +%s)

mkdir -p "$out"
deb="$out/vantlo_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
