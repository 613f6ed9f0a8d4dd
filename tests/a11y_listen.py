#!/usr/bin/python3
"""Listens on the accessibility bus and prints what a screen reader would be told of alerts:
each name change or "showing" of an object in the alert or notification role, as
"ROLE|EVENT|NAME", one a line. Ends after the given seconds (default 20)."""
import sys

import pyatspi
from gi.repository import GLib

seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 20.0
ALERTS = {pyatspi.ROLE_ALERT, pyatspi.ROLE_NOTIFICATION}


def on_event(event):
    try:
        role = event.source.getRole()
        if role not in ALERTS:
            return
        print("%s|%s|%s" % (event.source.getRoleName(), event.type, event.source.name), flush=True)
    except Exception:  # an object gone before it could be asked
        pass


pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-name",
                                       "object:state-changed:showing")
GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
print("listening", flush=True)
pyatspi.Registry.start()
