#!/usr/bin/env bash
# Browser tabs end to end, with real Chromium and Firefox ESR in fresh profiles, the Vantlo Tabs
# extension loaded in each and pages served on 127.0.0.1: Vantlo lists the tabs of both browsers,
# search finds a tab and raises its window, Alt+Tab in front of a browser opens its tab group on
# the active tab and a third Tab picks the third tab, Alt+X closes a tab in the browser, a killed
# browser leaves the list, and a restarted Vantlo gets the tabs back from the running browsers.
# Browsers start slowly: one desktop for the whole test, under one window manager only.
# e2e-managers: any
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/desktop.sh"
source "$here/lib/checks.sh"

e2e_require_vantlo
for tool in chromium firefox-esr curl; do
    command -v "$tool" >/dev/null || {
        echo "e2e: $tool is not installed (scripts/deps.sh installs it)" >&2
        exit 2
    }
done

with_alt() {
    xdotool keydown alt
    sleep 0.3
    local word
    for word in "$@"; do
        xdotool key "$word"
        sleep 0.3
    done
    xdotool keyup alt
}

type_text() {
    local c
    for ((i = 0; i < ${#1}; i++)); do
        c="${1:i:1}"
        xdotool key "$c"
        sleep 0.05
    done
}

# Switches by search in the main list: Alt+Tab (in front of a browser the panel opens in its tab
# group; Left goes back to the main list), Return, then Alt is released before typing, so the
# release reaches no browser (Chromium opens its menu on a lone Alt release).
switch_by_search() {
    xdotool keydown alt
    sleep 0.3
    xdotool key Tab
    sleep 0.5
    xdotool key Left
    sleep 0.2
    xdotool key Return
    sleep 0.3
    xdotool keyup alt
    sleep 0.2
    type_text "$1"
    sleep 0.5
    xdotool key Return
}

# Shows the panel's main list, saves the screen as FILE, closes the panel without switching and
# closes the menu a browser may open on the lone release of Alt.
photograph_main_list() {
    xdotool keydown alt
    sleep 0.3
    xdotool key Tab
    sleep 0.3
    xdotool key Left
    sleep 1.5
    desktop_screenshot "$1" || true
    xdotool key Escape
    xdotool keyup alt
    sleep 0.3
    xdotool key Escape
    sleep 0.3
}

active_title_starts() {
    [[ "$(active_window_title)" == "$1"* ]]
}

expect_active_page() {
    local page="$1" what="$2"
    if desktop_poll 10 active_title_starts "$page"; then
        pass "$what"
    else
        fail "$what: the active window is '$(active_window_title)', expected '$page …'"
    fi
}

status_says() {
    "$VANTLO" browser status | grep -q "$1"
}

# Tabs of the Chromium instance as its debugging endpoint lists them: "title" per line.
chromium_tabs() {
    curl -s "http://127.0.0.1:$debug_port/json/list" |
        python3 -c 'import json,sys; [print(t["title"]) for t in json.load(sys.stdin) if t["type"]=="page"]'
}

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

started=$SECONDS
desktop_start || exit 1
e2e_private_folders
export HOME="$DESKTOP_TMP/home" XDG_DATA_HOME="$DESKTOP_TMP/home/.local/share"
mkdir -p "$HOME" "$XDG_DATA_HOME"
shots="${VANTLO_E2E_SHOTS:-$E2E_ROOT/e2e/out}"
mkdir -p "$shots"

# The per-user setup a user runs once; it finds both browsers on PATH.
if "$VANTLO" browser install >"$DESKTOP_TMP/install.out" 2>&1 &&
    [[ -f "$XDG_CONFIG_HOME/chromium/NativeMessagingHosts/com.local.vantlo.browser_host.json" &&
    -f "$HOME/.mozilla/native-messaging-hosts/com.local.vantlo.browser_host.json" ]]; then
    pass "vantlo browser install writes the host manifests of Chromium and Firefox ESR"
else
    fail "vantlo browser install: $(cat "$DESKTOP_TMP/install.out")"
fi

pages="$DESKTOP_TMP/pages"
mkdir -p "$pages"
# Banana's icon is served by the site (not at /favicon.ico), Cherry's is a data: address: both
# reach the panel through the extension, and both are red.
python3 -c 'import base64, struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
rows = b"".join(b"\0" + b"\xdc\x14\x14" * 32 for _ in range(32))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 32, 32, 8, 2, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
open(sys.argv[1], "wb").write(png)
print("data:image/png;base64," + base64.b64encode(png).decode())' "$pages/red-icon.png" \
    >"$DESKTOP_TMP/red-icon.url"
for name in Apple Banana Cherry Damson Elder Fig Grape; do
    icon=""
    [[ $name == Banana ]] && icon='<link rel="icon" href="/red-icon.png">'
    [[ $name == Cherry ]] && icon="<link rel=\"icon\" href=\"$(cat "$DESKTOP_TMP/red-icon.url")\">"
    printf '<!doctype html><html><head><title>%s</title>%s</head><body><h1>%s</h1></body></html>\n' \
        "$name" "$icon" "$name" >"$pages/${name,,}.html"
done
port=$(free_port)
desktop_spawn python3 -m http.server --bind 127.0.0.1 --directory "$pages" "$port" \
    >"$DESKTOP_TMP/http.log" 2>&1
url() { echo "http://127.0.0.1:$port/$1.html"; }
desktop_poll 10 curl -sf "$(url apple)" || fail "the page server did not start"

desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo.out" 2>&1
vantlo_pid=$DESKTOP_LAST_PID

sandbox=()
if [[ $(id -u) -eq 0 ]]; then sandbox=(--no-sandbox); fi
debug_port=$(free_port)
desktop_spawn chromium "${sandbox[@]}" --user-data-dir="$XDG_CONFIG_HOME/chromium" \
    --load-extension="$XDG_DATA_HOME/vantlo/browser-extension" \
    --no-first-run --no-default-browser-check --disable-gpu --password-store=basic \
    --disable-features=Translate,MediaRouter --remote-debugging-port="$debug_port" \
    --window-position=20,20 --window-size=900,700 \
    "$(url apple)" "$(url banana)" "$(url cherry)" "$(url damson)" \
    >"$DESKTOP_TMP/chromium.log" 2>&1
chromium_pid=$DESKTOP_LAST_PID

# Firefox ESR takes an unsigned add-on dropped into the profile once signatures are not required
# and the profile's own scope is enabled.
profile="$DESKTOP_TMP/firefox-profile"
mkdir -p "$profile/extensions"
cp "$XDG_DATA_HOME/vantlo/vantlo-tabs.xpi" "$profile/extensions/tabs@vantlo.local.xpi"
cat >"$profile/user.js" <<'PREFS'
user_pref("xpinstall.signatures.required", false);
user_pref("extensions.autoDisableScopes", 0);
user_pref("extensions.enabledScopes", 15);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("browser.tabs.warnOnClose", false);
user_pref("browser.sessionstore.resume_from_crash", false);
user_pref("app.update.enabled", false);
PREFS
desktop_spawn firefox-esr --no-remote --new-instance --profile "$profile" \
    "$(url elder)" "$(url fig)" "$(url grape)" >"$DESKTOP_TMP/firefox.log" 2>&1
firefox_pid=$DESKTOP_LAST_PID

if desktop_poll 90 status_says "Chromium: .*extension connected" &&
    desktop_poll 60 status_says "Firefox ESR: .*extension connected"; then
    pass "both extensions connect to Vantlo ($((SECONDS - started))s after the start)"
else
    fail "extensions not connected: $("$VANTLO" browser status)"
fi
window_named() {
    desktop_poll 30 bash -c "xdotool search --onlyvisible --name '$1' >/dev/null" &&
        xdotool search --onlyvisible --name "$1" | head -n 1
}
chromium_window=$(window_named ' - Chromium$') || fail "no Chromium window"
firefox_window=$(window_named 'Mozilla Firefox$') || fail "no Firefox window"
sleep 2

# Both browsers' tabs are in the list: search finds a tab of each, selects it and raises its
# window over the other browser.
switch_by_search damson
expect_active_page "Damson" "search finds a Chromium tab, selects it and raises its window"
switch_by_search grape
expect_active_page "Grape" "search finds a Firefox tab, selects it and raises its window"

# In front of Chromium the panel opens in its tab group on the active tab; Tab moves down.
switch_by_search apple
expect_active_page "Apple" "search selects another tab of the same browser"
xdotool keydown alt
sleep 0.3
xdotool key Tab
sleep 1.5
# The panel hugs the right edge below the browsers' tab strips; the only red in it is the page
# icons of Banana and Cherry (about 900 pixels each), which may still be loading at first.
red=0
for _ in 1 2 3 4 5 6; do
    desktop_screenshot "$shots/browser-tabs-chromium-group.png" || true
    red=$(python3 "$here/lib/pixel.py" "$shots/browser-tabs-chromium-group.png" 930 180 1280 1024 red)
    ((red >= 1300)) && break
    sleep 0.5
done
if ((red >= 1300)); then
    pass "the tabs show the icons their pages declare, one served by the site, one a data: address"
else
    fail "page icons: $red red pixels in the panel, not both icons"
fi
xdotool key Tab
sleep 0.3
xdotool key Tab
sleep 0.3
xdotool keyup alt
expect_active_page "Cherry" "Alt+Tab in front of Chromium opens its tabs on Apple; two more Tabs: Cherry"

# Alt+X on the selected tab closes it in the browser: Cherry is active, the next Tab is Damson.
with_alt Tab Tab x
if desktop_poll 10 bash -c "! (curl -s http://127.0.0.1:$debug_port/json/list | grep -q '\"Damson\"')"; then
    pass "Alt+X closes the highlighted tab in the browser"
else
    fail "Alt+X did not close Damson: $(chromium_tabs | tr '\n' ' ')"
fi

# The panel with both browsers' tab groups in its main list.
xdotool windowactivate --sync "$firefox_window" 2>/dev/null
sleep 0.5
photograph_main_list "$shots/browser-tabs-main-list.png"

# A browser that dies leaves the list.
kill -KILL "$firefox_pid" 2>/dev/null
{ wait "$firefox_pid"; } 2>/dev/null
if desktop_poll 15 bash -c "! '$VANTLO' browser status | grep -q 'Firefox ESR: .*extension connected'"; then
    pass "a killed browser's extension is no longer connected"
else
    fail "Firefox ESR still connected after being killed"
fi
# The main list once the killed browser's tabs are gone (for a human look).
sleep 2
xdotool windowactivate --sync "$chromium_window" 2>/dev/null
sleep 0.5
photograph_main_list "$shots/browser-tabs-after-kill.png"

# Vantlo restarted while Chromium runs: the host reconnects and the tabs come back.
kill "$vantlo_pid" 2>/dev/null
wait "$vantlo_pid" 2>/dev/null
desktop_spawn "$VANTLO" >"$DESKTOP_TMP/vantlo2.out" 2>&1
vantlo_pid=$DESKTOP_LAST_PID
if desktop_poll 30 status_says "Chromium: .*extension connected"; then
    sleep 1
    switch_by_search banana
    expect_active_page "Banana" "a restarted Vantlo lists the running browser's tabs again"
else
    fail "Chromium's extension did not reconnect: $("$VANTLO" browser status)"
fi

if ! kill -0 "$vantlo_pid" 2>/dev/null; then
    fail "the program ended: $(tail -5 "$DESKTOP_TMP/vantlo2.out")"
fi
if ((E2E_FAILURES > 0)); then
    echo "--- vantlo output" >&2
    tail -n 20 "$DESKTOP_TMP/vantlo.out" "$DESKTOP_TMP/vantlo2.out" >&2
fi
echo "test_browser_tabs took $((SECONDS - started))s"
e2e_finish test_browser_tabs
