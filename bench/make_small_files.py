#!/usr/bin/env python3
"""Writes COUNT small files OUTDIR/NNNNN.CODE for the batch benchmarks.

Each file is a run of whole edict lines from a random place, 1-20 KB in its own
code (the codes given, in turn; UTF-16LE with its FF FE mark).  The same SEED
always gives the same files.

usage: make_small_files.py CORPUS_UTF8 OUTDIR COUNT SEED CODE...
       CODE: jis sjis euc unicode utf8 utf7
"""
import os
import random
import sys

CODECS = {"jis": "iso2022_jp", "sjis": "cp932", "euc": "euc_jp",
          "unicode": "utf-16-le", "utf8": "utf-8", "utf7": "utf-7"}


def main():
    corpus, out_dir, count, seed = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    names = sys.argv[5:]
    lines = open(corpus, encoding="utf-8").read().splitlines(keepends=True)
    os.makedirs(out_dir)
    rng = random.Random(seed)
    for i in range(count):
        name = names[i % len(names)]
        target, at, piece, size = rng.randint(1024, 20480), rng.randrange(len(lines)), [], 0
        while True:
            size += len(lines[at].encode(CODECS[name]))
            if piece and size > target:
                break
            piece.append(lines[at])
            at = (at + 1) % len(lines)
        data = "".join(piece).encode(CODECS[name])
        if name == "unicode":
            data = b"\xff\xfe" + data
        with open(os.path.join(out_dir, f"{i:05d}.{name}"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
