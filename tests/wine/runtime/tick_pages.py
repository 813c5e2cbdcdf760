#!/usr/bin/env python3
"""Writes a copy of the sample project whose dialog sequence ticks only the
given entries (1..14), so that its package carries only those pages.

  tick_pages.py IN OUT ENTRY...

The sequence's 15 flags stand in front of the reserved string and the
welcome bitmap's name (both empty in the sample), which stand in front of
the licence file's name.
"""
import sys

data = bytearray(open(sys.argv[1], 'rb').read())
licence = b'\x06\x10files\\lizenz.txt'
at = data.find(licence)
if at < 0:
    sys.exit('licence name not found')
first = at - 4 - 15
if data[at - 4:at] != b'\x06\x00\x06\x00' or any(b not in (8, 9) for b in data[first:first + 15]):
    sys.exit('the dialog sequence is not where the sample keeps it')
wanted = {int(n) for n in sys.argv[3:]}
for entry in range(15):
    data[first + entry] = 9 if entry in wanted else 8
open(sys.argv[2], 'wb').write(data)
