# Installs what lets every user's browsers reach Vantlo without a per-user step (the Debian
# package only): the native-messaging host manifests in the system-wide folders Chromium and
# Firefox read, the signed CRX and the file that makes Chromium install it. Runs at install
# time, so the manifests name the host where this installation puts it. Google Chrome, Brave,
# Vivaldi, Opera and Microsoft Edge read /etc/opt, which belongs to add-on software: the
# package's maintainer scripts link the shared manifest there.
#
# Set before this script runs: VANTLO_SYSTEM_SOURCE_DIR (this folder), VANTLO_EXTENSION_CRX (the
# built CRX), VANTLO_EXTENSION_VERSION, VANTLO_CHROMIUM_EXTENSION_ID, VANTLO_FIREFOX_EXTENSION_ID.
set(host_name com.local.vantlo.browser_host)
set(VANTLO_BROWSER_HOST_PATH "${CMAKE_INSTALL_PREFIX}/libexec/vantlo/vantlo-browser-host")
set(VANTLO_EXTENSION_CRX_PATH "${CMAKE_INSTALL_PREFIX}/share/vantlo/vantlo-tabs.crx")

function(vantlo_place template destination)
  configure_file("${VANTLO_SYSTEM_SOURCE_DIR}/${template}" "$ENV{DESTDIR}${destination}" @ONLY)
  file(CHMOD "$ENV{DESTDIR}${destination}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ
    WORLD_READ)
  message(STATUS "Installing: $ENV{DESTDIR}${destination}")
endfunction()

vantlo_place(chromium.json.in "/etc/chromium/native-messaging-hosts/${host_name}.json")
vantlo_place(chromium.json.in "${CMAKE_INSTALL_PREFIX}/share/vantlo/native-messaging-hosts/${host_name}.json")
vantlo_place(firefox.json.in "${CMAKE_INSTALL_PREFIX}/lib/mozilla/native-messaging-hosts/${host_name}.json")
# Debian's chromium installs the CRX named here into every profile (its wrapper loads the folders
# in /usr/share/chromium/extensions as unpacked extensions instead, so a file there would fail).
vantlo_place(external-extension.json.in
  "${CMAKE_INSTALL_PREFIX}/lib/chromium/extensions/${VANTLO_CHROMIUM_EXTENSION_ID}.json")
file(INSTALL "${VANTLO_EXTENSION_CRX}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/vantlo"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
