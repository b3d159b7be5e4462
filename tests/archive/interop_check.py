#!/usr/bin/env python3
"""Archives written through cZip open in Info-ZIP unzip, 7-Zip and Python's
zipfile (AES-256 ones in 7-Zip, with passwords in any script); archives made
by Info-ZIP zip, Python and 7-Zip (AES) open through cUnzip (hostile and
damaged archives: archive_tests). The program side runs through archive_cli
(natively, or under Wine: give the emulator first)."""
import filecmp, os, random, shutil, subprocess, sys, tempfile, zipfile

CLI = sys.argv[1:]
WINE = any("wine" in a for a in CLI)
SEVENZIP = shutil.which("7zz") or shutil.which("7z")
CYRILLIC, CHINESE = "\u041f\u0430\u0440\u043e\u043b\u044c123", "\u5bc6\u7801\u5bc6\u7801\u5bc6"
COMMENT = "Sauvegarde d'\u00e9t\u00e9"
failures = []


def check(cond, what):
    print(("ok    " if cond else "FAIL  ") + what)
    if not cond:
        failures.append(what)


def run(*args, **kw):
    return subprocess.run(list(args), capture_output=True, **kw)


def cli(*args):
    r = subprocess.run(CLI + list(args), capture_output=True, text=True, encoding="utf-8", errors="replace")
    return r.returncode, r.stdout


def make_tree(root):
    rnd = random.Random(7)
    files = {
        "IdList.lst": b"\x08\x00\x18\x00Anna\x01{1234}\x011,1,1,1,1,1\x00",
        "{1234}/Inbox.dbx": b"".join(b"Subject: note %d\r\n\r\nhello world\r\n" % i for i in range(8000)),
        "{1234}/Random.dbx": bytes(rnd.getrandbits(8) for _ in range(100000)),
        # Several blocks of the parallel compressor, with repeats that reach
        # back across block boundaries and random stretches between them.
        "{1234}/Sent Items.dbx": b"".join(
            (b"From: anna@example.org\r\nSubject: report %d\r\n\r\n" % (i % 97)) * 3 +
            (bytes(rnd.getrandbits(8) for _ in range(200)) if i % 50 == 0 else b"") for i in range(12000)),
        "{1234}/00000000/sig.txt": b"-- Anna",
        "{1234}/empty.dbx": b"",
        "Bo\u00eete de r\u00e9ception/Gel\u00f6scht.dbx": b"deleted mail",
    }
    for rel, data in files.items():
        os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
        open(os.path.join(root, rel), "wb").write(data)
    return files


def same_tree(a, b):
    cmp = filecmp.dircmp(a, b)
    if cmp.left_only or cmp.right_only or cmp.diff_files or cmp.funny_files:
        return False
    return all(same_tree(os.path.join(a, d), os.path.join(b, d)) for d in cmp.common_dirs)


def hexed(password):
    """The password as archive_cli takes it whole, whatever the code page."""
    return "hex:" + password.encode("utf-8").hex() if password else ""


def ours_to_others(work, src, files):
    for password, aes in (("", False), ("s3cret", False), ("s3cret", True), (CYRILLIC, True)):
        tag = ("AES-256, " if aes else "") + ("with password " + password if password else "without password")
        arc = os.path.join(work, "ours%s%s.qmb" % ("_pw" if password else "", "_aes%d" % len(password) if aes else ""))
        rc, out = cli("pack-aes" if aes else "pack", src, arc, hexed(password), COMMENT)
        check(rc == 0 and "files=%d" % len(files) in out, "cZip packs %d files %s" % (len(files), tag))
        z = zipfile.ZipFile(arc)
        infos = z.infolist()
        check(sorted(i.filename for i in infos) == sorted(files), "relative names, no folder entries (%s)" % tag)
        check(all(bool(i.flag_bits & 1) == bool(password) for i in infos), "encryption as asked (%s)" % tag)
        check(all(i.compress_type == (99 if aes else zipfile.ZIP_DEFLATED) for i in infos), "method (%s)" % tag)
        check(all(i.flag_bits & 0x800 for i in infos if not i.filename.isascii()), "accented names flagged UTF-8")
        # The comment in the ANSI code page (Windows-1252 here) from the
        # Windows build; natively Debian's libzip takes UTF-8 comments only.
        comment = COMMENT.encode("cp1252" if WINE else "utf-8")
        check(z.comment == comment, "the comment's bytes (%s): %r" % (tag, z.comment))
        dest = os.path.join(work, "7z_" + os.path.basename(arc))
        r = run(SEVENZIP, "x", "-y", "-p" + password, "-o" + dest, arc)
        check(r.returncode == 0 and same_tree(src, dest), "7-Zip extracts the same tree (%s)" % tag)
        if aes:
            check(run(SEVENZIP, "t", "-pwrong", arc).returncode != 0, "7-Zip refuses a wrong password (%s)" % tag)
            continue  # Python and Info-ZIP have no AES
        if password:
            z.setpassword(password.encode())
        check(all(z.read(n) == files[n] for n in files), "zipfile reads every content (%s)" % tag)
        pw = ["-P", password] if password else []
        dest = os.path.join(work, "unzip_" + os.path.basename(arc))
        check(run("unzip", "-t", *pw, arc).returncode == 0, "unzip -t passes (%s)" % tag)
        r = run("unzip", "-q", *pw, arc, "-d", dest)
        check(r.returncode == 0 and same_tree(src, dest), "unzip extracts the same tree (%s)" % tag)
        check(comment in run("unzip", "-z", arc).stdout, "unzip shows the comment (%s)" % tag)


