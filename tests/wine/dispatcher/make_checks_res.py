#!/usr/bin/env python3
"""Writes a .RES file holding the file checks the builder binds into every
package (RCDATA 900): per file its name (16 bytes, upper case, zero-padded),
its size (32 bits, little-endian) and its SHA-256."""
import hashlib
import os
import struct
import sys


def record(path):
    data = open(path, "rb").read()
    name = os.path.basename(path).upper().encode("ascii")
    return name.ljust(16, b"\0") + struct.pack("<I", len(data)) + hashlib.sha256(data).digest()


def entry(type_id, name_id, data):
    header = struct.pack("<HHHH", 0xFFFF, type_id, 0xFFFF, name_id)
    header += struct.pack("<IHHII", 0, 0x1030, 0, 0, 0)
    out = struct.pack("<II", len(data), 8 + len(header)) + header + data
    return out + b"\0" * (-len(out) % 4)


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: make_checks_res.py OUT.res FILE...")
    table = b"".join(record(p) for p in sys.argv[2:])
    res = struct.pack("<II", 0, 32) + struct.pack("<HHHH", 0xFFFF, 0, 0xFFFF, 0) + b"\0" * 16
    res += entry(10, 900, table)
    open(sys.argv[1], "wb").write(res)


if __name__ == "__main__":
    main()
