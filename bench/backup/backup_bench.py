#!/usr/bin/env python3
"""A whole backup (backup_cli: registry exports, packing, reading back,
clean-up) beside Info-ZIP `zip -r -q -P` of the same store folder, in the same
run: paired runs in alternating order, medians, ratio; the bytes the backup
read and wrote (its process's own counters) as a multiple of the store's
size; peak memory. Then a row of many small files (1 to 50 KB each): the
time per file of a backup of 1,000, 5,000 and 10,000 of them beside Info-ZIP
zip (and, with --wine-peer, Info-ZIP's Windows build under Wine). Not a test.
The store folder is the archive benchmark's generated one.

  backup_bench.py [--size-mb 600] [--pairs 3] [--many 1000,5000,10000]
                  [--skip-store] [--wine-peer DIR] [--work /tmp/qm-backup-bench] -- CLI...

CLI is the backup_cli command (natively build/native-release/bin/backup_cli;
under Wine: cmake/wine-run.sh build/win64/bin/backup_cli.exe). --many ""
leaves the many-files row out."""
import argparse, os, random, shutil, statistics, subprocess, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "archive"))
from archive_bench import WINE_RUN, mail_block, make_store, windows_path  # noqa: E402

PASSWORD = "s3cret"


def tree_io(pid, seen):
    """Notes rchar and wchar of `pid` and the processes below it in `seen`."""
    try:
        with open("/proc/%d/io" % pid) as f:
            io = dict(line.split(":") for line in f.read().splitlines())
        seen[pid] = (int(io["rchar"]), int(io["wchar"]))
        for task in os.listdir("/proc/%d/task" % pid):
            with open("/proc/%d/task/%s/children" % (pid, task)) as f:
                for child in f.read().split():
                    tree_io(int(child), seen)
    except (OSError, ValueError, KeyError):
        pass


def run(cmd, cwd=None):
    """Seconds and the figures the program printed (name=value). A program
    under Wine, which keeps no I/O counters, gets those its Linux processes
    had when last looked at (every 20 ms)."""
    t = time.perf_counter()
    p = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    seen = {}
    while p.poll() is None:
        tree_io(p.pid, seen)
        time.sleep(0.02)
    out, err = p.communicate()
    elapsed = time.perf_counter() - t
    if p.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), out, err))
    figures = {}
    for word in out.split():
        name, eq, value = word.partition("=")
        if eq:
            figures[name] = value
    if any(c.endswith(".exe") for c in cmd) and figures.get("io_read", "0") == "0" and seen:
        figures["io_read"] = str(sum(r for r, _ in seen.values()))
        figures["io_written"] = str(sum(w for _, w in seen.values()))
    return elapsed, figures


def remove(path):
    if os.path.exists(path):
        os.remove(path)


def folder_bytes(folder):
    return sum(os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder)
               if os.path.isfile(os.path.join(folder, n)))


def make_many(folder, count):
    """`count` files of 1 to 50 KB in one folder: three quarters text, the rest random."""
    stamp = os.path.join(folder, "..", ".done-many-%d" % count)
    if os.path.exists(stamp):
        return
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    rnd = random.Random(3)
    block = mail_block(rnd, 512 * 1024)
    for i in range(count):
        size = rnd.randint(1024, 50 * 1024)
        data = os.urandom(size) if i % 4 == 3 else block[(cut := rnd.randrange(len(block) - size)): cut + size]
        open(os.path.join(folder, "Message%05d.eml" % i), "wb").write(data)
    open(stamp, "w").close()


def paired(runs, pairs):
    """Runs each (name, fn) in turn, the order rotating each round; medians."""
    times = [[] for _ in runs]
    figures = [[] for _ in runs]
    for k in range(pairs):
        order = list(range(len(runs)))
        order = order[k % len(order):] + order[:k % len(order)]
        for i in order:
            t, f = runs[i][1]()
            times[i].append(t)
            figures[i].append(f)
    return [statistics.median(t) for t in times], figures


