#!/usr/bin/env python3
"""Helpers of the removal test.

  removal_kit.py record SETUP.EXE LEVELS TYPE COUNT SHORTCUTS FOLDER ENTRY...
      appends an uninstall record as the copy pass writes it; an ENTRY is
      "files:D:BITS" (D levels created, BITS one 0/1 per file, file 0 first),
      "reg" (-1), "skip" (-2) or "regskip" (-3)
  removal_kit.py patch IN OUT OLD NEW
      a project copy with the short string OLD replaced; "\\0" in OLD and NEW
      stands for a zero byte (a registry value's name/data separator)
"""
import struct
import sys


def record(path, levels, rtype, count, shortcuts, folder, entries):
    out = struct.pack('<h', int(levels))
    for e in entries:
        if e.startswith('files:'):
            _, d, bits = e.split(':')
            words = [0] * ((len(bits) + 15) // 16)
            for i, b in enumerate(bits):
                if b == '1':
                    words[i // 16] |= 1 << (i % 16)
            out += struct.pack('<hH', int(d), len(bits)) + b''.join(struct.pack('<H', w) for w in words)
        else:
            out += struct.pack('<h', {'reg': -1, 'skip': -2, 'regskip': -3}[e])
    name = folder.encode('cp1252')
    out += struct.pack('<HH', int(shortcuts), len(name)) + name
    out += struct.pack('<HH', int(rtype), int(count))
    out += struct.pack('<I', len(out) + 4)
    with open(path, 'ab') as f:
        f.write(out)


def short_string(text):
    raw = text.replace('\\0', '\0').encode('cp1252')
    assert len(raw) < 256
    return bytes([0x06, len(raw)]) + raw


def patch(src, dst, old, new):
    data = open(src, 'rb').read()
    o, n = short_string(old), short_string(new)
    at = data.find(o)
    if at < 0:
        sys.exit('string not found: ' + old)
    open(dst, 'wb').write(data[:at] + n + data[at + len(o):])


if __name__ == '__main__':
    if sys.argv[1] == 'record':
        record(*sys.argv[2:8], sys.argv[8:])
    elif sys.argv[1] == 'patch':
        patch(*sys.argv[2:6])
    else:
        sys.exit(__doc__)
