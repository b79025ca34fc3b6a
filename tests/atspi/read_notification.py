#!/usr/bin/python3
"""Meets the notifier as a screen reader does, and prints what it learns.

    read_notification.py EXPECTED_JSON NOTIFIER LOG

Writes the record of EXPECTED_JSON as the notification beside NOTIFIER,
registers for the events a screen reader acts on, starts NOTIFIER (its
output to LOG), waits for its window to be announced, and reads the window
from the accessibility tree. Prints the role, name, description and events
seen, and a PASS:/FAIL: line for each check against EXPECTED_JSON; exits 1
if any failed. The notifier is left running, its pid on the last line
("pid N"), so that the caller can see where the keyboard focus is.
"""

import json
import os
import subprocess
import sys

import pyatspi
from gi.repository import GLib

# A bound against a notifier that never shows, not a measure of its speed.
GIVE_UP_SECONDS = 30

# What a screen reader listens to as windows appear.
WATCHED_EVENTS = ("object:state-changed:showing", "window:create", "window:activate")

failures = 0


def check(what, passed, detail):
    global failures
    print(("PASS: " if passed else "FAIL: ") + what + ("" if passed else f" ({detail})"))
    failures += not passed


def shown(text):
    return json.dumps(text, ensure_ascii=False)


def children_of(accessible):
    children = (accessible.getChildAtIndex(index) for index in range(accessible.childCount))
    return [child for child in children if child is not None]


def descendants(accessible):
    for child in children_of(accessible):
        yield child
        yield from descendants(child)


def application_of(pid):
    for application in children_of(pyatspi.Registry.getDesktop(0)):
        try:
            if application.get_process_id() == pid:
                return application
        except GLib.Error:
            pass  # gone meanwhile
    return None


def wait_for_announcement(notifier, log, expected):
    """Starts the notifier once listening, and returns it with the events
    its windows raised, up to the announcement of one with the expected role."""
    notifier_process = None
    seen = []
    loop = GLib.MainLoop()

    def on_event(event):
        try:
            if notifier_process is None or event.source.get_process_id() != notifier_process.pid:
                return
            role, name = event.source.getRoleName(), event.source.name
        except GLib.Error:
            return
        if event.type.startswith("object:state-changed") and not event.detail1:
            return
        seen.append((str(event.type), role, name))
        if role == expected["role"] and event.type in expected["events"]:
            loop.quit()

    def start():
        nonlocal notifier_process
        notifier_process = subprocess.Popen([notifier], stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        return False

    pyatspi.Registry.registerEventListener(on_event, *WATCHED_EVENTS)
    GLib.idle_add(start)
    GLib.timeout_add_seconds(GIVE_UP_SECONDS, loop.quit)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_event, *WATCHED_EVENTS)
    return notifier_process, seen


def main():
    expected_path, notifier, log_path = sys.argv[1:4]
    with open(expected_path, encoding="utf-8") as stream:
        expected = json.load(stream)
    with open(os.path.join(os.path.dirname(notifier), "MI.zorvi"), "w", encoding="utf-8") as stream:
        stream.write(expected["record"] + "\r\n")

    with open(log_path, "w") as log:
        notifier_process, seen = wait_for_announcement(notifier, log, expected)
    try:
        read_window(notifier_process.pid, expected, seen)
    finally:
        print(f"pid {notifier_process.pid}")
    return 1 if failures else 0


def read_window(pid, expected, seen):
    for event_type, role, name in seen:
        print(f"event: {event_type} on {role} {shown(name)}")
    check(f"the window is announced ({' or '.join(expected['events'])} on a {expected['role']})",
          any(role == expected["role"] and event_type in expected["events"] for event_type, role, _ in seen),
          f"events seen: {seen}")

    application = application_of(pid)
    windows = [w for w in children_of(application) if w.name == expected["name"]] if application else []
    check(f"the notifier shows one window named {shown(expected['name'])} on the accessibility bus",
          len(windows) == 1,
          "no application" if application is None else f"windows: {[(w.getRoleName(), w.name) for w in children_of(application)]}")
    if len(windows) != 1:
        return
    window = windows[0]

    print(f"role: {window.getRoleName()}")
    print(f"name: {shown(window.name)}")
    print(f"description: {shown(window.description)}")
    tree = [[node.getRoleName(), node.name] for node in descendants(window)]
    for role, name in tree:
        print(f"  child: {role} {shown(name)}")

    check(f"the window's role is {shown(expected['role'])}", window.getRoleName() == expected["role"],
          window.getRoleName())
    check("the window's description is the sender and the message", window.description == expected["description"],
          shown(window.description))
    # A name of null in the expected children stands for any name (the time).
    check("the tree holds the answer box, by its name, and the labels; no shape, line or picture",
          len(tree) == len(expected["children"])
          and all(role == want_role and (want_name is None or name == want_name)
                  for (role, name), (want_role, want_name) in zip(tree, expected["children"])),
          f"tree: {tree}")
    check("the window does not claim the focus", not window.getState().contains(pyatspi.STATE_FOCUSED), "focused")


if __name__ == "__main__":
    sys.exit(main())