def peers(work, folder, wine_peer):
    theirs, theirs_win = os.path.join(work, "theirs.zip"), os.path.join(work, "theirs_win.zip")
    out = [("Info-ZIP", lambda: remove(theirs) or run(["zip", "-r", "-q", "-P", PASSWORD, theirs, "."], cwd=folder))]
    if wine_peer:
        zip_exe = [WINE_RUN, os.path.join(wine_peer, "zip.exe")]
        out.append(("Info-ZIP/Wine", lambda: remove(theirs_win) or
                    run(zip_exe + ["-r", "-q", "-P", PASSWORD, windows_path(theirs_win), "."], cwd=folder)))
    return out


def bench_store(a):
    root = os.path.join(a.work, "store")
    make_store(root, a.size_mb)
    store = os.path.join(root, "{1234}")
    ours = os.path.join(a.work, "ours.qmb")
    runs = [("backup", lambda: remove(ours) or run(a.cli + [store, ours, PASSWORD]))] + peers(a.work, store, "")
    med, figures = paired(runs, a.pairs)
    size = folder_bytes(store)
    io = [(int(f["io_read"]) + int(f["io_written"])) / size for f in figures[0]]
    read = statistics.median(int(f["io_read"]) for f in figures[0]) / size
    written = statistics.median(int(f["io_written"]) for f in figures[0]) / size
    peak = max(int(f["peak_kb"]) for f in figures[0]) / 1024
    print("store: %d MB in 12 files, %d pairs, password set; %s" % (a.size_mb, a.pairs, " ".join(a.cli)))
    print("whole backup %7.2f s   Info-ZIP zip -r -q -P %7.2f s   ratio %.2f" % (med[0], med[1], med[0] / med[1]))
    print("backup I/O: read %.2f + written %.2f = %.2f x the store (median of %s)   peak %.1f MB" %
          (read, written, statistics.median(io), " ".join("%.2f" % x for x in io), peak))
    theirs = os.path.join(a.work, "theirs.zip")
    print("archive sizes: backup %d bytes, zip %d bytes (%.3f)" %
          (os.path.getsize(ours), os.path.getsize(theirs), os.path.getsize(ours) / os.path.getsize(theirs)),
          flush=True)
    remove(ours)
    remove(theirs)


def bench_many(a, counts):
    ours = os.path.join(a.work, "ours.qmb")
    rows = []
    for n in counts:
        folder = os.path.join(a.work, "many", "{many-%d}" % n)
        make_many(folder, n)
        runs = [("backup", lambda: remove(ours) or run(a.cli + [folder, ours, PASSWORD]))] + \
            peers(a.work, folder, a.wine_peer)
        med, figures = paired(runs, a.pairs)
        peak = max(int(f["peak_kb"]) for f in figures[0]) / 1024
        rows.append((n, [m / n * 1000 for m in med]))
        print("many files %6d: backup %7.2f s (%.3f ms/file, peak %.1f MB)   %s" %
              (n, med[0], med[0] / n * 1000, peak,
               "   ".join("%s %6.2f s (%.3f ms/file)" % (runs[i][0], med[i], med[i] / n * 1000)
                          for i in range(1, len(runs)))), flush=True)
    if len(rows) > 1:
        first, last = rows[0], rows[-1]
        print("time per file, %d against %d files: backup %.2fx   %s (target <= 1.5x)" %
              (last[0], first[0], last[1][0] / first[1][0],
               "   ".join("%s %.2fx" % (name, last[1][i] / first[1][i])
                          for i, name in enumerate(["Info-ZIP", "Info-ZIP/Wine"][:len(last[1]) - 1], start=1))))
    remove(ours)
    remove(os.path.join(a.work, "theirs.zip"))
    remove(os.path.join(a.work, "theirs_win.zip"))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--size-mb", type=int, default=600)
    ap.add_argument("--pairs", type=int, default=3)
    ap.add_argument("--many", default="1000,5000,10000")
    ap.add_argument("--skip-store", action="store_true")
    ap.add_argument("--wine-peer", default="")
    ap.add_argument("--work", default="/tmp/qm-backup-bench")
    ap.add_argument("cli", nargs="+")
    a = ap.parse_args()
    os.makedirs(a.work, exist_ok=True)
    if not a.skip_store:
        bench_store(a)
    counts = [int(n) for n in a.many.split(",") if n]
    if counts:
        bench_many(a, counts)


if __name__ == "__main__":
    main()
