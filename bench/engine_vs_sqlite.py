#!/usr/bin/env python3
"""Runs the storage and the library benchmark and prints one table of the
engine against SQLite, step by step: engine time, SQLite time and their ratio,
both as wall (real) time and as CPU time of the benchmark thread.

Usage (from the top of the tree, after a Release build with benchmarks, e.g.
`make bench` or
  cmake -S . -B build/rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORA_BENCH=ON
  cmake --build build/rel --target bench_storage_bench bench_library_bench):

  bench/engine_vs_sqlite.py [--build build/rel] [--runs 3] [--keep-output]

--build   the build folder holding bench/bench_storage_bench and
          bench/bench_library_bench (default build/bench, as `make bench`).
--runs    how many times to run the pair, one after the other, storage and
          library benchmark alternating; every run's table is printed, then
          the median of each figure over the runs.
--keep-output  also print what the benchmarks themselves print.

STORAGE_BENCH_RECORDS, STORAGE_BENCH_DURABLE and LIBRARY_BENCH_DOCS pass on
to the benchmarks (defaults 100,000 records, 2,000 durable writes, 10,000
manuscripts). Each program runs only the steps the table needs and the ones
they build on; both stores of a step are measured in the same process, one
right after the other.
"""
import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

# (row caption, program, engine benchmark, SQLite benchmark, SQLite's setting)
ROWS = [
    ("durable append, 1 record/op", "storage", "durable appends/tome-durable", "durable appends/sqlite-full",
     "WAL, synchronous=FULL"),
    ("durable modify, 1 record/op", "storage", "durable modifies/tome-durable", "durable modifies/sqlite-full",
     "WAL, synchronous=FULL"),
    ("10,000 key searches", "storage", "10k searches/tome", "10k searches/sqlite-per-op", "WAL"),
    ("read all records", "storage", "read all/tome", "read all/sqlite-per-op", "WAL"),
    ("open a library", "library", "tome/Open", "sqlite/Open", "WAL, synchronous=FULL"),
    ("save a manuscript", "library", "tome/SaveDoc", "sqlite/SaveDoc", "WAL, synchronous=FULL"),
    ("compact vs VACUUM", "library", "tome/Compact", "sqlite/Compact", "VACUUM + checkpoint"),
]

# What each program runs: the table's steps and what they need before them
# (the records that are searched and read are appended first; compaction
# follows the library's other writes as in a full run).
FILTERS = {
    "storage": r"^(append|read all|10k searches)/(tome|sqlite-per-op)(/|$)|^durable ",
    "library": r"^(tome|sqlite)/(Open|SaveDoc|DeleteSubtree|Compact)(/|$)",
}

PROGRAMS = {"storage": "bench_storage_bench", "library": "bench_library_bench"}

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def run_program(build, name, keep_output):
    """Runs one benchmark program; returns {benchmark name: (wall ms, cpu ms)}."""
    binary = Path(build) / "bench" / PROGRAMS[name]
    if not binary.exists():
        sys.exit(f"{binary} not found: build the benchmarks first (see the head of this file)")
    with tempfile.TemporaryDirectory() as work:
        out = Path(work) / "result.json"
        env = dict(os.environ, QUILLORA_HOME=str(Path(work) / "home") + "/")
        command = [str(binary), f"--benchmark_filter={FILTERS[name]}", f"--benchmark_out={out}",
                   "--benchmark_out_format=json"]
        done = subprocess.run(command, env=env, stdout=None if keep_output else subprocess.DEVNULL)
        if done.returncode != 0:
            sys.exit(f"{binary} failed with exit status {done.returncode}")
        report = json.loads(out.read_text())
    times = {}
    for bench in report.get("benchmarks", []):
        if bench.get("run_type", "iteration") != "iteration" or bench.get("error_occurred"):
            continue
        scale = TO_MS[bench.get("time_unit", "ns")]
        # A benchmark with a fixed count is named "step/store/iterations:N".
        name = re.sub(r"/iterations:\d+$", "", bench["name"])
        times[name] = (bench["real_time"] * scale, bench["cpu_time"] * scale)
    return times


def table_rows(times):
    """One (caption, engine wall, SQLite wall, engine cpu, SQLite cpu) per row found."""
    rows = []
    for caption, program, engine, peer, _ in ROWS:
        mine, theirs = times[program].get(engine), times[program].get(peer)
        if mine and theirs:
            rows.append((caption, mine[0], theirs[0], mine[1], theirs[1]))
    return rows


def ratio(a, b):
    return a / b if b > 0 else float("nan")


def print_table(title, rows):
    print(f"\n{title}")
    print(f"{'step':<30} {'engine ms':>11} {'SQLite ms':>11} {'ratio':>7}   "
          f"{'engine CPU':>11} {'SQLite CPU':>11} {'ratio':>7}")
    for caption, wall, peer_wall, cpu, peer_cpu in rows:
        print(f"{caption:<30} {wall:>11.3f} {peer_wall:>11.3f} {ratio(wall, peer_wall):>7.2f}   "
              f"{cpu:>11.3f} {peer_cpu:>11.3f} {ratio(cpu, peer_cpu):>7.2f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build/bench")
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--keep-output", action="store_true")
    args = parser.parse_args()
    records = os.environ.get("STORAGE_BENCH_RECORDS", "100000")
    docs = os.environ.get("LIBRARY_BENCH_DOCS", "10000")
    print(f"engine vs SQLite: storage benchmark over {records} records, library benchmark over {docs} manuscripts")
    for caption, _, _, _, setting in ROWS:
        print(f"  {caption}: SQLite in {setting}")
    all_rows = []
    for run in range(1, max(1, args.runs) + 1):
        times = {}
        for name in ("storage", "library") if run % 2 else ("library", "storage"):
            times[name] = run_program(args.build, name, args.keep_output)
        rows = table_rows(times)
        all_rows.append(rows)
        print_table(f"run {run} (times in ms; ratio = engine / SQLite)", rows)
        sys.stdout.flush()
    if len(all_rows) > 1:
        medians = []
        for i, first in enumerate(all_rows[0]):
            figures = [statistics.median(rows[i][k] for rows in all_rows) for k in range(1, 5)]
            medians.append((first[0], *figures))
        print_table(f"median of {len(all_rows)} runs", medians)


if __name__ == "__main__":
    main()
