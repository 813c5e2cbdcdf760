#!/usr/bin/env python3
"""Checks a shipped program's imports against the allow-list.

check_imports.py ALLOW_LIST PROFILE FILE [--static DLL,...] [--note TEXT]

PROFILE is "end-user" (Windows 95 and NT 4.0, no C runtime DLL) or
"builder" (Windows 98 or an NT-only function, NT 4.0; msvcrt.dll allowed).
--static names the only DLLs the program may import at load time; the rest
must be delay-load imports, bound by full path after the DLL search is
restricted. --delay names DLLs the program must have delay-load imports
from (so that a build that lost its delay-load directory cannot pass with
those imports unseen). Prints each fault and exits 1 when there is one."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_imports import PeError, read_imports  # noqa: E402

NINE_X = ["95", "95osr2", "98", "me"]
NT = ["3.1", "3.5", "3.51", "4.0", "2000", "xp", "vista", "7", "8", "10"]
# C runtime DLLs: none is part of a fresh Windows 95 or NT 4.0.
C_RUNTIMES = ("msvcrt", "msvcr", "msvcp", "ucrtbase", "api-ms-win-crt-", "crtdll", "vcruntime",
              "libstdc++", "libgcc", "libwinpthread")

PROFILES = {
    # oldest 9x allowed, NT allowed, "-" (not on the 9x family) accepted,
    # C runtime DLLs accepted
    "end-user": ("95", "4.0", False, ()),
    "builder": ("98", "4.0", True, ("msvcrt.dll",)),
}


def read_allow_list(path):
    allowed = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = "" if line.lstrip().startswith("#") else line.strip()
            if not line:
                continue
            parts = line.split(None, 3)
            if len(parts) < 3 or "!" not in parts[0]:
                raise SystemExit("%s:%d: expected DLL!function 9X NT [reason]" % (path, number))
            dll, function = parts[0].split("!", 1)
            name, nine_x, nt = "%s!%s" % (dll.upper(), function), parts[1].lower(), parts[2].lower()
            if nine_x != "-" and nine_x not in NINE_X or nt not in NT:
                raise SystemExit("%s:%d: unknown Windows version in %r" % (path, number, line))
            if name in allowed:
                raise SystemExit("%s:%d: %s is listed twice" % (path, number, parts[0]))
            allowed[name] = (nine_x, nt)
    return allowed


def faults_of(allowed, profile, path, static_dlls):
    oldest_9x, oldest_nt, nt_only_ok, runtimes_ok = PROFILES[profile]
    faults = []
    try:
        imports = read_imports(path)
    except (PeError, OSError, struct_error()) as e:
        return ["cannot read the import table: %s" % e]
    for dll, function, kind in imports:
        lower = dll.lower()
        if lower.startswith(C_RUNTIMES) and lower not in runtimes_ok:
            faults.append("imports %s!%s from a C runtime DLL, which Windows 95 and NT 4.0 do not have"
                          % (dll, function))
            continue
        if static_dlls is not None and kind == "static" and dll.upper() not in static_dlls:
            faults.append("imports %s!%s at load time: only %s may be, the rest is bound on first call"
                          % (dll, function, ", ".join(sorted(static_dlls))))
        key = "%s!%s" % (dll.upper(), function)
        if key not in allowed:
            faults.append("imports %s, which the allow-list does not name" % key)
            continue
        nine_x, nt = allowed[key]
        if nine_x == "-":
            if not nt_only_ok:
                faults.append("imports %s, which the 9x family does not have" % key)
        elif NINE_X.index(nine_x) > NINE_X.index(oldest_9x):
            faults.append("imports %s, which the 9x family has only from Windows %s on" % (key, nine_x))
        if NT.index(nt) > NT.index(oldest_nt):
            faults.append("imports %s, which the NT family has only from Windows %s on" % (key, nt))
    return faults


def struct_error():
    import struct
    return struct.error


def main(argv):
    if len(argv) < 4 or argv[2] not in PROFILES:
        raise SystemExit(__doc__)
    allow_path, profile, path = argv[1:4]
    static_dlls, note, delay_dlls = None, None, set()
    rest = argv[4:]
    while rest:
        if rest[0] == "--static" and len(rest) > 1:
            static_dlls = {d.upper() for d in rest[1].split(",") if d}
        elif rest[0] == "--delay" and len(rest) > 1:
            delay_dlls = {d.upper() for d in rest[1].split(",") if d}
        elif rest[0] == "--note" and len(rest) > 1:
            note = rest[1]
        else:
            raise SystemExit(__doc__)
        rest = rest[2:]
    faults = faults_of(read_allow_list(allow_path), profile, path, static_dlls)
    if delay_dlls:
        try:
            seen = {dll.upper() for dll, _, kind in read_imports(path) if kind == "delay"}
        except (PeError, OSError):
            seen = set()
        for dll in sorted(delay_dlls - seen):
            faults.append("has no delay-load imports from %s (is its delay-load directory missing?)" % dll)
    name = os.path.basename(path)
    for fault in faults:
        print("%s: %s" % (name, fault))
    if faults:
        if note:
            print("%s: note: %s" % (name, note))
        print("%s: %d import fault(s)" % (name, len(faults)))
        return 1
    print("%s: every import is on the allow-list for %s programs" % (name, profile))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
