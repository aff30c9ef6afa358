#!/usr/bin/env python3
"""Checks the player download, racing-switch-VERSION.zip: its members and their order, one date for
all, the sums, both executables (Windows GUI programs for x86 and x86-64, no link time stamp, the
version in their version resource) and the read-me (UTF-8 with a byte-order mark, CRLF lines).

    check_release.py ZIP --version V [--example]
        checks a zip that scripts/release made (with --example, one named as an example build).
    check_release.py --pack PACKER --x86 EXE --x64 EXE --readme TEMPLATE --version V
        packs the built executables twice into two different folders, requires the same bytes
        both times, and checks the zip. Exits 77 (skipped) when the 32-bit build is missing.

Each executable must stay within its size bound, which the project's README states in the same words
(checked too, so that the README's figures cannot drift from what is enforced).
"""

import argparse
import hashlib
import os
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_facts import PeError, pe_facts  # noqa: E402

X86, X64, README, SUMS = "racing-switch.exe", "racing-switch-x64.exe", "使用说明.txt", "SHA256SUMS"
MEMBERS = [X86, X64, README, SUMS]
MACHINES = {X86: 0x14C, X64: 0x8664}
WINDOWS_GUI = 2
# Upper bounds of the executables' sizes, in KiB, as the README states them.
MAX_KIB = {X86: 712, X64: 752}
PROJECT_README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")
SKIPPED = 77
# A fixed packing date for the pack check (2023-11-14 22:13:20 UTC, even seconds as zip keeps them).
PACK_EPOCH = 1700000000


def check_executable(name, data, version):
    try:
        facts = pe_facts(data)
    except PeError as error:
        return [f"{name}: not a readable PE file ({error})"]
    failures = []
    if len(data) > MAX_KIB[name] * 1024:
        failures.append(f"{name}: {len(data)} bytes, more than its bound of {MAX_KIB[name]} KiB")
    if facts["machine"] != MACHINES[name]:
        failures.append(f"{name}: machine {facts['machine']:#x}, expected {MACHINES[name]:#x}")
    if facts["subsystem"] != WINDOWS_GUI:
        failures.append(f"{name}: subsystem {facts['subsystem']}, expected {WINDOWS_GUI} (Windows GUI)")
    if facts["timestamp"] != 0:
        failures.append(f"{name}: link time stamp {facts['timestamp']:#x}, expected none")
    if facts["version"] is None:
        return failures + [f"{name}: no version resource"]
    file_version, product_version, strings = facts["version"]
    numbers = tuple(int(part) for part in version.split(".")) + (0,)
    for label, found in (("file version", file_version), ("product version", product_version)):
        if found != numbers:
            failures.append(f"{name}: {label} {found}, expected {numbers}")
    for key in ("FileVersion", "ProductVersion"):
        if strings.get(key) != version:
            failures.append(f"{name}: {key} {strings.get(key)!r}, expected {version!r}")
    return failures


def check_readme(data, version):
    failures = []
    if not data.startswith(b"\xef\xbb\xbf"):
        failures.append(f"{README}: does not start with the UTF-8 byte-order mark")
    try:
        text = data[3:].decode("utf-8")
    except UnicodeDecodeError as error:
        return failures + [f"{README}: not UTF-8 ({error})"]
    if text.replace("\r\n", "").count("\n") or text.replace("\r\n", "").count("\r"):
        failures.append(f"{README}: lines not ended by CRLF (Notepad before Windows 10 shows one long line)")
    for needed in (version, X86, X64, SUMS):
        if needed not in text:
            failures.append(f"{README}: does not mention {needed}")
    return failures


