#!/usr/bin/env python3
"""Runs the same benchmarks of two builds in turn, several rounds, and prints each figure of both side by side.

    bench/side_by_side.py OLD_BUILD NEW_BUILD [--rounds N] BENCH [BENCH ...] [-- ARGS]

Each round runs every benchmark of one build and then of the other, the order swapping from round to round, so
a machine that other work slows down slows both alike. Every "name: figure unit" line is collected; the table
shows the median and the best of each build (best is the lowest for times, the highest for rates) and the ratio
of the medians. A figure only one build prints is shown for that build alone.
"""
import os
import re
import statistics
import subprocess
import sys

LINE = re.compile(r"^(?P<name>[^:]+):\s+(?P<value>-?[0-9.]+)\s+(?P<unit>\S+)")
RATES = ("/s", "x")


def run(build, bench, args):
    path = os.path.join(build, "bench", bench)
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    out = subprocess.run([path] + args, capture_output=True, text=True, env=env, check=False).stdout
    figures = {}
    for line in out.splitlines():
        m = LINE.match(line.strip())
        if m:
            figures[(bench, m.group("name").strip())] = (float(m.group("value")), m.group("unit"))
    return figures


def main(argv):
    if len(argv) < 4:
        print(__doc__)
        return 1
    old, new = argv[1], argv[2]
    rest = argv[3:]
    extra = []
    if "--" in rest:
        extra = rest[rest.index("--") + 1:]
        rest = rest[:rest.index("--")]
    rounds = 3
    if "--rounds" in rest:
        i = rest.index("--rounds")
        rounds = int(rest[i + 1])
        del rest[i:i + 2]
    benches = rest
    results = {"old": {}, "new": {}}
    order = []
    for r in range(rounds):
        builds = [("old", old), ("new", new)] if r % 2 == 0 else [("new", new), ("old", old)]
        for bench in benches:
            for label, build in builds:
                for key, (value, unit) in run(build, bench, extra).items():
                    results[label].setdefault(key, []).append((value, unit))
                    if key not in order:
                        order.append(key)
        print(f"round {r + 1} of {rounds} done", file=sys.stderr)

    def summary(values):
        if not values:
            return None
        numbers = [v for v, _ in values]
        unit = values[0][1]
        rate = any(unit.endswith(s) for s in RATES)
        best = max(numbers) if rate else min(numbers)
        return statistics.median(numbers), best, unit

    print(f"{'figure':70} {'old median':>12} {'old best':>10} {'new median':>12} {'new best':>10}  unit   new/old")
    for key in order:
        o = summary(results["old"].get(key, []))
        n = summary(results["new"].get(key, []))
        unit = (o or n)[2]
        cells = []
        for s in (o, n):
            cells += [f"{s[0]:12.3f}", f"{s[1]:10.3f}"] if s else [f"{'-':>12}", f"{'-':>10}"]
        ratio = f"{n[0] / o[0]:8.3f}" if o and n and o[0] else ""
        name = f"{key[0]}: {key[1]}"[:70]
        print(f"{name:70} {' '.join(cells)}  {unit:6} {ratio}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
