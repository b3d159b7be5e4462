#!/usr/bin/env python3
"""Every #include "folder/..." under src/ looks down or sideways, never up:

  platform   the seam to the system; includes nothing but itself
  helpers    files, texts, lists, numbers, the program's identity, the run
             record (and resources, the ids of the window templates)
  controls   the control objects
  wizard     the page contract
  registry, archive, catalog, schedule, cleaner   the subsystems
  backup, restore                                 the runs and their pages
  shell      the application: frame, first pages, start-up, command line

check-floors.py [SRC] prints each include that runs up and fails when there
is one; --self-test shows it failing on one that does."""
import os
import re
import sys
import tempfile

FLOORS = [["platform"], ["helpers", "resources"], ["controls"], ["wizard"],
          ["registry", "archive", "catalog", "schedule", "cleaner"], ["backup", "restore"], ["shell"]]
FLOOR = {folder: k for k, names in enumerate(FLOORS) for folder in names}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def upward_includes(src):
    found = []
    for root, _, files in os.walk(src):
        rel = os.path.relpath(root, src)
        folder = rel.split(os.sep)[0]
        if folder == "." or folder not in FLOOR:
            continue
        for name in sorted(files):
            if not name.endswith((".h", ".cpp", ".c", ".rc")):
                continue
            path = os.path.join(root, name)
            text = open(path, encoding="latin-1").read()
            for m in INCLUDE.finditer(text):
                target = m.group(1)
                line = text.count("\n", 0, m.start()) + 1
                if target not in FLOOR:
                    found.append("%s:%d: includes from %s/, which has no floor" % (path, line, target))
                elif target != folder and (FLOOR[target] > FLOOR[folder] or folder == "platform"):
                    found.append("%s:%d: %s/ includes %s/ from a floor above" % (path, line, folder, target))
    return found


def self_test():
    with tempfile.TemporaryDirectory() as src:
        for folder, body in [("platform", '#include "platform/files.h"\n'),
                             ("helpers", '#include "platform/files.h"\n#include "helpers/x.h"\n'),
                             ("backup", '#include "catalog/a.h"\n#include "restore/b.h"\n')]:
            os.makedirs(os.path.join(src, folder))
            open(os.path.join(src, folder, "a.cpp"), "w").write(body)
        assert upward_includes(src) == [], upward_includes(src)
        open(os.path.join(src, "helpers", "up.h"), "w").write('#pragma once\n#include "shell/modCheckOE.h"\n')
        open(os.path.join(src, "platform", "up.cpp"), "w").write('#include "helpers/appinfo.h"\n')
        found = upward_includes(src)
        assert len(found) == 2 and "up.h:2: helpers/ includes shell/" in found[0] and "platform/up.cpp:1" in found[1], \
            found
    print("check-floors.py self-test: passed")


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    found = upward_includes(os.path.normpath(src))
    for f in found:
        print(f)
    if found:
        sys.exit("%d includes run up a floor" % len(found))
    print("floors: every include under %s looks down or sideways" % os.path.normpath(src))


if __name__ == "__main__":
    main()
