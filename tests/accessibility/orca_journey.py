#!/usr/bin/python3
"""A customer's order heard through the Orca screen reader, keyboard only.

    orca_journey.py KALVORO

Started by run_journey.sh on a desktop of its own, like journey.py, whose helpers it shares.
Starts Orca there, its speech sent to a speech server whose only voice is the silent one, and
reads what Orca said from the speech lines of its debug log. Presses keys on whatever has the
focus and checks, after each, what was spoken: the current line of a title list and Enter
opening it, the title's total after a course is chosen, the resolution slider's role and text,
button names without layout blanks, the grand total after a coupon and no coupon number spoken
into the empty box, the statement read line by line and the change to the fee summary heard.
Prints one "ok" or "FAIL" line a check and exits 1 when any failed, or when Orca said nothing.
"""
import os
import re
import signal
import subprocess
import sys
import time

import journey as j
from journey import Program, find, has, kids, name, named, press, report, role, show, tab_to, until

import pyatspi

FOLDER = os.getcwd()
LOG = os.path.join(FOLDER, "orca-debug.out")
j.BUDGET = 120.0  # Orca speaks after the program, and every step waits for its words
# The words between quotes, then the voice, if any, and its settings.
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\S+)?\s*(?:\{.*\})?\s*$")
SAID = []  # what Orca said in the whole journey, for the report of a failure


