#!/usr/bin/env python3
"""Inspects a package: its item table, the items, and PE resources.

  inspect_package.py items PACKAGE           one line per item: number offset size magic
  inspect_package.py extract PACKAGE N OUT   writes item N to OUT
  inspect_package.py resources MODULE        one line per resource: type id size
  inspect_package.py resource MODULE TYPE ID OUT
"""
import struct
import sys


def items(data):
    count = struct.unpack_from('<I', data, len(data) - 4)[0]
    start = len(data) - 4 - 12 * count
    out = []
    for i in range(count):
        low, high, size = struct.unpack_from('<III', data, start + 12 * i)
        out.append((i + 1, low | high << 32, size))
    return out, start


def resources(data):
    """(type, id, bytes) for every ordinal resource of a PE module."""
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    sections = struct.unpack_from('<H', data, pe + 6)[0]
    optional_size = struct.unpack_from('<H', data, pe + 20)[0]
    optional = pe + 24
    rva = struct.unpack_from('<I', data, optional + 96 + 2 * 8)[0]  # data directory 2
    table = optional + optional_size
    def to_offset(address):
        for s in range(sections):
            _, vsize, vaddr, rsize, raw = struct.unpack_from('<8sIIII', data, table + 40 * s)
            if vaddr <= address < vaddr + max(vsize, rsize):
                return address - vaddr + raw
        raise ValueError('address outside the sections')
    base = to_offset(rva)
    def entries(offset):
        named, ids = struct.unpack_from('<HH', data, base + offset + 12)
        for k in range(named + ids):
            name, target = struct.unpack_from('<II', data, base + offset + 16 + 8 * k)
            yield name, target
    found = []
    for type_id, t in entries(0):
        for name_id, n in entries(t & 0x7FFFFFFF):
            for _, leaf in entries(n & 0x7FFFFFFF):
                address, size = struct.unpack_from('<II', data, base + leaf)
                if not (type_id & 0x80000000 or name_id & 0x80000000):
                    at = to_offset(address)
                    found.append((type_id, name_id, data[at:at + size]))
    return found


def main(argv):
    data = open(argv[2], 'rb').read()
    if argv[1] == 'items':
        listed, table = items(data)
        print('table', table, 'count', len(listed))
        for number, offset, size in listed:
            print(number, offset, size, data[offset:offset + 4].hex())
    elif argv[1] == 'extract':
        listed, _ = items(data)
        _, offset, size = listed[int(argv[3]) - 1]
        open(argv[4], 'wb').write(data[offset:offset + size])
    elif argv[1] == 'resources':
        for type_id, name_id, blob in resources(data):
            print(type_id, name_id, len(blob))
    elif argv[1] == 'resource':
        for type_id, name_id, blob in resources(data):
            if type_id == int(argv[3]) and name_id == int(argv[4]):
                open(argv[5], 'wb').write(blob)
                return 0
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
