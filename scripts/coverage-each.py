#!/usr/bin/env python3
"""What each test alone runs of the program, and what no other test runs.

Needs the build of scripts/coverage.sh (build-coverage/). Runs every
GoogleTest case and every script test on its own, as ctest would (offscreen,
X11 ones under xvfb-run), and prints, fewest first, how many lines and branches
of base/, convert/, filelist/, app/ and cli/ only that case runs. A case with
none is not useless (its assertions may be the only ones on what it runs), but
it is where to look first when the suite is to shrink.

    scripts/coverage-each.py [--list-lines] [name part ...]

Name parts limit the runs to cases whose name holds one; the others' earlier
results in build-coverage/each/ are used again.
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


def covered(result):
    lines, branches = set(), set()
    for source in json.load(open(result))["files"]:
        for line in source["lines"]:
            at = (source["file"], line["line_number"])
            if line["count"] > 0:
                lines.add(at)
            branches.update((*at, i) for i, b in enumerate(line.get("branches", []))
                            if b["count"] > 0)
    return lines, branches


def main():
    args = sys.argv[1:]
    list_lines = "--list-lines" in args
    wanted = [a for a in args if a != "--list-lines"]
    os.makedirs(RESULTS, exist_ok=True)
    for name, command, env, folder in cases():
        result = os.path.join(RESULTS, name.replace("/", "_") + ".json")
        if (wanted and any(w in name for w in wanted)) or not os.path.exists(result):
            measure(name, command, env, folder)
    each = {os.path.basename(r)[:-5]: covered(r) for r in glob.glob(RESULTS + "/*.json")}
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
