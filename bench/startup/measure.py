#!/usr/bin/env python3
"""Start-up benchmark: time from process start to the main window's first paint, and peak
memory, of kalvoro against a minimal Qt Widgets program with one label, measured the same way in
the same run (offscreen, and under Xvfb when it is installed). Several runs each; medians and the
ratio. Target: kalvoro at most 1.5 times the minimal program in both.

    bench/startup/measure.py [BUILD_DIR] [--runs N]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def measure(cmd, env, runs):
    times, peaks = [], []
    for _ in range(runs):
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{cmd[0]} ended with status {os.waitstatus_to_exitcode(status)}")
        times.append(elapsed * 1000)
        peaks.append(usage.ru_maxrss)  # KiB
    return statistics.median(times), statistics.median(peaks)


def report(label, env, build, runs):
    env = dict(env, KALVORO_EXIT_AFTER_FIRST_PAINT="1", KALVORO_TODAY="2026-12-07")
    programs = {
        "kalvoro": [os.path.join(build, "kalvoro")],
        "minimal": [os.path.join(build, "bench", "startup", "kv_minimal_label")],
    }
    # One warm-up run each, so that both start from the same file cache.
    for cmd in programs.values():
        measure(cmd, env, 1)
    results = {name: measure(cmd, env, runs) for name, cmd in programs.items()}
    (kt, km), (mt, mm) = results["kalvoro"], results["minimal"]
    print(f"{label}: {runs} runs each, medians")
    print(f"  first paint  kalvoro {kt:7.1f} ms   minimal {mt:7.1f} ms   ratio {kt / mt:.2f}")
    print(f"  peak memory  kalvoro {km:7d} KiB  minimal {mm:7d} KiB  ratio {km / mm:.2f}")
    ok = kt / mt <= 1.5 and km / mm <= 1.5
    print(f"  target (at most 1.5 x in both): {'met' if ok else 'NOT met'}")
    return ok


def main():
    args = sys.argv[1:]
    runs = 9
    if "--runs" in args:
        i = args.index("--runs")
        runs = int(args[i + 1])
        del args[i : i + 2]
    build = args[0] if args else os.path.join(os.path.dirname(__file__), "..", "..", "build")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    # A home of its own: a recovery file of the user's would stop the start at its question.
    home = tempfile.mkdtemp(prefix="kalvoro-startup-")
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_STATE_HOME=os.path.join(home, "state"))
    ok = report("offscreen", dict(env, QT_QPA_PLATFORM="offscreen"), build, runs)
    if shutil.which("Xvfb"):
        display = ":93"
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(1.0)
            env_x = {k: v for k, v in env.items() if k != "QT_QPA_PLATFORM"}
            ok = report("Xvfb", dict(env_x, DISPLAY=display), build, runs) and ok
        finally:
            xvfb.terminate()
            xvfb.wait()
    else:
        print("Xvfb: not installed, skipped")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
