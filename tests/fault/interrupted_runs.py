#!/usr/bin/env python3
"""Runs of the companion interrupted at random moments, and runs on one list
at the same moment: every run must leave one whole set of outputs.

  interrupted_runs.py VARIDAC-FILL LIST kill RUNS SEED
  interrupted_runs.py VARIDAC-FILL LIST together ROUNDS SEED [--measure]

kill: each run is sent SIGKILL, SIGINT or SIGTERM at a random moment of its
run. Right after it, the report and image must be one run's set (a SIGKILL
between the two renames may leave a commit that the next run in the folder
finishes: then its record must be there), and no temporary may be left but
by SIGKILL. Then a run that writes into the folder and is refused (--recover
onto an existing file) must leave one whole set and no temporary at all.

together: 8 runs with different start voltages at once; afterwards the
image must be the one the report's start voltage gives (--check says so)
and no temporary may be left.

Prints the counts and "N passed, N failed"; with --measure it only reports
(for measuring an older build), else it exits 1 on any failure.
"""
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

OUTPUTS = ("L_test_DA.TXT", "L_27C64.BIN")


def run(fill, args, cwd):
    return subprocess.run([fill] + args, cwd=cwd, capture_output=True)


def outputs(folder):
    found = []
    for name in OUTPUTS:
        try:
            with open(os.path.join(folder, name), "rb") as f:
                found.append(f.read())
        except OSError:
            found.append(None)
    return tuple(found)


def leftovers(folder, keep):
    return sorted(set(os.listdir(folder)) - set(keep))


def whole_sets(fill, list_path, starts):
    sets = {}
    for start in starts:
        folder = tempfile.mkdtemp()
        shutil.copy(list_path, os.path.join(folder, "L.INF"))
        done = run(fill, ["--start", start, "L.INF"], folder)
        assert done.returncode == 0, done.stderr
        sets[outputs(folder)] = start
        shutil.rmtree(folder)
    return sets


def kill_loop(fill, list_path, runs, rng):
    starts = ("1.50", "1.40")
    sets = whole_sets(fill, list_path, starts)
    folder = tempfile.mkdtemp()
    try:
        shutil.copy(list_path, os.path.join(folder, "L.INF"))
        with open(os.path.join(folder, "KEEP.INF"), "wb") as f:
            f.write(b"600,2.1\r\n")
        keep = ("L.INF", "KEEP.INF") + OUTPUTS
        assert run(fill, ["L.INF"], folder).returncode == 0
        # How long a whole run takes here: the kills fall inside it.
        begun = time.perf_counter()
        for _ in range(5):
            run(fill, ["L.INF"], folder)
        span = (time.perf_counter() - begun) / 5 * 1.2
        counts = {"runs": 0, "mixed right after": 0, "mixed with no record": 0, "mixed after the next run": 0,
                  "temporaries right after SIGINT/SIGTERM": 0, "temporaries right after SIGKILL": 0,
                  "temporaries after the next run": 0, "whole runs": 0}
        for i in range(runs):
            sig = rng.choice((signal.SIGKILL, signal.SIGINT, signal.SIGTERM))
            child = subprocess.Popen([fill, "--start", rng.choice(starts), "L.INF"], cwd=folder,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0, span))
            child.send_signal(sig)
            status = child.wait()
            counts["runs"] += 1
            counts["whole runs"] += status == 0
            left = leftovers(folder, keep)
            if outputs(folder) not in sets:
                counts["mixed right after"] += 1
                if not any(name.endswith(".jnl") for name in left):
                    counts["mixed with no record"] += 1
            if left:
                counts["temporaries right after SIGKILL" if sig == signal.SIGKILL
                       else "temporaries right after SIGINT/SIGTERM"] += 1
            # The next run into the folder, refused after it has tidied.
            run(fill, ["--recover", "L_27C64.BIN", "--start", "1.50", "--end", "12.00", "KEEP.INF"], folder)
            if outputs(folder) not in sets:
                counts["mixed after the next run"] += 1
            if leftovers(folder, keep):
                counts["temporaries after the next run"] += 1
                for name in leftovers(folder, keep):
                    os.remove(os.path.join(folder, name))
            if outputs(folder) not in sets:
                assert run(fill, ["L.INF"], folder).returncode == 0
        failures = (counts["mixed with no record"] + counts["mixed after the next run"]
                    + counts["temporaries right after SIGINT/SIGTERM"] + counts["temporaries after the next run"])
        return counts, runs - failures, failures
    finally:
        shutil.rmtree(folder)


def report_start(report):
    match = re.match(rb"Start voltage outside D/A range =\s+(\S+) Volt", report or b"")
    return match.group(1).decode() if match else None


def together(fill, list_path, rounds, rng):
    folder = tempfile.mkdtemp()
    try:
        shutil.copy(list_path, os.path.join(folder, "L.INF"))
        keep = ("L.INF",) + OUTPUTS
        counts = {"rounds": 0, "mixed sets": 0, "runs refused": 0, "rounds with temporaries": 0}
        for _ in range(rounds):
            starts = ["1.4%d" % k for k in range(8)]
            rng.shuffle(starts)
            children = [subprocess.Popen([fill, "--start", s, "L.INF"], cwd=folder,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) for s in starts]
            counts["runs refused"] += sum(child.wait() != 0 for child in children)
            counts["rounds"] += 1
            shown = report_start(outputs(folder)[0])
            start = None if shown is None else ("%.2f" % float(shown))
            checked = run(fill, ["--check", "L_27C64.BIN", "--start", start or "0", "L.INF"], folder)
            if start is None or checked.returncode != 0:
                counts["mixed sets"] += 1
            if leftovers(folder, keep):
                counts["rounds with temporaries"] += 1
                for name in leftovers(folder, keep):
                    os.remove(os.path.join(folder, name))
        failures = counts["mixed sets"] + counts["runs refused"] + counts["rounds with temporaries"]
        return counts, rounds - min(failures, rounds), failures
    finally:
        shutil.rmtree(folder)


def main():
    args = [a for a in sys.argv[1:] if a != "--measure"]
    measure = "--measure" in sys.argv
    fill, list_path, mode, count, seed = os.path.abspath(args[0]), os.path.abspath(args[1]), args[2], int(args[3]), int(args[4])
    rng = random.Random(seed)
    counts, passed, failed = (kill_loop if mode == "kill" else together)(fill, list_path, count, rng)
    for name, value in counts.items():
        print("%s: %d" % (name, value))
    print("%d passed, %d failed" % (passed, failed))
    return 0 if measure or failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
