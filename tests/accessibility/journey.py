#!/usr/bin/python3
"""A customer's order prepared with the keyboard alone, read as a screen reader reads it.

    journey.py KALVORO

Started by run_journey.sh on a desktop of its own (X server, window manager, accessibility
bus), in a fresh current folder. Starts KALVORO with an order of three comics, presses keys on
whatever has the focus (never the mouse, never an accessible action), and after every step
reads the accessibility tree: the focused control's name and role, the active window, the
figures with their captions. Prints one "ok" or "FAIL" line a check, goes on after a failure
wherever the program still lets it, and exits 1 when any check failed.
"""
import os
import re
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

KALVORO = sys.argv[1]
FOLDER = os.getcwd()
TITLES = ["海辺の町　１", "海辺の町　２", "海辺の町　３"]  # saved as "cut only"
COUPON = "2612310035"  # good until 2026-12-31; run_journey.sh sets the day to 2026-12-07
CUT_ONLY, FULL_COURSE = "解体のみ", "解体・データ化再製本"
MAIN = "Kalvoro総合画面"
MAIN_CAPTIONS = ["作業代の合計", "メディア代", "返送料", "小計", "割引券の合計額", "総合計金額"]
ENTRY_CAPTIONS = ["基本金額", "解体料", "データ化再製本料", "合計金額"]
# What a figure looks like on the forms: ０円, ２,８００円, +800, 1,400, 着払の為、０円 …
BARE_FIGURE = re.compile(r"^[ 　]*[+\-−＋－]?[0-9０-９][0-9０-９,，]*円?[ 　]*$")
WINDOW_ROLES = ("frame", "dialog", "window")
BUDGET = 60.0  # seconds for the whole journey; the waits of a failing step share it
STARTED = time.monotonic()
failures = 0


def report(ok, what, expected=None, got=None):
    global failures
    stamp = f"[{time.monotonic() - STARTED:4.1f} s]"
    if ok:
        print(f"ok {what} {stamp}", flush=True)
    else:
        failures += 1
        detail = "" if expected is None and got is None else f": expected {expected!r}, got {got!r}"
        print(f"FAIL {what}{detail} {stamp}", flush=True)
    return bool(ok)


# Pop-up menus are no children of the application in the tree: a screen reader meets them by
# the event that says they show, and so does this journey.
menus = []


def on_showing(event):
    try:
        if event.detail1 and event.source.getRoleName() in ("menu", "popup menu"):
            menus.append(event.source)
    except Exception:  # noqa: BLE001
        pass


def dispatch_events():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def until(probe, timeout=3.0):
    """The first truthy value of probe() within the timeout (cut to what is left of the budget),
    else its last value. An object destroyed under the probe just means trying again."""
    end = time.monotonic() + max(0.0, min(timeout, BUDGET - (time.monotonic() - STARTED)))
    while True:
        dispatch_events()
        try:
            value = probe()
        except Exception:  # noqa: BLE001 - windows close while they are read
            value = None
        if value or time.monotonic() >= end:
            return value
        time.sleep(0.05)


# ---- the accessibility tree ---------------------------------------------------------------

def has(obj, state):
    try:
        return obj.getState().contains(state)
    except Exception:  # noqa: BLE001
        return False


def kids(obj):
    out = []
    try:
        for i in range(obj.childCount):
            child = obj.getChildAtIndex(i)
            if child is not None:
                out.append(child)
    except Exception:  # noqa: BLE001
        pass
    return out


def walk(obj, showing=True):
    """obj and its descendants, depth first; with showing, only those on the screen."""
    if obj is None or (showing and not has(obj, pyatspi.STATE_SHOWING)):
        return
    yield obj
    for child in kids(obj):
        yield from walk(child, showing)


def role(obj):
    try:
        return obj.getRoleName()
    except Exception:  # noqa: BLE001
        return ""


def name(obj):
    try:
        return obj.name or ""
    except Exception:  # noqa: BLE001
        return ""


def parent(obj):
    try:
        return obj.parent
    except Exception:  # noqa: BLE001
        return None


def show(obj):
    return "nothing" if obj is None else f"{role(obj)} 「{name(obj)}」"


