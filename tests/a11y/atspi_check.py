#!/usr/bin/python3
"""End-to-end check through a real accessibility client (AT-SPI, pyatspi).

Finds the running program's main window, every input by its name, fetches the guide with the
Get Guide button's action, has the window activated through the window manager and the list
focused through its own AT-SPI component, ticks a row with the Space key and waits for the row's
"object:state-changed:checked" event, then ticks another row with its Toggle action and waits
for "Tagged for Download" to change. The whole check has one time limit; when it runs out, the
check fails naming the step that was waiting. Exits 0 when all of it was seen.

With --second-copy PROGRAM it checks instead that a second copy started in the folder where the
first one runs ends by itself: once the first copy's window is there, it notes every entry of
the working folder with its bytes, starts PROGRAM there, finds the second copy's message box
through AT-SPI, checks that it says another copy runs, presses OK, waits for the second copy to
end with status 1, and compares the folder with what it noted.

    atspi_check.py [--timeout SECONDS] [--second-copy PROGRAM]
"""
import argparse
import os
import signal
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

checked_events = []  # (row name, detail1)
started = time.monotonic()
deadline = started + 30


def on_checked(event):
    try:
        checked_events.append((event.source.name, event.detail1))
    except Exception:  # the source may be gone already
        checked_events.append((None, event.detail1))


def step(text):
    print(f"[{time.monotonic() - started:5.1f} s] {text}", flush=True)


def pump(seconds):
    """Lets the client's main loop deliver events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(what, test):
    """Polls `test` until it gives a true value; fails naming `what` when the time is up."""
    while True:
        try:
            value = test()
        except Exception:  # the tree can change while it is read
            value = None
        if value:
            return value
        if time.monotonic() >= deadline:
            raise SystemExit(f"FAIL after {time.monotonic() - started:.1f} s: gave up waiting for {what}")
        pump(0.1)


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


def has(accessible, state):
    return accessible.getState().contains(state)


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def action_index(accessible, name):
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == name.lower():
            return action, i
    raise SystemExit(f"FAIL: {accessible.name!r} has no {name} action")


def activate(window):
    """Asks the window manager to activate the window (_NET_ACTIVE_WINDOW, as a task bar does);
    a request, not a click, so it cannot land before the window is there to take it."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{WINDOW}$"],
                           capture_output=True, text=True, timeout=10)
    ids = found.stdout.split()
    if not ids:
        return False
    asked = subprocess.run(["xdotool", "windowactivate", ids[0]], capture_output=True, text=True, timeout=10)
    if asked.returncode != 0:
        raise SystemExit(f"FAIL: the window manager was not asked to activate the window: {asked.stderr.strip()}")
    return True


HELD = "Another copy of the program is already running in this folder"


def folder_state(root):
    """Every entry under `root` by its relative name: its kind, and a file's bytes or a link's
    target."""
    state = {}
    for directory, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(directory, name)
            entry = os.path.relpath(path, root)
            if os.path.islink(path):
                state[entry] = ("link", os.readlink(path))
            elif os.path.isdir(path):
                state[entry] = ("directory", None)
            elif os.path.isfile(path):
                with open(path, "rb") as f:
                    state[entry] = ("file", f.read())
            else:
                state[entry] = ("other", None)
    return state


def changes(before, after):
    """What differs between two folder states, one line an entry; empty when nothing does."""
    lines = [f"  gone: {e}" for e in sorted(before.keys() - after.keys())]
    lines += [f"  new: {e} ({after[e][0]})" for e in sorted(after.keys() - before.keys())]
    lines += [f"  changed: {e}" for e in sorted(before.keys() & after.keys()) if before[e] != after[e]]
    return "\n".join(lines)


