#!/usr/bin/env python3
"""Packing and unpacking through cZip/cUnzip (archive_cli) beside Info-ZIP
zip/unzip on the same folders in the same run: paired runs, medians, ratios,
archive sizes, peak memory. Not a test.

  archive_bench.py [--size-mb 600] [--pairs 5] [--small 2000] [--work /tmp/qm-bench]
                   [--wine-peer DIR] -- CLI...

CLI is the archive_cli command (natively build/native-release/bin/archive_cli;
under Wine: cmake/wine-run.sh build/win64/bin/archive_cli.exe). The generated
folders go below --work (never into the repository) and are kept for reuse.

--wine-peer DIR adds a second peer: Info-ZIP's zip.exe and unzip.exe from DIR
(build-infozip-win64.sh) run under Wine, beside the Windows build under Wine."""
import argparse, os, random, shutil, statistics, subprocess, sys, time

WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake", "wine-run.sh")

WORDS = ("the of and to in is you that it he was for on are as with his they at be this have from or one had "
         "by word but not what all were we when your can said there use an each which she do how their if will "
         "up other about out many then them these so some her would make like him into time has look two more "
         "meeting invoice report tomorrow attached please regards thanks project update schedule").split()


def mail_block(rnd, size):
    parts, n = [], 0
    while n < size:
        body = " ".join(rnd.choice(WORDS) for _ in range(rnd.randint(40, 400)))
        msg = ("From: user%d@example.org\r\nTo: anna@example.org\r\nSubject: %s\r\nDate: Mon, %d Jan 2024 "
               "10:%02d:00 +0100\r\nMessage-ID: <%x@example.org>\r\n\r\n%s\r\n\r\n" %
               (rnd.randint(1, 500), " ".join(rnd.choice(WORDS) for _ in range(6)), rnd.randint(1, 28),
                rnd.randint(0, 59), rnd.getrandbits(64), body)).encode()
        parts.append(msg)
        n += len(msg)
    return b"".join(parts)


def make_store(folder, total_mb):
    """A dozen files: three quarters mailbox-like text, one quarter random bytes."""
    stamp = os.path.join(folder, ".done-%d" % total_mb)
    if os.path.exists(stamp):
        return
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "{1234}"))
    rnd = random.Random(1)
    total = total_mb * 1024 * 1024
    sizes = [total * 3 // 4 // 9] * 9 + [total // 4 // 3] * 3
    block = mail_block(rnd, 4 * 1024 * 1024)
    for i, size in enumerate(sizes):
        name = os.path.join(folder, "{1234}", ("Folder%02d.dbx" % i) if i < 9 else ("Attach%02d.dbx" % i))
        with open(name, "wb") as f:
            left = size
            while left > 0:
                chunk = block if i < 9 else os.urandom(min(left, 4 * 1024 * 1024))
                if i < 9:  # vary the text so that no two chunks are alike
                    cut = rnd.randrange(len(block) // 2)
                    chunk = block[cut:] + block[:cut]
                f.write(chunk[:left])
                left -= min(left, len(chunk))
    open(os.path.join(folder, "IdList.lst"), "wb").write(b"\x08\x00\x18\x00Anna\x01{1234}\x011,1,1,1,1,1\x00")
    open(stamp, "w").close()


def make_small(folder, count):
    stamp = os.path.join(folder, ".done-%d" % count)
    if os.path.exists(stamp):
        return
    shutil.rmtree(folder, ignore_errors=True)
    rnd = random.Random(2)
    block = mail_block(rnd, 256 * 1024)
    for i in range(count):
        sub = os.path.join(folder, "f%02d" % (i % 40))
        os.makedirs(sub, exist_ok=True)
        size = rnd.randint(1024, 20 * 1024)
        data = os.urandom(size) if i % 4 == 3 else block[(cut := rnd.randrange(len(block) - size)): cut + size]
        open(os.path.join(sub, "msg%05d.eml" % i), "wb").write(data)
    open(stamp, "w").close()


def timed(cmd, cwd=None):
    """Seconds, peak KB (the program's own figure when it prints one, else /usr/bin/time's)."""
    t = time.perf_counter()
    r = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, cwd=cwd, capture_output=True, text=True)
    elapsed = time.perf_counter() - t
    if r.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), r.stdout, r.stderr))
    peak = int(r.stderr.strip().splitlines()[-1])
    for line in r.stdout.splitlines():
        if line.startswith("peak_kb="):
            peak = int(line[8:])
    return elapsed, peak


def clean(*paths):
    for p in paths:
        if os.path.isdir(p):
            shutil.rmtree(p)
        elif os.path.exists(p):
            os.remove(p)


