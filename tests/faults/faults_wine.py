#!/usr/bin/env python3
"""Faults injected into whole runs of the Windows build under Wine, each
printing what it checked:

  - a backup killed (SIGKILL) at evenly spread points, then the program
    started again: the earlier archive is byte-identical (or, killed once
    the new one had taken its place, the new one is whole) and the killed
    run's half-written archive and work folder are gone;
  - a restore killed the same way: the target's store files are all old or
    all new, never a mix, and nothing moved aside is left;
  - the destination disk full while packing (a small tmpfs): the earlier
    archive is intact, no temporary file is left, the run fails.

  faults_wine.py --bin BUILD/bin [--size-mb 600] [--points 10] [--work /tmp/qm-faults]

Uses the Wine prefix in WINEPREFIX (the test scripts set it) and needs root
for the tmpfs (that part is skipped, and says so, without it). A kill at each
write of the run record is the native restore tests' (RestoreRun_test.cpp)."""
import argparse, functools, glob, hashlib, os, shutil, signal, subprocess, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "archive"))
from archive_bench import make_store  # noqa: E402

PASSWORD = "s3cret"
print = functools.partial(print, flush=True)  # noqa: A001
failures = []


def check(what, ok):
    print("  %s %s" % ("ok  " if ok else "FAIL", what))
    if not ok:
        failures.append(what)


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def reads_back(archive):
    """Whether 7-Zip reads every entry of the archive back (AES included)."""
    return subprocess.run(["7zz", "t", "-p" + PASSWORD, archive], capture_output=True).returncode == 0


def make_old_store(target, new):
    """Puts an "old" store in the target folder: a file of each name the
    restore brings plus one it does not, and the user's own notes.txt.
    Returns its digests (notes.txt aside)."""
    shutil.rmtree(target)
    os.makedirs(target)
    for name in list(new) + ["Only Old.dbx"]:
        with open(os.path.join(target, name), "wb") as f:
            f.write(b"old " + name.encode())
    with open(os.path.join(target, "notes.txt"), "wb") as f:
        f.write(b"the user's own")
    return folder_digests(target, skip=("notes.txt",))


def folder_digests(folder, skip=()):
    return {n: digest(os.path.join(folder, n)) for n in sorted(os.listdir(folder))
            if n not in skip and os.path.isfile(os.path.join(folder, n))}


