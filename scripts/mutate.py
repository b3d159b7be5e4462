#!/usr/bin/env python3
"""How many small faults the native suite finds: seeded source mutations,
applied one at a time to the code of the subsystems, each followed by a
rebuild and a run of the suite with a time-out.

  mutate.py [--seed 22] [--count 150] [--list FILE] [--only N,M..] [--build DIR]
  mutate.py --self-test

Mutants are drawn from every site in the natively compiled .cpp files of the
folders below, with the given seed, in proportion to each folder's sites
(at least --least from each). Kinds of mutant: a comparison or boolean
operator flipped, a condition negated, an integer constant changed by one, a
call's result ignored (taken as success), a call statement removed. A
mutant is named by file, line, kind and the line's text before and after,
so a list written once (--list, tab-separated) can be run again on the same
sources. Results: killed (a test failed), survived, timed out (counted as
killed), not compiled (left out of the rate). The build is its own tree
(no sanitizers, -O1) so that the suite runs quickly; the source file is
put back after each mutant, also when the script is interrupted."""
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TOP = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
FOLDERS = ["registry", "archive", "backup", "restore", "schedule", "helpers", "shell"]

# Per line: (kind, pattern, replacement function). Patterns work on the code
# part of a line (strings and comments blanked first).
SWAPS = {"==": "!=", "!=": "==", "<=": "<", ">=": ">", "&&": "||", "||": "&&"}


def code_part(line):
    """The line with string and character literals and the // comment
    blanked out (same length), so patterns never match inside them."""
    out, i, n = [], 0, len(line)
    while i < n:
        c = line[i]
        if c in "\"'":
            j = i + 1
            while j < n and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(" " * (min(j, n - 1) - i + 1))
            i = j + 1
            continue
        if line.startswith("//", i):
            out.append(" " * (n - i))
            break
        out.append(c)
        i += 1
    return "".join(out)[:n]


