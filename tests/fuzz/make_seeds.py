#!/usr/bin/env python3
"""Writes the starting corpus of fuzz_catalogue: a few small catalogues,
well formed and not.  Run from anywhere; the files go beside this script."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds", "fuzz_catalogue")


def header(count, total, signature=0x100, reserved=0):
    return struct.pack("<IIII", signature, count, total, reserved)


def field(text):
    raw = text.encode("latin-1")
    assert len(raw) < 260
    return raw + b"\0" * (260 - len(raw))


def entry(source, target, mask, size, reserved_text=b"", reserved_value=0):
    return (field(source) + field(target) + reserved_text.ljust(260, b"\0")
            + struct.pack("<III", mask, size, reserved_value))


def catalogue(entries, total=None, **kw):
    if total is None:
        total = sum(e[3] for e in entries) & 0xFFFFFFFF
    return header(len(entries), total, **kw) + b"".join(entry(*e) for e in entries)


THREE = [("tovarin.ex_", "tovarin.exe", 0x1, 700000),
         ("readme.wr_", "readme.wri", 0x4, 12000),
         ("guide.hl_", "help\\guide.hlp", 0x10, 90000)]

SEEDS = {
    "valid-one": catalogue([("a.dl_", "a.dll", 0x1, 10)]),
    "valid-three": catalogue(THREE),
    "valid-masks": catalogue([("m0", "m0", 0, 1), ("m6", "m6", 0x6, 2),
                              ("mhi", "sub\\mhi", 0x80000000, 3), ("opt", "opt", 0x20000, 4)]),
    "valid-extra-bytes": catalogue(THREE[:1]) + b"\xee" * 100,
    "valid-reserved": catalogue([("r", "r", 0x100, 5, b"R" * 260, 0xDEADBEEF)], reserved=7),
    "valid-total-mismatch": catalogue(THREE, total=1),
    "bad-signature": catalogue(THREE, signature=0x101),
    "bad-count-zero": header(0, 0),
    "bad-count-huge": header(0xFFFFFFFF, 0) + entry("a", "a", 1, 1),
    "bad-count-one-more": header(2, 10) + entry("a", "a", 1, 10),
    "bad-truncated-entry": catalogue(THREE)[:16 + 792 + 400],
    "bad-truncated-header": header(1, 1)[:9],
    "bad-name-no-nul": header(1, 1) + b"n" * 260 + field("t") + b"\0" * 272,
    "bad-target-parent": catalogue([THREE[0], ("w.in_", "..\\..\\WINDOWS\\WIN.INI", 0x1, 5)]),
    "bad-target-drive": catalogue([("w.in_", "C:\\WINDOWS\\WIN.INI", 0x1, 5)]),
    "bad-target-slash": catalogue([("w.in_", "sub/x.ini", 0x1, 5)]),
    "bad-target-dots": catalogue([("w.in_", "sub\\.. \\x.ini", 0x1, 5)]),
    "bad-source-dir": catalogue([("..\\w.in_", "x.ini", 0x1, 5)]),
}

os.makedirs(HERE, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
