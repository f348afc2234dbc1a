#!/usr/bin/env python3
"""Writes the functions kalvoro runs from its start to the first paint of the main window, one
mangled name a line, for the linker to place side by side (--symbol-ordering-file). The start
then touches a few contiguous pages of the program's code instead of a page here and there all
over it, and the kernel, which maps a file's pages in blocks of 64 KiB around each fault, keeps
far less of the program in memory. The plain start's functions come first; after them those
that only choosing the display adds (a start with no platform named), then those that only an
order named on the command line adds (a file manager's double-click), so that neither spreads
the plain start over more blocks.

    tools/startup_order.py BUILD/kalvoro resources/startup.order [ORDER.SAV]

ORDER.SAV defaults to tests/scripts/files/十八冊.SAV.

Run it again after larger changes to the start: a name that no longer exists is ignored and a
new function only lands among the others, so a stale list costs memory, never correctness.
Needs valgrind (callgrind counts the instructions, the same in every run).
"""
import bisect
import os
import re
import socket
import subprocess
import sys
import tempfile
import threading


C_RUNTIME_START = ("frame_dummy", "register_tm_clones")


def executed_addresses(program, work, platform, *args):
    out = os.path.join(work, "callgrind.out")
    env = dict(os.environ, QT_QPA_PLATFORM=platform, KALVORO_EXIT_AFTER_FIRST_PAINT="1",
               KALVORO_TODAY="2026-12-07", HOME=work, XDG_STATE_HOME=os.path.join(work, "state"),
               XDG_CONFIG_HOME=os.path.join(work, "config"))
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    listener = None
    if not platform:
        # The display is probed as under a desktop: an X display that does not answer and a
        # Wayland one that takes the connection, whose platform plugin is then looked for. The
        # connection is closed at once, and the run ends there, with or without the plugin.
        env.pop("QT_QPA_PLATFORM")
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        listener.bind(os.path.join(work, "wayland-0"))
        listener.listen(4)

        def hang_up():
            while True:
                try:
                    listener.accept()[0].close()
                except OSError:
                    return
        threading.Thread(target=hang_up, daemon=True).start()
        env.update(DISPLAY=":4093", WAYLAND_DISPLAY=os.path.join(work, "wayland-0"))
    subprocess.run(["valgrind", "--tool=callgrind", "--dump-instr=yes", "--callgrind-out-file=" + out, program, *args],
                   env=env, check=bool(platform), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if listener:
        listener.shutdown(socket.SHUT_RDWR)
        listener.close()
    target = os.path.realpath(program)
    objects, functions, current, function = {}, {}, None, None
    addresses, in_main = [], []
    for line in open(out, encoding="utf-8", errors="replace"):
        # A name is given once, where its number first appears, which may be as a callee's
        # ("cob=", "cfn="); a line without "c" also makes it the current object or function.
        m = re.match(r"^(c?)(ob|fn)=\((\d+)\)(?: (.*))?", line)
        if m:
            names = objects if m.group(2) == "ob" else functions
            if m.group(4):
                names[m.group(3)] = m.group(4).strip()
            if not m.group(1):
                if m.group(2) == "ob":
                    current = names.get(m.group(3))
                else:
                    function = names.get(m.group(3))
            continue
        if current and os.path.realpath(current) == target:
            m = re.match(r"^(0x[0-9a-fA-F]+)", line)
            if m:
                addresses.append(int(m.group(1), 16))
                if function == "main":
                    in_main.append(int(m.group(1), 16))
    return addresses, min(in_main)


def function_symbols(program):
    listing = subprocess.run(["nm", "--defined-only", "-S", program], check=True, capture_output=True,
                             text=True).stdout
    symbols = []
    for line in listing.splitlines():
        parts = line.split()
        if len(parts) == 4 and parts[2] in "tTwW":
            symbols.append((int(parts[0], 16), int(parts[1], 16), parts[3]))
    symbols.sort()
    return symbols


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    program, order = sys.argv[1], sys.argv[2]
    sample = sys.argv[3] if len(sys.argv) == 4 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "scripts", "files", "十八冊.SAV")
    symbols = function_symbols(program)
    starts = [s[0] for s in symbols]
    main_at = next(s[0] for s in symbols if s[2] == "main")
    used, groups = set(), []
    for platform, args in (("offscreen", ()), ("", ()), ("offscreen", (sample,))):
        with tempfile.TemporaryDirectory(prefix="kalvoro-order-") as work:
            addresses, main_runs_at = executed_addresses(program, work, platform, *args)
        # valgrind loads a position-independent program where it likes, whole pages away.
        shift_at = (main_runs_at - main_at) // 4096 * 4096
        run = set()
        for a in addresses:
            i = bisect.bisect_right(starts, a - shift_at) - 1
            if i >= 0 and a - shift_at < symbols[i][0] + symbols[i][1]:
                run.add(i)
        groups.append(sorted(run - used))
        used |= run
    # The C runtime's own start (frame_dummy, from the init array, before any static
    # constructor) does not show in callgrind's listing, nor in nm's with a size, yet it runs
    # at every start.
    names = list(C_RUNTIME_START) + [symbols[i][2] for group in groups for i in group]
    with open(order, "w") as f:
        f.write("\n".join(names) + "\n")
    sizes = ", ".join(str(sum(symbols[i][1] for i in group)) for group in groups)
    print(f"{order}: {len(names)} functions, {sum(symbols[i][1] for i in used)} bytes of code "
          f"(the plain start, the display's choice, an order named: {sizes})")


if __name__ == "__main__":
    main()
