// Vantlo Tabs: answers the Vantlo switcher's questions about this browser's tabs through the
// native-messaging host "com.local.vantlo.browser_host", and tells it when tabs or focus change.
//
// Messages from the host: {id, command: "list" | "activate" | "focusWindow" | "close", tabId?,
// windowId?}. Answers: {type: "reply", id, ok, result? | error?}. Unprompted: {type: "hello"} on
// connecting, {type: "event", event: "changed"} after tab or window changes, {type: "event",
// event: "focus", windowId} when the focused window changes (windowId -1: none of ours).
//
// All listeners are registered at the top level, synchronously, so that an event that wakes the
// service worker is delivered to them.

"use strict";

const api = globalThis.browser ?? globalThis.chrome;
const HOST_NAME = "com.local.vantlo.browser_host";
const RECONNECT_DELAY_MS = 2000;
const CHANGE_DELAY_MS = 50;
// Icons inlined as data: addresses can be large; past this size the switcher uses its own.
const MAX_DATA_ICON_LENGTH = 32 * 1024;

let port = null;
let changeTimer = null;
// Window ids, most recently focused first: the order the switcher shows windows in.
const focusOrder = [];

function send(message) {
  if (!port) return;
  try {
    port.postMessage(message);
  } catch (error) {
    // The port closed under us; onDisconnect reconnects.
  }
}

function connect() {
  try {
    port = api.runtime.connectNative(HOST_NAME);
  } catch (error) {
    port = null;
    setTimeout(connect, RECONNECT_DELAY_MS);
    return;
  }
  port.onMessage.addListener(answer);
  port.onDisconnect.addListener(() => {
    port = null;
    setTimeout(connect, RECONNECT_DELAY_MS);
  });
  api.extension.isAllowedIncognitoAccess().then((privateAllowed) => {
    send({
      type: "hello",
      extensionVersion: api.runtime.getManifest().version,
      privateWindowsAllowed: privateAllowed,
    });
  });
}

function rememberFocus(windowId) {
  const at = focusOrder.indexOf(windowId);
  if (at >= 0) focusOrder.splice(at, 1);
  focusOrder.unshift(windowId);
}

function forgetWindow(windowId) {
  const at = focusOrder.indexOf(windowId);
  if (at >= 0) focusOrder.splice(at, 1);
}

function focusRank(windowId) {
  const at = focusOrder.indexOf(windowId);
  return at >= 0 ? at : focusOrder.length;
}

function iconAddress(url) {
  if (typeof url !== "string") return "";
  if (url.startsWith("data:") && url.length > MAX_DATA_ICON_LENGTH) return "";
  return url;
}

function describeTab(tab) {
  return {
    id: tab.id,
    windowId: tab.windowId,
    index: tab.index,
    title: tab.title ?? "",
    url: tab.url ?? "",
    active: tab.active,
    favIconUrl: iconAddress(tab.favIconUrl),
    pinned: tab.pinned,
  };
}

function describeWindow(window) {
  return {
    id: window.id,
    focused: window.focused,
    state: window.state ?? "normal",
    left: window.left ?? 0,
    top: window.top ?? 0,
    width: window.width ?? 0,
    height: window.height ?? 0,
    tabs: (window.tabs ?? []).map(describeTab),
  };
}

// Private windows are left out unless the user allowed this extension in them.
async function listWindows() {
  const privateAllowed = await api.extension.isAllowedIncognitoAccess();
  const windows = await api.windows.getAll({ populate: true, windowTypes: ["normal"] });
  const visible = windows.filter((w) => privateAllowed || !w.incognito);
  visible.sort((a, b) => focusRank(a.id) - focusRank(b.id));
  return { windows: visible.map(describeWindow) };
}

async function reachableTab(tabId) {
  const tab = await api.tabs.get(tabId);
  if (tab.incognito && !(await api.extension.isAllowedIncognitoAccess()))
    throw new Error("no tab with id " + tabId);
  return tab;
}

async function activateTab(tabId) {
  const tab = await reachableTab(tabId);
  await api.tabs.update(tab.id, { active: true });
  await api.windows.update(tab.windowId, { focused: true });
  rememberFocus(tab.windowId);
  return { windowId: tab.windowId };
}

async function focusWindow(windowId) {
  const window = await api.windows.get(windowId);
  if (window.incognito && !(await api.extension.isAllowedIncognitoAccess()))
    throw new Error("no window with id " + windowId);
  await api.windows.update(windowId, { focused: true });
  rememberFocus(windowId);
  return {};
}

async function closeTab(tabId) {
  const tab = await reachableTab(tabId);
  await api.tabs.remove(tab.id);
  return {};
}

function perform(message) {
  switch (message.command) {
    case "list":
      return listWindows();
    case "activate":
      if (!Number.isInteger(message.tabId)) break;
      return activateTab(message.tabId);
    case "focusWindow":
      if (!Number.isInteger(message.windowId)) break;
      return focusWindow(message.windowId);
    case "close":
      if (!Number.isInteger(message.tabId)) break;
      return closeTab(message.tabId);
  }
  return Promise.reject(new Error("unknown or malformed command"));
}

function answer(message) {
  if (typeof message !== "object" || message === null || !Number.isInteger(message.id)) return;
  perform(message).then(
    (result) => send({ type: "reply", id: message.id, ok: true, result }),
    (error) => send({ type: "reply", id: message.id, ok: false, error: String(error?.message ?? error) }),
  );
}

function changed() {
  if (changeTimer !== null) return;
  changeTimer = setTimeout(() => {
    changeTimer = null;
    send({ type: "event", event: "changed" });
  }, CHANGE_DELAY_MS);
}

function focusChanged(windowId) {
  if (windowId !== api.windows.WINDOW_ID_NONE) rememberFocus(windowId);
  send({ type: "event", event: "focus", windowId });
}

api.tabs.onCreated.addListener(changed);
api.tabs.onRemoved.addListener(changed);
api.tabs.onUpdated.addListener((tabId, change) => {
  if ("title" in change || "url" in change || "favIconUrl" in change || "pinned" in change)
    changed();
});
api.tabs.onActivated.addListener(changed);
api.tabs.onMoved.addListener(changed);
api.tabs.onAttached.addListener(changed);
api.tabs.onDetached.addListener(changed);
api.tabs.onReplaced?.addListener(changed);
api.windows.onCreated.addListener(changed);
api.windows.onRemoved.addListener((windowId) => {
  forgetWindow(windowId);
  changed();
});
api.windows.onFocusChanged.addListener(focusChanged);
api.windows.onBoundsChanged?.addListener(changed);

api.windows.getLastFocused().then(
  (window) => rememberFocus(window.id),
  () => {},
);
connect();
