#!/usr/bin/env python3
"""What each test alone runs of the program, and what no other test runs.

Needs the build of scripts/coverage.sh (build-coverage/). Runs every
GoogleTest case and every script test on its own, as ctest would (offscreen,
X11 ones under xvfb-run), and prints, fewest first, how many lines and branches
of base/, convert/, filelist/, app/ and cli/ only that case runs. A case with
none is not useless (its assertions may be the only ones on what it runs), but
it is where to look first when the suite is to shrink.

    scripts/coverage-each.py [--list-lines] [name part ...]
    scripts/coverage-each.py --what-could-go POINTS [--costly-only]

Name parts limit the runs to cases whose name holds one; the others' earlier
results in build-coverage/each/ are used again.

--what-could-go takes out, one at a time, the case that loses the least
coverage for the test lines it weighs (its file's non-blank lines shared among
the file's cases), until one more would take line or branch coverage more than
POINTS below today's. It prints what it took out and the lines saved. The
hostile documents, the page table, the X11 boxes and the install scripts stay.
With --costly-only, so do the pure tables: only window tests and runs of real
Ghostscript or velmora-convert are taken out. An upper bound on what coverage
allows; each case's assertions are still to be read.
"""
import collections
import glob
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build-coverage")
RESULTS = os.path.join(BUILD, "each")
SOURCES = ("base/", "convert/", "filelist/", "app/", "cli/")
PROGRAM_TARGETS = ("velmora_core", "velmora_app", "velmora_cli", "velmora", "velmora-convert")


KEPT_FILES = ("hostile_documents_test.cpp", "page_table_test.cpp", "_x11_test.cpp", "install/")
COSTLY_HARNESSES = (b"window_fixture.h", b"conversion_harness.h", b"convert_command.h")


def source_of(command):
    """The test file a ctest command runs."""
    script = [part for part in command if part.endswith(".sh")]
    if script:
        return os.path.relpath(script[0], ROOT)
    target = next(os.path.basename(part) for part in command if part.endswith("_test"))
    folder, name = target.split("_", 1)
    return os.path.join("tests", folder, name + ".cpp")


def cases():
    """Each case as (name, command, environment, working folder)."""
    listing = subprocess.run(["ctest", "--show-only=json-v1"], cwd=BUILD, check=True,
                             capture_output=True, text=True).stdout
    for test in json.loads(listing)["tests"]:
        props = {p["name"]: p["value"] for p in test.get("properties", [])}
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        env.update(e.split("=", 1) for e in props.get("ENVIRONMENT", []))
        command = test["command"]
        if "x11" in props.get("LABELS", []):
            env.pop("QT_QPA_PLATFORM")
            command = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24"] + command
        folder = props.get("WORKING_DIRECTORY", BUILD)
        if command[0].endswith(".sh") or command[0].endswith("bash"):
            yield test["name"], command, env, folder
            continue
        names = subprocess.run([test["command"][0], "--gtest_list_tests"], env=env,
                               capture_output=True, text=True).stdout
        suite = ""
        for line in names.splitlines():
            if not line.startswith(" "):
                suite = line.strip()
                continue
            case = suite + line.split()[0]
            yield (f"{test['name']}.{case}", command + ["--gtest_filter=" + case], env, folder)


def measure(name, command, env, folder):
    for counts in glob.glob(os.path.join(BUILD, "**", "*.gcda"), recursive=True):
        os.remove(counts)
    ran = subprocess.run(command, cwd=folder, env=env, capture_output=True)
    objects = [os.path.join(BUILD, "CMakeFiles", t + ".dir") for t in PROGRAM_TARGETS]
    filters = [arg for source in SOURCES for arg in ("--filter", source)]
    subprocess.run(["gcovr", "--root", ROOT, "--object-directory", BUILD, *filters,
                    "--exclude-unreachable-branches", "--exclude-throw-branches", "-j", "2",
                    "--json", os.path.join(RESULTS, name.replace("/", "_") + ".json"), *objects],
                   cwd=ROOT, check=True, capture_output=True)
    print(f"ran {name}: exit {ran.returncode}", file=sys.stderr, flush=True)


