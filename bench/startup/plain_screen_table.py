#!/usr/bin/env python3
"""Writes the control table of the start-up yardstick (plain_screen.cpp): kalvoro's main screen
as it stands at its first paint, for a program that builds it directly in Qt Widgets.

    plain_screen_table.py FORM.form KALVORO OUT.h

Where each part comes from:
- The controls, their kinds, geometry, style bits, faces and colours: the form source itself
  (resources/MAINFORM.form), read as tools/formc reads it, with the defaults formc gives every
  form and control (10-point "ＭＳ Ｐゴシック", black on white; the form's 18-pixel FixedSys).
- The texts, which controls are hidden, check states and the combo box's list: kalvoro's own state
  when it first waits for the customer, printed by `kalvoro --script` with `dump MAINFORM`, for an
  empty order on the benchmark's day. These are what the start and the first refresh of the
  figures leave (thirty-odd texts formed by the fee code, twenty-one controls hidden by three
  routines); copied by hand they would be a second fee code to keep in step, while the program's
  own figures cannot drift from what it paints. The dump prints the form's controls in the form's
  order: any other set of names is refused.
- What the start-up sets and the dump does not show (fonts, the combo box's limit and input
  method): START_UP below, copied from 開始_SETSUB and SetFonts (app/screens/main_routine.cpp).
  The pixel test of the yardstick against kalvoro's first paint catches a copy that has drifted.
"""
import os
import re
import subprocess
import sys
import tempfile
import unicodedata

# 開始_SETSUB: SetFonts gives every control a size in pixels (14, the totals 22) and COMBO1 its
# face; the coupon box takes ten characters with the input method closed (mode 2).
START_UP_PIXELS = {"TEXT11": 22, "TEXT12": 22}
START_UP_PIXELS_DEFAULT = 14
START_UP = {"COMBO1": {"face": "ＭＳ ゴシック", "maxlength": 10, "ime": 2}}
TODAY = "2026-12-07"  # the day measure.py and the pixel test start kalvoro on

# The widget each control kind becomes; the main screen uses no other kind.
KINDS = {"label": "Label", "button": "Button", "check": "Check", "edit": "Edit", "combo": "Combo"}
ES_MULTILINE = 0x0004

# The faces of the forms and the IPA faces of the same design that draw them (qt_fonts.cpp).
FACES = {"ＭＳ Ｐゴシック": "IPAPGothic", "ＭＳ ゴシック": "IPAGothic", "ＭＳ 明朝": "IPAMincho",
         "ＭＳ Ｐ明朝": "IPAPMincho", "FixedSys": "IPAGothic"}


class Bad(Exception):
    pass


def face_key(face):
    # Full-width and half-width letters, letter case and blanks do not tell faces apart.
    return unicodedata.normalize("NFKC", face).lower().replace(" ", "")


def family(face):
    return {face_key(k): v for k, v in FACES.items()}.get(face_key(face), face)


def tokens(line, where):
    """Words and quoted texts ("\\"" and "\\\\" escaped) up to a // comment, as formc splits them."""
    out, i = [], 0
    while i < len(line):
        if line[i] in " \t":
            i += 1
        elif line.startswith("//", i):
            break
        elif line[i] == '"':
            text, i = "", i + 1
            while True:
                if i >= len(line):
                    raise Bad(f"{where}: text without its closing quote")
                if line[i] == '"':
                    break
                if line[i] == "\\":
                    i += 1
                text += line[i]
                i += 1
            out.append(("text", text))
            i += 1
        else:
            m = re.compile(r'[^ \t"]+').match(line, i)
            out.append(("word", m.group()))
            i = m.end()
    return out