class Orca:
    """Orca on the session's accessibility bus with preferences and speech of its own."""

    def __init__(self):
        prefs = os.path.join(FOLDER, "orca-prefs")
        os.makedirs(prefs, exist_ok=True)
        # The speech server Orca starts in the private session speaks through its silent module
        # into libao's null device: the words reach the server, no sound device is opened.
        speechd = os.path.join(os.environ["XDG_CONFIG_HOME"], "speech-dispatcher")
        os.makedirs(speechd, exist_ok=True)
        with open(os.path.join(speechd, "speechd.conf"), "w") as f:
            f.write('AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\nAudioOutputMethod "libao"\nTimeout 60\n')
        with open(os.path.join(os.environ["HOME"], ".libao"), "w") as f:
            f.write("default_driver=null\n")
        # Without braille: with no braille display Orca would wait for one, seconds at a time.
        # Orca's own words in English, whatever the desktop's language; the program's are its own.
        env = dict(os.environ, LC_ALL="C.UTF-8", LANGUAGE="C", LC_MESSAGES="C.UTF-8")
        self.out = open(os.path.join(FOLDER, "orca.out"), "wb")
        # Orca itself, with its debug log written line by line (Orca writes it through a block
        # buffer, which would hold back what it said until kilobytes more had come).
        start = ("import builtins, sys\n"
                 "plain = builtins.open\n"
                 "def opened(path, mode='r', *args, **kwargs):\n"
                 "    if path == sys.argv[-1] and 'w' in mode and not args and 'buffering' not in kwargs:\n"
                 "        kwargs['buffering'] = 1\n"
                 "    return plain(path, mode, *args, **kwargs)\n"
                 "builtins.open = opened\n"
                 "sys.argv[0] = 'orca'\n"
                 "exec(compile(plain('/usr/bin/orca').read(), '/usr/bin/orca', 'exec'))\n")
        orca = ["orca", "-u", prefs, "-e", "speech", "-d", "braille,braille-monitor", "--debug-file", LOG]
        self.proc = subprocess.Popen(["/usr/bin/python3", "-c", start] + orca[1:], env=env, stdout=self.out,
                                     stderr=subprocess.STDOUT, start_new_session=True)
        self.heard = 0

    def log(self):
        try:
            with open(LOG, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def ready(self):
        # Its first words, once it listens to the bus.
        return "Screen reader on." in self.said()

    def said(self):
        """Everything spoken so far, one utterance a line, Orca's voice settings cut off."""
        lines = []
        for line in self.log().splitlines():
            m = SPEECH.search(line)
            if m:
                lines.append(m.group(1))
        return lines

    def mark(self):
        """From now on: what is said after this point."""
        self.heard = len(self.said())

    def since(self):
        return self.said()[self.heard:]

    def hears(self, wanted, timeout=8.0):
        """The utterances since the mark once one satisfies wanted (or the timeout ends)."""
        got = until(lambda: (lambda s: s if any(wanted(u) for u in s) else None)(self.since()), timeout)
        return got or self.since()

    def end(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(3)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait()


def bare(text):
    """Text as compared with speech: no blanks of either width, no full stop Orca added."""
    return re.sub(r"[ \u3000\t]", "", text).rstrip(".")


def step(orca, what, keys, wanted, expected, timeout=8.0):
    orca.mark()
    press(*keys)
    heard = orca.hears(wanted, timeout)
    report(any(wanted(u) for u in heard), what, expected, heard)
    return heard


def the_list(orca, program):
    if not report(tab_to(program, named("コミックの申込資料作成", "push button")), "Tab reaches the comics button",
                  "push button", show(program.focused())):
        return None
    orca.mark()
    press("Return")
    listing = until(lambda: (lambda a: a if a is not None and not name(a).startswith(j.MAIN) else None)(
        program.active()), 4.0)
    if not report(listing is not None, "Enter on the comics button opens the title list", "a list window",
                  show(program.active())):
        return None
    lst = find(listing, lambda o: role(o) == "list")
    lines = [name(o) for o in kids(lst) if role(o) == "list item"]
    first = lines[0] if lines else "?"
    heard = orca.hears(lambda u: bare(first) in bare(u))
    report(any(bare(first) in bare(u) for u in heard), "the list's current line is spoken when it gets the focus",
           first, heard)
    report(name(lst) != name(listing), "the list is not named with its window's title", "another name",
           name(lst))
    return listing, first


def the_title(orca, program, listing, first):
    orca.mark()
    press("Return")
    entry = until(lambda: (lambda a: a if a is not None and a != listing and name(a) != name(listing) else None)(
        program.active()), 4.0)
    if not report(entry is not None, "Enter with no line selected opens the current line", "the title screen",
                  show(program.active())):
        return None
    box = find(entry, named("タイトル", "text"))
    report(j.text_of(box) in first, "it is the title of the current line", first, j.text_of(box))

    if not report(tab_to(program, named(j.FULL_COURSE)), "Tab reaches 解体・データ化再製本", j.FULL_COURSE,
                  show(program.focused())):
        return entry
    def total():
        return name(find(entry, lambda o: role(o) == "label" and name(o).startswith("合計金額")))

    before = total()
    orca.mark()
    press("space")
    spoken = until(lambda: (lambda t: t if t != before else None)(total()), 3.0) or ""
    heard = orca.hears(lambda u: bare(spoken) in bare(u) and spoken)
    report(spoken and any(bare(spoken) in bare(u) for u in heard),
           "choosing the course speaks the title's new 合計金額 with its figure", spoken, heard)

    bar = tab_to(program, lambda o: role(o) in ("slider", "scroll bar"))
    report(role(bar) == "slider", "the resolution control is a slider", "slider", show(bar))
    before = name(bar)
    orca.mark()
    press("Right")
    moved = until(lambda: (lambda n: n if n != before else None)(name(bar)), 2.0) or ""
    heard = orca.hears(lambda u: moved and moved in u)
    report(re.match(r"\d+ dpi \(A[45]なら約", moved) and any(moved in u for u in heard),
           "a move of the slider speaks the new text beside it", moved, heard)
    report(any(re.search(r"\d+ dpi", u) for u in orca.said() if "slider" in u),
           "the slider was announced as a slider with its text", "… slider …", None)

    button = tab_to(program, lambda o: role(o) == "push button" and bare(name(o)) == "終了")
    report(button is not None and name(button) == "終了", "the 終了 button is named without blanks", "終了",
           show(button))
    orca.mark()
    press("Escape")
    back = until(lambda: (lambda a: a if a is not None and name(a) == name(listing) else None)(program.active()), 4.0)
    report(back is not None, "Escape on the title screen goes back to the list as its close does", name(listing),
           show(program.active()))
    orca.mark()
    press("Escape")
    main = j.becomes_active(program, j.MAIN, 4.0)
    report(main is not None, "Escape on the list goes back to the main screen", j.MAIN, show(program.active()))
    if main is not None:
        total = name(find(main, lambda o: role(o) == "label" and name(o).startswith("総合計金額")))
        heard = orca.hears(lambda u: bare(total) in bare(u))
        report(any(bare(total) in bare(u) for u in heard),
               "back on the main screen, the grand total the course changed is spoken", total, heard)
    return main


def the_coupon(orca, program, main):
    field = tab_to(program, lambda o: role(o) == "text" and role(j.parent(o)) == "combo box")
    if not report(field is not None, "Tab reaches the coupon box", "text 「割引券番号」", show(program.focused())):
        return
    j.type_digits(j.COUPON)
    until(lambda: j.text_of(field) == j.COUPON, 2.0)
    orca.mark()
    press("Return")
    # Spoken once the grand total of the return to the main screen has been said, if it still is.
    heard = orca.hears(lambda u: "割引券の合計額" in u and "総合計金額" in u, 8.0)
    discount = find(main, lambda o: role(o) == "label" and name(o).startswith("割引券の合計額"))
    total = find(main, lambda o: role(o) == "label" and name(o).startswith("総合計金額"))
    report(any(bare(name(discount)) in bare(u) and bare(name(total)) in bare(u) for u in heard),
           "registering a coupon speaks 割引券の合計額 and 総合計金額 with their figures",
           f"{name(discount)}、{name(total)}", heard)
    report(j.text_of(field) == "", "the box is empty again", "", j.text_of(field))
    time.sleep(0.5)  # what Orca says of the emptied box comes after the figures
    report(not any(j.COUPON in u for u in orca.since()), "no coupon number is spoken into the empty box",
           "no " + j.COUPON, orca.since())


def the_statement(orca, program):
    if not report(tab_to(program, named("申込用データ出力", "push button")), "Tab reaches 申込用データ出力",
                  "push button", show(program.focused())):
        return
    press("space")
    for what in ("the mail attachment", "the save dialog", "the work-fee statement"):
        before = program.active()
        until(lambda: program.active() is not None and program.active() != before and
              not name(program.active()).startswith(j.MAIN), 3.0)
        report(program.active() is not None, f"{what} is the active window", "a window", show(program.active()))
        press("Return")
        until(lambda: program.active() != before, 3.0)
    statement = j.becomes_active(program, "料金明細", 5.0)
    if not report(statement is not None, "the statement is the active window", "料金明細", show(program.active())):
        return
    box = tab_to(program, named("料金明細", "text"), 6)
    if not report(box is not None, "Tab reaches the statement box", "text 「料金明細」", show(program.focused())):
        return
    lines = j.text_of(box).replace("\r", "").split("\n")
    press("ctrl+Home")
    for row in (1, 2, 3):
        wanted = bare(lines[row]) if row < len(lines) else ""
        step(orca, f"Down #{row} in the statement speaks its line {row + 1}", ["Down"],
             lambda u: (bare(u) == wanted) if wanted else ("blank" in u.lower()), wanted or "blank")
    report(has(box, pyatspi.STATE_FOCUSED) and "\n" in j.text_of(box), "the statement stays a read-only text",
           "focused, unchanged", show(program.focused()))
    end = tab_to(program, lambda o: role(o) == "push button" and name(o) == "終了", 6)
    if not report(end is not None, "Tab reaches the statement's 終了", "push button 「終了」", show(program.focused())):
        return
    before = j.text_of(box)
    orca.mark()
    press("space")
    after = until(lambda: (lambda t: t if t and t != before else None)(j.text_of(box)), 3.0) or ""
    first = next((bare(t) for t in after.replace("\r", "").split("\n") if bare(t)), "?")
    heard = orca.hears(lambda u: first in bare(u))
    report(any(first in bare(u) for u in heard), "the switch to the fee summary is heard by its first line",
           first, heard)
    press("Escape")
    report(j.becomes_active(program, j.MAIN, 4.0) is not None, "Escape on the statement goes back to the main screen",
           j.MAIN, show(program.active()))


def journey():
    order = os.path.join(FOLDER, "注文.SAV")
    with open(order, "wb") as f:
        f.write("".join(f"{line}\r\n" for line in ["割引券:0"] + [f"011,0000,156,0,{t}" for t in j.TITLES])
                .encode("cp932"))
    orca = Orca()
    program = None
    try:
        if not report(until(orca.ready, 30.0), "Orca starts on the session's accessibility bus", "ready",
                      orca.log()[-400:]):
            return
        program = Program(order)
        if not report(until(program.connect, 10.0), "the program appears on the accessibility bus"):
            return
        main = j.becomes_active(program, j.MAIN, 8.0)
        heard = orca.hears(lambda u: "割引券番号" in u, 8.0)
        if not report(any("割引券番号" in u for u in heard), "Orca speaks the main screen's focus, the coupon box",
                      "割引券番号", heard):
            return  # Orca says nothing: every later check would only repeat it
        report(not any("割引券番号 割引券番号" in u or u.count("割引券番号") > 1 for u in heard),
               "the coupon box's name is spoken once, not again as its contents", "割引券番号 once", heard)
        got = the_list(orca, program)
        if got is None:
            return
        main = the_title(orca, program, *got)
        if main is None:
            return
        the_coupon(orca, program, main)
        the_statement(orca, program)
        report(not any("終　" in u or re.search(r"終\s+了", u) for u in orca.said()),
               "no name is spoken with the layout's blanks", "終了", [u for u in orca.said() if "終" in u])
    finally:
        SAID.extend(orca.said())
        if os.environ.get("ORCA_JOURNEY_LOG"):  # a developer's copy of Orca's whole log
            with open(os.environ["ORCA_JOURNEY_LOG"], "w") as copy:
                copy.write(orca.log())
        if program is not None:
            program.end()
        orca.end()


def main():
    def stuck(*_):
        print(f"FAIL the journey was still running after {j.BUDGET + 30:.0f} s", flush=True)
        os._exit(1)

    signal.signal(signal.SIGALRM, stuck)
    signal.alarm(int(j.BUDGET + 30))
    try:
        journey()
    except Exception as error:  # noqa: BLE001 - a broken step is one failure, with its reason
        report(False, f"the journey stopped: {type(error).__name__}: {error}")
    elapsed = time.monotonic() - j.STARTED
    report(elapsed <= j.BUDGET, "the journey ends within its time", f"at most {j.BUDGET:.0f} s", f"{elapsed:.1f} s")
    if j.failures:
        print(f"{j.failures} check(s) failed; what Orca said, last first:", flush=True)
        for line in reversed(SAID[-80:]):
            print(f"  said: {line}", flush=True)
        try:
            with open(os.path.join(FOLDER, "orca.out"), "rb") as out:
                wrote = out.read().decode("utf-8", "replace").strip()
        except FileNotFoundError:
            wrote = ""
        if wrote:
            print(f"Orca wrote:\n{wrote[-2000:]}", flush=True)
        with open(os.path.join(FOLDER, "kalvoro.log"), "rb") as log:
            said = log.read().decode("utf-8", "replace").strip()
        if said:
            print(f"the program wrote:\n{said[-2000:]}", flush=True)
    else:
        print("every check passed", flush=True)
    sys.exit(1 if j.failures else 0)


if __name__ == "__main__":
    main()
