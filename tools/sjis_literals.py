#!/usr/bin/env python3
"""Copies the source tree with every narrow string literal already in Shift-JIS.

g++ turns the sources' narrow literals into Shift-JIS itself (-fexec-charset=CP932); clang knows
only UTF-8 for them. For a clang build (the fuzzers, tools/fuzz) this writes a copy of the tree
in which each non-ASCII character of a narrow literal is written as the \\x escapes of its
Shift-JIS bytes, converted by glibc's iconv exactly as g++ converts them. Comments, identifiers
and u8/u/U/L literals are left as they are. Files whose copy would not change are not touched,
so a rebuild compiles only what changed.

usage: tools/sjis_literals.py SOURCE_ROOT COPY_ROOT
"""
import os
import re
import shutil
import subprocess
import sys

SOURCE_SUFFIXES = (".cpp", ".h", ".cc", ".hpp")
SKIPPED = {".git", "fuzz/corpus"}
MARKER = ".literals-in-sjis"  # CMakeLists.txt accepts a compiler other than g++ in such a copy
HEX = set("0123456789abcdefABCDEF")


class Unconvertible(Exception):
    pass


def split_literals(text):
    """Yields ("code", s) and ("narrow", body) pieces; a narrow piece is the body of a plain
    "..." literal that holds non-ASCII characters."""
    i, n, start = 0, len(text), 0
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            i = n if j < 0 else j + 2
        elif c == '"':
            prefix = re.search(r"[A-Za-z0-9_]*$", text[max(0, i - 64):i]).group(0)
            if prefix not in ("u8", "u", "U", "L", "R", "u8R", "uR", "UR", "LR"):
                prefix = ""  # a word before the literal, as in return"..."
            if prefix.endswith("R"):
                delimiter = text[i + 1:text.index("(", i)]
                end = text.index(")" + delimiter + '"', i) + len(delimiter) + 2
                if prefix == "R" and not text[i:end].isascii():
                    raise Unconvertible("a raw narrow literal with non-ASCII characters")
                i = end
                continue
            j = i + 1
            while text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            body = text[i + 1:j]
            if prefix == "" and not body.isascii():
                yield "code", text[start:i + 1]
                yield "narrow", body
                start = j
            i = j + 1
        elif c == "'":
            # A digit separator (1'000) is not a character literal.
            if i > 0 and (text[i - 1].isalnum() or text[i - 1] == "_") and \
                    re.search(r"(?<![A-Za-z0-9_])(u8|u|U|L)$", text[max(0, i - 3):i]) is None:
                i += 1
                continue
            j = i + 1
            while text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            if not text[i:j].isascii():
                raise Unconvertible("a character literal with non-ASCII characters")
            i = j + 1
        else:
            i += 1
    yield "code", text[start:]


def runs_of(body):
    """The non-ASCII runs of a literal's body, escapes skipped."""
    return re.findall(r"[^\x00-\x7f]+", body)


def to_sjis(runs):
    """Every run in Shift-JIS, through glibc's iconv as g++ converts."""
    runs = sorted(set(runs))
    if not runs:
        return {}
    done = subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], input="\n".join(runs).encode("utf-8"),
                          capture_output=True, check=False)
    if done.returncode != 0:
        raise Unconvertible("iconv: " + done.stderr.decode(errors="replace").strip())
    converted = done.stdout.split(b"\n")
    if len(converted) != len(runs):
        raise Unconvertible("iconv gave a different number of lines")
    return dict(zip(runs, converted))


def escaped(body, table):
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            out.append(body[i:i + 2])
            i += 2
            continue
        if c.isascii():
            out.append(c)
            i += 1
            continue
        j = i
        while j < len(body) and not body[j].isascii():
            j += 1
        out.append("".join("\\x%02X" % b for b in table[body[i:j]]))
        # A hex digit right after an escape would continue it; the literal is split there.
        if j < len(body) and body[j] in HEX:
            out.append('" "')
        i = j
    return "".join(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    source, copy = (os.path.abspath(p) for p in sys.argv[1:])
    pieces = {}
    mirrored = {os.path.join(copy, MARKER)}
    for folder, folders, files in os.walk(source):
        relative = os.path.relpath(folder, source)
        folders[:] = [f for f in folders
                      if os.path.normpath(os.path.join(relative, f)) not in SKIPPED and not f.startswith("build")
                      and os.path.join(folder, f) != copy]
        for name in files:
            path = os.path.join(folder, name)
            target = os.path.join(copy, relative, name)
            mirrored.add(os.path.normpath(target))
            if name.endswith(SOURCE_SUFFIXES):
                with open(path, encoding="utf-8") as f:
                    text = f.read()
                try:
                    pieces[target] = list(split_literals(text))
                except (Unconvertible, ValueError, IndexError) as e:
                    sys.exit("%s: %s" % (path, e))
            else:
                os.makedirs(os.path.dirname(target), exist_ok=True)
                if not os.path.exists(target) or os.path.getmtime(target) < os.path.getmtime(path):
                    shutil.copy2(path, target)
    try:
        table = to_sjis(run for parts in pieces.values() for kind, body in parts if kind == "narrow"
                        for run in runs_of(body))
    except Unconvertible as e:
        sys.exit(str(e))
    for target, parts in pieces.items():
        text = "".join(body if kind == "code" else escaped(body, table) for kind, body in parts)
        old = None
        if os.path.exists(target):
            with open(target, encoding="utf-8") as f:
                old = f.read()
        if old != text:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "w", encoding="utf-8") as f:
                f.write(text)
    # A file moved or removed in the tree goes from the copy too: the build's globs would still
    # compile it beside its new place.
    for folder, folders, files in os.walk(copy):
        for name in files:
            path = os.path.normpath(os.path.join(folder, name))
            if path not in mirrored:
                os.remove(path)
    open(os.path.join(copy, MARKER), "a").close()


if __name__ == "__main__":
    main()
