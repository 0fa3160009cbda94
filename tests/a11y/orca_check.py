#!/usr/bin/python3
"""What the Orca screen reader says about the list's ticks.

Runs the program (given as a command line after --) and Orca beside it, Orca with speech and
braille off and its debug output, which logs every utterance as "SPEECH OUTPUT: '...'", read
as it is written. Then types as a user would: Tab to Get Guide and Space, Tab to the list, Down
to a row, Space, Space. Each row must be heard with its tick: "not checked" when the row is
reached, "checked" at the first Space and "not checked" at the second. Every wait is bounded;
the check fails naming what it waited for and what Orca said meanwhile.

    orca_check.py [--timeout SECONDS] -- PROGRAM [ARGS...]
"""
import argparse
import os
import pty
import re
import subprocess
import sys
import tempfile
import threading
import time

WINDOW = "Dovrel Mpeg Utility"
# "SPEECH OUTPUT: 'text'" followed by the voice: " voice=...", "{...}", "None" or nothing.
SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'(?=\s*(?:voice=|\{|None\b|$))")

started = time.monotonic()
deadline = started + 60


class Utterances:
    """Every utterance in Orca's debug output, collected by a thread as Orca writes it."""

    def __init__(self, process, fd):
        self.process = process
        self.fd = fd
        self.spoken = []
        self.lock = threading.Lock()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = b""
        while True:
            try:
                chunk = os.read(self.fd, 65536)
            except OSError:  # Orca ended
                return
            if not chunk:
                return
            pending += chunk
            *lines, pending = pending.split(b"\n")
            for line in lines:
                found = SPOKEN.search(line.decode("utf-8", "replace"))
                if found:
                    with self.lock:
                        self.spoken.append(found.group(1).strip())

    def count(self):
        with self.lock:
            return len(self.spoken)

    def since(self, start):
        with self.lock:
            return self.spoken[start:]


def step(text):
    print(f"[{time.monotonic() - started:5.1f} s] {text}", flush=True)


def fail(text):
    raise SystemExit(f"FAIL after {time.monotonic() - started:.1f} s: {text}")


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "100", *names], check=True, timeout=10)


def hear(orca, start, what, test, limit=15):
    """Waits until an utterance after `start` passes `test`; returns it. Orca answers a key
    within a second or two: gives up after `limit` seconds or at the deadline."""
    give_up = min(deadline, time.monotonic() + limit)
    while True:
        for said in orca.since(start):
            if test(said):
                return said
        if orca.process.poll() is not None:
            fail(f"Orca ended (status {orca.process.returncode}) before it said {what}; it refuses to "
                 "start beside another Orca of the same user")
        if time.monotonic() >= give_up:
            fail(f"gave up waiting for Orca to say {what}; it said {orca.since(start)}")
        time.sleep(0.1)


def activate_window():
    """Has the window manager activate the program's window once it is mapped."""
    while True:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{WINDOW}$"],
                               capture_output=True, text=True, timeout=10)
        if found.stdout.split():
            subprocess.run(["xdotool", "windowactivate", "--sync", found.stdout.split()[0]],
                           check=True, capture_output=True, timeout=10)
            return
        if time.monotonic() >= deadline:
            fail("gave up waiting for the program's window")
        time.sleep(0.1)


def main():
    global deadline
    parser = argparse.ArgumentParser()
    parser.add_argument("--timeout", type=float, default=60, help="limit of the whole check, seconds")
    parser.add_argument("program", nargs="+")
    args = parser.parse_args()
    deadline = started + args.timeout

    program = subprocess.Popen(args.program)
    prefs = tempfile.TemporaryDirectory()
    # The debug output goes to a terminal, which Orca writes line by line, not in blocks.
    master, slave = pty.openpty()
    orca = subprocess.Popen(["orca", "--user-prefs", prefs.name, "--disable", "speech",
                             "--disable", "braille", "--debug-file", "/dev/stdout"],
                            stdin=subprocess.DEVNULL, stdout=slave, stderr=subprocess.DEVNULL)
    os.close(slave)
    heard = Utterances(orca, master)
    try:
        activate_window()
        step("window active")
        hear(heard, 0, "the focused button at start", lambda s: "View Log" in s)
        step("Orca presents the window")

        mark = heard.count()
        key("Tab", "Tab", "Tab")
        hear(heard, mark, "'Get Guide' after Tab", lambda s: "Get Guide" in s)
        key("space")
        mark = heard.count()
        key("Tab", "Tab", "Tab")
        hear(heard, mark, "the list 'Shows' after Tab", lambda s: "Shows" in s)
        step("list focused")

        # Each key, what Orca must say after it, and whether that leaves the row ticked.
        for name, what, ticked in (("Down", "a row after Down", False),
                                   ("space", "the tick after Space", True),
                                   ("space", "the untick after the second Space", False)):
            mark = heard.count()
            key(name)
            said = hear(heard, mark, what, lambda s: "checked" in s)
            if ("not checked" not in said) != ticked:
                fail(f"{what}: the row is {'ticked' if ticked else 'unticked'} but Orca said {said!r}")
            step(f"{name}: {said!r}")
    finally:
        for process in (orca, program):
            process.terminate()
        for process in (orca, program):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        os.close(master)
    step("PASS: Orca speaks every tick")
    return 0


if __name__ == "__main__":
    sys.exit(main())