def check_sums(members):
    expected = {name: hashlib.sha256(members[name]).hexdigest() for name in MEMBERS if name != SUMS}
    listed = {}
    for line in members[SUMS].decode("utf-8").splitlines():
        digest, separator, name = line.partition("  ")
        if not separator:
            return [f"{SUMS}: line {line!r} is not 'digest  name'"]
        listed[name] = digest
    if listed.keys() != expected.keys():
        return [f"{SUMS}: lists {sorted(listed)}, expected {sorted(expected)}"]
    return [f"{SUMS}: {name} has {listed[name]}, its bytes give {digest}"
            for name, digest in expected.items() if listed[name] != digest]


def size_bound_sentence():
    return (f"the x86 executable to at most {MAX_KIB[X86]} KiB and the x64 one to at most {MAX_KIB[X64]} KiB")


def check_project_readme():
    if not os.path.exists(PROJECT_README):
        return []
    with open(PROJECT_README, encoding="utf-8") as readme:
        text = " ".join(readme.read().split())
    if size_bound_sentence() in text:
        return []
    return [f"README.md does not state the enforced bounds: expected the words '{size_bound_sentence()}'"]


def check_zip(path, version, date=None, example=False):
    """Every fault of the zip at path, as sentences; none means it is good."""
    expected_name = f"racing-switch-{version}{'-example' if example else ''}.zip"
    failures = [] if os.path.basename(path) == expected_name else [f"zip is named {os.path.basename(path)}, expected {expected_name}"]
    with zipfile.ZipFile(path) as archive:
        infos = archive.infolist()
        names = [info.filename for info in infos]
        if names != MEMBERS:
            return failures + [f"members {names}, expected {MEMBERS} in this order"]
        damaged = archive.testzip()
        if damaged is not None:
            return failures + [f"member {damaged} is damaged"]
        dates = {info.date_time for info in infos}
        if len(dates) != 1:
            failures.append(f"members carry different dates {sorted(dates)}")
        elif date is not None and dates != {date}:
            failures.append(f"members dated {dates.pop()}, expected {date}")
        members = {name: archive.read(name) for name in names}
    for name in (X86, X64):
        failures += check_executable(name, members[name], version)
    failures += check_readme(members[README], version)
    failures += check_sums(members)
    failures += check_project_readme()
    return failures


def pack(packer, args, output):
    environment = dict(os.environ, SOURCE_DATE_EPOCH=str(PACK_EPOCH))
    command = [sys.executable, packer, "--version", args.version, "--x86", args.x86, "--x64", args.x64,
               "--readme", args.readme, "--output", output]
    subprocess.run(command, check=True, env=environment, stdout=subprocess.DEVNULL)
    return os.path.join(output, f"racing-switch-{args.version}.zip")


def pack_and_check(args):
    if not os.path.exists(args.x86):
        print(f"skipped: no 32-bit build at {args.x86} (build the win32 preset first)")
        return SKIPPED
    with tempfile.TemporaryDirectory() as scratch:
        first = pack(args.pack, args, os.path.join(scratch, "first"))
        second = pack(args.pack, args, os.path.join(scratch, "second", "deeper"))
        with open(first, "rb") as a, open(second, "rb") as b:
            failures = [] if a.read() == b.read() else ["two packs of the same files differ"]
        failures += check_zip(first, args.version, time.gmtime(PACK_EPOCH)[:6])
    return report(first, failures)


def report(path, failures):
    for failure in failures:
        print(f"FAIL {failure}")
    if failures:
        return 1
    print(f"ok {os.path.basename(path)}: {', '.join(MEMBERS)}")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("zip", nargs="?")
    parser.add_argument("--version", required=True)
    parser.add_argument("--example", action="store_true")
    parser.add_argument("--pack")
    parser.add_argument("--x86")
    parser.add_argument("--x64")
    parser.add_argument("--readme")
    args = parser.parse_args()
    if args.pack:
        if not (args.x86 and args.x64 and args.readme):
            parser.error("--pack needs --x86, --x64 and --readme")
        return pack_and_check(args)
    if not args.zip:
        parser.error("name a zip, or --pack")
    return report(args.zip, check_zip(args.zip, args.version, example=args.example))


if __name__ == "__main__":
    sys.exit(main())