def window_of(pid):
    """A top-level window of the process `pid` on the accessibility bus."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            for child in app:
                if child is not None:
                    return child
    return None


def says(accessible, words):
    """Whether the accessible or one of its descendants shows `words` as its name, description
    or text."""
    def shows(a):
        if a is None:
            return False
        if words in (a.name or "") or words in (a.description or ""):
            return True
        try:
            return words in text_of(a)
        except NotImplementedError:
            return False
    return shows(accessible) or pyatspi.findDescendant(accessible, shows) is not None


def second_copy(program):
    wait_for("the first copy's window on the accessibility bus", find_window)
    folder = os.getcwd()
    before = folder_state(folder)
    step(f"first copy's window is up; the folder holds {', '.join(sorted(before))}")
    copy = subprocess.Popen([program], cwd=folder)
    try:
        def box_or_end():
            if copy.poll() is not None:
                raise SystemExit(f"FAIL: the second copy ended with status {copy.returncode} before "
                                 "its message box was seen")
            return window_of(copy.pid)
        box = wait_for("the second copy's message box on the accessibility bus", box_or_end)
        if box.name != WINDOW or box.getRole() not in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG):
            raise SystemExit(f"FAIL: the second copy shows {box.name!r} as a {box.getRoleName()}, "
                             f"not a message box titled {WINDOW!r}")
        wait_for(f"the message box to say {HELD!r}", lambda: says(box, HELD))
        step(f"second copy (process {copy.pid}) shows its message box ({box.getRoleName()}): "
             "another copy runs")
        ok = wait_for("the message box's OK button", lambda: find(box, "OK", pyatspi.ROLE_PUSH_BUTTON))
        action, i = action_index(ok, "Press")
        action.doAction(i)
        wait_for("the second copy to end after OK", lambda: copy.poll() is not None)
        if copy.returncode != 1:
            raise SystemExit(f"FAIL: the second copy ended with status {copy.returncode}, not 1")
        step("second copy ended with status 1 after OK")
    finally:
        if copy.poll() is None:
            copy.send_signal(signal.SIGKILL)
            copy.wait()
    differences = changes(before, folder_state(folder))
    if differences:
        raise SystemExit(f"FAIL: the second copy changed the folder:\n{differences}")
    step(f"PASS: the folder's {len(before)} entries are as they were, byte for byte")
    return 0


def main():
    global deadline
    parser = argparse.ArgumentParser()
    parser.add_argument("--timeout", type=float, default=30, help="limit of the whole check, seconds")
    parser.add_argument("--second-copy", metavar="PROGRAM",
                        help="check a second copy of PROGRAM started beside the running one instead")
    args = parser.parse_args()
    deadline = started + args.timeout
    if args.second_copy:
        return second_copy(args.second_copy)
    window = wait_for("the program's window on the accessibility bus", find_window)
    # The program asks which events have listeners when it joins the bus and again whenever a
    # listener is registered: register once it is there, or it may miss the registration.
    pyatspi.Registry.registerEventListener(on_checked, "object:state-changed:checked")
    if window.getRole() != pyatspi.ROLE_FRAME:
        raise SystemExit(f"FAIL: the window's role is {window.getRoleName()}, not frame")
    step(f"found window {window.name!r} ({window.getRoleName()})")

    found = {}
    for name, role in INPUTS.items():
        found[name] = wait_for(f"{name!r}", lambda n=name, r=role: find(window, n, r))
    step(f"found {', '.join(repr(n) for n in found)}")
    tagged = wait_for("'Tagged for Download'", lambda: find(window, "Tagged for Download", pyatspi.ROLE_TEXT))
    if text_of(found["IP Address"]) != "192.168.0.20":
        raise SystemExit(f"FAIL: IP Address holds {text_of(found['IP Address'])!r}")

    action, i = action_index(found["Get Guide"], "Press")
    action.doAction(i)
    rows = wait_for("the list's rows after Get Guide", lambda: found["Shows"].childCount >= 3 and found["Shows"])
    step(f"Get Guide listed {rows.childCount} rows; Tagged for Download {text_of(tagged)!r}")
    if text_of(tagged) != "0":
        raise SystemExit("FAIL: rows are tagged before any tick")
    if any(rows[k].getRole() != pyatspi.ROLE_CHECK_BOX for k in range(rows.childCount)):
        raise SystemExit("FAIL: the rows are not presented as check boxes")

    try:
        # Keys go to the active window: have the window manager activate it (it also gives a
        # new window the focus), then focus the list through its own component.
        wait_for("the window manager to take the activation request (xdotool windowactivate)",
                 lambda: activate(window))
        wait_for("the window to become active", lambda: has(window, pyatspi.STATE_ACTIVE))
        step("window active")
        found["Shows"].queryComponent().grabFocus()
        wait_for("keyboard focus on the list",
                 lambda: has(found["Shows"], pyatspi.STATE_FOCUSED)
                 or any(has(rows[k], pyatspi.STATE_FOCUSED) for k in range(rows.childCount)))
        step("list focused")

        # Space on the list ticks its current row, the first one when none was current. The key
        # is typed through XTest as a keyboard would: the registry's own key synthesis
        # (generateKeyboardEvent) lost it in about one run of five here.
        subprocess.run(["xdotool", "key", "space"], check=True, timeout=10)
        wait_for("a checked event after Space", lambda: any(d == 1 for _, d in checked_events))
        first = next(name for name, d in checked_events if d == 1)
        ticked = wait_for("a row reported checked after Space",
                          lambda: [k for k in range(rows.childCount) if has(rows[k], pyatspi.STATE_CHECKED)])
        wait_for("Tagged for Download to read 1 after Space", lambda: text_of(tagged) == "1")
        step(f"Space: checked event from row {first.strip()[:30]!r}; checked rows {ticked}")

        # The Toggle action of another row ticks it and runs the list's click handling.
        target = next(k for k in range(rows.childCount) if k not in ticked)
        row = rows[target]
        before = len(checked_events)
        action, i = action_index(row, "Toggle")
        action.doAction(i)
        wait_for("Tagged for Download to read 2 after Toggle", lambda: text_of(tagged) == "2")
        wait_for("the toggled row's checked event",
                 lambda: any(d == 1 and name == row.name for name, d in checked_events[before:]))
        if not has(row, pyatspi.STATE_CHECKED):
            raise SystemExit("FAIL: the toggled row does not report checked")
        step(f"Toggle: row {target} checked; Tagged for Download {text_of(tagged)!r}")
    finally:
        pyatspi.Registry.deregisterEventListener(on_checked, "object:state-changed:checked")
    step("PASS: AT-SPI end-to-end check")
    return 0


if __name__ == "__main__":
    sys.exit(main())
