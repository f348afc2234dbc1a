#!/usr/bin/env python3
"""Start-up benchmark: time from process start to the main window's first paint, the processor
time spent until then, and peak memory, of kalvoro against the same main screen written directly
in Qt Widgets (kv_plain_screen, the yardstick: the same controls, texts, fonts, colours and
hidden controls, pixel for pixel) and against a minimal Qt Widgets program with one label,
measured the same way in the same run (offscreen, and under Xvfb when it is installed).
The three programs take turns, run by run in rotating order, so that a machine whose speed
drifts slows all alike; each round's ratios compare runs made side by side, and the median of
those ratios is judged. A guard: the start is settled at about 1.05 times the yardstick's processor
time and 1.02 times its peak memory, and the script fails (exit status 1) when kalvoro, which
plays its forms, passes CPU_LIMIT times the yardstick's processor time or MEMORY_LIMIT times its
peak memory. Processor time is the figure judged: the time to the first paint moves with the
machine's other work.

A second figure, shown but not judged: the processor time an order named on the command line
adds to the start, beside "ロード" of the same file once the screen is on show (kv_load_bench).

    bench/startup/measure.py [BUILD_DIR] [--runs N]      (N rounds, 51 unless given)
"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

CPU_LIMIT = 1.06
MEMORY_LIMIT = 1.03
FIGURES = ("first paint", "processor time", "peak memory")
UNITS = ("ms", "ms", "KiB")


def run_once(cmd, env):
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{cmd[0]} ended with status {os.waitstatus_to_exitcode(status)}")
    return elapsed * 1000, (usage.ru_utime + usage.ru_stime) * 1000, usage.ru_maxrss  # ms, ms, KiB


def report(label, env, build, runs):
    env = dict(env, KALVORO_EXIT_AFTER_FIRST_PAINT="1", KALVORO_TODAY="2026-12-07")
    startup = os.path.join(build, "bench", "startup")
    programs = {
        "kalvoro": [os.path.join(build, "kalvoro")],
        "yardstick": [os.path.join(startup, "kv_plain_screen")],
        "minimal": [os.path.join(startup, "kv_minimal_label")],
    }
    names = list(programs)
    # One warm-up run each, so that all start from the same file cache.
    for cmd in programs.values():
        run_once(cmd, env)
    samples = {name: [] for name in programs}
    for i in range(runs):
        for name in names[i % 3:] + names[: i % 3]:
            samples[name].append(run_once(programs[name], env))

    def ratio(a, b, k):
        return statistics.median(x[k] / y[k] for x, y in zip(samples[a], samples[b]))

    pairs = (("kalvoro", "yardstick"), ("yardstick", "minimal"), ("kalvoro", "minimal"))
    print(f"{label}: {runs} rounds, the three programs side by side in rotating order; medians, and the "
          f"medians of the rounds' ratios")
    print(f"  {'':15}{'kalvoro':>12}{'yardstick':>12}{'minimal':>12}" + "".join(f"{a + '/' + b:>20}" for a, b in pairs))
    for k, (figure, unit) in enumerate(zip(FIGURES, UNITS)):
        med = [statistics.median(s[k] for s in samples[name]) for name in names]
        print(f"  {figure:15}" + "".join(f"{m:>8.{0 if unit == 'KiB' else 1}f} {unit:3}" for m in med) +
              "".join(f"{ratio(a, b, k):>20.3f}" for a, b in pairs))
    cpu, memory = ratio("kalvoro", "yardstick", 1), ratio("kalvoro", "yardstick", 2)
    ok = cpu <= CPU_LIMIT and memory <= MEMORY_LIMIT
    print(f"  guard, kalvoro against the yardstick: at most {CPU_LIMIT} x in processor time ({cpu:.3f}), "
          f"{MEMORY_LIMIT} x in peak memory ({memory:.3f}): {'holds' if ok else 'FAILS'}")
    return ok


def open_report(label, env, build, runs, order):
    """Naming an order on the command line against "ロード" of it after the first paint: the
    extra processor time of `kalvoro ORDER` over `kalvoro`, run side by side, beside what
    kv_load_bench measures for the load once the screen is on show."""
    bench_env = dict(env)
    env = dict(env, KALVORO_EXIT_AFTER_FIRST_PAINT="1", KALVORO_TODAY="2026-12-07")
    kalvoro = os.path.join(build, "kalvoro")
    programs = {"empty": [kalvoro], "order": [kalvoro, order]}
    for cmd in programs.values():
        run_once(cmd, env)
    extra = []
    for i in range(runs):
        order_of_runs = list(programs) if i % 2 == 0 else list(reversed(programs))
        cpu = {name: run_once(programs[name], env)[1] for name in order_of_runs}
        extra.append(cpu["order"] - cpu["empty"])
    bench = subprocess.run([os.path.join(build, "bench", "startup", "kv_load_bench"), order,
                            "--benchmark_format=json", "--benchmark_repetitions=5"],
                           env=bench_env, capture_output=True, text=True, check=True)
    load = statistics.median(b["cpu_time"] for b in json.loads(bench.stdout)["benchmarks"]
                             if b.get("run_type") == "iteration")
    opened = statistics.median(extra)
    print(f"{label}: {os.path.basename(order)} named at start, {runs} rounds side by side with the empty start")
    print(f"  processor time added by the name {opened:6.2f} ms   ロード after the first paint {load:6.2f} ms")


def main():
    args = sys.argv[1:]
    runs = 51
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
    order = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "scripts", "files",
                         "十八冊.SAV")
    open_report("offscreen", dict(env, QT_QPA_PLATFORM="offscreen"), build, runs, os.path.normpath(order))
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
        print("Xvfb: not installed (apt-get install xvfb), skipped")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
