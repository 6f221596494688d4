#!/usr/bin/python3
"""A small freedesktop notification service for the end-to-end tests.

Owns org.freedesktop.Notifications on the session bus named by DBUS_SESSION_BUS_ADDRESS, appends
one JSON line per notification to the file given as the first argument (summary, body, actions)
and, when a second argument names an action key the notification offers, invokes it half a
second later, as a user clicking that button would.

Usage: notification_server.py LOG [ACTION]
"""

import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"


class Server(dbus.service.Object):
    def __init__(self, bus, log, action):
        super().__init__(bus, PATH)
        self.log = log
        self.action = action
        self.next_id = 1

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        nid = self.next_id
        self.next_id += 1
        keys = [str(k) for k in actions[0::2]]
        with open(self.log, "a", encoding="utf-8") as out:
            out.write(json.dumps({"app": str(app), "summary": str(summary), "body": str(body),
                                  "actions": keys}, ensure_ascii=False) + "\n")
        if self.action in keys:
            GLib.timeout_add(500, self.invoke, nid, self.action)
        return nid

    def invoke(self, nid, key):
        self.ActionInvoked(dbus.UInt32(nid), key)
        self.NotificationClosed(dbus.UInt32(nid), dbus.UInt32(2))
        return False

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ["vantlo-e2e", "vantlo", "1", "1.2"]

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, nid):
        self.NotificationClosed(dbus.UInt32(nid), dbus.UInt32(3))

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, nid, key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, nid, reason):
        pass


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    server = Server(bus, sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "")
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name, server


if __name__ == "__main__":
    main()
