#!/usr/bin/env python3
"""A whole restore (restore_cli: opening the archive, extraction into the work
folder, registry imports, the store files replaced, clean-up) beside Info-ZIP
`unzip -q -P` of the same archive plus `cp` of the store files into a target
folder, in the same run: paired runs in rotating order, medians, ratio. Not a
test. The archive is a backup, with a password, of the archive benchmark's
generated store folder, made by the backup_cli of the same build with the
traditional cipher (--compatible), which unzip reads.

  restore_bench.py [--size-mb 600] [--pairs 3] [--work /tmp/qm-restore-bench]
                   [--wine-peer DIR] -- CLI...

CLI is the restore_cli command (natively build/native-release/bin/restore_cli;
under Wine: cmake/wine-run.sh build/win64/bin/restore_cli.exe); the backup_cli
beside it makes the archive. --wine-peer DIR adds Info-ZIP's unzip.exe from DIR
(archive/build-infozip-win64.sh) under Wine as a second peer. The restored
store files are checked against the originals (size, SHA-256) once per run."""
import argparse, glob, hashlib, os, shutil, statistics, subprocess, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "archive"))
from archive_bench import WINE_RUN, clean, make_store, windows_path  # noqa: E402

PASSWORD = "s3cret"


def run(cmd):
    t = time.perf_counter()
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), r.stdout, r.stderr))
    return time.perf_counter() - t, r.stdout


def digest(folder):
    out = {}
    for name in os.listdir(folder):
        h = hashlib.sha256()
        with open(os.path.join(folder, name), "rb") as f:
            while block := f.read(1 << 20):
                h.update(block)
        out[name] = (os.path.getsize(os.path.join(folder, name)), h.hexdigest())
    return out


def check(label, folder, originals):
    got = digest(folder)
    if got != originals:
        sys.exit("%s: the restored store files differ from the originals in %s" % (label, folder))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--size-mb", type=int, default=600)
    ap.add_argument("--pairs", type=int, default=3)
    ap.add_argument("--work", default="/tmp/qm-restore-bench")
    ap.add_argument("--wine-peer", default="")
    ap.add_argument("cli", nargs="+")
    a = ap.parse_args()
    work = os.path.abspath(a.work)
    os.makedirs(work, exist_ok=True)
    root = os.path.join(work, "store")
    make_store(root, a.size_mb)
    store = os.path.join(root, "{1234}")
    originals = digest(store)
    archive = os.path.join(work, "backup.qmb")
    clean(archive)
    backup_cli = a.cli[:-1] + [a.cli[-1].replace("restore_cli", "backup_cli")]
    # The traditional cipher: `unzip -P` reads no AES entries.
    run(backup_cli + ["--compatible", store, archive, PASSWORD])

    checked = set()

    def ours():
        t, out = run(a.cli + [archive, PASSWORD])
        restored = out.split("store=", 1)[1].strip()
        if "ours" not in checked:
            check("restore_cli", restored, originals)
            checked.add("ours")
        identity = os.path.dirname(os.path.dirname(restored))
        shutil.rmtree(identity)
        try:
            os.removedirs(os.path.dirname(identity))  # the folders above it that the run made
        except OSError:
            pass
        return t, 0.0

    def peer(unzip, tag):
        def go():
            out, target = os.path.join(work, "unzip_" + tag), os.path.join(work, "target_" + tag)
            clean(out, target)
            os.makedirs(target)
            t_unzip, _ = run(unzip(out))
            files = sorted(glob.glob(os.path.join(out, "*", "*.dbx")))
            t_cp, _ = run(["cp"] + files + [target])
            if tag not in checked:
                check(tag, target, originals)
                checked.add(tag)
            clean(out, target)
            return t_unzip + t_cp, t_unzip
        return go

    peers = [("Info-ZIP unzip -q -P + cp", peer(lambda out: ["unzip", "-q", "-o", "-P", PASSWORD, archive, "-d", out],
                                                "native"))]
    if a.wine_peer:
        unzip_exe = [WINE_RUN, os.path.join(a.wine_peer, "unzip.exe")]
        peers.append(("Info-ZIP/Wine unzip.exe -q -P + cp",
                      peer(lambda out: unzip_exe + ["-q", "-o", "-P", PASSWORD, windows_path(archive), "-d",
                                                    windows_path(out)], "wine")))
    runs = [ours] + [go for _, go in peers]
    times = [[] for _ in runs]
    unzips = [[] for _ in runs]
    for k in range(a.pairs):
        order = list(range(len(runs)))
        for i in order[k % len(order):] + order[:k % len(order)]:
            t, u = runs[i]()
            times[i].append(t)
            unzips[i].append(u)
    mine = statistics.median(times[0])
    print("store: %d MB in %d files, archive %d bytes (backup_cli, password set), %d pairs; %s" %
          (a.size_mb, len(originals), os.path.getsize(archive), a.pairs, " ".join(a.cli)))
    for i, (name, _) in enumerate(peers, start=1):
        theirs = statistics.median(times[i])
        print("whole restore %7.2f s   %-35s %7.2f s (unzip %.2f s)   ratio %.2f (target <= 1.0)" %
              (mine, name, theirs, statistics.median(unzips[i]), mine / theirs))
    print("restored store files equal the originals (size, SHA-256): %s" % ", ".join(sorted(checked)))
    clean(archive)


if __name__ == "__main__":
    main()
