#!/usr/bin/env python3
"""Puts faults into the code on purpose, one at a time, and counts how many the tests catch.

Each fault is one small change a reviewer would call a typo: a comparison flipped
(< and <=, > and >=, == and !=), && and || swapped, an integer constant moved by one,
or a returned truth value turned.  The sites are drawn at random (a fixed seed, so two
runs over the same tree draw the same faults) from engine/, detect/, job/, cli/ and
platform/, never from the generated tables.  For each fault the tree is rebuilt (the
libraries and the test programs below the window) and ctest runs; a fault is caught
when a test fails or times out, survives when every test passes, and is not counted
when it does not compile.

Usage: tools/mutation_score.py [--faults N] [--seed S] [--build DIR] [--keep-going]
Run it in a clean checkout: it edits files in place and puts each one back.
"""
import argparse
import pathlib
import random
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
LAYERS = ["engine", "detect", "job", "cli", "platform"]
SKIP = re.compile(r"tables|generated")

# (pattern, replacement) pairs; each match of a pattern is one possible fault.
OPERATORS = [
    (re.compile(r"(?<=[\s)\w])<=(?=\s)"), "<"),
    (re.compile(r"(?<=[\s)\w])<(?=\s)"), "<="),
    (re.compile(r"(?<=[\s)\w])>=(?=\s)"), ">"),
    (re.compile(r"(?<=[\s)\w])>(?=\s)"), ">="),
    (re.compile(r"(?<=\s)==(?=\s)"), "!="),
    (re.compile(r"(?<=\s)!=(?=\s)"), "=="),
    (re.compile(r"(?<=\s)&&(?=\s)"), "||"),
    (re.compile(r"(?<=\s)\|\|(?=\s)"), "&&"),
    (re.compile(r"\breturn true;"), "return false;"),
    (re.compile(r"\breturn false;"), "return true;"),
]
NUMBER = re.compile(r"(?<![\w.])(0x[0-9A-Fa-f]+|\d+)(?![\w.])")


def code_lines(path):
    """Lines worth mutating: code, not comments, includes or static_asserts."""
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines()):
        stripped = line.strip()
        if not stripped or stripped.startswith(("//", "#", "*", "static_assert")):
            continue
        yield number, line.split("//")[0]


def sites():
    """Every (file, line, start, end, replacement) the operators offer."""
    found = []
    for layer in LAYERS:
        for path in sorted((ROOT / layer).glob("*.cpp")) + sorted((ROOT / layer).glob("*.h")):
            if SKIP.search(path.name):
                continue
            for number, code in code_lines(path):
                for pattern, replacement in OPERATORS:
                    for m in pattern.finditer(code):
                        found.append((path, number, m.start(), m.end(), replacement))
                for m in NUMBER.finditer(code):
                    text = m.group(1)
                    value = int(text, 16 if text.startswith("0x") else 10)
                    moved = value + 1 if value in (0, 1) or random.random() < 0.5 else value - 1
                    new = hex(moved) if text.startswith("0x") else str(moved)
                    found.append((path, number, m.start(), m.end(), new))
    return found


def run(command, timeout):
    try:
        return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--faults", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default="build-mutation")
    args = parser.parse_args()
    random.seed(args.seed)
    build = str(ROOT / args.build)
    if run(["cmake", "-S", ".", "-B", build, "-DRUV_BUILD_GUI=OFF",
            "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], 600) != 0 or \
            run(["cmake", "--build", build, "-j2"], 3600) != 0:
        sys.exit("the tree does not build as it is")
    if run(["ctest", "--test-dir", build, "-j2"], 1800) != 0:
        sys.exit("the tests do not pass as they are")
    chosen = random.sample(sites(), args.faults)
    caught = survived = broken = 0
    for path, number, start, end, replacement in chosen:
        original = path.read_text(encoding="utf-8")
        lines = original.split("\n")
        line = lines[number]
        lines[number] = line[:start] + replacement + line[end:]
        path.write_text("\n".join(lines), encoding="utf-8")
        where = f"{path.relative_to(ROOT)}:{number + 1}: {line.strip()[:70]} -> {replacement}"
        try:
            if run(["cmake", "--build", build, "-j2"], 1800) != 0:
                broken += 1
                print("does not build ", where, flush=True)
                continue
            if run(["ctest", "--test-dir", build, "-j2", "--timeout", "300"], 3600) != 0:
                caught += 1
                print("caught         ", where, flush=True)
            else:
                survived += 1
                print("SURVIVED       ", where, flush=True)
        finally:
            path.write_text(original, encoding="utf-8")
    run(["cmake", "--build", build, "-j2"], 3600)  # back to the tree as it is
    counted = caught + survived
    rate = caught / counted if counted else 0.0
    print(f"caught {caught} of {counted} faults ({rate:.0%}); {broken} did not build")


if __name__ == "__main__":
    main()
