#!/usr/bin/python3
"""Checks of tempik as a desktop sees it, run by scripts/desktop-check.

  desktop_check.py portal SCHEME   serve a stand-in appearance portal on the session bus,
                                   answering SCHEME (0 none, 1 dark, 2 light); the method
                                   org.tempik.PortalStandIn.SetColorScheme changes it live
  desktop_check.py scheme SCHEME   tell the stand-in to change the scheme
  desktop_check.py a11y            read the tap button on the accessibility bus, tap it
                                   three times and wait for the tempo to be announced
"""
import re
import sys
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

SETTINGS = "org.freedesktop.portal.Settings"
STAND_IN = "org.tempik.PortalStandIn"
PATH = "/org/freedesktop/portal/desktop"


class Portal(dbus.service.Object):
    def __init__(self, bus, scheme):
        super().__init__(bus, PATH)
        self.scheme = scheme

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def Read(self, namespace, key):
        if (namespace, key) != ("org.freedesktop.appearance", "color-scheme"):
            raise dbus.exceptions.DBusException(
                "no such setting", name="org.freedesktop.portal.Error.NotFound")
        return dbus.UInt32(self.scheme, variant_level=1)  # Read answers a variant in a variant

    @dbus.service.signal(SETTINGS, signature="ssv")
    def SettingChanged(self, namespace, key, value):
        pass

    @dbus.service.method(STAND_IN, in_signature="u")
    def SetColorScheme(self, scheme):
        self.scheme = scheme
        self.SettingChanged("org.freedesktop.appearance", "color-scheme", dbus.UInt32(scheme))


def serve_portal(scheme):
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, scheme)
    name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
    print("portal ready", flush=True)
    GLib.MainLoop().run()
    del portal, name


def set_scheme(scheme):
    proxy = dbus.SessionBus().get_object("org.freedesktop.portal.Desktop", PATH)
    dbus.Interface(proxy, STAND_IN).SetColorScheme(dbus.UInt32(scheme))


def find(accessible, predicate):
    if predicate(accessible):
        return accessible
    for child in accessible:
        found = child and find(child, predicate)
        if found:
            return found
    return None


def check_accessibility():
    import pyatspi

    deadline = time.monotonic() + 20
    button = None
    while button is None and time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app and app.name == "tempik":
                button = find(app, lambda a: a.getRoleName() == "push button"
                              and a.name == "Tap tempo")
        if button is None:
            time.sleep(0.2)
    if button is None:
        sys.exit("a11y: no 'Tap tempo' button of tempik on the accessibility bus")
    print(f"a11y: the button reads '{button.name}, {button.description}'")
    if button.description != "No tempo":
        sys.exit("a11y: expected 'No tempo' before any tap")

    announced = []
    def on_change(event):
        if event.source == button:
            announced.append(button.description)
    pyatspi.Registry.registerEventListener(on_change, "object:property-change:accessible-description")

    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for _ in range(3):  # 120 BPM
        action.doAction(names.index("Press"))
        time.sleep(0.5)
    GLib.timeout_add(2000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    print(f"a11y: announced {announced}; the button now reads '{button.name}, {button.description}'")
    if not re.fullmatch(r"1[12]\d BPM", button.description or ""):
        sys.exit("a11y: the tempo is not in the button's description")
    if button.description not in announced:
        sys.exit("a11y: the change of tempo was not announced")
    print("a11y: ok")


if __name__ == "__main__":
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "portal":
        serve_portal(int(sys.argv[2]))
    elif command == "scheme":
        set_scheme(int(sys.argv[2]))
    elif command == "a11y":
        check_accessibility()
    else:
        sys.exit(__doc__)
