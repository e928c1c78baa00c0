#!/usr/bin/env python3
"""Times tarn beside gpasm on the generated sources, both in the same run.

For each size the two assemblers run in turn (tarn, gpasm, tarn, gpasm, ...) after one
warm-up each, every output file written; the table shows the median wall time of each and the
lines per second. gpasm comes from Debian's gputils, installed when missing.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import generate_source  # noqa: E402

# The IDE's options minus the object format: INHX8M, listing, map, ".sym" and ".err".
TARN_OPTIONS = ["/C", "MCHIP", "/X", "1"]


def ensure_gpasm():
    if shutil.which("gpasm"):
        return
    print("gpasm not found: installing gputils", flush=True)
    command = ["apt-get", "install", "-y", "gputils"]
    if os.geteuid() != 0:
        command = ["sudo"] + command
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    if not shutil.which("gpasm"):
        sys.exit("gputils installed, but gpasm is not on PATH")


def write_source(folder, syntax, scale):
    path = os.path.join(folder, f"{syntax}_{scale}.asm")
    with open(path, "w", newline="\n") as out:
        out.write("\n".join(generate_source.source_lines(syntax, scale)) + "\n")
    return path


def run_once(command, folder, expected_outputs):
    for name in expected_outputs:
        if os.path.exists(name):
            os.remove(name)
    start = time.perf_counter()
    done = subprocess.run(command, cwd=folder, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"{' '.join(command)} ended with exit code {done.returncode}")
    missing = [name for name in expected_outputs if not os.path.exists(name)]
    if missing:
        sys.exit(f"{' '.join(command)} did not write {', '.join(missing)}")
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tarn", default=os.path.join(ROOT, "build", "assembler", "tarn"),
                        help="the tarn program (default: build/assembler/tarn)")
    parser.add_argument("--scales", default="1,2,4",
                        help="source sizes, in units of 15,750 lines (default: 1,2,4)")
    parser.add_argument("--runs", type=int, default=5, help="counted runs of each (default 5)")
    args = parser.parse_args()
    tarn = os.path.abspath(args.tarn)
    if not os.access(tarn, os.X_OK):
        sys.exit(f"no tarn program at {tarn}: build it first, or give --tarn")
    ensure_gpasm()
    scales = [int(s) for s in args.scales.split(",")]

    print(f"{'lines':>8} | {'tarn s':>8} {'tarn lines/s':>13} | {'gpasm s':>8} "
          f"{'gpasm lines/s':>13} | {'tarn/gpasm speed':>16}")
    with tempfile.TemporaryDirectory(prefix="tarn-bench-") as folder:
        for scale in scales:
            tarn_source = write_source(folder, "tarn", scale)
            gpasm_source = write_source(folder, "gpasm", scale)
            with open(tarn_source) as f:
                lines = sum(1 for _ in f)
            tarn_base = os.path.splitext(tarn_source)[0]
            gpasm_base = os.path.splitext(gpasm_source)[0]
            tarn_run = ([tarn] + TARN_OPTIONS + [tarn_source],
                        [tarn_base + e for e in (".hex", ".lst", ".map", ".sym")])
            gpasm_run = (["gpasm", gpasm_source],
                         [gpasm_base + e for e in (".hex", ".lst", ".cod")])
            tarn_times, gpasm_times = [], []
            run_once(*tarn_run[:1], folder, tarn_run[1])
            run_once(*gpasm_run[:1], folder, gpasm_run[1])
            for _ in range(args.runs):
                tarn_times.append(run_once(tarn_run[0], folder, tarn_run[1]))
                gpasm_times.append(run_once(gpasm_run[0], folder, gpasm_run[1]))
            t = statistics.median(tarn_times)
            g = statistics.median(gpasm_times)
            ratios = statistics.median(gt / tt for tt, gt in zip(tarn_times, gpasm_times))
            print(f"{lines:>8} | {t:>8.3f} {lines / t:>13,.0f} | {g:>8.3f} {lines / g:>13,.0f} | "
                  f"{ratios:>15.1f}x", flush=True)


if __name__ == "__main__":
    main()