class Wine:
    def __init__(self, bin_dir):
        self.bin = bin_dir
        self.prefix = os.environ["WINEPREFIX"]
        users = os.path.join(self.prefix, "drive_c", "users")
        user = next(u for u in os.listdir(users) if u != "Public")
        self.temp = os.path.join(users, user, "Temp")
        self.library = os.path.join(users, user, "AppData", "Local", "Quillmere")
        self.env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")

    def cmd(self, program, *args):
        return ["/usr/lib/wine/wine64", os.path.join(self.bin, program)] + list(args)

    def run(self, program, *args):
        return subprocess.run(self.cmd(program, *args), env=self.env, capture_output=True, text=True)

    def killed(self, seconds, program, *args, appears=None):
        """Starts the program and kills it after `seconds` (counted from when
        the path `appears` exists, if given); True when it had ended by
        itself before."""
        p = subprocess.Popen(self.cmd(program, *args), env=self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
        while appears and p.poll() is None and not glob.glob(appears):
            time.sleep(0.002)
        try:
            p.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            p.send_signal(signal.SIGKILL)
            p.wait()
            time.sleep(0.5)  # until Wine's server has seen the process go
            return False

    def work_folders(self):
        return glob.glob(os.path.join(self.temp, "~oe*")) + glob.glob(os.path.join(self.temp, "scr*"))


def timed(w, program, *args):
    t = time.perf_counter()
    r = w.run(program, *args)
    return time.perf_counter() - t, r


def backup_kills(w, store, dest, points):
    print("backup killed at %d points" % points)
    archive = os.path.join(dest, "backup.qmb")
    seconds, r = timed(w, "backup_cli.exe", store, archive, PASSWORD)
    again, r2 = timed(w, "backup_cli.exe", store, archive, PASSWORD)  # the first one warms the caches
    seconds = min(seconds, again)
    check("a whole backup completes (%.1f s)" % seconds, r.returncode == 0 and r2.returncode == 0)
    earlier = digest(archive)
    left = 0
    for k in range(1, points + 1):
        at = seconds * k / (points + 1)
        before = set(w.work_folders())  # other programs' (the tests') stay out of it
        ended = w.killed(at, "backup_cli.exe", store, archive, PASSWORD)
        leftovers = glob.glob(os.path.join(dest, "qmb*.tmp*")) + list(set(w.work_folders()) - before)
        left += len(leftovers)
        w.run("backup_cli.exe", "--recover")
        if ended:
            check("point %d (%.1f s): the run ended first; its archive reads back" % (k, at),
                  reads_back(archive))
            earlier = digest(archive)
        else:
            # Killed after the new archive had taken the earlier one's place
            # (before the program ended): that one must then be whole.
            now = digest(archive)
            check("point %d (%.1f s): the earlier archive is byte-identical, or the new one took its place whole"
                  % (k, at), now == earlier or reads_back(archive))
            earlier = now
        check("point %d: no half-written archive and no work folder after the next start" % k,
              not glob.glob(os.path.join(dest, "qmb*.tmp*")) and not set(w.work_folders()) - before)
    print("  (the killed runs had left %d temporary archives and work folders)" % left)


def restore_kills(w, store, dest, points):
    print("restore killed at %d points" % points)
    archive = os.path.join(dest, "backup.qmb")
    seconds, r = timed(w, "restore_cli.exe", archive, PASSWORD)
    target = r.stdout.split("store=", 1)[1].strip() if "store=" in r.stdout else ""  # may hold blanks
    check("a whole restore completes (%.1f s)" % seconds, r.returncode == 0 and os.path.isdir(target))
    if r.returncode != 0 or not os.path.isdir(target):
        print(r.stdout + r.stderr)
        return
    new = folder_digests(target, skip=("notes.txt",))
    check("the restored store equals the saved one", new == folder_digests(store))

    old = make_old_store(target, new)
    # Half the points spread over the run; the other half once the old store
    # files are being moved aside, a little later each time, so that kills
    # land while the new ones are copied in and after.
    half = points // 2
    ats = [seconds * k / (half + 1) for k in range(1, half + 1)]
    delays = [0.05 * (k * k) for k in range(points - half)]
    for k in range(1, points + 1):
        before = set(w.work_folders())
        if k <= half:
            at = ats[k - 1]
            w.killed(at, "restore_cli.exe", archive, PASSWORD)
        else:
            at = delays[k - half - 1]
            w.killed(at, "restore_cli.exe", archive, PASSWORD, appears=os.path.join(target, "~qm-old*"))
        w.run("restore_cli.exe", "--recover")
        now = folder_digests(target, skip=("notes.txt",))
        state = "old" if now == old else "new" if {n: d for n, d in now.items() if n != "Only Old.dbx"} == new and \
            "Only Old.dbx" not in now else "a mix"
        when = "%.1f s" % at if k <= half else "%.2f s after the store began to move" % at
        check("point %d (%s): the store is all %s" % (k, when, state), state != "a mix")
        check("point %d: the user's own file is kept, nothing moved aside or extracted is left" % k,
              os.path.isfile(os.path.join(target, "notes.txt")) and not glob.glob(os.path.join(target, "~qm-old*"))
              and not set(w.work_folders()) - before)
        old = make_old_store(target, new)
    shutil.rmtree(os.path.dirname(os.path.dirname(target)), ignore_errors=True)


def disk_full(w, store, work):
    print("destination disk full while packing")
    if os.geteuid() != 0:
        print("  skipped: mounting a small tmpfs needs root")
        return
    full = os.path.join(work, "full")
    os.makedirs(full, exist_ok=True)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=24m", "tmpfs", full]).returncode != 0:
        print("  skipped: no tmpfs could be mounted")
        return
    try:
        before = set(w.work_folders())
        earlier = os.path.join(full, "backup.qmb")
        with open(earlier, "wb") as f:
            f.write(b"last week's backup")
        r = w.run("backup_cli.exe", store, earlier, PASSWORD)
        check("the run fails with the compression message",
              r.returncode == 1 and "Compress Files Fail" in r.stderr)
        shown = next((l for l in r.stdout.splitlines() if l.startswith("shown: ")), "")
        check("the result names no archive and says the disk is full: " + shown,
              shown.startswith("shown:  | ") and "Its disk is full" in shown)
        with open(earlier, "rb") as f:
            check("the earlier archive is intact", f.read() == b"last week's backup")
        check("no temporary file is left on the full disk", os.listdir(full) == ["backup.qmb"])
        check("no work folder is left", not set(w.work_folders()) - before)
    finally:
        subprocess.run(["umount", full])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--size-mb", type=int, default=600)
    ap.add_argument("--points", type=int, default=10)
    ap.add_argument("--work", default="/tmp/qm-faults")
    a = ap.parse_args()
    w = Wine(a.bin)
    os.makedirs(a.work, exist_ok=True)
    root = os.path.join(a.work, "store")
    make_store(root, a.size_mb)
    store = os.path.join(root, "{1234}")
    dest = os.path.join(a.work, "dest")
    shutil.rmtree(dest, ignore_errors=True)
    os.makedirs(dest)
    start = time.perf_counter()
    backup_kills(w, store, dest, a.points)
    restore_kills(w, store, dest, a.points)
    disk_full(w, store, a.work)
    shutil.rmtree(dest, ignore_errors=True)
    print("%d checks failed; %.0f s" % (len(failures), time.perf_counter() - start))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
