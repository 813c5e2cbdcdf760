#!/usr/bin/env python3
"""Reads the import tables of a 32-bit PE file: the ordinary imports and the
delay-load imports, as (dll, function, kind) with kind "static" or "delay".
A function imported by ordinal is named "#<ordinal>". Run as a script,
prints DLL!function lines (delay-load ones marked so)."""
import struct
import sys


class PeError(Exception):
    pass


def _rva_reader(data):
    if len(data) < 0x40 or data[:2] != b"MZ":
        raise PeError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("no PE signature")
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x10B:
        raise PeError("not a 32-bit image")
    directories_count = struct.unpack_from("<I", data, optional + 92)[0]
    directories = []
    for i in range(min(directories_count, 16)):
        directories.append(struct.unpack_from("<II", data, optional + 96 + 8 * i))
    sections = []
    table = optional + optional_size
    for i in range(sections_count):
        vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        sections.append((va, max(vsize, rawsize), rawptr, rawsize))

    def offset(rva):
        for va, size, rawptr, rawsize in sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise PeError("RVA 0x%x lies outside the file" % rva)
                return rawptr + rva - va
        raise PeError("RVA 0x%x is in no section" % rva)

    return directories, offset


def _text(data, at):
    end = data.index(b"\0", at)
    return data[at:end].decode("latin-1")


def _thunks(data, offset, rva, dll, kind, out):
    while rva:
        value = struct.unpack_from("<I", data, offset(rva))[0]
        if value == 0:
            break
        if value & 0x80000000:
            out.append((dll, "#%d" % (value & 0xFFFF), kind))
        else:
            out.append((dll, _text(data, offset(value) + 2), kind))
        rva += 4


def read_imports(path):
    with open(path, "rb") as f:
        data = f.read()
    directories, offset = _rva_reader(data)
    out = []
    if len(directories) > 1 and directories[1][0]:
        at = offset(directories[1][0])
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", data, at)
            if name == 0:
                break
            _thunks(data, offset, lookup or first, _text(data, offset(name)), "static", out)
            at += 20
    if len(directories) > 13 and directories[13][0]:
        at = offset(directories[13][0])
        while True:
            attributes, name, _, _, lookup = struct.unpack_from("<IIIII", data, at)
            if name == 0:
                break
            base = 0 if attributes & 1 else None
            if base is None:
                raise PeError("old-style delay-load descriptor")
            _thunks(data, offset, lookup, _text(data, offset(name)), "delay", out)
            at += 32
    return out


if __name__ == "__main__":
    for dll, function, kind in read_imports(sys.argv[1]):
        print("%s!%s%s" % (dll, function, " (delay)" if kind == "delay" else ""))
