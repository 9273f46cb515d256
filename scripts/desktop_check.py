#!/usr/bin/python3
"""Checks of tempik as a desktop sees it, run by scripts/desktop-check.

  desktop_check.py portal SCHEME   serve a stand-in appearance portal on the session bus,
                                   answering SCHEME (0 none, 1 dark, 2 light); the method
                                   org.tempik.PortalStandIn.SetColorScheme changes it live
  desktop_check.py scheme SCHEME   tell the stand-in to change the scheme
  desktop_check.py a11y            read the tap button on the accessibility bus, tap it
                                   three times and wait for the tempo to be announced
  desktop_check.py console IN OUT ORCA_LOG
                                   with eos-sim (commands to IN, JSON lines in OUT) and Orca
                                   (debug log ORCA_LOG): tap with Space, hear the tempo, drop
"""
import re
import subprocess
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

    # New tempi are announced as a notification that appears, which screen readers speak.
    announced = []
    def on_showing(event):
        if event.detail1 and event.source.getRoleName() == "notification":
            announced.append(event.source.name)
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")

    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for _ in range(3):  # 120 BPM
        action.doAction(names.index("Press"))
        time.sleep(0.5)
    GLib.timeout_add(2000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    print(f"a11y: announced {announced}; the button now reads '{button.name}, {button.description}'")
    # No console listens here: the tempo is marked as not sent, and heard so.
    if not re.fullmatch(r"1[12]\d BPM, not sent", button.description or ""):
        sys.exit("a11y: the tempo and its mark are not in the button's description")
    if button.description not in announced:
        sys.exit("a11y: the change of tempo was not announced")
    print("a11y: ok")


def find_tempik(pyatspi, predicate, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            found = app and app.name == "tempik" and find(app, predicate)
            if found:
                return found
        time.sleep(0.2)
    return None


def wait_for_name(accessible, prefix, seconds):
    """Seconds until the accessible's name starts with prefix, or None."""
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if (accessible.name or "").startswith(prefix):
            return time.monotonic() - start
        time.sleep(0.01)
    return None


def press_keys(name, times, every):
    """Presses a key on a schedule through XTest, from this process: no process start and no
    drift between presses, as a foot switch presses it."""
    import ctypes
    x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XStringToKeysym.restype = ctypes.c_ulong
    display = ctypes.c_void_p(x11.XOpenDisplay(None))
    keycode = x11.XKeysymToKeycode(display, ctypes.c_ulong(x11.XStringToKeysym(name.encode())))
    start = time.monotonic()
    for i in range(times):
        time.sleep(max(0.0, start + every * i - time.monotonic()))
        for down in (1, 0):
            xtst.XTestFakeKeyEvent(display, keycode, down, ctypes.c_ulong(0))
            x11.XFlush(display)
    x11.XCloseDisplay(display)


def wait_for_text(path, text, what, seconds=10):
    deadline = time.monotonic() + seconds
    while text not in open(path).read():
        if time.monotonic() > deadline:
            sys.exit(f"console: not so: {what}")
        time.sleep(0.1)
    print(f"console: {what}")


def check_console(console_input, console_output, orca_log):
    """With eos-sim as the console and Orca running: Space taps at 500 ms reach the console as
    120 BPM and Orca speaks the tempo; the status row turns "Not Connected" at once when the
    console drops or resets the connection."""
    import pyatspi

    status = find_tempik(pyatspi, lambda a: (a.name or "").startswith(("Connected", "Not Conn")))
    if status is None or wait_for_name(status, "Connected", 20) is None:
        sys.exit("console: tempik's status row never read 'Connected'")
    subprocess.run(["xdotool", "search", "--sync", "--name", "^tempik$", "windowactivate",
                    "--sync"], check=True, capture_output=True)
    time.sleep(1.5)  # Orca hears the focus before it hears keys
    # Orca takes longer over the first key it hands back: a key that taps nothing goes first.
    press_keys("Shift_L", times=1, every=0.5)
    time.sleep(0.5)
    press_keys("space", times=4, every=0.5)
    wait_for_text(console_output, "BPM 120#", "Space x4 at 500 ms reached the console as 120 BPM")
    wait_for_text(orca_log, "SPEECH OUTPUT: 'notification 120 BPM", "Orca spoke the new tempo")
    for command in ("d", "r"):
        with open(console_input, "w") as console:
            console.write(command + "\n")
        took = wait_for_name(status, "Not Connected", 0.5)
        if took is None:
            sys.exit(f"console: after '{command}' the status row still read '{status.name}'")
        print(f"console: after '{command}' the status row read '{status.name}' in {took * 1000:.0f} ms")
        if wait_for_name(status, "Connected", 15) is None:
            sys.exit(f"console: no reconnection after '{command}'")
    print("console: ok")


if __name__ == "__main__":
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "portal":
        serve_portal(int(sys.argv[2]))
    elif command == "scheme":
        set_scheme(int(sys.argv[2]))
    elif command == "a11y":
        check_accessibility()
    elif command == "console":
        check_console(*sys.argv[2:5])
    else:
        sys.exit(__doc__)
