#!/usr/bin/env python3
"""Makes a delay-load import library for one system DLL from the
toolchain's ordinary import library: the exported names are read from it
with nm, and dlltool writes the delay-load library.

delay_library.py NM DLLTOOL IMPORT_LIBRARY DLL_NAME OUTPUT"""
import os
import subprocess
import sys


def main():
    nm, dlltool, library, dll, output = sys.argv[1:6]
    listing = subprocess.run([nm, library], check=True, capture_output=True, text=True).stdout
    names = set()
    for line in listing.splitlines():
        parts = line.split()
        # "00000000 I __imp__MessageBoxA@16": the stdcall name with its
        # argument size, as dlltool wants it (-k drops the size again).
        if len(parts) == 3 and parts[1] == "I" and parts[2].startswith("__imp__"):
            names.add(parts[2][len("__imp__"):])
    if not names:
        sys.exit("no imports found in %s" % library)
    definition = output + ".def"
    with open(definition, "w") as f:
        f.write("LIBRARY %s\nEXPORTS\n" % dll)
        for name in sorted(names):
            f.write("  %s\n" % name)
    if os.path.exists(output):
        os.remove(output)
    subprocess.run([dlltool, "-k", "--input-def", definition, "--output-delaylib", output,
                    "--dllname", dll], check=True)


if __name__ == "__main__":
    main()
