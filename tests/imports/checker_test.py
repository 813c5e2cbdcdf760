#!/usr/bin/env python3
"""The import check itself: small programs built here with the cross
compiler, each with one fault the check must name, and one without.

checker_test.py C_COMPILER WORK_FOLDER"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import check_imports  # noqa: E402

ALLOW = os.path.join(HERE, "allowed_imports.txt")

PROGRAMS = {
    # name: (source, libraries)
    "clean": ("void start(void) { ExitProcess(GetTickCount() == 0); }", ["-lkernel32"]),
    "vista": ("void start(void) { ExitProcess((UINT)GetTickCount64()); }", ["-lkernel32"]),
    "crt": ("int puts(const char*);\nvoid start(void) { puts(\"x\"); ExitProcess(0); }",
            ["-lmsvcrt", "-lkernel32"]),
    "static_user": ("void start(void) { MessageBoxA(0, \"x\", \"y\", 0); ExitProcess(0); }",
                    ["-luser32", "-lkernel32"]),
    "nt_only": ("void start(void) { ExitProcess(BeginUpdateResourceW(L\"x\", FALSE) != 0); }",
                ["-lkernel32"]),
}

failures = 0


def expect(what, condition):
    global failures
    print("%s: %s" % ("PASS" if condition else "FAIL", what))
    if not condition:
        failures += 1


def build(compiler, folder, name):
    source, libraries = PROGRAMS[name]
    c = os.path.join(folder, name + ".c")
    exe = os.path.join(folder, name + ".exe")
    with open(c, "w") as f:
        f.write("#define _WIN32_WINNT 0x0600\n#include <windows.h>\n" + source + "\n")
    subprocess.run([compiler, "-Os", "-nostdlib", "-e", "_start", "-o", exe, c] + libraries, check=True)
    return exe


def faults(profile, exe, static=None):
    allowed = check_imports.read_allow_list(ALLOW)
    return check_imports.faults_of(allowed, profile, exe, static)


def main():
    compiler, folder = sys.argv[1:3]
    os.makedirs(folder, exist_ok=True)
    exe = {name: build(compiler, folder, name) for name in PROGRAMS}

    expect("a program of Windows 95 functions passes", faults("end-user", exe["clean"], {"KERNEL32.DLL"}) == [])
    found = faults("end-user", exe["vista"])
    expect("a function of Windows Vista is named as not allowed",
           any("KERNEL32.DLL!GetTickCount64" in f and "allow-list" in f for f in found))
    found = faults("end-user", exe["crt"])
    expect("a C runtime DLL fails an end-user program", any("C runtime" in f and "puts" in f for f in found))
    expect("msvcrt.dll is no fault in itself for a builder tool",
           not any("C runtime" in f for f in faults("builder", exe["crt"])))
    found = faults("end-user", exe["static_user"], {"KERNEL32.DLL"})
    expect("USER32 imported at load time fails where only KERNEL32 may be",
           any("USER32.dll!MessageBoxA at load time" in f for f in found))
    expect("USER32 at load time is allowed without the restriction",
           faults("end-user", exe["static_user"]) == [])
    found = faults("end-user", exe["nt_only"])
    expect("a function the 9x family lacks fails an end-user program",
           any("BeginUpdateResourceW" in f and "9x family" in f for f in found))
    expect("the same function is allowed for a builder tool", faults("builder", exe["nt_only"]) == [])
    rc = check_imports.main(["check_imports.py", ALLOW, "end-user", exe["clean"], "--delay", "USER32.DLL"])
    expect("a program without the delay-load imports it must have fails", rc == 1)
    rc = check_imports.main(["check_imports.py", ALLOW, "end-user", exe["vista"]])
    expect("the check's exit code is 1 on a fault", rc == 1)

    print("import_check_self: %d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
