#!/usr/bin/env python3
"""Writes the benchmark corpora: Debian's edict (EUC-JP) in every code ruv reads.

Only lines that every code can hold are kept (JIS X 0208 and ASCII: no JIS X
0212, no half-width katakana), so that every converter compared gets the same
text.  Python's codecs do the conversion; they are the reference, not ruv.

usage: prepare_corpus.py OUTDIR [SOURCE]   (SOURCE defaults to /usr/share/edict/edict)
"""
import os
import sys

CODES = {
    "jis": "iso2022_jp",
    "sjis": "cp932",
    "euc": "euc_jp",
    "unicode": "utf-16-le",
    "utf8": "utf-8",
    "utf7": "utf-7",
}


def main():
    out_dir = sys.argv[1]
    source = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/edict/edict"
    os.makedirs(out_dir, exist_ok=True)
    lines = []
    with open(source, "rb") as f:
        for raw in f:
            if b"\x8e" in raw or b"\x8f" in raw:
                continue
            try:
                text = raw.decode("euc_jp")
                for codec in ("cp932", "iso2022_jp"):
                    if text.encode(codec).decode(codec) != text:
                        raise ValueError
            except (UnicodeError, ValueError):
                continue
            lines.append(text)
    text = "".join(lines)
    for name, codec in CODES.items():
        data = text.encode(codec)
        if name == "unicode":
            data = b"\xff\xfe" + data
        with open(os.path.join(out_dir, "edict." + name), "wb") as f:
            f.write(data)
    print(f"{len(lines)} lines, {len(text.encode('euc_jp'))} bytes of EUC-JP", file=sys.stderr)


if __name__ == "__main__":
    main()
