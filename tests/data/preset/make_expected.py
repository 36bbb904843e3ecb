#!/usr/bin/env python3
"""Writes the expected preset images from the documented byte layout, independently of the C++ code.
Run once from this directory; the outputs are committed."""
import struct

MODEL = b"Veltronica VL5300 Preprogram Data\0"
TEST_TITLE = b"******************** Mass Production Test Data"
PRESET_TITLE = b"******************** Selvarona PreSet Data"


def header(title, counts):
    return title.ljust(80, b"\0") + struct.pack("<5I", *counts)


def lnb(f1, f2, kind, settings=(0, 0, 0, 0)):
    return struct.pack("<HHB4B3x", f1, f2, kind, *settings)


def sat(settings, name):
    return bytes(settings) + name.ljust(14, b"\0") + b"\0\0"


def tp(freq, symbol, sat_num, fec, polar):
    return struct.pack("<HHBBBx", freq, symbol, sat_num, fec, polar)


def image(lnbs, sats, tps, prefix=4, test_counts=(0, 0, 0, 0, 0), test_records=b"",
          preset_title=PRESET_TITLE):
    out = b"ucr." + struct.pack("<I", prefix) + bytes(68 + prefix - 4)
    out += MODEL.ljust(80, b"\0")
    out += header(TEST_TITLE, test_counts) + test_records
    out += header(preset_title, (len(lnbs), len(sats), len(tps), 0, 0))
    return out + b"".join(lnbs) + b"".join(sats) + b"".join(tps)


DEFAULT_LNBS = [lnb(5150, 9750, 1)] + [lnb(10600, 9750, 1)] * 63

# Tables at program start: 64 LNBs, no satellites, no transponders.
empty = image(DEFAULT_LNBS, [], [])
assert len(empty) == 1124

# Slot 0 named, slot 1 empty, slot 2 named: only slot 0 is written, the transponders of all three are.
gap_lnbs = list(DEFAULT_LNBS)
gap_lnbs[3] = lnb(9750, 9750, 0, (0x11, 0x22, 0x33, 0x44))
gap = image(gap_lnbs,
            [sat((1, 2, 3, 4, 5, 6, 0xE8, 0x03), b"T\xe9l\xe9com 2")],
            [tp(11778, 27500, 0, 2, 2), tp(12054, 27500, 0, 5, 1), tp(3880, 4340, 1, 0, 0),
             tp(10729, 22000, 2, 4, 1)])
assert len(gap) == 1124 + 24 + 4 * 8

# Prefix length 12 shifts everything after offset 8 by 8 bytes.
shifted = image(DEFAULT_LNBS, [sat((0,) * 8, b"Shifted")], [tp(11000, 30000, 0, 1, 2)], prefix=12)

# A test section with 1, 2, 3, 4, 5 records of 12, 24, 8, 24, 32 bytes (340 in all) to skip, and a preset
# title that only starts with the 20 stars.
skipped = image(DEFAULT_LNBS[:2], [sat((9,) * 8, b"AfterTest"), sat((0,) * 8, b"Second")],
                [tp(4000, 28000, 1, 3, 1)], test_counts=(1, 2, 3, 4, 5), test_records=b"\xee" * 340,
                preset_title=b"*" * 20 + b" something else")

for name, data in [("empty.rcu", empty), ("gap.rcu", gap), ("shifted_prefix.rcu", shifted),
                   ("test_section.rcu", skipped)]:
    with open(name, "wb") as f:
        f.write(data)
