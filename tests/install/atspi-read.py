#!/usr/bin/python3
# Reads the running program through AT-SPI, the way a screen reader does, and prints what
# it finds: the window, the buttons' names, the server list's rows and the ticker. Exits 0
# once the window lists hosts and every button has a name, 1 when that does not happen in
# time.
#
# With --error-box first, an error box must come up before the window: its text is
# printed and its OK button pressed, as a user would.
#
# Usage: atspi-read.py APP_NAME SECONDS [--error-box]
import sys
import time

import pyatspi


def walk(node, depth=0):
    yield node, depth
    for i in range(min(node.childCount, 500)):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def find_app(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def alerts(app):
    return [node for node, _ in walk(app) if node.getRoleName() in ("alert", "dialog")]


def dismiss_error_box(name, deadline):
    while time.time() < deadline:
        app = find_app(name)
        boxes = alerts(app) if app is not None else []
        if boxes:
            box = boxes[0]
            texts = [n.name for n, _ in walk(box) if n.getRoleName() == "label" and n.name]
            print(f"error box '{box.name}' ({len(boxes)} open): " + " / ".join(texts))
            for node, _ in walk(box):
                if node.getRoleName() == "push button" and node.name == "OK":
                    action = node.queryAction()
                    names = [action.getName(i) for i in range(action.nActions)]
                    press = [i for i, n in enumerate(names) if n.lower() in ("press", "click")]
                    if not press:
                        print("the OK button offers only: " + ", ".join(names))
                        return False
                    done = action.doAction(press[0])
                    print(f"pressed {names[press[0]]}: {done}; actions: {names}")
                    return True
            print("the error box has no OK button")
            return False
        time.sleep(0.2)
    print("no error box came up")
    return False


def read(app):
    found = {"windows": [], "buttons": [], "rows": [], "ticker": None, "unnamed": 0}
    for node, _ in walk(app):
        role = node.getRoleName()
        if role in ("frame", "window") and node.name:
            found["windows"].append(f"{role} '{node.name}'")
        elif role == "push button":
            if node.name:
                found["buttons"].append(node.name)
            else:
                found["unnamed"] += 1
        elif role in ("table", "tree table", "tree") and node.name == "Server list":
            table = node.queryTable()
            for row in range(min(table.nRows, 3)):
                cells = [table.getAccessibleAt(row, c).name for c in range(table.nColumns)]
                found["rows"].append(" | ".join(cells))
            found["row count"] = table.nRows
        elif role == "label" and node.description == "LFS Highlight-Ticker":
            found["ticker"] = node.name
    return found


def main():
    name, seconds = sys.argv[1], float(sys.argv[2])
    deadline = time.time() + seconds
    if "--error-box" in sys.argv[3:] and not dismiss_error_box(name, deadline):
        return 1
    found = None
    while time.time() < deadline:
        app = find_app(name)
        if app is not None:
            found = read(app)
            if found["rows"] and found["buttons"] and not found["unnamed"]:
                break
        time.sleep(0.5)
    if found is None:
        print(f"no application '{name}' on the accessibility bus")
        return 1
    for window in found["windows"]:
        print(f"window: {window}")
    print(f"buttons ({len(found['buttons'])}): " + "; ".join(found["buttons"]))
    print(f"buttons without a name: {found['unnamed']}")
    print(f"server list rows: {found.get('row count', 0)}")
    for row in found["rows"]:
        print(f"  row: {row}")
    print(f"ticker: {(found['ticker'] or '')[:120]}")
    still_open = len(alerts(find_app(name)))
    print(f"boxes open at the end: {still_open}")
    return 0 if found["rows"] and not found["unnamed"] and not still_open else 1


sys.exit(main())
