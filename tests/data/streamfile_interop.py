#!/usr/bin/env python3
"""Reads and writes stream files with Python's own zlib and struct, independently of
the C++ code: `check FILE N` verifies a compressed, unscrambled file holding the N-byte
test pattern; `write FILE N` writes that pattern as such a file."""
import struct
import sys
import zlib


def pattern(n):
    return bytes((i * 31 + i // 7) % 251 for i in range(n))


def check(path, n):
    raw = open(path, "rb").read()
    magic, last, crc, flags, plain_last, plain_crc = struct.unpack_from("<4siiiii", raw, 0)
    payload = raw[24:]
    assert magic == b"QRT2", magic
    assert len(payload) == last + 1, (len(payload), last)
    assert flags == 1, flags
    assert crc == struct.unpack("<i", struct.pack("<I", zlib.crc32(payload)))[0], "stored CRC"
    (size,) = struct.unpack_from("<i", payload, len(payload) - 4)
    plain = zlib.decompress(payload[:-4])
    assert size == len(plain) == plain_last + 1 == n, (size, len(plain), plain_last, n)
    assert plain_crc == struct.unpack("<i", struct.pack("<I", zlib.crc32(plain)))[0], "plain CRC"
    assert plain == pattern(n), "payload differs"


def write(path, n):
    plain = pattern(n)
    payload = zlib.compress(plain) + struct.pack("<i", len(plain))
    header = struct.pack("<4sIIiiI", b"QRT2", len(payload) - 1, zlib.crc32(payload), 1,
                         len(plain) - 1, zlib.crc32(plain))
    open(path, "wb").write(header + payload)


if __name__ == "__main__":
    mode, path, n = sys.argv[1], sys.argv[2], int(sys.argv[3])
    try:
        {"check": check, "write": write}[mode](path, n)
    except AssertionError as e:
        print("mismatch:", e)
        sys.exit(1)
