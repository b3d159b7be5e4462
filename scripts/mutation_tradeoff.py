#!/usr/bin/env python3
"""What trimming the tests by one list of mutants would cost on another.

  mutation_tradeoff.py TRAIN.jsonl HOLDOUT.jsonl

Both files are written by mutate.py --matrix (per mutant, the tests that
failed). For sets of tests chosen on the first list alone, prints their
size (lines of the TEST bodies with their leading comments) and how many
of the second list's killed mutants they still kill. A test program that
died or timed out counts as one test of that name."""
import collections
import glob
import json
import os
import re
import sys

TOP = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))


def test_lines():
    """Test name -> lines of its body and the comment above it."""
    out = {}
    for path in glob.glob(os.path.join(TOP, "tests", "**", "*.cpp"), recursive=True):
        lines = open(path, encoding="latin-1").read().split("\n")
        for i, line in enumerate(lines):
            m = re.match(r"\s*TEST(?:_F|_P)?\((\w+),\s*(\w+)\)", line)
            if not m:
                continue
            depth, j, opened = 0, i, False
            while j < len(lines):
                depth += lines[j].count("{") - lines[j].count("}")
                opened = opened or "{" in lines[j]
                if opened and depth <= 0:
                    break
                j += 1
            c = i
            while c > 0 and lines[c - 1].strip().startswith("//"):
                c -= 1
            out[m.group(1) + "." + m.group(2)] = j - c + 1
    return out


def name(failed):
    """A parametrized test's instances as the one test."""
    failed = re.sub(r" \(timed out\)$", "", failed)
    m = re.match(r"(?:\w+/)?(\w+\.\w+)(?:/\d+)?$", failed)
    return m.group(1) if m else failed


def killed(path):
    out = {}
    for row in open(path):
        r = json.loads(row)
        if r["failed"]:
            out[r["id"]] = {name(t) for t in r["failed"]}
    return out


def cover(kills, size):
    """Few lines of tests that still kill every mutant (greedy)."""
    need, keep = set(kills), set()
    tests = set().union(*kills.values())
    while need:
        best = max(tests - keep, key=lambda t: (sum(1 for k in need if t in kills[k]) / size(t), -size(t)))
        keep.add(best)
        need -= {k for k in need if best in kills[k]}
    return keep


def main():
    train, holdout = killed(sys.argv[1]), killed(sys.argv[2])
    lines = test_lines()
    size = lambda t: lines.get(t, 80)
    kills_any = collections.Counter(t for v in list(train.values()) + list(holdout.values()) for t in v)
    sets = [("the fewest lines that kill every first-list mutant", cover(train, size)),
            ("every test that kills a first-list mutant", set().union(*train.values())),
            ("all tests", set(lines) | set(kills_any))]
    print("%d tests, %d body lines; first list: %d killed; second list: %d killed" % (
        len(lines), sum(lines.values()), len(train), len(holdout)))
    print("tests killing no mutant of either list: %d (%d body lines)" % (
        sum(1 for t in lines if not kills_any[t]), sum(n for t, n in lines.items() if not kills_any[t])))
    for label, keep in sets:
        still = sum(1 for v in holdout.values() if v & keep)
        print("%-52s %4d tests %5d lines   second list still killed: %d of %d (%.0f%%)" % (
            label, sum(1 for t in keep if t in lines), sum(lines[t] for t in keep if t in lines), still,
            len(holdout), 100.0 * still / len(holdout)))


if __name__ == "__main__":
    main()
