#!/usr/bin/python3
"""End-to-end check through a real accessibility client (AT-SPI, pyatspi).

Finds the running program's main window, every input by its name, fetches the guide with the
Get Guide button's action, ticks a row with the Space key and waits for the row's
"object:state-changed:checked" event, then ticks another row with its Toggle action and waits
for "Tagged for Download" to change. Every wait is bounded; exits 0 when all of it was seen.

    atspi_check.py [--timeout SECONDS]
"""
import argparse
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW = "Dovrel Mpeg Utility"
INPUTS = {  # accessible name: role
    "IP Address": pyatspi.ROLE_TEXT,
    "Delay": pyatspi.ROLE_TEXT,
    "Use ReplayPC Default Delay": pyatspi.ROLE_CHECK_BOX,
    "Shows": pyatspi.ROLE_LIST,
    "Get Guide": pyatspi.ROLE_PUSH_BUTTON,
    "Extract Mpeg(s)": pyatspi.ROLE_PUSH_BUTTON,
    "View Log": pyatspi.ROLE_PUSH_BUTTON,
    "Exit": pyatspi.ROLE_PUSH_BUTTON,
}

CLICK_TRIES = 5

checked_events = []  # (row name, detail1)


def on_checked(event):
    try:
        checked_events.append((event.source.name, event.detail1))
    except Exception:  # the source may be gone already
        checked_events.append((None, event.detail1))


def pump(seconds):
    """Lets the client's main loop deliver events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(what, test, timeout):
    """Polls `test` until it gives a true value or `timeout` seconds have passed."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = test()
        except Exception:  # the tree can change while it is read
            value = None
        if value:
            return value
        if time.monotonic() >= end:
            raise SystemExit(f"FAIL: gave up waiting for {what}")
        pump(0.2)


def find_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for child in app:
            if child is not None and child.name == WINDOW:
                return child
    return None


def find(root, name, role):
    return pyatspi.findDescendant(root, lambda a: a is not None and a.name == name and a.getRole() == role)


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def action_index(accessible, name):
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == name.lower():
            return action, i
    raise SystemExit(f"FAIL: {accessible.name!r} has no {name} action")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--timeout", type=float, default=30, help="bound of each wait, seconds")
    args = parser.parse_args()
    limit = args.timeout

    window = wait_for("the program's window on the accessibility bus", find_window, limit)
    if window.getRole() != pyatspi.ROLE_FRAME:
        raise SystemExit(f"FAIL: the window's role is {window.getRoleName()}, not frame")
    print(f"found window {window.name!r} ({window.getRoleName()})")

    found = {}
    for name, role in INPUTS.items():
        found[name] = wait_for(f"{name!r}", lambda n=name, r=role: find(window, n, r), limit)
        print(f"found {name!r} ({found[name].getRoleName()})")
    tagged = wait_for("'Tagged for Download'", lambda: find(window, "Tagged for Download", pyatspi.ROLE_TEXT), limit)
    if text_of(found["IP Address"]) != "192.168.0.20":
        raise SystemExit(f"FAIL: IP Address holds {text_of(found['IP Address'])!r}")

    action, i = action_index(found["Get Guide"], "Press")
    action.doAction(i)
    rows = wait_for("the list's rows", lambda: found["Shows"].childCount >= 3 and found["Shows"], limit)
    print(f"Get Guide listed {rows.childCount} rows; Tagged for Download {text_of(tagged)!r}")
    if text_of(tagged) != "0":
        raise SystemExit("FAIL: rows are tagged before any tick")

    pyatspi.Registry.registerEventListener(on_checked, "object:state-changed:checked")
    try:
        # Space on the list ticks its current row, the first one when none was current. With no
        # window manager the window is not active until it is clicked: click a display box.
        print(f"window states: {[pyatspi.stateToString(s) for s in window.getState().getStates()]}")
        # A click can be lost while the machine is busy mapping the window: try a few times.
        box = find(window, "Date List Created", pyatspi.ROLE_TEXT)
        for attempt in range(1, CLICK_TRIES + 1):
            if window.getState().contains(pyatspi.STATE_ACTIVE):
                break
            x, y, w, h = box.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(f"click {attempt} at ({x + w // 2}, {y + h // 2}) to activate the window")
            pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, "abs")
            pump(0.2)
            pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, "b1c")
            if attempt > 1:
                # Give the window the X input focus directly, as a window manager would.
                subprocess.run(["xdotool", "search", "--name", f"^{WINDOW}$", "windowfocus"],
                               check=False, timeout=10)
            try:
                wait_for("the window to become active",
                         lambda: window.getState().contains(pyatspi.STATE_ACTIVE), limit / CLICK_TRIES)
            except SystemExit:
                if attempt == CLICK_TRIES:
                    raise
        found["Shows"].queryComponent().grabFocus()
        wait_for("keyboard focus on the list",
                 lambda: found["Shows"].getState().contains(pyatspi.STATE_FOCUSED)
                 or any(rows[k].getState().contains(pyatspi.STATE_FOCUSED) for k in range(rows.childCount)),
                 limit)
        pyatspi.Registry.generateKeyboardEvent(0x20, None, pyatspi.KEY_SYM)  # space
        wait_for("a checked event after Space", lambda: any(d == 1 for _, d in checked_events), limit)
        first = next(name for name, d in checked_events if d == 1)
        ticked = wait_for("a row reported checked",
                          lambda: [k for k in range(rows.childCount)
                                   if rows[k].getState().contains(pyatspi.STATE_CHECKED)], limit)
        print(f"Space: checked event from row {first.strip()[:30]!r}; checked rows {ticked}")
        wait_for("Tagged for Download to read 1", lambda: text_of(tagged) == "1", limit)

        # The Toggle action of another row ticks it and runs the list's click handling.
        target = next(k for k in range(rows.childCount) if k not in ticked)
        row = rows[target]
        before = len(checked_events)
        action, i = action_index(row, "Toggle")
        action.doAction(i)
        wait_for("Tagged for Download to read 2", lambda: text_of(tagged) == "2", limit)
        wait_for("the toggled row's checked event",
                 lambda: any(d == 1 and name == row.name for name, d in checked_events[before:]), limit)
        if not row.getState().contains(pyatspi.STATE_CHECKED):
            raise SystemExit("FAIL: the toggled row does not report checked")
        print(f"Toggle: row {target} checked; Tagged for Download {text_of(tagged)!r}")
    finally:
        pyatspi.Registry.deregisterEventListener(on_checked, "object:state-changed:checked")
    print("PASS: AT-SPI end-to-end check")
    return 0


if __name__ == "__main__":
    sys.exit(main())
