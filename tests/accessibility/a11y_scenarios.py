#!/usr/bin/env python3
"""Scenarios for screen-reader users, read through the desktop's accessibility bus.

Runs the real program (argv[1]) on the desktop that run-on-desktop prepared and reads it
with pyatspi as a screen reader does: the accessible tree, and the events the bus delivers
while the keyboard alone (xdotool) drives the program. Every wait is bounded; a failure
names what was expected and what came instead.
"""

import os
import shutil
import subprocess
import sys
import time
import traceback

import pyatspi
from gi.repository import GLib

PROGRAM = sys.argv[1]
WORK = os.environ["A11Y_WORK"]
EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
TIMEOUT = 15.0


class Failure(Exception):
    pass


def pump(seconds=0.0):
    """Delivers the bus's events for a while (at least once)."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(what, predicate, timeout=TIMEOUT):
    end = time.monotonic() + timeout
    while True:
        pump()
        try:
            value = predicate()
        except Exception:  # the tree changes under the reader; ask again
            value = None
        if value:
            return value
        if time.monotonic() >= end:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.05)


def role(acc):
    return acc.getRoleName()


def states(acc):
    return {pyatspi.stateToString(s) for s in acc.getState().getStates()}


def walk(acc, depth=0):
    if acc is None or depth > 20:
        return
    yield acc
    for child in acc:
        yield from walk(child, depth + 1)


def find(root, predicate):
    for acc in walk(root):
        try:
            if predicate(acc):
                return acc
        except Exception:
            pass
    return None


def find_all(root, predicate):
    found = []
    for acc in walk(root):
        try:
            if predicate(acc):
                found.append(acc)
        except Exception:
            pass
    return found


def text_of(acc):
    text = acc.queryText()
    return text.getText(0, text.characterCount)


class Events:
    """Records the events a screen reader would be told of."""

    TYPES = [
        "focus:",
        "object:state-changed:focused",
        "object:state-changed:selected",
        "object:property-change:accessible-name",
        "object:text-caret-moved",
        "object:text-changed",
        "object:text-selection-changed",
        "object:children-changed",
    ]

    def __init__(self):
        self.log = []
        pyatspi.Registry.registerEventListener(self._record, *self.TYPES)

    def _record(self, event):
        try:
            source = event.source
            entry = (event.type, role(source), source.name or "", event.detail1, source)
        except Exception:
            return
        self.log.append(entry)

    def mark(self):
        pump()
        return len(self.log)

    def wait(self, what, predicate, since, timeout=TIMEOUT):
        def seen():
            for entry in self.log[since:]:
                try:
                    if predicate(*entry):
                        return entry
                except Exception:
                    pass
            return None

        try:
            return wait_for(what, seen, timeout)
        except Failure:
            recent = [f"{t} [{r}] {n!r} {d}" for t, r, n, d, _ in self.log[since:]][-15:]
            if os.environ.get("A11Y_DEBUG"):
                subprocess.run("xdotool getwindowfocus getwindowname; xprop -root _NET_ACTIVE_WINDOW; xdotool getwindowfocus", shell=True)
            raise Failure(f"no event: {what}; the bus delivered:\n    " + "\n    ".join(recent or ["nothing"]))


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)
    pump(0.15)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True)
    pump(0.15)


def start(*arguments):
    process = subprocess.Popen([PROGRAM, *arguments], stdout=subprocess.DEVNULL)

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "rowlns32" and app.get_process_id() == process.pid:
                frame = find(app, lambda a: role(a) == "frame")
                if frame is not None and "showing" in states(frame):
                    return app
        return None

    app = wait_for("the program's window on the accessibility bus", application, 30)
    return process, app


def stop(process):
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def check(condition, message):
    if not condition:
        raise Failure(message)


# --- Scenario 1: what a reader finds in the window ------------------------------------


def scenario_tree():
    table_file = os.path.join(WORK, "ships.tbl")
    process, app = start(table_file)
    try:
        frame = find(app, lambda a: role(a) == "frame")
        # Menus: named items, no hidden ones, no shortcut text in a name.
        menubar = find(frame, lambda a: role(a) == "menu bar")
        check(menubar is not None, "no menu bar in the tree")
        menus = [child.name for child in menubar]
        check(menus == ["File", "Edit", "View", "Help"], f"menus are {menus}")
        items = find_all(menubar, lambda a: role(a) in ("menu item", "check menu item"))
        names = [item.name for item in items]
        for name in names:
            check(name.strip() != "" and "\t" not in name and "&" not in name,
                  f"menu item name {name!r} (empty, or carrying shortcut text or a mnemonic sign)")
        check("Sort by column..." in names, f"no 'Sort by column...' item among {names}")
        check("ZORATH KIT Quick Start Tutorial" not in names,
              "the hidden tutorial item is exposed")
        recents = [n for n in names if n[:2] in ("1 ", "2 ", "3 ", "4 ", "5 ")]
        check(len(recents) == 1 and recents[0].endswith("ships.tbl"),
              f"recent-file items exposed: {recents} (only the one used slot should be)")

        # Tabs: a page tab list named Sections, the current tab selected.
        tabs = find(frame, lambda a: role(a) == "page tab list")
        check(tabs is not None and tabs.name == "Sections",
              f"tab list is {tabs and tabs.name!r}, wanted 'Sections'")
        pages = [child for child in tabs if role(child) == "page tab"]
        check([p.name for p in pages][:2] == ["<Unparsed contents>", "Frigates"],
              f"tabs are {[p.name for p in pages]}")
        selected = [p.name for p in pages if "selected" in states(p)]
        check(selected == ["<Unparsed contents>"], f"selected tabs: {selected}")

        # The raw text: readable, line by line.
        raw = find(frame, lambda a: a.name == "Raw text")
        check(raw is not None and role(raw) == "text", "no text object named 'Raw text'")
        check("showing" in states(raw), "the raw text is not showing after opening a file")
        with open(table_file, encoding="cp1252") as f:
            first_lines = f.read().splitlines()
        text = raw.queryText()
        check(text.characterCount > 0, "the raw text has no characters")
        line, start_offset, end_offset = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
        check(line.rstrip("\n") == first_lines[0], f"first raw line read as {line!r}")
        check("$Name:\tKestrel" in text.getText(0, -1), "the raw text lacks a record line")

        # Status panels: their texts are their names.
        status = find(frame, lambda a: role(a) == "status bar")
        panel_names = [a.name for a in find_all(status, lambda a: role(a) == "label")]
        check("Ready" in panel_names, f"status panels read {panel_names}, none 'Ready'")

        # The table of a section: named headers, values without padding.
        frigates = pages[1]
        frigates.queryAction().doAction(0)
        table = wait_for("the records table showing",
                         lambda: find(frame, lambda a: role(a) == "table" and "showing" in states(a)))
        check(table.name == "Records", f"table named {table.name!r}")
        grid = table.queryTable()
        headers = [grid.getColumnHeader(c).name for c in range(grid.nColumns)]
        check(headers[:3] == ["Name", "Class", "Mass"], f"column headers {headers}")
        cells = [grid.getAccessibleAt(0, c).name for c in range(grid.nColumns)]
        check(cells[0] == "Kestrel" and "120.50" in cells,
              f"first row reads {cells}")
        check(all(c == c.strip() for c in cells), f"cells carry padding blanks: {cells}")
    finally:
        stop(process)


# --- Scenario 2: keyboard alone, heard through the events -------------------------------


def scenario_keyboard():
    table_file = os.path.join(WORK, "ships.tbl")
    process, app = start()
    events = Events()
    try:
        frame = find(app, lambda a: role(a) == "frame")
        subprocess.run(["xdotool", "search", "--sync", "--name", "^Korvax Manager ROWLENS32$",
                        "windowactivate", "--sync"], check=False, timeout=20,
                       stdout=subprocess.DEVNULL)
        # Something has the focus from the start.
        wait_for("a focused object in the no-file window",
                 lambda: find(frame, lambda a: "focused" in states(a)))

        # Open the file through the dialog; the focus comes back to the section tabs.
        since = events.mark()
        key("ctrl+o")
        events.wait("the open dialog's file name field focused",
                    lambda t, r, n, d, s: t.startswith("focus") and r == "text", since)
        type_text(table_file)
        since = events.mark()
        key("Return")
        events.wait("focus on the tab list 'Sections' after opening",
                    lambda t, r, n, d, s: t.startswith("focus") and r in ("page tab list", "page tab"),
                    since)

        # List a section: Right selects "Frigates" and the reader is told.
        since = events.mark()
        key("Right")
        events.wait("the tab 'Frigates' selected",
                    lambda t, r, n, d, s: t == "object:state-changed:selected" and n == "Frigates" and d == 1,
                    since)
        table = wait_for("the records table showing",
                         lambda: find(frame, lambda a: role(a) == "table" and "showing" in states(a)))

        # Into the list and sort by Mass from the View menu's command.
        since = events.mark()
        key("Tab")
        events.wait("focus in the records table",
                    lambda t, r, n, d, s: t.startswith("focus") and r in ("table", "table cell"), since)
        since = events.mark()
        key("ctrl+shift+s")
        events.wait("the sort dialog's column box focused",
                    lambda t, r, n, d, s: t.startswith("focus") and r in ("combo box", "list item", "menu item"),
                    since)
        key("Home", "Down", "Down")  # Name, Class, Mass
        since = events.mark()
        key("Return")
        events.wait("focus back in the records table",
                    lambda t, r, n, d, s: t.startswith("focus") and r in ("table", "table cell"), since)
        grid = table.queryTable()
        masses = [float(grid.getAccessibleAt(row, 2).name) for row in range(grid.nRows)]
        check(masses == sorted(masses), f"rows not sorted by Mass: {masses}")

        # Select a record and hear its name in the status panel.
        first = grid.getAccessibleAt(0, 0).name
        since = events.mark()
        key("ctrl+Home")
        events.wait(f"the status panel naming {first!r}",
                    lambda t, r, n, d, s: t == "object:property-change:accessible-name" and r == "label" and n == first,
                    since)

        # Find a text: the result is heard, and Enter goes to the match.
        since = events.mark()
        key("ctrl+f")
        events.wait("focus in the find field",
                    lambda t, r, n, d, s: t.startswith("focus") and r == "text" and n == "Find text", since)
        since = events.mark()
        type_text("Heron")
        events.wait("the find result '1 of 3 records'",
                    lambda t, r, n, d, s: t == "object:property-change:accessible-name" and n == "1 of 3 records",
                    since)
        since = events.mark()
        key("Return")
        events.wait("the status panel naming 'Heron'",
                    lambda t, r, n, d, s: t == "object:property-change:accessible-name" and n == "Heron",
                    since)

        # Esc closes the find bar: every record is listed again, Heron stays current.
        key("Escape")
        wait_for("every record listed again", lambda: table.queryTable().nRows == 3)

        # Enter on the record: its raw line is read at the caret.
        since = events.mark()
        key("Return")
        caret = events.wait("the raw text's caret moving to the record",
                            lambda t, r, n, d, s: t == "object:text-caret-moved" and n == "Raw text",
                            since)
        raw = caret[4].queryText()
        line = wait_for("the caret's line",
                        lambda: raw.getTextAtOffset(raw.caretOffset, pyatspi.TEXT_BOUNDARY_LINE_START)[0])
        check(line.rstrip("\n") == "$Name:\tHeron", f"the line at the caret reads {line!r}")
        events.wait("focus on the raw text",
                    lambda t, r, n, d, s: t.startswith("focus") and n == "Raw text", since)

        # Esc-free way back: Ctrl+Page Down lists the next section and says so.
        since = events.mark()
        key("ctrl+Next")
        events.wait("the tab 'Frigates' selected again",
                    lambda t, r, n, d, s: t == "object:state-changed:selected" and n == "Frigates" and d == 1,
                    since)
        events.wait("focus in the records table after the section change",
                    lambda t, r, n, d, s: t.startswith("focus") and r in ("table", "table cell"), since)

        # Another file opened over this one: the window is active again, the focus on the
        # new file's tabs.
        other = os.path.join(WORK, "cargo.tbl")
        since = events.mark()
        key("ctrl+o")
        events.wait("the open dialog's file name field focused",
                    lambda t, r, n, d, s: t.startswith("focus") and r == "text", since)
        type_text(other)
        since = events.mark()
        key("Return")
        events.wait("focus on the tab list after opening a second file",
                    lambda t, r, n, d, s: t.startswith("focus") and r in ("page tab list", "page tab"),
                    since)
        wait_for("the window active", lambda: "active" in states(frame))
        wait_for("the second file's caption", lambda: frame.name.endswith("cargo.tbl]"))
    finally:
        stop(process)


def main():
    for name in ("ships.tbl", "cargo.tbl"):
        shutil.copy(os.path.join(EXAMPLES, name), os.path.join(WORK, name))
    scenarios = [scenario_tree, scenario_keyboard]
    only = os.environ.get("A11Y_SCENARIO")
    failed = 0
    for scenario in scenarios:
        if only and only not in scenario.__name__:
            continue
        started = time.monotonic()
        try:
            scenario()
            print(f"PASS {scenario.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
        except Failure as failure:
            failed += 1
            print(f"FAIL {scenario.__name__}: {failure}", flush=True)
        except Exception:
            failed += 1
            print(f"FAIL {scenario.__name__}:", flush=True)
            traceback.print_exc()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