def read_form(path):
    form, controls, current = None, [], None
    with open(path, encoding="utf-8-sig") as f:
        for number, line in enumerate(f, 1):
            where = f"{path}:{number}"
            words = tokens(line.rstrip("\r\n"), where)
            if not words:
                continue
            key, args = words[0][1], [v for _, v in words[1:]]
            if key == "form":
                form = current = {"name": args[0], "text": args[0], "placement": 0, "x": 0, "y": 0,
                                  "font": (18, "FixedSys")}
            elif key == "control":
                if args[1] not in KINDS:
                    raise Bad(f"{where}: the yardstick has no widget for a control of kind {args[1]}")
                current = {"name": args[0], "kind": args[1], "text": "", "font": (10, "ＭＳ Ｐゴシック"),
                           "textcolour": 0x000000, "backcolour": 0xFFFFFF, "maxlength": 0, "ime": 0,
                           "where": where}
                controls.append(current)
            elif current is None:
                raise Bad(f"{where}: the first line must be \"form NAME\"")
            elif key in ("at", "size"):
                current.update(zip(("x", "y") if key == "at" else ("width", "height"), map(int, args)))
            elif key in ("style", "placement", "maxlength", "ime"):
                current[key] = int(args[0], 0)
            elif key == "text":
                current["text"] = args[0]
            elif key == "font":
                current["font"] = (int(args[0]), args[1] if len(args) > 1 else current["font"][1])
            elif key in ("textcolour", "backcolour"):
                current[key] = int(args[0].lstrip("#"), 16)
            # routine, item, state, events: behaviour, or replaced by the start (items, state)
    if form is None:
        raise Bad(f"{path}: no form")
    for c in controls:
        if c["kind"] == "edit" and c["style"] & ES_MULTILINE:
            raise Bad(f"{c['where']}: the yardstick has no widget for a multi-line edit box")
    return form, controls


def unescape(text):
    """The dump's texts with its escapes undone: backslash, quote, CR, LF and two hex digits."""
    def one(m):
        e = m.group(1)
        return {"r": "\r", "n": "\n"}.get(e) or (chr(int(e[1:], 16)) if e[0] == "x" else e)
    return re.sub(r"\\(x[0-9A-F]{2}|.)", one, text)


QUOTED = r'"((?:[^"\\]|\\.)*)"'


def read_dump(kalvoro, form_name):
    with tempfile.TemporaryDirectory(prefix="kv-plain-screen-") as home:
        script = os.path.join(home, "dump.kvs")
        with open(script, "w", encoding="utf-8") as f:
            f.write(f"dump {form_name}\n")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
                   XDG_STATE_HOME=os.path.join(home, "state"), KALVORO_TODAY=TODAY)
        run = subprocess.run([os.path.abspath(kalvoro), "--script", script], env=env, cwd=home, capture_output=True,
                             text=True, encoding="utf-8")
    if run.returncode != 0:
        raise Bad(f"{kalvoro} --script (dump {form_name}) ended with status {run.returncode}: {run.stderr.strip()}")
    lines = run.stdout.splitlines()
    head = re.fullmatch(r"form (\S+) visible=([01]) text=" + QUOTED, lines[0] if lines else "")
    if not head:
        raise Bad(f"{kalvoro} --script: the dump does not start with the form: {lines[:1]}")
    state = {"": {"visible": head.group(2) == "1", "text": unescape(head.group(3))}}
    for line in lines[1:]:
        m = re.match(r"(\S+) kind=\S+ visible=([01]) enabled=([01]) text=" + QUOTED + r"(.*)$", line)
        if not m:
            raise Bad(f"{kalvoro} --script: a line of the dump that is no control: {line}")
        rest = m.group(5)
        check = re.search(r"\bcheck=(\d)", rest)
        items = re.search(r"items=\[(.*)\]", rest)
        state[m.group(1)] = {"visible": m.group(2) == "1", "enabled": m.group(3) == "1",
                             "text": unescape(m.group(4)), "check": int(check.group(1)) if check else 0,
                             "items": [unescape(i) for i in re.findall(QUOTED, items.group(1))] if items else []}
    return state, [n for n in state if n]


