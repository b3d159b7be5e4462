#!/usr/bin/env python3
"""A whole backup (backup_cli: registry exports, the copy into the working
folder, packing, clean-up) beside Info-ZIP `zip -r -q -P` of the same store
folder, in the same run: paired runs in alternating order, medians, ratio.
Not a test. The store folder is the archive benchmark's generated one.

  backup_bench.py [--size-mb 600] [--pairs 3] [--work /tmp/qm-backup-bench] -- CLI...

CLI is the backup_cli command (natively build/native-release/bin/backup_cli;
under Wine: wine build/win64/bin/backup_cli.exe)."""
import argparse, os, statistics, subprocess, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "archive"))
from archive_bench import make_store  # noqa: E402

PASSWORD = "s3cret"


def timed(cmd, cwd=None):
    t = time.perf_counter()
    r = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)
    if r.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), r.stdout, r.stderr))
    return time.perf_counter() - t


def remove(path):
    if os.path.exists(path):
        os.remove(path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--size-mb", type=int, default=600)
    ap.add_argument("--pairs", type=int, default=3)
    ap.add_argument("--work", default="/tmp/qm-backup-bench")
    ap.add_argument("cli", nargs="+")
    a = ap.parse_args()
    os.makedirs(a.work, exist_ok=True)
    root = os.path.join(a.work, "store")
    make_store(root, a.size_mb)
    store = os.path.join(root, "{1234}")
    ours, theirs = os.path.join(a.work, "ours.qmb"), os.path.join(a.work, "theirs.zip")
    t_ours, t_theirs = [], []
    for k in range(a.pairs):
        runs = [(lambda: timed(a.cli + [store, ours, PASSWORD]), t_ours, ours),
                (lambda: timed(["zip", "-r", "-q", "-P", PASSWORD, theirs, "."], cwd=store), t_theirs, theirs)]
        if k % 2:
            runs.reverse()
        for run, times, target in runs:
            remove(target)
            times.append(run())
    a_med, b_med = statistics.median(t_ours), statistics.median(t_theirs)
    print("store: %d MB in 12 files, %d pairs, password set; %s" % (a.size_mb, a.pairs, " ".join(a.cli)))
    print("whole backup %7.2f s   Info-ZIP zip -r -q -P %7.2f s   ratio %.2f (target <= 1.0)" %
          (a_med, b_med, a_med / b_med))
    print("archive sizes: backup %d bytes, zip %d bytes (%.3f)" %
          (os.path.getsize(ours), os.path.getsize(theirs), os.path.getsize(ours) / os.path.getsize(theirs)))
    remove(ours)
    remove(theirs)


if __name__ == "__main__":
    main()
