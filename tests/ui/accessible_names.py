"""Reads the window's accessibility tree as a screen reader does and checks
that every control that takes the focus has a name of its own.

Run by accessible_names_test.sh inside a private accessibility bus."""
import sys
import time

import pyatspi


def application(name, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.3)
    return None


def focusable(node):
    try:
        if node.getState().contains(pyatspi.STATE_FOCUSABLE):
            yield node
        for child in node:
            if child is not None:
                yield from focusable(child)
    except Exception:  # a control gone while it was read: read it again next time
        return


def window(app, title, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        for frame in app:
            if frame is not None and frame.name.startswith(title):
                return frame
        time.sleep(0.3)
    return None


def main():
    program, titles = sys.argv[1], sys.argv[2:]
    app = application(program)
    if app is None:
        print(f"FAIL: {program} never appeared on the accessibility bus")
        return 1
    failures = 0
    for title in titles:
        frame = window(app, title)
        if frame is None:
            print(f"FAIL: no window titled {title!r}")
            failures += 1
            continue
        names = [control.name for control in focusable(frame)]
        print(f"{title}: {len(names)} controls take the focus: {names}")
        if not names:
            failures += 1
        for name in set(names):
            if len(name) < 2 or names.count(name) > 1:
                print(f"FAIL: {title}: a control is named {name!r}, {names.count(name)} time(s)")
                failures += 1
    return 1 if failures else 0


sys.exit(main())
