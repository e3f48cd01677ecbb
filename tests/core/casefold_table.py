#!/usr/bin/env python3
# Prints the simple case-folding table of qText.cpp from Unicode's CaseFolding.txt
# (Debian: unicode-data, /usr/share/unicode/CaseFolding.txt): the mappings of status C and S
# as runs {first, count, delta, stride}, where the run maps first + i*stride to itself + delta.
import sys

path = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode/CaseFolding.txt"
fold = {}
version = ""
for line in open(path, encoding="utf-8"):
    if line.startswith("# CaseFolding-"):
        version = line[2:].strip()
    line = line.split("#")[0].strip()
    if not line:
        continue
    code, status, mapping = [x.strip() for x in line.split(";")[:3]]
    if status in ("C", "S"):
        fold[int(code, 16)] = int(mapping, 16)
items = sorted(fold.items())
runs = []
i = 0
while i < len(items):
    c, t = items[i]
    d = t - c
    best = (1, 1)
    for stride in (1, 2):
        n = 1
        while (i + n < len(items) and items[i + n][0] == c + n * stride
               and items[i + n][1] - items[i + n][0] == d):
            n += 1
        if n > best[0]:
            best = (n, stride)
    runs.append((c, best[0], d, best[1]))
    i += best[0]
# The lookup relies on runs that do not overlap and on folds that keep their plane.
for (a, n, _, s), (b, _, _, _) in zip(runs, runs[1:]):
    assert a + (n - 1) * s < b
for c, t in items:
    assert (c > 0xFFFF) == (t > 0xFFFF)
print(f"// {version}: {len(items)} mappings in {len(runs)} runs.")
cells = [f"{{0x{c:04X}, {n}, {d}, {s}}}" for c, n, d, s in runs]
line = "   "
for cell in cells:
    if len(line) + len(cell) + 2 > 96:
        print(line)
        line = "   "
    line += " " + cell + ","
print(line)
