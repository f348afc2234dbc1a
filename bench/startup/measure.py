#!/usr/bin/env python3
"""Start-up benchmark: time from process start to the main window's first paint, the processor
time spent until then, and peak memory, of kalvoro against a minimal Qt Widgets program with one
label, measured the same way in the same run (offscreen, and under Xvfb when it is installed).
The two programs take turns, run by run, and each round's ratio compares two runs made side by
side, so that a machine whose speed drifts slows both alike; the median of those ratios is
judged. Target: kalvoro at most TIME_LIMIT times the minimal program in
time to the first paint and MEMORY_LIMIT times in peak memory.

A second figure: an order named on the command line costs no more processor time than
"ロード" of the same file once the screen is on show (kv_load_bench).

    bench/startup/measure.py [BUILD_DIR] [--runs N]
"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TIME_LIMIT = 1.2
MEMORY_LIMIT = 1.1


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
    programs = {
        "kalvoro": [os.path.join(build, "kalvoro")],
        "minimal": [os.path.join(build, "bench", "startup", "kv_minimal_label")],
    }
    # One warm-up run each, so that both start from the same file cache.
    for cmd in programs.values():
        run_once(cmd, env)
    samples = {name: [] for name in programs}
    for i in range(runs):
        order = list(programs) if i % 2 == 0 else list(reversed(programs))
        for name in order:
            samples[name].append(run_once(programs[name], env))
    med = {name: [statistics.median(s[k] for s in samples[name]) for k in range(3)] for name in programs}
    # The speed of a shared machine drifts from one moment to the next: each round's ratio
    # compares two runs made side by side, and the median of those is the figure judged.
    ratio = [statistics.median(k[i] / m[i] for k, m in zip(samples["kalvoro"], samples["minimal"])) for i in range(3)]
    (kt, kc, km), (mt, mc, mm) = med["kalvoro"], med["minimal"]
    print(f"{label}: {runs} rounds, the two programs side by side; medians, and the median of the rounds' ratios")
    print(f"  first paint    kalvoro {kt:7.1f} ms   minimal {mt:7.1f} ms   ratio {ratio[0]:.2f}")
    print(f"  processor time kalvoro {kc:7.1f} ms   minimal {mc:7.1f} ms   ratio {ratio[1]:.2f}")
    print(f"  peak memory    kalvoro {km:7.0f} KiB  minimal {mm:7.0f} KiB  ratio {ratio[2]:.2f}")
    ok = ratio[0] <= TIME_LIMIT and ratio[2] <= MEMORY_LIMIT
    print(f"  target (at most {TIME_LIMIT} x in time, {MEMORY_LIMIT} x in memory): {'met' if ok else 'NOT met'}")
    return ok


def open_report(label, env, build, runs, order):
    """Naming an order on the command line against "ロード" of it after the first paint: the
    extra processor time of `kalvoro ORDER` over `kalvoro`, run side by side, must not pass what
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
    ok = opened <= load
    print(f"{label}: {os.path.basename(order)} named at start, {runs} rounds side by side with the empty start")
    print(f"  processor time added by the name {opened:6.2f} ms   ロード after the first paint {load:6.2f} ms"
          f"   {'met' if ok else 'NOT met'} (at most the load's)")
    return ok


def main():
    args = sys.argv[1:]
    runs = 31
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
    ok = open_report("offscreen", dict(env, QT_QPA_PLATFORM="offscreen"), build, runs, os.path.normpath(order)) and ok
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
