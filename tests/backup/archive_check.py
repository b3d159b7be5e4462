#!/usr/bin/env python3
"""The demo profile's backup archives (left by backup_tests in KEEP) read
with tools nobody here wrote: Info-ZIP unzip, 7-Zip and Python's zipfile.
Exactly the layout's entries, store and signature files and the address
book byte for byte, the identity list's bytes, a registry export's text, the
comment, the password, and the cipher asked for: AES-256 (AE-2; Info-ZIP
unzip and Python cannot decrypt it, 7-Zip reads it) or the traditional one.
archive_check.py KEEP FIXTURES"""
import os, struct, subprocess, sys, zipfile

KEEP, FIXTURES = sys.argv[1], sys.argv[2]
DRIVE = os.path.join(FIXTURES, "profile", "drive_c", "Documents and Settings", "demo")
MAIN, ANNA = "{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}", "{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}"
failures = []


def check(cond, what):
    print(("ok    " if cond else "FAIL  ") + what)
    if not cond:
        failures.append(what)


def run(*args):
    return subprocess.run(list(args), capture_output=True)


# Entry -> the bytes it must hold.
SIGS = os.path.join(DRIVE, "My Documents", "Signatures")
sources = {"demo.wab": os.path.join(DRIVE, "Application Data", "Microsoft", "Address Book", "demo.wab"),
           MAIN + "/00000000/main.txt": os.path.join(SIGS, "main.txt"),
           ANNA + "/00000000/work.htm": os.path.join(SIGS, "work.htm")}
for ident in (MAIN, ANNA):
    store = os.path.join(DRIVE, "Local Settings", "Application Data", "Identities", ident, "Microsoft", "Outlook Express")
    sources.update({ident + "/" + name: os.path.join(store, name) for name in os.listdir(store)})
want = {entry: open(path, "rb").read() for entry, path in sources.items()}
want["IdList.lst"] = b"".join(
    struct.pack("<HH", 8, len(text)) + text
    for text in (name.encode("cp1252") + b"\x01" + ident.encode() + b"\x011,1,1,1,1,1\x00"
                 for name, ident in (("Main Identity", MAIN), ("Anna Berger", ANNA))))
names = set(want) | {"Comment.lst", "GroupState.bkr", "UserList.bkr"}
names |= {i + "/" + f for i in (MAIN, ANNA) for f in ("Accounts.bkr", "Rules.bkr", "Blocked.bkr", "Signatures.bkr")}


def aes_field(info):
    """(vendor version, vendor, strength, method) of an entry's 0x9901 extra field, None without one."""
    extra = info.extra
    while len(extra) >= 4:
        tag, size = struct.unpack("<HH", extra[:4])
        if tag == 0x9901 and size == 7:
            return struct.unpack("<H2sBH", extra[4:11])
        extra = extra[4 + size:]
    return None


# name -> (password, AES); the one made through the wizard's real window on the Windows build only.
archives = {"demo.qmb": (None, False), "demo-pw.qmb": ("s3cret", True), "demo-compat.qmb": ("s3cret", False),
            "wizard.qmb": ("s3cret", True)}
for tag, (pw, aes) in archives.items():
    path = os.path.join(KEEP, tag)
    if tag == "wizard.qmb" and not os.path.exists(path):
        continue
    listing = run("unzip", "-Z1", path).stdout.decode("utf-8").splitlines()
    check(set(listing) == names and len(listing) == len(names), tag + ": unzip lists exactly the layout's entries")
    if aes:
        check(run("7zz", "t", "-p" + pw, path).returncode == 0, tag + ": 7-Zip tests every entry")
        check(run("7zz", "t", "-pwrong-one", path).returncode != 0, tag + ": 7-Zip refuses a wrong password")
        for entry, data in want.items():
            check(run("7zz", "x", "-so", "-p" + pw, path, entry).stdout == data, tag + ": 7-Zip " + entry)
    else:
        opt = ["-P", pw] if pw else []
        check(run("unzip", "-tq", *opt, path).returncode == 0, tag + ": unzip -t finds no error")
        for entry in ("IdList.lst", MAIN + "/Inbox.dbx", ANNA + "/00000000/work.htm"):
            check(run("unzip", "-p", *opt, path, entry).stdout == want[entry], tag + ": unzip -p " + entry)
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
        check(z.comment == b"Weekly backup", tag + ": comment")
        check(all(bool(i.flag_bits & 1) == bool(pw) for i in infos), tag + ": encryption as asked")
        check(all((aes_field(i) == (2, b"AE", 3, 8) and i.compress_type == 99) == aes for i in infos),
              tag + (": every entry AES-256 (AE-2, deflated)" if aes else ": no entry in AES"))
        if aes:
            continue  # Python's zipfile has no AES
        if pw:
            z.setpassword(pw.encode())
        for entry, data in want.items():
            check(z.read(entry) == data, tag + ": zipfile " + entry)
        blocked = z.read(ANNA + "/Blocked.bkr").decode("cp1252")
        check(blocked.startswith("Quillmere Registry File\r\n\r\n[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]\r\n")
              and "\"Value\"=\"noreply@ads.example\"\r\n" in blocked and "\"Type\"=dword:1\r\n" in blocked,
              tag + ": blocked senders export")
        check(b'"Account Name"="Anna (IMAP)"' in z.read(ANNA + "/Accounts.bkr"), tag + ": accounts export")

if failures:
    sys.exit("%d checks failed" % len(failures))