def matching_paren(text, open_at):
    depth = 0
    for k in range(open_at, len(text)):
        if text[k] == "(":
            depth += 1
        elif text[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


def sites_of_line(line):
    """Every mutant of one line: (kind, new line)."""
    code = code_part(line)
    stripped = code.strip()
    if not stripped or stripped.startswith(("#", "*", "/*")) or "static_assert" in code:
        return []
    out = []
    for m in re.finditer(r"==|!=|<=|>=|&&|\|\|", code):
        op = m.group(0)
        out.append(("operator " + op, line[:m.start()] + SWAPS[op] + line[m.end():]))
    # A lone < or > between operands (not templates, shifts or arrows).
    for m in re.finditer(r"(?<=[\w)\]]) (<|>) (?=[\w(!-])", code):
        op = m.group(1)
        new = "<=" if op == "<" else ">="
        out.append(("operator " + op, line[:m.start(1)] + new + line[m.end(1):]))
    for m in re.finditer(r"\b(if|while) \(", code):
        open_at = m.end() - 1
        close = matching_paren(code, open_at)
        if close > 0:
            out.append(("negated " + m.group(1),
                        line[:open_at + 1] + "!(" + line[open_at + 1:close] + ")" + line[close:]))
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", code):
        if code[max(0, m.start() - 1)] in "[":  # array sizes and indices stay
            continue
        value = int(m.group(1))
        out.append(("constant %d" % value, line[:m.start()] + str(value + 1) + line[m.end():]))
    # if (!Call(...)) -> the call made, its failure ignored.
    for m in re.finditer(r"!((?:\w+(?:::|\.|->))*[A-Z]\w*)\(", code):
        close = matching_paren(code, m.end() - 1)
        if close > 0:
            out.append(("result ignored", line[:m.start()] + "!(" + line[m.start() + 1:close + 1] + ", true)" +
                        line[close + 1:]))
    # A statement that is only a call: removed.
    if re.fullmatch(r"\s*(?:\w+(?:::|\.|->))*[A-Za-z_]\w*\(.*\);\s*", code) and not re.match(
            r"\s*(return|delete|throw|case)\b", code):
        out.append(("call removed", re.match(r"\s*", line).group(0) + ";"))
    return out


def source_files(build):
    commands = json.load(open(os.path.join(build, "compile_commands.json")))
    files = set()
    for c in commands:
        path = os.path.relpath(os.path.abspath(os.path.join(c["directory"], c["file"])), TOP)
        parts = path.split(os.sep)
        if len(parts) == 3 and parts[0] == "src" and parts[1] in FOLDERS and path.endswith(".cpp"):
            files.add(path)
    return sorted(files)


def all_sites(files):
    sites = []
    for path in files:
        with open(os.path.join(TOP, path), encoding="latin-1") as f:
            lines = f.read().split("\n")
        in_block = False
        for number, line in enumerate(lines, 1):
            if "/*" in line and "*/" not in line:
                in_block = True
            if in_block:
                in_block = "*/" not in line
                continue
            for kind, new in sites_of_line(line):
                sites.append({"file": path, "line": number, "kind": kind, "old": line, "new": new})
    return sites


def draw(sites, seed, count, least):
    by_folder = {f: [s for s in sites if s["file"].split("/")[1] == f] for f in FOLDERS}
    total = sum(len(v) for v in by_folder.values())
    rng = random.Random(seed)
    chosen = []
    for folder in FOLDERS:
        pool = by_folder[folder]
        want = min(len(pool), max(least, round(count * len(pool) / total)))
        chosen += rng.sample(pool, want)
    chosen.sort(key=lambda s: (s["file"], s["line"], s["kind"], s["new"]))
    for k, s in enumerate(chosen, 1):
        s["id"] = k
    return chosen


def write_list(path, mutants):
    with open(path, "w", encoding="latin-1") as f:
        for m in mutants:
            f.write("\t".join([str(m["id"]), m["file"], str(m["line"]), m["kind"],
                               m["old"].replace("\t", "\\t"), m["new"].replace("\t", "\\t")]) + "\n")


def read_list(path):
    out = []
    for row in open(path, encoding="latin-1"):
        k, file, line, kind, old, new = row.rstrip("\n").split("\t")[:6]
        out.append({"id": int(k), "file": file, "line": int(line), "kind": kind,
                    "old": old.replace("\\t", "\t"), "new": new.replace("\\t", "\t")})
    return out


def configure(build):
    if not os.path.exists(os.path.join(build, "build.ninja")):
        subprocess.run(["cmake", "-S", TOP, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        "-DCMAKE_CXX_FLAGS_RELEASE=-O1", "-DCMAKE_C_FLAGS_RELEASE=-O1", "-DQM_SANITIZE=OFF"],
                       check=True, capture_output=True)
    r = subprocess.run(["ninja", "-C", build], capture_output=True, text=True)
    if r.returncode:
        sys.exit("the unmutated tree does not build:\n" + r.stdout[-3000:])


def suite_jobs(build):
    """The suite's programs as ctest would run them; the test programs that
    mostly wait (timers, pumped runs) split into shards that run side by
    side. The archive check runs after the backup tests whose archives it
    reads."""
    listing = json.loads(subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                                        capture_output=True, text=True, check=True).stdout)
    jobs = []
    for t in listing["tests"]:
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        env = dict(os.environ)
        for pair in props.get("ENVIRONMENT", []):
            key, _, value = pair.partition("=")
            env[key] = value
        cmd = t["command"]
        shards = SHARDS.get(os.path.basename(cmd[0]), 1) if len(cmd) == 1 else 1
        for k in range(shards):
            e = dict(env)
            if shards > 1:
                e.update(GTEST_TOTAL_SHARDS=str(shards), GTEST_SHARD_INDEX=str(k))
            jobs.append({"name": t["name"], "cmd": cmd, "cwd": props.get("WORKING_DIRECTORY", build), "env": e,
                         "after": "backup_tests" if t["name"] == "backup_archive_tools" else None})
    return jobs


SHARDS = {"restore_tests": 4, "backup_tests": 3, "shell_tests": 2}
PARALLEL = 4


