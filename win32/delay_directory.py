#!/usr/bin/env python3
"""Enters the delay-load descriptors of a linked image as its delay-load
import directory (data directory 13), which the linker leaves empty. Their
place comes from the link map: win32/system_imports.cpp brackets them with
two symbols.

delay_directory.py IMAGE MAP"""
import re
import struct
import sys

# The map names them without the leading underscore of the assembler name.
START = "twDelayDescriptorsStart"
END = "twDelayDescriptorsEnd"


def symbol(map_text, name):
    match = re.search(r"^\s+0x([0-9a-fA-F]+)\s+_*%s\s*$" % re.escape(name), map_text, re.M)
    if not match:
        sys.exit("%s is not in the map" % name)
    return int(match.group(1), 16)


def main():
    image_path, map_path = sys.argv[1:3]
    with open(map_path) as f:
        map_text = f.read()
    start = symbol(map_text, START)
    end = symbol(map_text, END)
    with open(image_path, "r+b") as f:
        data = bytearray(f.read())
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x10B:
            sys.exit("not a 32-bit image")
        base = struct.unpack_from("<I", data, optional + 28)[0]
        if struct.unpack_from("<I", data, optional + 92)[0] <= 13:
            sys.exit("no room for the delay-load directory")
        size = end - start
        # Nothing bound on demand: the terminator alone, no directory.
        rva = start - base if size > 32 else 0
        if size % 32 != 0 or size < 32:
            sys.exit("the descriptors between the two symbols are not whole")
        struct.pack_into("<II", data, optional + 96 + 8 * 13, rva, size if rva else 0)
        f.seek(0)
        f.write(data)


if __name__ == "__main__":
    main()