def pair_runs(label, ours, peers, pairs):
    """Runs ours and each peer in turn (the order rotating each round);
    prints medians and ratios."""
    runs = [ours] + [run for _, run in peers]
    times = [[] for _ in runs]
    mems = [[] for _ in runs]
    for k in range(pairs):
        order = list(range(len(runs)))
        order = order[k % len(order):] + order[:k % len(order)]
        for i in order:
            t, m = runs[i]()
            times[i].append(t)
            mems[i].append(m)
    a = statistics.median(times[0])
    for i, (name, _) in enumerate(peers, start=1):
        b = statistics.median(times[i])
        print("%-34s cZip/cUnzip %7.2f s  %s %7.2f s  ratio %.2f  peak %6.1f MB / %6.1f MB" %
              (label if i == 1 else "", a, name, b, a / b, max(mems[0]) / 1024, max(mems[i]) / 1024), flush=True)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def bench_folder(name, folder, work, cli, pairs, wine_peer):
    for pw in ("", "s3cret"):
        tag = "%s %s" % (name, "with password" if pw else "no password")
        ours_arc, their_arc = os.path.join(work, "ours.qmb"), os.path.join(work, "theirs.zip")
        win_arc = os.path.join(work, "theirs_win.zip")
        p = ["-P", pw] if pw else []
        packers = [("Info-ZIP", lambda: clean(their_arc) or timed(["zip", "-r", "-q"] + p + [their_arc, "."], cwd=folder))]
        if wine_peer:
            zip_exe = [WINE_RUN, os.path.join(wine_peer, "zip.exe")]
            packers.append(("Info-ZIP/Wine", lambda: clean(win_arc) or
                            timed(zip_exe + ["-r", "-q"] + p + [windows_path(win_arc), "."], cwd=folder)))
        pair_runs("pack " + tag, lambda: clean(ours_arc) or timed(cli + ["pack", folder, ours_arc, pw, "bench"]),
                  packers, pairs)
        print("%-34s sizes: cZip %d bytes, zip %d bytes (%.3f)" %
              ("", os.path.getsize(ours_arc), os.path.getsize(their_arc),
               os.path.getsize(ours_arc) / os.path.getsize(their_arc)))
        out_ours, out_theirs = os.path.join(work, "out_ours"), os.path.join(work, "out_theirs")
        out_win = os.path.join(work, "out_win")
        unpackers = [("Info-ZIP", lambda: clean(out_theirs) or
                      timed(["unzip", "-q", "-o"] + p + [their_arc, "-d", out_theirs]))]
        if wine_peer:
            unzip_exe = [WINE_RUN, os.path.join(wine_peer, "unzip.exe")]
            unpackers.append(("Info-ZIP/Wine", lambda: clean(out_win) or
                              timed(unzip_exe + ["-q", "-o"] + p + [windows_path(their_arc), "-d", windows_path(out_win)])))
        pair_runs("unpack " + tag, lambda: clean(out_ours) or timed(cli + ["unpack", their_arc, out_ours, pw]),
                  unpackers, pairs)
        clean(ours_arc, their_arc, win_arc, out_ours, out_theirs, out_win)


def bench_aes(folder, work, cli, pairs):
    """AES-256 (what a backup with a password now writes) beside our own
    traditional encryption, Info-ZIP's traditional one and 7-Zip's AES-256
    zip, packing and unpacking."""
    pw = "s3cret"
    ours_aes, ours_trad = os.path.join(work, "ours_aes.qmb"), os.path.join(work, "ours_trad.qmb")
    seven, info = os.path.join(work, "7zip_aes.zip"), os.path.join(work, "infozip.zip")
    pair_runs("pack store AES-256",
              lambda: clean(ours_aes) or timed(cli + ["pack-aes", folder, ours_aes, pw, "bench"]),
              [("our traditional", lambda: clean(ours_trad) or timed(cli + ["pack", folder, ours_trad, pw, "bench"])),
               ("7-Zip AES", lambda: clean(seven) or timed(["7zz", "a", "-tzip", "-mem=AES256", "-p" + pw, "-bd", "-bso0",
                                                            "-r", seven, "."], cwd=folder)),
               ("Info-ZIP -P", lambda: clean(info) or timed(["zip", "-r", "-q", "-P", pw, info, "."], cwd=folder))],
              pairs)
    print("%-34s sizes: AES %d bytes, 7-Zip AES %d bytes" % ("", os.path.getsize(ours_aes), os.path.getsize(seven)))
    out_ours, out_seven = os.path.join(work, "out_ours"), os.path.join(work, "out_seven")
    pair_runs("unpack store AES-256", lambda: clean(out_ours) or timed(cli + ["unpack", ours_aes, out_ours, pw]),
              [("7-Zip AES", lambda: clean(out_seven) or timed(["7zz", "x", "-y", "-p" + pw, "-bd", "-bso0",
                                                                "-o" + out_seven, seven]))],
              pairs)
    clean(ours_aes, ours_trad, seven, info, out_ours, out_seven)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--size-mb", type=int, default=600)
    ap.add_argument("--pairs", type=int, default=5)
    ap.add_argument("--small", type=int, default=2000)
    ap.add_argument("--work", default="/tmp/qm-archive-bench")
    ap.add_argument("--wine-peer", default="")
    ap.add_argument("--aes-only", action="store_true", help="only the AES-256 rows")
    ap.add_argument("cli", nargs="+")
    a = ap.parse_args()
    os.makedirs(a.work, exist_ok=True)
    store, small = os.path.join(a.work, "store"), os.path.join(a.work, "small")
    make_store(store, a.size_mb)
    make_small(small, a.small)
    print("store: %d MB in 13 files; small: %d files of 1-20 KB; %d pairs; %s" %
          (a.size_mb, a.small, a.pairs, " ".join(a.cli)), flush=True)
    bench_aes(store, a.work, a.cli, a.pairs)
    if a.aes_only:
        return
    bench_folder("store", store, a.work, a.cli, a.pairs, a.wine_peer)
    bench_folder("small", small, a.work, a.cli, a.pairs, a.wine_peer)


if __name__ == "__main__":
    main()
