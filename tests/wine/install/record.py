#!/usr/bin/env python3
"""Prints the uninstall record at the end of an installed SETUP.EXE.

  record.py SETUP.EXE RUNTIME.EXE ENTRIES
One line: length, bytes appended, type, component count, levels, the
ENTRIES entries (a file component as levels:files:bitmap words in hex),
the shortcut flags and the program folder.
"""
import struct
import sys

setup = open(sys.argv[1], 'rb').read()
runtime_size = len(open(sys.argv[2], 'rb').read())
length = struct.unpack_from('<I', setup, len(setup) - 4)[0]
itype, count = struct.unpack_from('<HH', setup, len(setup) - 8)
record = setup[len(setup) - length:]
levels = struct.unpack_from('<h', record, 0)[0]
print(length, len(setup) - runtime_size, itype, count, levels, end='')
pos = 2
for _ in range(int(sys.argv[3])):
    value = struct.unpack_from('<h', record, pos)[0]
    pos += 2
    if value < 0:
        print(' %d' % value, end='')
        continue
    n = struct.unpack_from('<H', record, pos)[0]
    words = struct.unpack_from('<%dH' % ((n + 15) // 16), record, pos + 2)
    pos += 2 + 2 * len(words)
    print(' %d:%d:%s' % (value, n, ','.join('%x' % w for w in words)), end='')
flags, folder_length = struct.unpack_from('<HH', record, pos)
folder = record[pos + 4:pos + 4 + folder_length].decode('cp1252')
print(' flags=%d folder=%s rest=%d' % (flags, folder, length - (pos + 4 + folder_length)))
