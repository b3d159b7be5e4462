#!/usr/bin/env python3
"""Checks that 32-bit Windows programs start on Windows XP SP3.

For every file given: the PE header asks for no Windows newer than XP
(subsystem version 5.1 at most), every DLL it imports ships with Windows XP,
and every function it imports from them is declared by the mingw-w64 headers
when compiled for _WIN32_WINNT 0x0501 (functions of the C runtime aside:
msvcrt.dll is checked by name only). Prints each file's imports by DLL and
exits 1 on the first file that fails.

  check-xp-imports.py FILE...       check the files
  check-xp-imports.py --self-test   show that the check fails where it must:
                                    a program that calls a Vista function,
                                    one that imports a DLL XP lacks
"""
import os
import re
import subprocess
import sys
import tempfile

TRIPLE = "i686-w64-mingw32"

# DLLs of a Windows XP SP3 installation that a program like this may import.
XP_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "version.dll", "winmm.dll", "uxtheme.dll",
    "ntdll.dll", "hhctrl.ocx", "ws2_32.dll", "wsock32.dll", "mpr.dll",
    "imagehlp.dll", "dbghelp.dll", "secur32.dll", "userenv.dll", "crypt32.dll",
}
CRT_DLLS = {"msvcrt.dll"}

# Headers that declare what these DLLs export.
HEADERS = ["windows.h", "commctrl.h", "commdlg.h", "shellapi.h", "shlobj.h",
           "shlwapi.h", "ntsecapi.h", "psapi.h", "tlhelp32.h", "uxtheme.h",
           "mmsystem.h", "winver.h", "objbase.h", "oleauto.h", "userenv.h",
           "dbghelp.h", "wincrypt.h", "aclapi.h"]



def imports(path):
    """{dll: [function names]} of a PE file, and its subsystem version."""
    out = subprocess.run([TRIPLE + "-objdump", "-p", path], check=True,
                         capture_output=True, text=True).stdout
    table, dll, version = {}, None, None
    major = re.search(r"MajorSubsystemVersion\s+(\d+)", out)
    minor = re.search(r"MinorSubsystemVersion\s+(\d+)", out)
    if major and minor:
        version = (int(major.group(1)), int(minor.group(1)))
    for line in out.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            table.setdefault(dll, [])
            continue
        m = re.match(r"\s*[0-9a-f]+\s+(\d+)\s+(\S+)\s*$", line)
        if m and dll:
            table[dll].append(m.group(2))
            continue
        m = re.match(r"\s*[0-9a-f]+\s+<none>\s+(\S+)", line)
        if m and dll:
            table[dll].append("#" + m.group(1))  # by ordinal
        if line.startswith("There is an export table") or "Export Address Table" in line:
            dll = None
    return table, version


def undeclared(names):
    """The names the XP headers do not declare."""
    names = sorted(set(n for n in names if not n.startswith("#")))
    if not names:
        return set()
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "declared.c")
        with open(src, "w") as f:
            f.write("#define _WIN32_WINNT 0x0501\n#define WINVER 0x0501\n#define _WIN32_IE 0x0600\n")
            for h in HEADERS:
                f.write("#include <%s>\n" % h)
            for i, n in enumerate(names):
                f.write("void *qm_check_%d(void) { return (void *)&%s; }\n" % (i, n))
        r = subprocess.run([TRIPLE + "-gcc-posix", "-fsyntax-only", "-fmax-errors=0", "-w", src],
                           capture_output=True, text=True)
        missing = set()
        for m in re.finditer(r"qm_check_(\d+)", r.stderr):
            missing.add(names[int(m.group(1))])
        # An error outside the probe functions is an error of the check itself.
        if r.returncode != 0 and not missing:
            sys.exit("check-xp-imports: the header probe does not compile:\n" + r.stderr)
        return missing


def check(path):
    table, version = imports(path)
    problems = []
    if version is None or version > (5, 1):
        problems.append("asks for subsystem version %s (Windows XP is 5.1)" % (version,))
    probed = {}  # function -> its DLL: one probe for the whole file
    for dll, names in sorted(table.items()):
        print("  %-14s %d functions" % (dll, len(names)))
        if dll not in XP_DLLS:
            problems.append("imports %s, which Windows XP does not have" % dll)
            continue
        if dll in CRT_DLLS:
            continue
        for n in [n for n in names if n.startswith("#")]:
            problems.append("imports %s by ordinal %s" % (dll, n[1:]))
        probed.update((n, dll) for n in names)
    for n in sorted(undeclared(probed)):
        problems.append("imports %s!%s, not declared for Windows XP" % (probed[n], n))
    return problems


def self_test():
    ok = True
    with tempfile.TemporaryDirectory() as tmp:
        cases = [
            ("xp", "", "GetTickCount()", None, True),
            ("vista-function", "", "(DWORD)GetTickCount64()", "GetTickCount64", False),
            ("vista-dll", "#include <bcrypt.h>\n", "BCryptGenRandom(0, 0, 0, 0)", "bcrypt.dll", False),
        ]
        for name, extra, call, expected, passes in cases:
            src = os.path.join(tmp, name + ".c")
            exe = os.path.join(tmp, name + ".exe")
            with open(src, "w") as f:
                f.write("#define _WIN32_WINNT 0x0600\n#include <windows.h>\n%s"
                        "int main(void) { return (int)%s; }\n" % (extra, call))
            libs = ["-lbcrypt"] if "bcrypt" in extra else []
            subprocess.run([TRIPLE + "-gcc-posix", "-O0", src, "-o", exe] + libs, check=True)
            print("self-test: %s" % name)
            problems = check(exe)
            for p in problems:
                print("    " + p)
            good = (not problems) if passes else any(expected in p for p in problems)
            print("  -> %s" % ("as expected" if good else "NOT AS EXPECTED"))
            ok = ok and good
    return ok


def main():
    if sys.argv[1:] == ["--self-test"]:
        sys.exit(0 if self_test() else 1)
    if not sys.argv[1:]:
        sys.exit(__doc__)
    failed = False
    for path in sys.argv[1:]:
        print("%s:" % os.path.basename(path))
        problems = check(path)
        for p in problems:
            print("  FAIL: " + p)
        failed = failed or bool(problems)
    print("Windows XP imports: %s" % ("FAILED" if failed else "all declared for XP, every DLL on XP"))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
