#!/usr/bin/env python3
"""A day's orders priced in one run against one process per order.

Generates ORDERS order files (10,000 unless given: comics and photo books with every course,
option and resolution, gifts, up to three coupons, a few doujinshi and magazines), then
  - prices them all with one `kalvoro totals --csv` and gives the time per order;
  - prices a sample of SAMPLE of them (200 unless given, spread over the whole set) with one
    `kalvoro totals ORDER` each, as a shell loop did, and scales its time to all of them;
  - runs the one run again on the first tenth of the orders and compares the peak memory of the
    two runs: it must not grow with the number of orders.
Each sampled process's figures must be those of the order's row in the table: an order is priced
in the one run as it is alone.

Fails (exit status 1) when the one run is less than 30 times as fast as one process per order
(MIN_RATIO), when the peak memory of the whole run passes that of the tenth by more than 10 %
(MAX_MEMORY_GROWTH), or when any figure differs.

    bench/batch/measure.py [BUILD_DIR] [--orders N] [--sample N]
"""
import argparse
import csv
import os
import random
import subprocess
import sys
import tempfile
import time

MIN_RATIO = 30
MAX_MEMORY_GROWTH = 1.10
DAY = "2026-12-08"


def order_file(rng):
    """The bytes of one order as the program writes them: Shift-JIS, CR LF."""
    lines = []
    coupons = rng.choice([0, 0, 0, 1, 1, 2, 3])
    lines.append(f"割引券:{coupons}")
    for _ in range(coupons):
        lines.append(f"2612{rng.randint(10, 31)}00{rng.choice('34')}{rng.randint(1, 9)}")
    kinds = [(0, rng.randint(0, 20)), (1, rng.choice([0, 0, 0, 0, 3, 40])), (2, rng.choice([0, 0, 0, 1])),
             (3, rng.choice([0, 0, 0, 1])), (4, rng.randint(0, 5))]
    if all(count == 0 for _, count in kinds):
        kinds[0] = (0, 1)
    for kind, count in kinds:
        for t in range(count):
            head = f"{kind}{rng.randint(1, 2)}{rng.randint(1, 3)}{'1' if rng.random() < 0.05 else ''}"
            flags = "".join(rng.choice("0001") for _ in range(4))
            dpi = rng.choice([120, 156, 166, 167, 200, 300, 333, 334, 400, 600])
            gift = 1 if rng.random() < 0.5 else 0
            lines.append(f"{head},{flags},{dpi},{gift},タイトル{kind}の{t + 1}巻 シリーズ名")
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def peak_so_far(pid, peaks):
    """Notes the high-water mark of the process's resident memory in its current program."""
    try:
        with open(f"/proc/{pid}/status") as f:
            hwm = next((int(line.split()[1]) for line in f if line.startswith("VmHWM:")), None)
        program = os.path.basename(os.readlink(f"/proc/{pid}/exe"))
    except (OSError, StopIteration):
        return
    if hwm is not None:
        peaks[program] = max(peaks.get(program, 0), hwm)


def measured(cmd, out_path):
    """Runs cmd with its standard output to out_path; returns (wall s, cpu s, peaks KiB by program).

    The peak memory is read from /proc as the run goes (VmHWM, the high-water mark of each
    program the process runs: kalvoro, then kalvoro-batch, which it starts in its place), not
    from wait4: a child started by this script inherits the script's own high-water mark at its
    exec, and the script holds every name of the day."""
    peaks = {}
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.PIPE)
        while True:
            peak_so_far(proc.pid, peaks)
            pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
            if pid:
                break
            time.sleep(0.001)
        elapsed = time.perf_counter() - start
        err = proc.stderr.read().decode("utf-8", "replace")
        proc.stderr.close()
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"{' '.join(cmd[:4])} … ended with status {code}: {err}")
    return elapsed, usage.ru_utime + usage.ru_stime, peaks


