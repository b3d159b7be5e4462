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


def store(ident):
    return os.path.join(DRIVE, "Local Settings", "Application Data", "Identities", ident, "Microsoft",
                        "Outlook Express")


def expected_files():
    files = {"demo.wab": os.path.join(DRIVE, "Application Data", "Microsoft", "Address Book", "demo.wab"),
             MAIN + "/00000000/main.txt": os.path.join(DRIVE, "My Documents", "Signatures", "main.txt"),
             ANNA + "/00000000/work.htm": os.path.join(DRIVE, "My Documents", "Signatures", "work.htm")}
    for ident in (MAIN, ANNA):
        for name in os.listdir(store(ident)):
            files[ident + "/" + name] = os.path.join(store(ident), name)
    return files


def id_list():
    out = b""
    for name, ident in (("Main Identity", MAIN), ("Anna Berger", ANNA)):
        text = name.encode("cp1252") + b"\x01" + ident.encode() + b"\x01" + b"1,1,1,1,1,1\x00"
        out += struct.pack("<HH", 8, len(text)) + text
    return out


files = expected_files()
names = set(files) | {"IdList.lst", "Comment.lst", "GroupState.bkr", "UserList.bkr"}
for ident in (MAIN, ANNA):
    names |= {ident + "/" + f for f in ("Accounts.bkr", "Rules.bkr", "Blocked.bkr", "Signatures.bkr")}

def aes_strength(info):
    """The AES key strength of an entry's 0x9901 extra field (3: 256 bits),
    with its vendor version (2: AE-2) and the method under it; None
    without the field."""
    extra = info.extra
    while len(extra) >= 4:
        tag, size = struct.unpack("<HH", extra[:4])
        if tag == 0x9901 and size == 7:
            version, vendor, strength, method = struct.unpack("<H2sBH", extra[4:11])
            return version, vendor, strength, method
        extra = extra[4 + size:]
    return None


def read_with_7zip(path, pw, entry):
    return subprocess.run(["7zz", "x", "-so", "-p" + pw.decode(), path, entry], capture_output=True).stdout


KIND = {"demo.qmb": None, "demo-pw.qmb": "aes", "demo-compat.qmb": "traditional", "wizard.qmb": "aes"}
archives = [(os.path.join(KEEP, "demo.qmb"), None), (os.path.join(KEEP, "demo-pw.qmb"), b"s3cret"),
            (os.path.join(KEEP, "demo-compat.qmb"), b"s3cret")]
# The one made through the wizard's real window (Windows build only).
wizard = os.path.join(KEEP, "wizard.qmb")
if os.path.exists(wizard):
    archives.append((wizard, b"s3cret"))
for path, pw in archives:
    tag = os.path.basename(path)
    kind = KIND[tag]
    listing = subprocess.run(["unzip", "-Z1", path], capture_output=True).stdout.decode("utf-8").splitlines()
    check(set(listing) == names and len(listing) == len(names), tag + ": unzip lists exactly the layout's entries")
    if kind == "aes":
        test = subprocess.run(["7zz", "t", "-p" + pw.decode(), path], capture_output=True)
        check(test.returncode == 0, tag + ": 7-Zip tests every entry")
        wrong = subprocess.run(["7zz", "t", "-pwrong-one", path], capture_output=True)
        check(wrong.returncode != 0, tag + ": 7-Zip refuses a wrong password")
        for entry, source in files.items():
            check(read_with_7zip(path, pw, entry) == open(source, "rb").read(), tag + ": 7-Zip " + entry + " byte-identical")
        check(read_with_7zip(path, pw, "IdList.lst") == id_list(), tag + ": identity list bytes (7-Zip)")
    else:
        test = subprocess.run(["unzip", "-tq"] + (["-P", pw.decode()] if pw else []) + [path], capture_output=True)
        check(test.returncode == 0, tag + ": unzip -t finds no error")
        for entry in ("IdList.lst", MAIN + "/Inbox.dbx", ANNA + "/00000000/work.htm"):
            out = subprocess.run(["unzip", "-p"] + (["-P", pw.decode()] if pw else []) + [path, entry],
                                 capture_output=True).stdout
            want = id_list() if entry == "IdList.lst" else open(files[entry], "rb").read()
            check(out == want, tag + ": unzip -p " + entry + " gives its bytes")
    with zipfile.ZipFile(path) as z:
        check(z.comment == b"Weekly backup", tag + ": comment")
        infos = z.infolist()
        check(all(bool(i.flag_bits & 1) == bool(pw) for i in infos), tag + ": encryption as asked")
        check(all((aes_strength(i) == (2, b"AE", 3, 8) and i.compress_type == 99) == (kind == "aes") for i in infos),
              tag + ": every entry AES-256 (AE-2, deflated)" if kind == "aes" else tag + ": no entry in AES")
        check(not any(i.filename.endswith("/") for i in infos), tag + ": no folder entries")
        if kind == "aes":
            continue  # Python's zipfile has no AES
        if pw:
            z.setpassword(pw)
        for entry, source in files.items():
            check(z.read(entry) == open(source, "rb").read(), tag + ": zipfile " + entry + " byte-identical")
        check(z.read("IdList.lst") == id_list(), tag + ": identity list bytes")
        blocked = z.read(ANNA + "/Blocked.bkr").decode("cp1252")
        check(blocked.startswith("Quillmere Registry File\r\n\r\n[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]\r\n")
              and "\"Value\"=\"noreply@ads.example\"\r\n" in blocked and "\"Type\"=dword:1\r\n" in blocked,
              tag + ": blocked senders export")
        check(b'"Account Name"="Anna (IMAP)"' in z.read(ANNA + "/Accounts.bkr"), tag + ": accounts export")

if failures:
    sys.exit("%d checks failed" % len(failures))
