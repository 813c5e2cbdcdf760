#!/usr/bin/env python3
"""Assembles a test package without the builder: a bound dispatcher image,
the items back to back (or spread and reordered), the item table and the
count; --fault makes one of the bad packages the dispatcher must refuse."""
import argparse
import struct
import sys

FAULTS = (
    "count-zero", "count-past-file", "record-past-end", "record-overlaps-table",
    "two-records", "runtime-truncated", "runtime-corrupt", "runtime-not-cabinet",
    "runtime-empty", "count-truncated", "cabxpd-overwritten",
)


def table(records):
    out = b"".join(struct.pack("<III", off & 0xFFFFFFFF, off >> 32, size)
                   for off, size in records)
    return out + struct.pack("<I", len(records))


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument("--image", required=True, help="dispatcher with its resources")
    p.add_argument("--item", action="append", required=True, help="item files in order")
    p.add_argument("--out", required=True)
    p.add_argument("--pad", type=int, default=0,
                   help="filler bytes before each item (unaligned offsets)")
    p.add_argument("--reverse", action="store_true",
                   help="store the bodies last item first; the table stays in item order")
    p.add_argument("--fault", choices=FAULTS)
    a = p.parse_args()

    data = bytearray(open(a.image, "rb").read())
    bodies = [bytearray(open(f, "rb").read()) for f in a.item]
    if a.fault == "runtime-truncated":
        bodies[2] = bodies[2][: len(bodies[2]) * 2 // 3]
    elif a.fault == "runtime-corrupt":
        # Past the cabinet and folder headers: the compressed data.
        for i in range(len(bodies[2]) // 2, len(bodies[2]) - 8):
            bodies[2][i] ^= 0x5A
    elif a.fault == "runtime-not-cabinet":
        bodies[2] = bytearray(b"This is no cabinet at all. " * 40)
    elif a.fault == "runtime-empty":
        bodies[2] = bytearray()
    elif a.fault == "cabxpd-overwritten":
        # 32 bytes in the middle of the library, as damage in transit would.
        mid = len(bodies[1]) // 2
        bodies[1][mid:mid + 32] = b"\xAB" * 32

    order = list(range(len(bodies)))
    if a.reverse:
        order.reverse()
    records = [None] * len(bodies)
    for i in order:
        data += bytes((0xCC,)) * a.pad
        records[i] = (len(data), len(bodies[i]))
        data += bodies[i]

    if a.fault == "two-records":
        records = records[:2]
    if a.fault == "count-truncated":
        data += b"\x03\x00"  # half a count, and no table
        open(a.out, "wb").write(data)
        return 0
    if a.fault == "record-past-end":
        off, size = records[2]
        records[2] = (off + 0x100000, size)
    elif a.fault == "record-overlaps-table":
        off, size = records[2]
        records[2] = (off, size + 13)

    tail = table(records)
    if a.fault == "count-zero":
        tail = tail[:-4] + struct.pack("<I", 0)
    elif a.fault == "count-past-file":
        tail = tail[:-4] + struct.pack("<I", len(data) // 12 + 1000)
    data += tail
    open(a.out, "wb").write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