def cpp(text):
    """A UTF-8 literal; control characters as octal escapes, which end after three digits."""
    escaped = {'"': '\\"', "\\": "\\\\"}
    return 'u8"' + "".join(escaped.get(c, c) if ord(c) >= 0x20 else f"\\{ord(c):03o}" for c in text) + '"'


def write_table(form, controls, state, out):
    rows = []
    for c in controls:
        s = state[c["name"]]
        extra = START_UP.get(c["name"], {})
        text = s["text"].replace("\r\n", "\n") if c["kind"] == "label" else s["text"]
        pixels = START_UP_PIXELS.get(c["name"], START_UP_PIXELS_DEFAULT)
        items = ", ".join(cpp(i) for i in s["items"])
        rows.append(
            f"    {{\"{c['name']}\", Kind::{KINDS[c['kind']]}, {c['x']}, {c['y']}, {c['width']}, {c['height']}, "
            f"0x{c['style']:08x}, {cpp(text)}, {cpp(family(extra.get('face', c['font'][1])))}, {pixels}, "
            f"0x{c['textcolour']:06x}, 0x{c['backcolour']:06x}, {str(s['visible']).lower()}, "
            f"{str(s['enabled']).lower()}, {s['check']}, {extra.get('maxlength', c['maxlength'])}, "
            f"{extra.get('ime', c['ime'])}, {{{items}}}}},")
    form_state = state[""]
    body = f"""// Made by bench/startup/plain_screen_table.py from resources/MAINFORM.form and the state
// kalvoro leaves at its first paint; not to be edited.
#pragma once
#include <initializer_list>

namespace plain {{

enum class Kind {{ Label, Button, Check, Edit, Combo }};

// One control as the first paint shows it: geometry in pixels of the form's client area, the
// original window style bits, its final text and font (a Qt family and a size in pixels),
// colours as 0xRRGGBB, and what the start set (limit in characters, input-method mode 2 =
// closed, check state).
struct Control {{
    const char* name;
    Kind kind;
    int x, y, width, height;
    unsigned style;
    const char8_t* text;
    const char8_t* family;
    int pixels;
    int textColour, backColour;
    bool visible, enabled;
    int check, maxLength, ime;
    std::initializer_list<const char8_t*> items;
}};

struct Form {{
    const char8_t* title;
    int placement, x, y, width, height;
    unsigned style;
    const char8_t* family;
    int pixels;
}};

inline constexpr Form kForm{{{cpp(form_state['text'])}, {form['placement']}, {form['x']}, {form['y']}, \
{form['width']}, {form['height']}, 0x{form['style']:08x}, {cpp(family(form['font'][1]))}, {form['font'][0]}}};

inline const Control kControls[] = {{
{chr(10).join(rows)}
}};

}}  // namespace plain
"""
    # Written only when it changes: kalvoro is rebuilt far more often than its first screen.
    if os.path.exists(out):
        with open(out, encoding="utf-8") as f:
            if f.read() == body:
                return
    with open(out, "w", encoding="utf-8") as f:
        f.write(body)


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: plain_screen_table.py FORM.form KALVORO OUT.h")
    form_path, kalvoro, out = sys.argv[1:]
    try:
        form, controls = read_form(form_path)
        state, dumped = read_dump(kalvoro, form["name"])
        names = [c["name"] for c in controls]
        if dumped != names:
            i = next((i for i, (a, b) in enumerate(zip(names, dumped)) if a != b), min(len(names), len(dumped)))
            raise Bad(f"{form_path}: control {i + 1} is {names[i] if i < len(names) else 'missing'}, but "
                      f"kalvoro shows {dumped[i] if i < len(dumped) else 'none'} there")
        write_table(form, controls, state, out)
    except KeyError as e:
        sys.exit(f"plain_screen_table.py: {form_path}: a window without {e}")
    except (Bad, OSError, ValueError, IndexError) as e:
        sys.exit(f"plain_screen_table.py: {e}")


if __name__ == "__main__":
    main()
