#!/usr/bin/env python3
"""Writes a copy of a project file with the first string value OLD replaced.

  patch_project.py IN OUT OLD NEW   (OLD and NEW in UTF-8, stored as CP1252)
"""
import sys


def short_string(text):
    raw = text.encode('cp1252')
    assert len(raw) < 256
    return bytes([0x06, len(raw)]) + raw


data = open(sys.argv[1], 'rb').read()
old, new = short_string(sys.argv[3]), short_string(sys.argv[4])
at = data.find(old)
if at < 0:
    sys.exit('string not found: ' + sys.argv[3])
open(sys.argv[2], 'wb').write(data[:at] + new + data[at + len(old):])