def others_to_ours(work, src, files):
    # 7-Zip's AES-256 (it writes zip passwords of ASCII only). Its AES entries
    # keep no CRC (AE-2); the Windows build's libzip is built to take that,
    # the system libzip of the native build checks the zero as a CRC: there
    # the entries must fail, never pass.
    arc = os.path.join(work, "7zip_aes.zip")
    run(SEVENZIP, "a", "-tzip", "-mem=AES256", "-pSieben-7", "-r", arc, ".", cwd=src, check=True)
    dest = os.path.join(work, "ours_from_7zip")
    rc, out = cli("unpack", arc, dest, "Sieben-7")
    check((rc == 0 and same_tree(src, dest)) if WINE else rc != 0, "cUnzip and 7-Zip's AES-256 archive")
    rc, out = cli("unpack", arc, os.path.join(work, "7zip_wrong"), "Sieben-8")
    check(rc != 0 and not os.path.exists(os.path.join(work, "7zip_wrong", "IdList.lst")),
          "a wrong password for 7-Zip's AES archive: failure, no file")
    arc = os.path.join(work, "python.zip")
    with zipfile.ZipFile(arc, "w", zipfile.ZIP_DEFLATED) as z:
        for rel, data in files.items():
            z.writestr(rel, data)
    rc, out = cli("unpack", arc, os.path.join(work, "ours_from_python"))
    check(rc == 0 and same_tree(src, os.path.join(work, "ours_from_python")), "cUnzip extracts Python's archive")
    # The compatible cipher takes no password the code page lacks.
    rc, out = cli("pack", src, os.path.join(work, "chinese.qmb"), hexed(CHINESE))
    check(rc != 0 and not os.path.exists(os.path.join(work, "chinese.qmb")),
          "the traditional cipher refuses a Chinese password, writing nothing")

    arc = os.path.join(work, "infozip.zip")
    subprocess.run(["zip", "-r", "-q", "-P", "pw", "-z", arc, "."], cwd=src, input=b"plain comment\n.\n", check=True)
    check(any(n.endswith("/") for n in zipfile.ZipFile(arc).namelist()), "Info-ZIP's archive holds folder entries")
    rc, out = cli("list", arc)
    entries = [l for l in out.splitlines() if l.startswith("entry=")]
    check(rc == 0 and len(entries) == len(files), "cUnzip lists the files and no folder entries")
    check("entry=|IdList.lst|1" in entries, "IdList.lst at the root, encrypted")
    check("entry={1234}\\00000000|sig.txt|1" in entries, "folder and name split with backslashes")
    check("comment=plain comment" in out, "cUnzip reads Info-ZIP's comment")
    dest = os.path.join(work, "ours_from_infozip")
    rc, out = cli("unpack", arc, dest, "pw")
    check(rc == 0 and same_tree(src, dest), "cUnzip extracts Info-ZIP's encrypted archive")


def main():
    work = tempfile.mkdtemp(prefix="qm-interop-")
    try:
        src = os.path.join(work, "src")
        files = make_tree(src)
        ours_to_others(work, src, files)
        others_to_ours(work, src, files)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