def figures_of_block(text):
    return dict(line.split("=", 1) for line in text.decode("utf-8").splitlines() if "=" in line)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--orders", type=int, default=10000)
    parser.add_argument("--sample", type=int, default=200)
    args = parser.parse_args()
    kalvoro = os.path.abspath(os.path.join(args.build, "kalvoro"))
    rng = random.Random(34)
    failed = []
    with tempfile.TemporaryDirectory(prefix="kalvoro-batch-") as work:
        os.chdir(work)
        os.mkdir("受信")
        names = []
        for i in range(args.orders):
            name = f"受信/{i:05d}.TXT"
            with open(name, "wb") as f:
                f.write(order_file(rng))
            names.append(name)
        tenth = names[: max(1, args.orders // 10)]
        # The file cache and the program's pages warm for both.
        measured([kalvoro, "totals", "--csv", "--today", DAY] + tenth, "warm.csv")
        small = measured([kalvoro, "totals", "--csv", "--today", DAY] + tenth, "tenth.csv")
        whole = measured([kalvoro, "totals", "--csv", "--today", DAY] + names, "day.csv")
        with open("day.csv", newline="", encoding="utf-8") as f:
            rows = {row["FILE"]: row for row in csv.DictReader(f)}
        if len(rows) != args.orders:
            failed.append(f"the table has {len(rows)} rows for {args.orders} orders")

        step = max(1, args.orders // args.sample)
        sample = names[::step][: args.sample]
        wall = cpu = 0.0
        for name in sample:
            w, c, _ = measured([kalvoro, "totals", "--today", DAY, name], "one.txt")
            wall += w
            cpu += c
            with open("one.txt", "rb") as f:
                alone = figures_of_block(f.read())
            row = {k: v for k, v in rows.get(name, {}).items() if k != "FILE"}
            if alone != row:
                failed.append(f"{name}: priced alone {alone}, in the run {row}")

    per_order_run = whole[0] / args.orders
    per_order_alone = wall / len(sample)
    ratio = per_order_alone / per_order_run
    peak = {name: max(whole[2].values()) if name == "run" else whole[2].get(name, 0) for name in ("run", "kalvoro-batch")}
    tenth_peak = {name: max(small[2].values()) if name == "run" else small[2].get(name, 0) for name in ("run", "kalvoro-batch")}
    growth = peak["run"] / tenth_peak["run"]
    print(f"one run of {args.orders} orders: {whole[0]:.2f} s ({per_order_run * 1e6:.0f} µs an order), "
          f"processor {whole[1]:.2f} s ({whole[1] / args.orders * 1e6:.0f} µs an order)")
    print(f"one process per order ({len(sample)} sampled): {per_order_alone * 1e3:.2f} ms an order, "
          f"processor {cpu / len(sample) * 1e3:.2f} ms; all {args.orders}: {per_order_alone * args.orders:.1f} s")
    print(f"ratio: the one run is {ratio:.0f} times as fast (at least {MIN_RATIO})")
    print(f"peak memory of the run: {peak['run']} KiB for {args.orders} orders, {tenth_peak['run']} KiB for "
          f"{len(tenth)}: {growth:.3f} times (at most {MAX_MEMORY_GROWTH}); of kalvoro-batch alone: "
          f"{peak['kalvoro-batch']} KiB and {tenth_peak['kalvoro-batch']} KiB, the difference being the names "
          f"on the command line ({(peak['kalvoro-batch'] - tenth_peak['kalvoro-batch']) * 1024 // max(1, args.orders - len(tenth))} "
          f"bytes a name)")
    if ratio < MIN_RATIO:
        failed.append(f"the one run is only {ratio:.1f} times as fast")
    if growth > MAX_MEMORY_GROWTH:
        failed.append(f"peak memory grows {growth:.3f} times with the orders")
    for problem in failed[:10]:
        print("FAILED:", problem, file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