def run_suite(jobs, timeout, failures=None):
    """'passed', 'failed' or 'timeout'; stops at the first failure, unless
    failures (a list) is given: then every program runs to its end and the
    list gets the name of each test that failed or timed out ("program"
    alone for a program that is not a gtest one, or that died)."""
    waiting, running, outcome = [dict(j) for j in jobs], [], "passed"
    report_dir = tempfile.mkdtemp(prefix="mutate-") if failures is not None else None
    # The programs still running are ended however this ends (a time-out,
    # the first failure, or the script itself stopped), hung ones included:
    # each runs in a session of its own.
    try:
        while (waiting or running) and (outcome == "passed" or failures is not None):
            busy = {j["name"] for j in running} | {j["name"] for j in waiting}
            for j in list(waiting):
                if len(running) >= PARALLEL:
                    break
                if j["after"] and j["after"] in busy:
                    continue
                waiting.remove(j)
                if report_dir:
                    j["report"] = os.path.join(report_dir, "%d.json" % len(waiting))
                    j["env"] = dict(j["env"], GTEST_OUTPUT="json:" + j["report"])
                j["proc"] = subprocess.Popen(j["cmd"], cwd=j["cwd"], env=j["env"], stdout=subprocess.DEVNULL,
                                             stderr=subprocess.DEVNULL, start_new_session=True)
                j["started"] = time.time()
                running.append(j)
            time.sleep(0.05)
            for j in list(running):
                code = j["proc"].poll()
                if code is None:
                    if time.time() - j["started"] > timeout:
                        outcome = "timeout"
                        if failures is not None:
                            failures.append(j["name"] + " (timed out)")
                            end(j)
                            running.remove(j)
                    continue
                running.remove(j)
                if code != 0:
                    outcome = "failed" if outcome == "passed" else outcome
                    if failures is not None:
                        failures.extend(failed_tests(j))
    finally:
        for j in running:
            end(j)
        if report_dir:
            shutil.rmtree(report_dir, ignore_errors=True)
    return outcome


