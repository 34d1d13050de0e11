#!/usr/bin/env python3
"""Runs the companion and the reference model on many random lists,
voltages, EPROM types and both decimal signs, and compares the outputs
byte for byte.
Usage: cross_check.py [--runner PROGRAM] [--jobs N] VARIDAC_FILL [COUNT] [SEED]
(--runner runs the companion through another program, such as wine.)"""
import argparse
import concurrent.futures
import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import varidac_reference as ref  # noqa: E402

TYPES = ['27C64', '27C128', '27C256', '27C512']
LOCALES = [('C.UTF-8', '.'), ('de_DE.UTF-8', ',')]


def voltage_text(rng, low, high):
    value = rng.uniform(low, high)
    decimals = rng.choice([0, 1, 2, 2, 3, 4, 6])
    text = '%.*f' % (decimals, value)
    if rng.random() < 0.1 and '.' in text:
        text = text.rstrip('0')  # "12." and the like
    return text


def random_list(rng):
    lines = []
    u6 = rng.uniform(0.5, 6.0)
    u16 = rng.uniform(6.5, 15.5)
    points = sorted(rng.uniform(u6, u16) for _ in range(9))
    if rng.random() < 0.15:
        rng.shuffle(points)  # a curve that does not rise steadily
    values = [u6] + points + [u16]
    for i, f in enumerate(range(600, 1700, 100)):
        decimals = rng.choice([1, 2, 2, 3, 4, 7])
        lines.append('%d,%.*f' % (f, decimals, values[i]))
        if f < 1600 and rng.random() < 0.3:
            lines.append('%d,%.2f' % (f + 50, rng.uniform(0, 20)))
    if rng.random() < 0.2:
        lines.insert(rng.randrange(1, len(lines)), '%d,%.3f' % (rng.choice(range(600, 1700, 100)), rng.uniform(0, 16)))
    end = rng.choice(['\r\n', '\r\n', '\n'])
    text = end.join(lines) + (end if rng.random() < 0.8 else '')
    return text


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--runner', default=None)
    parser.add_argument('--jobs', type=int, default=1)
    parser.add_argument('fill')
    parser.add_argument('count', nargs='?', type=int, default=200)
    parser.add_argument('seed', nargs='?', type=int, default=1)
    args = parser.parse_args()
    prefix = [args.runner] if args.runner else []
    rng = random.Random(args.seed)
    failures = 0
    written = 0
    with tempfile.TemporaryDirectory() as tmp:
        cases = []
        for n in range(args.count):
            case = os.path.join(tmp, 'case%d' % n)
            mine = os.path.join(case, 'mine')
            theirs = os.path.join(case, 'ref')
            os.makedirs(mine)
            os.makedirs(theirs)
            listing = random_list(rng)
            for folder in (mine, theirs):
                with open(os.path.join(folder, 'L%d.INF' % n), 'w', newline='') as fh:
                    fh.write(listing)
            start = voltage_text(rng, 0, 3)
            end = voltage_text(rng, 9, 40)
            eprom = rng.choice(TYPES)
            loc, sign = rng.choice(LOCALES)
            cases.append((n, mine, theirs, start, end, eprom, loc, sign))

        def companion(c):
            n, mine, _, start, end, eprom, loc, _ = c
            env = dict(os.environ, LC_ALL=loc)
            return subprocess.run(prefix + [args.fill, '--start', start, '--end', end, '--eprom', eprom,
                                            os.path.join(mine, 'L%d.INF' % n)], env=env, capture_output=True)

        # One locale at a time: under Wine every program that starts writes
        # its locale's settings into the one registry the others read.
        runs = {}
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            for loc, _ in LOCALES:
                group = [c for c in cases if c[6] == loc]
                runs.update(zip((c[0] for c in group), pool.map(companion, group)))
        for (n, mine, theirs, start, end, eprom, loc, sign) in cases:
            proc = runs[n]
            refused = ref.run(os.path.join(theirs, 'L%d.INF' % n), start, end, eprom, sign, theirs)
            label = 'case %d (start %s, end %s, %s, %s)' % (n, start, end, eprom, loc)
            if refused:
                if proc.returncode != 1 or len(os.listdir(mine)) != 1:
                    print('FAIL %s: reference refused (%s), companion exit %d' % (label, refused, proc.returncode))
                    failures += 1
                continue
            if proc.returncode != 0:
                print('FAIL %s: companion exit %d: %s' % (label, proc.returncode, proc.stderr.decode()))
                failures += 1
                continue
            written += 1
            for name in sorted(os.listdir(theirs)):
                with open(os.path.join(theirs, name), 'rb') as a, open(os.path.join(mine, name), 'rb') as b:
                    if a.read() != b.read():
                        print('FAIL %s: %s differs' % (label, name))
                        failures += 1
    print('%d cases, %d with outputs compared, %d failures' % (args.count, written, failures))
    sys.exit(1 if failures or written < args.count // 4 else 0)


if __name__ == '__main__':
    main()
