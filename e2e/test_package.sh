#!/usr/bin/env bash
# e2e-managers: any
# Installing Vantlo, end to end: the Debian package (its files, its dependencies, lintian, the
# menu entry and metadata validators), the packaged program unpacked into a throw-away root and
# run from there (--version, --diagnostics, and on the desktop), and the per-user install of
# scripts/start.sh taken away again by scripts/uninstall.sh, leaving the home folder as it was.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo
desktop_start || exit 1
e2e_private_folders
version=$("$VANTLO" --version | awk '{print $2}')
arch=$(dpkg --print-architecture)
app=com.local.vantlo

# --- The package -------------------------------------------------------------------------------
if VANTLO_BUILD_DIR="$E2E_BUILD" "$E2E_ROOT/scripts/package.sh" "$DESKTOP_TMP/dist" \
    >"$DESKTOP_TMP/package.out" 2>&1; then
    deb=$(tail -n 1 "$DESKTOP_TMP/package.out")
else
    fail "scripts/package.sh failed: $(tail -5 "$DESKTOP_TMP/package.out")"
    e2e_finish test_package
    exit
fi
if [[ "$deb" == "$DESKTOP_TMP/dist/vantlo_${version}_${arch}.deb" && -f "$deb" ]]; then
    pass "the package is $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"
else
    fail "scripts/package.sh made '$deb', not vantlo_${version}_${arch}.deb"
fi

dpkg-deb -c "$deb" >"$DESKTOP_TMP/contents" 2>&1
missing=()
for path in usr/bin/vantlo usr/lib/vantlo/vantlo-desktop.so \
    usr/share/applications/$app.desktop usr/share/metainfo/$app.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/$app.svg usr/share/icons/hicolor/48x48/apps/$app.png \
    usr/share/icons/hicolor/128x128/apps/$app.png usr/share/man/man1/vantlo.1.gz \
    usr/share/vantlo/en.po usr/share/vantlo/zh-Hans.po \
    usr/share/doc/vantlo/copyright usr/share/doc/vantlo/changelog.gz; do
    grep -q " \./$path\$" "$DESKTOP_TMP/contents" || missing+=("/$path")