def covered(result, everything=False):
    """The lines and branches a result ran (or, with everything, could run)."""
    lines, branches = set(), set()
    for source in json.load(open(result))["files"]:
        for line in source["lines"]:
            if line.get("gcovr/noncode"):
                continue
            at = (source["file"], line["line_number"])
            if everything or line["count"] > 0:
                lines.add(at)
            branches.update((*at, i) for i, b in enumerate(line.get("branches", []))
                            if everything or b["count"] > 0)
    return lines, branches


def what_could_go(each, sources, points, costly_only):
    """Takes out the cheapest losses first; see --what-could-go above."""
    totals = [set(), set()]
    for result in glob.glob(RESULTS + "/*.json"):
        for total, seen in zip(totals, covered(result, everything=True)):
            total |= seen
    runs = collections.Counter(), collections.Counter()
    for parts in each.values():
        for kind, seen in zip(runs, parts):
            kind.update(seen)
    floors = [len(kind) - points / 100 * len(total) for kind, total in zip(runs, totals)]
    shares = collections.Counter(sources.values())
    weight, candidates = {}, set()
    for name, source in sources.items():
        text = open(os.path.join(ROOT, source), "rb").read()
        weight[name] = sum(1 for line in text.splitlines() if line.strip()) / shares[source]
        costly = source.endswith(".sh") or any(h in text for h in COSTLY_HARNESSES)
        if not any(k in source for k in KEPT_FILES) and (costly or not costly_only):
            candidates.add(name)
    saved = 0
    print("test-lines lost-lines lost-branches case")
    while True:
        options = []
        for name in candidates:
            lost = [sum(1 for x in seen if kind[x] == 1) for kind, seen in zip(runs, each[name])]
            if all(len(kind) - n >= floor for kind, n, floor in zip(runs, lost, floors)):
                cost = sum(n / len(total) for n, total in zip(lost, totals))
                options.append((cost / weight[name], name, lost))
        if not options:
            break
        _, name, lost = min(options)
        candidates.remove(name)
        for kind, seen in zip(runs, each[name]):
            kind.subtract(seen)
            kind += collections.Counter()  # drops what nothing runs any more
        saved += weight[name]
        print(f"{weight[name]:10.0f} {lost[0]:10d} {lost[1]:13d} {name}")
    percent = [100 * len(kind) / len(total) for kind, total in zip(runs, totals)]
    print(f"about {saved:.0f} test lines could go; lines {percent[0]:.1f} %, "
          f"branches {percent[1]:.1f} % of what the five folders could run")


def main():
    args = sys.argv[1:]
    points = None
    if "--what-could-go" in args:
        at = args.index("--what-could-go")
        points = float(args.pop(at + 1))
        args.pop(at)
    costly_only = "--costly-only" in args
    list_lines = "--list-lines" in args
    wanted = [a for a in args if a not in ("--list-lines", "--costly-only")]
    os.makedirs(RESULTS, exist_ok=True)
    sources = {}
    for name, command, env, folder in cases():
        sources[name.replace("/", "_")] = source_of(command)
        result = os.path.join(RESULTS, name.replace("/", "_") + ".json")
        if (wanted and any(w in name for w in wanted)) or not os.path.exists(result):
            measure(name, command, env, folder)
    each = {os.path.basename(r)[:-5]: covered(r) for r in glob.glob(RESULTS + "/*.json")}
    if points is not None:
        what_could_go({n: each[n] for n in sources}, sources, points, costly_only)
        return
    runs = collections.Counter(), collections.Counter()
    for parts in each.values():
        for kind, seen in zip(runs, parts):
            kind.update(seen)
    rows = []
    for name, parts in each.items():
        only = [sorted(x for x in seen if kind[x] == 1) for kind, seen in zip(runs, parts)]
        rows.append((len(only[0]) + len(only[1]), len(only[0]), len(only[1]), name, only[0]))
    print("only-lines only-branches case")
    for _, lines, branches, name, which in sorted(rows):
        print(f"{lines:10d} {branches:13d} {name}")
        if list_lines:
            for source, line in which:
                print(f"{'':25}{source}:{line}")


if __name__ == "__main__":
    main()
