#!/usr/bin/python3
"""A small MPRIS media player for the tests: owns org.mpris.MediaPlayer2.<name> on the session
bus, answers Play, Pause, PlayPause and Stop on org.mpris.MediaPlayer2.Player, and prints each
call it receives ("Pause") on standard output, one per line, as it arrives.

Usage: mpris_player.py NAME
"""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PLAYER = "org.mpris.MediaPlayer2.Player"


class Player(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/mpris/MediaPlayer2")
        self.status = "Playing"

    def said(self, what):
        print(what, flush=True)

    @dbus.service.method(PLAYER)
    def Pause(self):
        self.status = "Paused"
        self.said("Pause")

    @dbus.service.method(PLAYER)
    def Play(self):
        self.status = "Playing"
        self.said("Play")

    @dbus.service.method(PLAYER)
    def PlayPause(self):
        self.status = "Paused" if self.status == "Playing" else "Playing"
        self.said("PlayPause")

    @dbus.service.method(PLAYER)
    def Stop(self):
        self.status = "Stopped"
        self.said("Stop")


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName("org.mpris.MediaPlayer2." + sys.argv[1], bus)
    player = Player(bus)
    player.said("ready " + name.get_name())
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