def text_of(obj):
    """What an editable control holds: its own text, or its edit field's."""
    for o in [obj] + [c for c in walk(obj, showing=False) if role(c) == "text"]:
        try:
            return o.queryText().getText(0, -1)
        except Exception:  # noqa: BLE001
            continue
    return ""


def find(window, wanted):
    return next((o for o in walk(window) if wanted(o)), None)


def named(text, *roles):
    return lambda o: name(o) == text and (not roles or role(o) in roles)


class Program:
    def __init__(self, order):
        self.log = open(os.path.join(FOLDER, "kalvoro.log"), "wb")
        self.proc = subprocess.Popen([KALVORO, order], stdout=self.log, stderr=subprocess.STDOUT)
        self.app = None

    def connect(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.proc.pid:
                self.app = app
        return self.app

    def windows(self):
        return [w for w in kids(self.app) if has(w, pyatspi.STATE_SHOWING)]

    def window(self, title):
        return next((w for w in self.windows() if name(w).startswith(title)), None)

    def active(self):
        return next((w for w in self.windows() if has(w, pyatspi.STATE_ACTIVE)), None)

    def focused(self):
        """The innermost focused object, as a screen reader presents it: a nameless filler or
        panel inside a focused control (a text box's viewport, a box's button row) is passed
        over for that control, and a line of a list counts only while its list has the focus
        (the current line of a list left with Tab goes on saying it is focused)."""
        chain = [o for w in self.windows() for o in walk(w) if has(o, pyatspi.STATE_FOCUSED)
                 and (role(o) != "list item" or has(parent(o), pyatspi.STATE_FOCUSED))]
        real = [o for o in chain if name(o) or role(o) not in ("filler", "panel")]
        return (real or chain or [None])[-1]

    def end(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(3)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


def press(*keys):
    subprocess.run(["xdotool", "key", "--delay", "40", *keys], check=False)


def type_digits(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=False)


def window_manager_active():
    r = subprocess.run(["xdotool", "getactivewindow", "getwindowname"], capture_output=True, text=True)
    return r.stdout.strip()


def tab_to(program, wanted, limit=30):
    """Presses Tab until the focused object satisfies wanted; that object, or None."""
    current = program.focused()
    for _ in range(limit):
        if current is not None and wanted(current):
            return current
        if time.monotonic() - STARTED > BUDGET:
            return None
        press("Tab")
        before = current
        current = until(lambda: (lambda f: f if f is not None and f != before else None)(program.focused()), 1.0) \
            or program.focused()
    return current if current is not None and wanted(current) else None


def becomes_active(program, title, timeout=3.0):
    return until(lambda: (lambda a: a if a is not None and name(a).startswith(title) else None)(program.active()),
                 timeout)


def check_focus(program, what, wanted, expected):
    f = until(lambda: (lambda o: o if o is not None and wanted(o) else None)(program.focused()), 1.5) \
        or program.focused()
    return report(f is not None and wanted(f), what, expected, show(f))


def check_window(window, title, what):
    report(window is not None and role(window) in WINDOW_ROLES and name(window).startswith(title),
           f"{what} is announced as a window with its title", f"frame 「{title}」", show(window))


# ---- figures ------------------------------------------------------------------------------

def yen(text):
    """The last number of a figure's text, full-width digits and commas read too."""
    plain = text.translate(str.maketrans("０１２３４５６７８９，－＋", "0123456789,-+"))
    found = re.findall(r"[+\-−]?\d[\d,]*", plain)
    return int(found[-1].replace(",", "").replace("−", "-")) if found else None


def label_rows(window):
    rows = []
    for obj in walk(window):
        if role(obj) == "label":
            e = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            rows.append((obj, e.x, e.y, e.width, e.height))
    return rows


def figure_right_of(rows, caption):
    """The label shown right of the caption's label, in its row, or None."""
    cap = next((r for r in rows if name(r[0]) == caption), None)
    if cap is None:
        return None
    _, x, y, w, h = cap
    row = [r for r in rows if r is not cap and abs(r[2] + r[4] / 2 - (y + h / 2)) <= 8 and r[1] >= x + w - 4]
    return min(row, key=lambda r: r[1])[0] if row else None


def figures(window, captions, where=None):
    """The figures by caption. With where, checks that each is announced as its caption, a
    blank and the figure, and that no label on the window announces a figure bare."""
    rows = label_rows(window)
    found = {}
    for caption in captions:
        figure = figure_right_of(rows, caption)
        said = name(figure)
        tail = said[len(caption):].lstrip(" 　") if said.startswith(caption) else said
        found[caption] = yen(tail) if figure is not None else None
        if where:
            report(figure is not None and said.startswith(caption) and tail != said and yen(tail) is not None,
                   f"{where}: {caption} is announced with its figure", f"{caption}　<figure>", said)
    if where:
        bare = [name(r[0]) for r in rows if BARE_FIGURE.match(name(r[0]))]
        report(not bare, f"{where}: no label announces a bare figure", [], bare)
    return found


def figure_changes(window, caption, before, timeout=2.0):
    return until(lambda: (lambda v: v if v is not None and v != before else None)(figures(window, [caption])[caption]),
                 timeout) or figures(window, [caption])[caption]


# ---- the journey --------------------------------------------------------------------------

def main_screen_at_start(program):
    main = becomes_active(program, MAIN, 8.0)
    if not report(main is not None, "the main screen is the active window", MAIN, show(program.active())):
        return None
    check_window(main, MAIN, "the main screen")
    check_focus(program, "the focus starts in the coupon box, announced as 割引券番号",
                lambda o: name(o) == "割引券番号" and role(o) == "combo box"
                or role(o) == "text" and name(parent(o)) == "割引券番号", "combo box 「割引券番号」")
    combo = find(main, lambda o: role(o) == "combo box")
    field = find(combo, lambda o: role(o) == "text")
    report(name(combo) == "割引券番号", "the coupon box is named 割引券番号", "割引券番号", name(combo))
    # A name of its own would be read as what the empty field holds.
    report(field is not None and name(field) == "", "its edit field has no name of its own", "text 「」", show(field))
    buttons = [name(o) for o in walk(main) if role(o) == "push button" and "割引券" in name(o)]
    report(buttons == ["割引券番号登録"], "the registration button is named without its arrow", ["割引券番号登録"], buttons)
    stray = [show(o) for o in walk(combo, showing=False) if role(o) == "list item"
             and (has(o, pyatspi.STATE_SHOWING) or has(o, pyatspi.STATE_FOCUSED))]
    report(not stray, "the closed coupon list has no item showing or focused", [], stray)
    return main


def open_comics_list(program, main):
    if not report(tab_to(program, named("コミックの申込資料作成", "push button")), "Tab reaches the comics button",
                  "push button 「コミックの申込資料作成」", show(program.focused())):
        return None
    press("Return")
    listing = until(lambda: (lambda a: a if a is not None and not name(a).startswith(MAIN) else None)(
        program.active()), 3.0)
    if not report(listing is not None, "Enter on the comics button opens the title list", "another window",
                  show(program.active())):
        press("space")
        listing = until(lambda: (lambda a: a if a is not None and not name(a).startswith(MAIN) else None)(
            program.active()), 3.0)
    if listing is not None:
        check_window(listing, name(listing) if name(listing) != "FORM2" else "コミック", "the title list")
        report(program.window(MAIN) is None, "the main screen is hidden while the list shows", None,
               show(program.window(MAIN)))
    return listing


def move_over_titles(program, listing):
    """Two Downs; returns the title selected last."""
    the_list = find(listing, lambda o: role(o) == "list")
    # Heard by its lines: its window's title, said with the window, is not said again as its name.
    report(name(the_list) == "", "the list has no name of its own", "", name(the_list))
    report(tab_to(program, lambda o: role(o) in ("list", "list item"), 6), "the focus is in the list", "list item",
           show(program.focused()))

    def lines():
        return [o for o in kids(the_list) if role(o) == "list item"]

    def selected():  # the selected line, else the current one
        marks = [(has(o, pyatspi.STATE_SELECTED), has(o, pyatspi.STATE_FOCUSED)) for o in lines()]
        return next((i for i, m in enumerate(marks) if m[0]), next((i for i, m in enumerate(marks) if m[1]), -1))

    for step in (1, 2):
        before = selected()
        # With no line selected yet, the first arrow chooses the line the caret is on (the one
        # announced when the list got the focus); after that, the next line.
        chose = any(has(o, pyatspi.STATE_SELECTED) for o in lines())
        wanted = before + 1 if chose else max(before, 0)
        press("Down")
        after = until(lambda: next((i for i, o in enumerate(lines()) if has(o, pyatspi.STATE_SELECTED)), None)
                      if (lambda s: s == wanted)(selected()) else None, 1.5)
        after = selected() if after is None else after
        time.sleep(0.3)  # a title screen the key opened would be showing by now
        line = name(lines()[after]) if 0 <= after < len(lines()) else None
        report(after == wanted, f"Down #{step} selects a line, the next once one is chosen", wanted, (after, line))
        report(name(program.active()) == name(listing), f"Down #{step} leaves the list the active window",
               name(listing), show(program.active()))
        check_focus(program, f"Down #{step}: the selected line is the focused item",
                    lambda o: role(o) == "list item" and name(o) == line, f"list item 「{line}」")
        if name(program.active()) != name(listing):  # a title screen opened: back to the list
            if tab_to(program, named("終了", "push button"), 30):
                press("space")
            becomes_active(program, name(listing))
    line = name(lines()[selected()]) if 0 <= selected() < len(lines()) else ""
    return next((t for t in TITLES if t in line), None)


def open_title(program, listing, chosen):
    press("Return")
    entry = until(lambda: (lambda a: a if a is not None and name(a) != name(listing) else None)(program.active()), 3.0)
    if not report(entry is not None, "Enter on the selected line opens its title", "the title screen",
                  show(program.active())):
        press("space")
        entry = until(lambda: (lambda a: a if a is not None and name(a) != name(listing) else None)(program.active()),
                      3.0)
        if entry is None:
            return None
    check_window(entry, "コミック　タイトル別", "the title screen")
    box = find(entry, named("タイトル", "text"))
    report(text_of(box) == chosen, "the title screen shows the title selected", chosen, text_of(box))
    return entry


def choose_course_and_option(program, entry):
    for course, other in ((CUT_ONLY, FULL_COURSE), (FULL_COURSE, CUT_ONLY)):
        obj = find(entry, named(course))
        report(role(obj) == "radio button", f"{course} is announced as a radio button", "radio button", show(obj))
        # In its group: inside the group box, or a member of a group that holds the other course.
        members = [name(r.getTarget(i)) for r in (obj.getRelationSet() if obj else [])
                   if r.getRelationType() == pyatspi.RELATION_MEMBER_OF for i in range(r.getNTargets())]
        # The group box is the buttons' sibling on the form; its caption is said as their description.
        grouped = name(parent(obj)) == "作業内容の指定" or other in members or (obj and obj.description == "作業内容の指定")
        report(grouped, f"{course} is announced in its group",
               "inside 「作業内容の指定」, described by it, or a member with the other courses",
               (show(parent(obj)), members, obj.description if obj else None))
    before = figures(entry, ["合計金額"])["合計金額"]
    # Each option button is a tab stop of its own, as on the forms of old: Tab reaches it.
    radio = tab_to(program, named(FULL_COURSE))
    if not check_focus(program, "Tab reaches 解体・データ化再製本", named(FULL_COURSE, "radio button"),
                       f"radio button 「{FULL_COURSE}」"):
        return
    press("space")
    report(until(lambda: has(find(entry, named(FULL_COURSE)), pyatspi.STATE_CHECKED), 1.5),
           "Space chooses 解体・データ化再製本", "checked", show(program.focused()))
    report(not has(find(entry, named(CUT_ONLY)), pyatspi.STATE_CHECKED), "解体のみ is no longer chosen",
           "not checked", "checked")
    after = figure_changes(entry, "合計金額", before)
    report(None not in (before, after) and after > before, "the title's total rises with the full course",
           f"more than {before}", after)
    figures(entry, ENTRY_CAPTIONS, "title screen")
    box = tab_to(program, named("トリミングする"))
    if report(role(box) == "check box", "Tab reaches トリミングする, a check box", "check box 「トリミングする」",
              show(program.focused())):
        before = figures(entry, ["合計金額"])["合計金額"]
        press("space")
        report(until(lambda: has(box, pyatspi.STATE_CHECKED), 1.5), "Space ticks トリミングする", "checked",
               "not checked")
        after = figure_changes(entry, "合計金額", before)
        report(None not in (before, after) and after > before, "the title's total rises with trimming",
               f"more than {before}", after)
        fee = find(entry, lambda o: role(o) == "label" and name(o).startswith("トリミングする"))
        said = name(fee)[len("トリミングする"):].lstrip(" 　")
        report(None not in (before, after) and yen(said) == after - before,
               "the trimming fee is announced with its caption, the rise of the total",
               f"トリミングする　+{None if None in (before, after) else after - before}", name(fee) or show(fee))


def set_resolution(program, entry):
    bar = tab_to(program, lambda o: role(o) == "slider")
    if not report(bar is not None, "Tab reaches the resolution slider", "slider", show(program.focused())):
        return

    def dpi_text():
        return name(find(entry, lambda o: role(o) == "label" and re.match(r"\d+ dpi \(", name(o))))

    def value():
        return round(bar.queryValue().currentValue)

    report(name(bar) == dpi_text(), "the slider is announced with the dpi text", dpi_text(), name(bar))
    moved = {}
    start = value()
    for key, expected in (("Right", start + 1), ("Left", start), ("Page_Up", start + 10), ("Page_Down", start),
                          ("End", 600), ("Home", 50)):
        before = value()
        press(key)
        got = until(lambda: (lambda v: v if v != before else None)(value()), 1.0) or value()
        moved[key] = got - before
        shown = until(lambda: (lambda t: t if t.startswith(f"{got} dpi (") else None)(dpi_text()), 1.0) or dpi_text()
        report(got == expected and shown.startswith(f"{got} dpi (") and name(bar) == shown,
               f"{key} on the scroll bar: the value, the dpi text and the name follow", f"{expected} dpi (…)",
               (got, shown, name(bar)))
    # 200 dpi with whichever keys raise and lower the value (Home left it at 50, keys working).
    for _ in range(40):
        v = value()
        if v == 200:
            break
        usable = [k for k, d in moved.items() if d and (d > 0) == (200 > v)]
        if not usable or time.monotonic() - STARTED > BUDGET:
            break
        fitting = [k for k in usable if abs(moved[k]) <= abs(200 - v)] or usable
        press(max(fitting, key=lambda k: abs(moved[k])))
        until(lambda: value() != v, 1.0)
    report(value() == 200 and name(bar).startswith("200 dpi (A4なら約") and dpi_text() == name(bar),
           "the keys set 200 dpi, announced with its text", "200 dpi (A4なら約…)", (value(), name(bar)))
    report(has(bar, pyatspi.STATE_FOCUSED), "the focus stays on the slider", "slider", show(program.focused()))


def check_close_button(window):
    """The active window has its close button: openbox lists the close among its allowed actions,
    and its Motif hints, which other window managers follow where openbox does not, allow the
    close (MWM_FUNC_CLOSE 0x20, or all functions)."""
    r = subprocess.run(["sh", "-c", "xprop -id \"$(xdotool getactivewindow)\" _NET_WM_ALLOWED_ACTIONS _MOTIF_WM_HINTS"],
                       capture_output=True, text=True)
    motif = re.search(r"_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = (0x[0-9a-f]+), (0x[0-9a-f]+)", r.stdout)
    flags, functions = (int(motif.group(1), 16), int(motif.group(2), 16)) if motif else (0, 0)
    allowed = not flags & 1 or functions & 0x21
    report("_NET_WM_ACTION_CLOSE" in r.stdout and allowed, f"「{name(window)}」 has the window manager's close button",
           "_NET_WM_ACTION_CLOSE, Motif functions with the close", r.stdout.strip())


def close_by_window_manager(program, window, back_to, button):
    """Alt+F4 on window: back_to must become active. Falls back on button so that the journey
    can go on."""
    report(window_manager_active() == name(window), f"the window manager has 「{name(window)}」 active",
           name(window), window_manager_active())
    check_close_button(window)
    press("alt+F4")
    back = becomes_active(program, back_to)
    if not report(back is not None, f"the window manager's close on 「{name(window)}」 acts as {button}",
                  f"「{back_to}」 active", show(program.active())):
        if tab_to(program, named(button, "push button"), 30):
            press("space")
        back = becomes_active(program, back_to)
    return back


def register_coupon(program, main):
    field = tab_to(program, lambda o: role(o) == "combo box" or role(o) == "text" and role(parent(o)) == "combo box")
    if not report(field is not None, "Tab comes back to the coupon box", "text 「割引券番号」", show(program.focused())):
        return
    combo = find(main, lambda o: role(o) == "combo box")
    before = figures(main, MAIN_CAPTIONS)
    type_digits(COUPON)
    report(until(lambda: text_of(combo) == COUPON, 1.5), "the number typed is in the coupon box", COUPON, text_of(combo))

    def listed():
        return [name(o) for o in walk(combo, showing=False) if role(o) == "list item"]

    press("Return")
    if not report(until(lambda: COUPON in listed(), 1.5), "Enter in the coupon box registers the number",
                  [COUPON], listed()):
        if tab_to(program, lambda o: role(o) == "push button" and "割引券番号登録" in name(o), 4):
            press("space")
        until(lambda: COUPON in listed(), 1.5)
    discount = figure_changes(main, "割引券の合計額", before["割引券の合計額"])
    after = figures(main, MAIN_CAPTIONS, "main screen with the coupon")
    if None not in (discount, before["割引券の合計額"], before["総合計金額"], after["総合計金額"]):
        off = discount - before["割引券の合計額"]
        report(off > 0 and after["総合計金額"] == before["総合計金額"] - off,
               "the coupon's discount is counted and taken off the grand total",
               f"a discount, {before['総合計金額']} less it", (off, after["総合計金額"]))


def answer_question(program, what):
    question = until(lambda: (lambda a: a if a is not None and role(a) in ("alert", "dialog")
                              and find(a, lambda o: role(o) == "push button") is not None
                              and find(a, lambda o: role(o) == "text") is None else None)(program.active()), 3.0)
    if report(question is not None, f"{what} is asked in the active window", "alert", show(program.active())):
        check_focus(program, f"{what}: the focus is on the default button", lambda o: role(o) == "push button"
                    and has(o, pyatspi.STATE_IS_DEFAULT), "the default push button")
        press("Return")
        until(lambda: program.active() != question, 3.0)


def write_application_data(program, chosen):
    if not report(tab_to(program, named("申込用データ出力", "push button")), "Tab reaches 申込用データ出力",
                  "push button 「申込用データ出力」", show(program.focused())):
        return None
    press("space")
    answer_question(program, "the mail attachment")
    dialog = until(lambda: (lambda a: a if a is not None and role(a) in ("dialog", "file chooser") else None)(
        program.active()), 3.0)
    if report(dialog is not None, "the save dialog is the active window", "dialog", show(program.active())):
        field = program.focused()
        report(role(field) == "text" and text_of(field).endswith("メール添付用.TXT"),
               "the focus is on the file name, the name proposed", "text holding メール添付用.TXT",
               f"{show(field)} = {text_of(field)!r}")
        press("Return")
        until(lambda: program.active() != dialog, 3.0)
    written = os.path.join(FOLDER, "メール添付用.TXT")
    if report(until(lambda: os.path.exists(written), 2.0), "the mail attachment is written beside the order", written,
              sorted(os.listdir(FOLDER))):
        data = open(written, "rb").read().decode("cp932", "replace").split("\r\n")
        line = f"013,0001,200,0,{chosen}"
        report(line in data, "it holds the title as the keys left it (course, trimming, 200 dpi)", line,
               [d for d in data if chosen and chosen in d])
        report(COUPON in data, "it holds the coupon registered", COUPON, data[:2])
    answer_question(program, "the work-fee statement")
    return becomes_active(program, "料金明細")


def statement_menu(program, statement):
    check_window(statement, "料金明細", "the statement")
    report(has(statement, pyatspi.STATE_RESIZABLE), "the statement's window can be enlarged", "resizable",
           "fixed size")
    box = tab_to(program, lambda o: role(o) == "text", 6)
    if not report(box is not None and name(box) == "料金明細", "Tab reaches the statement box, named 料金明細",
                  "text 「料金明細」", show(program.focused())):
        return

    def menu():
        return next((m for m in reversed(menus) if has(m, pyatspi.STATE_SHOWING)), None)

    press("shift+F10")
    shown = until(menu, 2.0)
    if not report(shown is not None, "Shift+F10 opens the statement box's menu", "a menu", show(program.active())):
        press("Menu")
        shown = until(menu, 2.0)
    items = [name(i) for i in kids(shown) if role(i) == "menu item"]
    report("印刷…" in items and "PDFに保存…" in items, "the menu offers 印刷… and PDFに保存…", ["印刷…", "PDFに保存…"], items)
    if shown is not None:
        press("Escape")
        report(until(lambda: menu() is None, 1.5), "Escape closes the menu", "no menu", show(menu()))
        check_focus(program, "the focus is back in the statement box", named("料金明細", "text"), "text 「料金明細」")


def journey():
    order = os.path.join(FOLDER, "注文.SAV")
    with open(order, "wb") as f:  # the saved-order format: Shift-JIS, CR LF
        f.write("".join(f"{line}\r\n" for line in ["割引券:0"] + [f"011,0000,156,0,{t}" for t in TITLES])
                .encode("cp932"))
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    program = Program(order)
    try:
        if not report(until(program.connect, 10.0), "the program appears on the accessibility bus"):
            return
        main = main_screen_at_start(program)
        if main is None:
            return
        first = figures(main, MAIN_CAPTIONS, "main screen")
        listing = open_comics_list(program, main)
        if listing is None:
            return
        figures(listing, ["小合計"], "title list")
        chosen = move_over_titles(program, listing)
        entry = open_title(program, listing, chosen)
        if entry is None:
            return
        total_before = figures(entry, ["合計金額"])["合計金額"]
        choose_course_and_option(program, entry)
        set_resolution(program, entry)
        total_after = figures(entry, ["合計金額"], "title screen at 200 dpi")["合計金額"]
        listing = close_by_window_manager(program, entry, name(listing), "終了")
        if listing is None:
            return
        line = find(listing, lambda o: role(o) == "list item" and chosen and chosen in name(o))
        report(line is not None and yen(name(line).split(chosen)[0]) == total_after,
               "the list keeps the title with its new total", f"… {total_after} … {chosen}", show(line))
        main = close_by_window_manager(program, listing, MAIN, "総合画面に戻る")
        if main is None:
            return
        again = figures(main, MAIN_CAPTIONS, "main screen again")
        if None not in (first["作業代の合計"], again["作業代の合計"], total_before, total_after):
            report(again["作業代の合計"] - first["作業代の合計"] == total_after - total_before,
                   "the main screen's work fee follows the title's change", total_after - total_before,
                   again["作業代の合計"] - first["作業代の合計"])
        register_coupon(program, main)
        statement = write_application_data(program, chosen)
        if report(statement is not None, "the statement screen is the active window", "料金明細",
                  show(program.active())):
            statement_menu(program, statement)
            close_by_window_manager(program, statement, MAIN, "終了")
    finally:
        program.end()


def main():
    def stuck(*_):  # a step the budget did not stop: the test must end, never hang
        print(f"FAIL the journey was still running after {BUDGET + 30:.0f} s", flush=True)
        os._exit(1)

    signal.signal(signal.SIGALRM, stuck)
    signal.alarm(int(BUDGET + 30))
    try:
        journey()
    except Exception as error:  # noqa: BLE001 - a broken step is one failure, with its reason
        report(False, f"the journey stopped: {type(error).__name__}: {error}")
    elapsed = time.monotonic() - STARTED
    report(elapsed <= BUDGET, "the journey ends within its time", f"at most {BUDGET:.0f} s", f"{elapsed:.1f} s")
    if failures:
        with open(os.path.join(FOLDER, "kalvoro.log"), "rb") as log:
            said = log.read().decode("utf-8", "replace").strip()
        print(f"{failures} check(s) failed" + (f"; the program wrote:\n{said}" if said else ""), flush=True)
    else:
        print("every check passed", flush=True)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