def end(job):
    """Ends a test program and whatever it started."""
    try:
        os.killpg(job["proc"].pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    job["proc"].wait()


def failed_tests(job):
    """The failed tests a gtest program's report names, or the program."""
    try:
        report = json.load(open(job["report"]))
    except (KeyError, OSError, ValueError):
        return [job["name"]]
    names = ["%s.%s" % (suite["name"], case["name"]) for suite in report.get("testsuites", [])
             for case in suite.get("testsuite", []) if case.get("failures")]
    return names or [job["name"]]


def locate(mutant):
    """The line number of the mutant's line in today's file, near its own."""
    path = os.path.join(TOP, mutant["file"])
    lines = open(path, encoding="latin-1").read().split("\n")
    at = mutant["line"] - 1
    for d in range(0, len(lines)):
        for k in (at - d, at + d):
            if 0 <= k < len(lines) and lines[k] == mutant["old"]:
                return lines, k
    return lines, -1


def run(mutants, build, timeout, results_path, matrix_path=None):
    jobs = suite_jobs(build)  # the suite's programs do not change with a mutant
    done = {}
    if results_path and os.path.exists(results_path):
        for row in open(results_path):
            k, result = row.split("\t")[:2]
            done[int(k)] = result
    original = {}

    def restore_all(*_):
        for path, text in original.items():
            with open(path, "w", encoding="latin-1", newline="") as f:
                f.write(text)
        original.clear()

    signal.signal(signal.SIGTERM, lambda *a: (restore_all(), sys.exit(1)))
    try:
        for m in mutants:
            if m["id"] in done:
                m["result"] = done[m["id"]]
                continue
            path = os.path.join(TOP, m["file"])
            lines, k = locate(m)
            if k < 0:
                m["result"] = "missing"
            else:
                text = "\n".join(lines)
                original[path] = text
                lines[k] = m["new"]
                with open(path, "w", encoding="latin-1", newline="") as f:
                    f.write("\n".join(lines))
                started = time.time()
                b = subprocess.run(["ninja", "-C", build], capture_output=True, text=True)
                if b.returncode:
                    m["result"] = "not compiled"
                else:
                    failures = [] if matrix_path else None
                    outcome = run_suite(jobs, timeout, failures)
                    if matrix_path:
                        with open(matrix_path, "a") as f:
                            f.write(json.dumps({"id": m["id"], "failed": sorted(set(failures))}) + "\n")
                    m["result"] = {"passed": "survived", "failed": "killed", "timeout": "timed out"}[outcome]
                restore_all()
                m["seconds"] = round(time.time() - started)
            print("%3d %-12s %s:%d %s" % (m["id"], m["result"], m["file"], m["line"], m["kind"]), flush=True)
            if results_path:
                with open(results_path, "a") as f:
                    f.write("%d\t%s\t%s:%d\t%s\n" % (m["id"], m["result"], m["file"], m["line"], m["kind"]))
    finally:
        restore_all()
    # The tree as it was, rebuilt.
    subprocess.run(["ninja", "-C", build], capture_output=True)


def table(mutants):
    rows = []
    for folder in FOLDERS + ["all"]:
        ms = [m for m in mutants if folder == "all" or m["file"].split("/")[1] == folder]
        count = lambda r: sum(1 for m in ms if m.get("result") == r)
        killed, survived, timed = count("killed"), count("survived"), count("timed out")
        judged = killed + survived + timed
        rows.append("%-9s %7d %8d %9d %12d %13d   %s" % (
            folder, killed, survived, timed, count("not compiled"), count("missing"),
            "%5.1f%%" % (100.0 * (killed + timed) / judged) if judged else "    -"))
    return ("folder     killed survived timed out not compiled  line missing   kill rate\n" + "\n".join(rows))


def self_test():
    cases = [
        ("  if (a == b) return;", {"operator ==", "negated if"}),
        ('  Call("a == b");', {"call removed"}),  # nothing inside the string
        ('  x = Call(1);', {"constant 1"}),
        ("  if (!platform::RemoveFile(path)) return false;", {"negated if", "result ignored"}),
        ("  n = k + 1;  // == here", {"constant 1"}),
        ("  while (i < n && ok) ++i;", {"operator <", "operator &&", "negated while"}),
        ("  char buf[512] = {};", set()),
        ("#include <vector>", set()),
    ]
    for line, kinds in cases:
        got = {k for k, _ in sites_of_line(line)}
        assert got == kinds, (line, got, kinds)
    (_, new), = [s for s in sites_of_line("  if (!platform::RemoveFile(path)) return false;") if s[0] == "result ignored"]
    assert new == "  if (!(platform::RemoveFile(path), true)) return false;", new
    print("mutate.py self-test: passed")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", type=int, default=22)
    ap.add_argument("--count", type=int, default=150)
    ap.add_argument("--least", type=int, default=12, help="mutants at least per folder")
    ap.add_argument("--list", help="the mutant list: read when it exists, else written")
    ap.add_argument("--results", help="results, appended per mutant; a run started again goes on from them")
    ap.add_argument("--only", help="comma-separated mutant numbers")
    ap.add_argument("--build", default=os.path.join(TOP, "build", "mutate"))
    ap.add_argument("--timeout", type=int, default=120, help="seconds per test program")
    ap.add_argument("--matrix", help="per mutant, the tests that fail (JSON lines, appended); every program "
                    "then runs to its end")
    ap.add_argument("--dry-run", action="store_true", help="write or print the list only")
    ap.add_argument("--self-test", action="store_true")
    a = ap.parse_args()
    if a.self_test:
        return self_test()
    if a.list and os.path.exists(a.list):
        mutants = read_list(a.list)
    else:
        configure(a.build)
        mutants = draw(all_sites(source_files(a.build)), a.seed, a.count, a.least)
        if a.list:
            write_list(a.list, mutants)
    if a.only:
        wanted = {int(x) for x in a.only.split(",")}
        mutants = [m for m in mutants if m["id"] in wanted]
    if a.dry_run:
        for m in mutants:
            print("%3d %s:%d %s\n    - %s\n    + %s" % (m["id"], m["file"], m["line"], m["kind"], m["old"].strip(),
                                                       m["new"].strip()))
        return
    configure(a.build)
    run(mutants, a.build, a.timeout, a.results, a.matrix)
    print(table(mutants))
    survivors = [m for m in mutants if m.get("result") == "survived"]
    if survivors:
        print("\nsurvived:")
        for m in survivors:
            print("%3d %s:%d %s\n    - %s\n    + %s" % (m["id"], m["file"], m["line"], m["kind"], m["old"].strip(),
                                                       m["new"].strip()))


if __name__ == "__main__":
    main()
