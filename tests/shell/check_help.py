#!/usr/bin/env python3
"""help.chm opens and its table of contents lists the help pages, each
stored in the file: check_help.py HELP.CHM"""
import os
import re
import subprocess
import sys
import tempfile

EXPECTED = [
    ("Quillmere Help", "index.html"),
    ("Backing up", "backup.html"),
    ("Restoring", "restore.html"),
    ("Automatic backups", "schedule.html"),
    ("When something goes wrong", "troubleshooting.html"),
]


def main(chm):
    listing = subprocess.run(["chmls", "-n", "list", chm], capture_output=True, text=True, check=True).stdout
    stored = {line.strip() for line in listing.splitlines()}
    for required in ("/#SYSTEM", "/#TOPICS", "/help.hhc"):
        assert required in stored, f"{required} missing from {chm}"
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "toc.hhc")
        subprocess.run(["chmls", "extract", chm, "/help.hhc", out], capture_output=True, check=True)
        toc = open(out, encoding="cp1252").read()
        page = os.path.join(tmp, "backup.html")
        subprocess.run(["chmls", "extract", chm, "/backup.html", page], capture_output=True, check=True)
        assert "Save Script" in open(page, encoding="cp1252").read(), "backup page lacks its text"
    names = re.findall(r'<param name="Name" value="([^"]*)"><param name="Local" value="([^"]*)">', toc)
    assert names == EXPECTED, f"table of contents: {names}"
    for _, local in names:
        assert "/" + local in stored, f"{local} is listed but not stored"
    print(f"help.chm: {len(names)} topics in the table of contents, all stored")


if __name__ == "__main__":
    main(sys.argv[1])
