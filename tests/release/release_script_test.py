#!/usr/bin/env python3
"""scripts/release and the network settings: a release whose servers or forum are still
documentation placeholders is refused before anything is built, in one line that names those
settings; --example makes one anyway, named racing-switch-VERSION-example.zip; real settings make
racing-switch-VERSION.zip.

    release_script_test.py --version V --x86 EXE --x64 EXE

The script runs for real in a copy of the files it uses, with two stand-ins: scripts/setup, and a
cmake first on PATH whose build puts the given executables where the release expects its own.
The zip is checked as every release is. Exits 77 (skipped) for the building cases when the
32-bit executable is missing; the refusals run all the same.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

TOP = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
COPIED = ["scripts/release", "scripts/pack-release", "cmake/Settings.cmake", "resources/readme-zh.txt",
          "tests/release/check_release.py", "tests/release/pe_facts.py", "README.md"]
SETTINGS = ["TEST_DIRECTORY_ADDRESS", "LIVE_DIRECTORY_HOST", "LIVE_DIRECTORY_ADDRESS_1", "LIVE_DIRECTORY_ADDRESS_2",
            "LIVE_DIRECTORY_ADDRESS_3", "LIVE_DIRECTORY_ADDRESS_4", "FORUM_HOST"]
REAL = {"TEST_DIRECTORY_ADDRESS": "10.20.30.40", "LIVE_DIRECTORY_HOST": "dir.quorv-racing.net",
        "LIVE_DIRECTORY_ADDRESS_1": "10.20.30.41", "LIVE_DIRECTORY_ADDRESS_2": "10.20.30.42",
        "LIVE_DIRECTORY_ADDRESS_3": "10.20.30.43", "LIVE_DIRECTORY_ADDRESS_4": "10.20.30.44",
        "FORUM_HOST": "bbs.quorv-racing.net"}
SKIPPED = 77

# The stand-in cmake: a configure records its arguments and writes the version header; a build
# puts the executable of the configured target where the real build would.
FAKE_CMAKE = r'''#!/usr/bin/env python3
import os, shutil, sys
args = sys.argv[1:]
with open(os.environ["FAKE_CMAKE_LOG"], "a") as log:
    log.write(" ".join(args) + "\n")
if args[0] == "--build":
    tree = args[1]
    with open(os.path.join(tree, "arch")) as arch:
        source = os.environ["FAKE_X86" if arch.read() == "i686-w64-mingw32" else "FAKE_X64"]
    os.makedirs(os.path.join(tree, "app"), exist_ok=True)
    shutil.copyfile(source, os.path.join(tree, "app", "racing-switch.exe"))
else:
    tree = args[args.index("-B") + 1]
    toolchain = args[args.index("--toolchain") + 1]
    os.makedirs(os.path.join(tree, "generated", "resources"), exist_ok=True)
    with open(os.path.join(tree, "arch"), "w") as arch:
        arch.write(os.path.basename(toolchain)[len("toolchain-"):-len(".cmake")])
    with open(os.path.join(tree, "generated", "resources", "app_version.h"), "w") as header:
        header.write('#define APP_VERSION_TEXT "%s"\n' % os.environ["FAKE_VERSION"])
'''
FAKE_SETUP = "#!/bin/sh\necho ran >> \"$FAKE_SETUP_LOG\"\n"


def settings(**overrides):
    values = dict(REAL, **overrides)
    return [f"-D{name}={value}" for name, value in values.items() if value is not None]


# name, arguments, refused settings (None: not refused), zip expected
CASES = [
    ("nothing set", [], SETTINGS, None),
    ("the forum left at its default", settings(FORUM_HOST=None), ["FORUM_HOST"], None),
    ("a live address left at its default", settings(LIVE_DIRECTORY_ADDRESS_3=None), ["LIVE_DIRECTORY_ADDRESS_3"], None),
    ("a documentation address given", settings(TEST_DIRECTORY_ADDRESS="198.51.100.7"), ["TEST_DIRECTORY_ADDRESS"], None),
    ("a documentation host given, typed", settings(LIVE_DIRECTORY_HOST=None) + ["-DLIVE_DIRECTORY_HOST:STRING=Dir.Example.COM"],
     ["LIVE_DIRECTORY_HOST"], None),
    ("a placeholder set again to a real value", ["-DFORUM_HOST=forum.racing.example"] + settings(), None, "racing-switch-{v}.zip"),
    ("every setting real", settings(), None, "racing-switch-{v}.zip"),
    ("nothing set, as an example", ["--example"], None, "racing-switch-{v}-example.zip"),
]


def make_tree(scratch, args):
    tree = os.path.join(scratch, "tree")
    for path in COPIED:
        os.makedirs(os.path.dirname(os.path.join(tree, path)), exist_ok=True)
        shutil.copy2(os.path.join(TOP, path), os.path.join(tree, path))
    with open(os.path.join(tree, "scripts", "setup"), "w") as setup:
        setup.write(FAKE_SETUP)
    bin_folder = os.path.join(scratch, "bin")
    os.makedirs(bin_folder)
    with open(os.path.join(bin_folder, "cmake"), "w") as cmake:
        cmake.write(FAKE_CMAKE)
    for script in (os.path.join(tree, "scripts", "setup"), os.path.join(bin_folder, "cmake")):
        os.chmod(script, 0o755)
    environment = dict(os.environ, PATH=bin_folder + os.pathsep + os.environ["PATH"],
                       FAKE_CMAKE_LOG=os.path.join(scratch, "cmake.log"), FAKE_SETUP_LOG=os.path.join(scratch, "setup.log"),
                       FAKE_X86=args.x86, FAKE_X64=args.x64, FAKE_VERSION=args.version)
    return tree, environment


def lines_of(path):
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return f.read().splitlines()


def run_case(case, args):
    """The case's failures, as sentences."""
    name, arguments, refused, zip_pattern = case
    with tempfile.TemporaryDirectory() as scratch:
        tree, environment = make_tree(scratch, args)
        output = os.path.join(scratch, "out")
        run = subprocess.run(["bash", os.path.join(tree, "scripts", "release"), "--output", output] + arguments,
                             env=environment, capture_output=True, text=True)
        cmake_calls = lines_of(os.path.join(scratch, "cmake.log"))
        setup_runs = lines_of(os.path.join(scratch, "setup.log"))
        zips = sorted(f for f in os.listdir(output) if f.endswith(".zip")) if os.path.isdir(output) else []
        failures = []
        if refused is not None:
            lines = run.stderr.splitlines()
            if run.returncode == 0:
                failures.append("not refused")
            if len(lines) != 1:
                failures.append(f"said {len(lines)} lines, expected one: {run.stderr!r}")
            named = [setting for setting in SETTINGS if lines and setting in lines[0].replace(",", " ").split()]
            if named != refused:
                failures.append(f"named {named}, expected {refused}: {run.stderr!r}")
            if cmake_calls or setup_runs or zips:
                failures.append(f"went on after refusing: cmake {cmake_calls}, setup {setup_runs}, zips {zips}")
            return failures
        expected = zip_pattern.format(v=args.version)
        if run.returncode != 0:
            return [f"exit code {run.returncode}: {run.stderr[-2000:]}"]
        if zips != [expected]:
            failures.append(f"zips {zips}, expected [{expected}]")
        configures = [call for call in cmake_calls if not call.startswith("--build")]
        given = [argument for argument in arguments if argument.startswith("-D")]
        for call in configures:
            if not all(f" {argument}" in f" {call}" for argument in given):
                failures.append(f"a build was not given the settings {given}: {call}")
        if len(configures) != 2:
            failures.append(f"{len(configures)} builds configured, expected two")
        return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--x86", required=True)
    parser.add_argument("--x64", required=True)
    args = parser.parse_args()
    have_executables = os.path.exists(args.x86) and os.path.exists(args.x64)
    failed = skipped = 0
    for case in CASES:
        if case[2] is None and not have_executables:
            print(f"skipped {case[0]}: no 32-bit build at {args.x86}")
            skipped += 1
            continue
        failures = run_case(case, args)
        for failure in failures:
            print(f"FAIL {case[0]}: {failure}")
        if not failures:
            print(f"ok {case[0]}")
        failed += bool(failures)
    if failed:
        return 1
    return SKIPPED if skipped else 0


if __name__ == "__main__":
    sys.exit(main())