done
strays=$(awk '$6 != "./" && $6 !~ /^\.\/(usr|etc)\// {print $6}' "$DESKTOP_TMP/contents")
owners=$(awk '$2 != "root/root" {print $6}' "$DESKTOP_TMP/contents")
if ((${#missing[@]} == 0)) && [[ -z "$strays$owners" ]]; then
    pass "the package holds the program, its module, menu entry, metadata, icons, manual page," \
        "translations and copyright, all under /usr and /etc and owned by root"
else
    fail "package contents: missing ${missing[*]:-nothing}; outside /usr and /etc: ${strays:-none};" \
        "not root's: ${owners:-none}"
fi

# The browsers reach the host and the extension without a per-user step.
host=com.local.vantlo.browser_host.json
extension_id=nopojmpdbjgdodmmepmgofihahpnffdb
missing=()
for path in usr/libexec/vantlo/vantlo-browser-host etc/chromium/native-messaging-hosts/$host \
    usr/lib/mozilla/native-messaging-hosts/$host usr/share/vantlo/native-messaging-hosts/$host \
    usr/share/vantlo/browser-extension/manifest.json usr/share/vantlo/browser-extension/background.js \
    usr/share/vantlo/vantlo-tabs.crx usr/share/vantlo/vantlo-tabs.xpi \
    usr/lib/chromium/extensions/$extension_id.json; do
    grep -q " \./$path\$" "$DESKTOP_TMP/contents" || missing+=("/$path")
done
control="$DESKTOP_TMP/control"
dpkg-deb -e "$deb" "$control"
if ((${#missing[@]} == 0)) &&
    [[ "$(cat "$control/conffiles")" == "/etc/chromium/native-messaging-hosts/$host" ]] &&
    grep -q "/etc/opt/chrome/native-messaging-hosts" "$control/postinst" &&
    grep -q "/etc/opt/edge/native-messaging-hosts" "$control/postrm"; then
    pass "the package carries the browsers' host manifests (Chromium's a conffile; Chrome's and" \
        "Edge's /etc/opt links made by postinst), the extension, its CRX and XPI, and Chromium's" \
        "external-extension file"
else
    fail "browser files: missing ${missing[*]:-nothing}; conffiles: $(cat "$control/conffiles")"
fi

depends=$(dpkg-deb -f "$deb" Depends)
if [[ "$depends" == *"libc6 (>= "* && "$depends" == *libqt6widgets6* &&
    "$depends" == *libxcb1* && "$depends" == *libqt6svg6* ]]; then
    pass "the dependencies come from the libraries the program uses"
else
    fail "Depends: $depends"
fi

if lintian --fail-on error "$deb" >"$DESKTOP_TMP/lintian.out" 2>&1; then
    pass "lintian reports no errors ($(grep -c '^W: ' "$DESKTOP_TMP/lintian.out") warnings)"
else
    fail "lintian: $(grep '^E: ' "$DESKTOP_TMP/lintian.out" | head -5)"
fi

# --- The packaged program, unpacked ------------------------------------------------------------
root="$DESKTOP_TMP/root"
dpkg -x "$deb" "$root"
entry="$root/usr/share/applications/$app.desktop"
if desktop-file-validate "$entry" >"$DESKTOP_TMP/validate.out" 2>&1 &&
    appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" \
        >>"$DESKTOP_TMP/validate.out" 2>&1; then
    pass "the menu entry and the software-centre metadata are valid"
else
    fail "validators: $(tail -5 "$DESKTOP_TMP/validate.out")"
fi
if grep -qx "Exec=vantlo" "$entry" && grep -q '^Comment\[zh_CN\]=用键盘' "$entry" &&
    grep -q '^GenericName\[zh_CN\]=' "$entry" &&
    grep -q '<summary xml:lang="zh_CN">' "$root/usr/share/metainfo/$app.metainfo.xml"; then
    pass "the menu entry starts vantlo and speaks Simplified Chinese too"
else
    fail "menu entry: $(cat "$entry")"
fi

# The manifests name the packaged host; Chromium's external file names the packaged CRX, which is
# a CRX3 file of this extension's version.
crx_file=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["external_crx"])' \
    "$root/usr/lib/chromium/extensions/$extension_id.json")
if [[ "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["path"])' \
    "$root/etc/chromium/native-messaging-hosts/$host")" == /usr/libexec/vantlo/vantlo-browser-host &&
    "$crx_file" == /usr/share/vantlo/vantlo-tabs.crx &&
    "$(head -c 4 "$root$crx_file")" == Cr24 ]]; then
    pass "the host manifests and Chromium's external-extension file point into the package"
else
    fail "manifest or external file: $(cat "$root/etc/chromium/native-messaging-hosts/$host" \
        "$root/usr/lib/chromium/extensions/$extension_id.json")"
fi

packaged="$root/usr/bin/vantlo"
if [[ "$("$packaged" --version)" == "vantlo $version" ]]; then
    pass "the unpacked copy answers --version"
else
    fail "the unpacked copy's --version: $("$packaged" --version 2>&1)"
fi
"$packaged" --diagnostics >"$DESKTOP_TMP/diag.out" 2>"$DESKTOP_TMP/diag.err"
status=$?
if ((status == 0)) && grep -q "^Version: $version" "$DESKTOP_TMP/diag.out" &&
    [[ ! -s "$DESKTOP_TMP/diag.err" ]]; then
    pass "the unpacked copy's --diagnostics loads its desktop module and reports"
else
    fail "--diagnostics ended with $status: $(head -3 "$DESKTOP_TMP/diag.err")"
fi

lock="$XDG_RUNTIME_DIR/vantlo-${DISPLAY#:}.lock"
lock_names() {
    [[ -f "$lock" && "$(head -n 1 "$lock")" == "$1" ]]
}
desktop_spawn "$packaged" >"$DESKTOP_TMP/packaged.out" 2>&1
started=$DESKTOP_LAST_PID
if desktop_poll 10 lock_names "$started" && sleep 1 && desktop_pid_alive "$started"; then
    pass "the unpacked copy runs on the desktop"
else
    fail "the unpacked copy did not start: $(tail -3 "$DESKTOP_TMP/packaged.out")"
fi
kill -TERM "$started" 2>/dev/null
desktop_poll 5 process_gone "$started" || fail "the unpacked copy did not quit on SIGTERM"

# --- The per-user install and its removal ------------------------------------------------------
home="$DESKTOP_TMP/user"
mkdir -p "$home/.local/bin" "$home/.config/autostart"
echo "#!/bin/sh" >"$home/.local/bin/other-tool"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other-tool\n' \
    >"$home/.config/autostart/other.desktop"
listing() {
    (cd "$home" && find . -printf '%y %p\n' | sort)
}
listing >"$DESKTOP_TMP/home.before"
as_user() {
    env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME= XDG_STATE_HOME= \
        VANTLO_BUILD_DIR="$E2E_BUILD" "$@"
}
# Start at login as the program writes it when turned on in the settings (Exec quoting).
autostart_for() {
    printf '[Desktop Entry]\nType=Application\nName=Vantlo\nExec="%s"\nIcon=%s\n' \
        "$1" "$app" >"$home/.config/autostart/$app.desktop"
}

user_program="$home/.local/bin/vantlo"
if as_user "$E2E_ROOT/scripts/start.sh" --install-only >"$DESKTOP_TMP/start.out" 2>&1 &&
    [[ "$("$user_program" --version)" == "vantlo $version" ]] &&
    "$user_program" --diagnostics >/dev/null 2>"$DESKTOP_TMP/user-diag.err" &&
    [[ ! -s "$DESKTOP_TMP/user-diag.err" ]] &&
    grep -qxF "Exec=$user_program" "$home/.local/share/applications/$app.desktop" &&
    [[ -f "$home/.local/share/icons/hicolor/scalable/apps/$app.svg" ]]; then
    pass "start.sh --install-only installs a working program, its menu entry and icon under ~/.local"
else
    fail "start.sh --install-only: $(tail -3 "$DESKTOP_TMP/start.out" "$DESKTOP_TMP/user-diag.err")"
fi
# Process ids of the processes running PROGRAM.
running() {
    local exe
    for exe in /proc/[0-9]*/exe; do
        [[ "$(readlink "$exe" 2>/dev/null)" == "$1" ]] && basename "$(dirname "$exe")"
    done
}
if [[ -z "$(running "$user_program")" ]]; then
    pass "start.sh --install-only starts nothing"
else
    fail "start.sh --install-only left a copy running (pid $(running "$user_program"))"
fi

# The packaged copy's entry and some settings stay; the rest is as before.
autostart_for /usr/bin/vantlo
mkdir -p "$home/.config/vantlo"
echo '{}' >"$home/.config/vantlo/defaults.json"
as_user "$E2E_ROOT/scripts/uninstall.sh" >"$DESKTOP_TMP/uninstall.out" 2>&1
listing | grep -v -e " ./.config/vantlo" -e " ./.config/autostart/$app.desktop\$" \
    >"$DESKTOP_TMP/home.after"
if diff "$DESKTOP_TMP/home.before" "$DESKTOP_TMP/home.after" >"$DESKTOP_TMP/home.diff" &&
    [[ -f "$home/.config/vantlo/defaults.json" && -f "$home/.config/autostart/$app.desktop" ]]; then
    pass "uninstall.sh removes what start.sh installed, keeps the settings and another copy's" \
        "autostart entry"
else
    fail "after uninstall.sh: $(head -8 "$DESKTOP_TMP/home.diff")"
fi

# Installed again and running, with its own autostart entry: uninstall --purge stops it and
# leaves the home folder exactly as it was.
as_user "$E2E_ROOT/scripts/start.sh" --install-only >"$DESKTOP_TMP/start2.out" 2>&1
autostart_for "$user_program"
desktop_spawn env HOME="$home" XDG_CACHE_HOME="$DESKTOP_TMP/cache" "$user_program" \
    >"$DESKTOP_TMP/user.out" 2>&1
user_copy=$DESKTOP_LAST_PID
desktop_poll 10 lock_names "$user_copy" || fail "the per-user copy did not start"
as_user "$E2E_ROOT/scripts/uninstall.sh" --purge >"$DESKTOP_TMP/purge.out" 2>&1
listing >"$DESKTOP_TMP/home.purged"
if desktop_poll 5 process_gone "$user_copy" &&
    diff "$DESKTOP_TMP/home.before" "$DESKTOP_TMP/home.purged" >"$DESKTOP_TMP/home.diff"; then
    pass "uninstall.sh --purge stops the running copy and leaves nothing behind"
else
    fail "after uninstall.sh --purge: $(head -8 "$DESKTOP_TMP/home.diff"; tail -2 "$DESKTOP_TMP/purge.out")"
fi

e2e_finish test_package
