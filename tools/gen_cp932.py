#!/usr/bin/env python3
"""Generates platform/cp932_tables.cpp: code page 932 <-> UTF-16 tables.

The source mapping is Python's own "cp932" codec (standard library only).  The
decoding tables follow Microsoft's code page 932:

    JIS X 0208                         81-84, 88-9F, E0-EA
    NEC row 13                         87
    NEC-selected IBM extensions        ED-EE
    user-defined area                  F0-F9  <-> U+E000-U+E757
    IBM extensions                     FA-FC
    single bytes 0x80, 0xA0, 0xFD-0xFF <-> U+0080, U+F8F0, U+F8F1-U+F8F3

The encoding table is the inverse of the decoding tables, with Windows' choice
where one character has several codes, plus a few encode-only variants.  Every
place where the data differs from what the codec gives is below, with its reason.

The IBM equivalents table gives, for each IBM extension FA40-FC4B, the code of
the same character that has a JIS X 0208 row and cell: its NEC-selected code
(ED40-EEFC, JIS rows 89-92, where Microsoft's EUC-JP puts these kanji), else
its lowest code below ED40 (NEC row 13 or JIS X 0208 proper).  EUC-JP and
ISO-2022-JP output write the IBM extensions through it.

Usage: gen_cp932.py [OUTPUT]   (default: platform/cp932_tables.cpp in this tree)
"""

import os
import sys

LEAD_BYTES = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))  # 60 lead bytes
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFC                             # 189 slots, 0x7F never used
TRAIL_SLOTS = TRAIL_LAST - TRAIL_FIRST + 1


def is_trail(byte):
    return 0x40 <= byte <= 0x7E or 0x80 <= byte <= 0xFC


def codec_decode(raw):
    """The codec's character for raw, or None when it has none."""
    try:
        text = raw.decode("cp932")
    except UnicodeDecodeError:
        return None
    if len(text) != 1:
        raise SystemExit(f"{raw.hex()} decodes to {len(text)} characters")
    return ord(text)


# Single bytes that Windows decodes although they are no Shift_JIS characters.
# They are set here from the rule, so the table does not depend on whether the
# running Python's codec knows them; where it does, it must agree.
FIXED_SINGLE_BYTES = {0x80: 0x0080, 0xA0: 0xF8F0, 0xFD: 0xF8F1, 0xFE: 0xF8F2, 0xFF: 0xF8F3}

# The user-defined area F040-F9FC is U+E000-U+E757 in order, 188 codes per lead
# byte.  Set from the rule for the same reason; the codec must agree where it
# answers.
USER_DEFINED_LEADS = range(0xF0, 0xFA)


def user_defined(lead, trail):
    slot = trail - 0x40 - (1 if trail > 0x7F else 0)
    return 0xE000 + (lead - 0xF0) * 188 + slot


def build_decoding():
    single = [0] * 256  # 0: the terminator, or a lead byte that starts a pair
    for byte in range(1, 256):
        if byte in LEAD_BYTES:
            continue
        value = codec_decode(bytes([byte]))
        if byte in FIXED_SINGLE_BYTES:
            fixed = FIXED_SINGLE_BYTES[byte]
            if value not in (None, fixed):
                raise SystemExit(f"codec decodes {byte:02X} as U+{value:04X}")
            value = fixed
        if value is None:
            raise SystemExit(f"codec has no character for the single byte {byte:02X}")
        single[byte] = value
    double = {}  # (lead, trail) -> code point; absent: unassigned
    for lead in LEAD_BYTES:
        for trail in range(TRAIL_FIRST, TRAIL_LAST + 1):
            if not is_trail(trail):
                continue
            value = codec_decode(bytes([lead, trail]))
            if lead in USER_DEFINED_LEADS:
                fixed = user_defined(lead, trail)
                if value not in (None, fixed):
                    raise SystemExit(f"codec decodes {lead:02X}{trail:02X} as U+{value:04X}")
                value = fixed
            if value is not None:
                if value == 0 or 0xD800 <= value <= 0xDFFF:
                    raise SystemExit(f"{lead:02X}{trail:02X} decodes to U+{value:04X}")
                double[(lead, trail)] = value
    return single, double


def check_decoding(single, double):
    """Landmarks of Microsoft's table that the codec must reproduce."""
    expect_single = {0x5C: 0x5C, 0x7E: 0x7E, 0xA1: 0xFF61, 0xDF: 0xFF9F}
    expect_double = {
        (0x81, 0x40): 0x3000, (0x88, 0x9F): 0x4E9C,   # JIS X 0208: space, the first kanji
        (0x81, 0x5F): 0xFF3C, (0x81, 0x60): 0xFF5E,   # Microsoft's fullwidth forms, not
        (0x81, 0x61): 0x2225, (0x81, 0x7C): 0xFF0D,   # JIS X 0208's reference glyphs
        (0x81, 0x91): 0xFFE0, (0x81, 0x92): 0xFFE1, (0x81, 0xCA): 0xFFE2,
        (0x87, 0x40): 0x2460, (0x87, 0x54): 0x2160,   # NEC row 13
        (0xED, 0x40): 0x7E8A, (0xEE, 0xEF): 0x2170,   # NEC-selected IBM extensions
        (0xFA, 0x40): 0x2170, (0xFC, 0x4B): 0x9ED1,   # IBM extensions, the last code
        (0xF0, 0x40): 0xE000, (0xF9, 0xFC): 0xE757,   # user-defined area
    }
    for byte, value in expect_single.items():
        if single[byte] != value:
            raise SystemExit(f"single byte {byte:02X} is U+{single[byte]:04X}")
    for pair, value in expect_double.items():
        if double.get(pair) != value:
            raise SystemExit(f"{pair[0]:02X}{pair[1]:02X} is not U+{value:04X}")
    # Lead bytes 85, 86, EB, EC and EF have no characters in code page 932.
    empty = {lead for lead in LEAD_BYTES if not any((lead, t) in double for t in range(256))}
    if empty != {0x85, 0x86, 0xEB, 0xEC, 0xEF}:
        raise SystemExit(f"unexpected empty lead bytes {sorted(empty)}")
    if len(double) != 9604:  # 6879 + 83 + 374 + 1880 + 388
        raise SystemExit(f"{len(double)} double-byte codes, expected 9604")


def preference(code):
    """Rank of a code among those of one character: lower wins (Windows' choice)."""
    lead = code >> 8
    if lead == 0:
        return 0            # a single byte
    if lead == 0x87:
        return 2            # NEC row 13 after JIS X 0208
    if 0xFA <= lead <= 0xFC:
        return 3            # IBM extensions after NEC row 13
    if lead in (0xED, 0xEE):
        return None         # NEC-selected IBM extensions: decoded, never encoded
    return 1                # JIS X 0208, user-defined area


# Characters that the table does not hold but that text from other systems
# carries.  Six are JIS X 0208 cells as other mappings of JIS X 0208 read them
# (wave dash, double vertical line, minus sign, cent, pound, not sign): they take
# the code of that cell.  The yen sign and overline of JIS X 0201 take the bytes
# 5C and 7E, as Windows' default conversion writes them.  Encoding only: the
# decoding tables never change for these.
ENCODE_ONLY = {
    0x301C: 0x8160,  # WAVE DASH -> FULLWIDTH TILDE's code
    0x2016: 0x8161,  # DOUBLE VERTICAL LINE -> PARALLEL TO's code
    0x2212: 0x817C,  # MINUS SIGN -> FULLWIDTH HYPHEN-MINUS's code
    0x00A2: 0x8191,  # CENT SIGN -> FULLWIDTH CENT SIGN's code
    0x00A3: 0x8192,  # POUND SIGN -> FULLWIDTH POUND SIGN's code
    0x00AC: 0x81CA,  # NOT SIGN -> FULLWIDTH NOT SIGN's code
    0x00A5: 0x005C,  # YEN SIGN -> the byte 0x5C (JIS X 0201 yen sign)
    0x203E: 0x007E,  # OVERLINE -> the byte 0x7E (JIS X 0201 overline)
    0x2014: 0x815C,  # EM DASH -> HORIZONTAL BAR's code (the dash of JIS X 0208 as
                     # EUC-JP text converted on Unix carries it)
}


def build_encoding(single, double):
    codes = {}  # code point -> every code that decodes to it
    for byte in range(1, 256):
        if single[byte]:
            codes.setdefault(single[byte], []).append(byte)
    for (lead, trail), value in double.items():
        codes.setdefault(value, []).append(lead << 8 | trail)
    encode = {}
    for value, candidates in codes.items():
        ranked = sorted((preference(c), c) for c in candidates if preference(c) is not None)
        if not ranked:
            raise SystemExit(f"U+{value:04X} has only NEC-selected codes")
        if len(ranked) > 1 and ranked[0][0] == ranked[1][0]:
            raise SystemExit(f"U+{value:04X} has two codes of one rank: {ranked}")
        encode[value] = ranked[0][1]
    for value, code in ENCODE_ONLY.items():
        if value in encode:
            raise SystemExit(f"U+{value:04X} is already in the table")
        encode[value] = code
    # Windows' choice among duplicates, where Python's encoder differs (it gives
    # EEEF for U+2170): the rule above decides, these are its landmarks.
    for value, code in {0x2252: 0x81E0, 0x2160: 0x8754, 0x2170: 0xFA40,
                        0xFFE2: 0x81CA, 0x2235: 0x81E6}.items():
        if encode[value] != code:
            raise SystemExit(f"U+{value:04X} encodes as {encode[value]:04X}, not {code:04X}")
    return encode


IBM_LEADS = (0xFA, 0xFB, 0xFC)


def build_ibm_equivalents(double):
    """(lead, trail) of an IBM extension -> the code of its character that has a
    JIS row and cell; every IBM extension must have one."""
    codes = {}
    for (lead, trail), value in double.items():
        codes.setdefault(value, []).append(lead << 8 | trail)
    equivalents = {}
    for (lead, trail), value in double.items():
        if lead not in IBM_LEADS:
            continue
        selected = [c for c in codes[value] if 0xED40 <= c <= 0xEEFC]
        below = [c for c in codes[value] if c < 0xED40]
        if len(selected) > 1:
            raise SystemExit(f"U+{value:04X} has several NEC-selected codes")
        if not selected and not below:
            raise SystemExit(f"{lead:02X}{trail:02X} has no code with a JIS row and cell")
        equivalents[(lead, trail)] = selected[0] if selected else min(below)
    # Landmarks: kanji go to the NEC-selected rows, the rest below them.
    for pair, code in {(0xFB, 0xFC): 0xEEE0, (0xFA, 0xB1): 0xED95, (0xFA, 0x40): 0xEEEF,
                       (0xFA, 0x54): 0xEEF9, (0xFA, 0x4A): 0x8754, (0xFA, 0x5B): 0x81E6,
                       (0xFA, 0x58): 0x878A, (0xFC, 0x4B): 0xEEEC}.items():
        if equivalents.get(pair) != code:
            raise SystemExit(f"{pair[0]:02X}{pair[1]:02X} goes to {equivalents.get(pair)}")
    if len(equivalents) != 388:
        raise SystemExit(f"{len(equivalents)} IBM extensions, expected 388")
    return equivalents


def hex_rows(values, per_line, label, indent=8):
    """Lines of per_line values, each with the comment label(first index, count)."""
    lines = []
    for start in range(0, len(values), per_line):
        chunk = values[start:start + per_line]
        cells = ", ".join(f"0x{v:04X}" for v in chunk)
        comment = label(start, len(chunk))
        lines.append(" " * indent + f"{cells}," + (f"  // {comment}" if comment else ""))
    return lines


def render(single, double, encode, equivalents):
    out = []
    out.append("// Code page 932 <-> UTF-16 tables.")
    out.append("//")
    out.append("// GENERATED by tools/gen_cp932.py from Python's cp932 codec: do not edit.")
    out.append("// Change the generator and run it again; a test checks that this file and")
    out.append("// the generator's output are the same.")
    out.append("// clang-format off")
    out.append('#include "platform/cp932_tables.h"')
    out.append("")
    out.append("namespace ruv {")
    out.append("")

    out.append("// Single bytes: the character, or 0 for the terminator and the lead bytes.")
    out.append("constexpr std::array<char16_t, 256> Cp932SingleByteTable = {{")
    out += hex_rows(single, 8, lambda s, n: f"{s:02X}-{s + n - 1:02X}", indent=4)
    out.append("}};")
    out.append("")

    out.append("// Double bytes by lead byte (81-9F, E0-FC) and trail byte minus 0x40 (40-FC);")
    out.append("// 0 where the pair is unassigned or the trail byte is 0x7F.")
    out.append(f"constexpr std::array<std::array<char16_t, {TRAIL_SLOTS}>, {len(LEAD_BYTES)}> "
               "Cp932DoubleByteTable = {{")
    for lead in LEAD_BYTES:
        row = [double.get((lead, TRAIL_FIRST + i), 0) for i in range(TRAIL_SLOTS)]
        out.append(f"    {{{{  // lead {lead:02X}")
        out += hex_rows(row, 8, lambda s, n, lead=lead:
                        f"{lead:02X}{TRAIL_FIRST + s:02X}-{lead:02X}{TRAIL_FIRST + s + n - 1:02X}")
        out.append("    }},")
    out.append("}};")
    out.append("")

    pages = [[0] * 256]  # page 0 stays empty: every unit of an unused block maps to it
    index = [0] * 256
    for block in range(256):
        page = [encode.get(block << 8 | low, 0) for low in range(256)]
        if any(page):
            index[block] = len(pages)
            pages.append(page)
    if len(pages) > 256:
        raise SystemExit("too many encoding pages for an 8-bit index")
    out.append("// Encoding, first level: the page of each block of 256 code units (the high")
    out.append("// byte); page 0 is empty.")
    out.append("constexpr std::array<std::uint8_t, 256> Cp932EncodePageIndex = {{")
    for start in range(0, 256, 16):
        cells = ", ".join(f"{index[start + i]:3d}" for i in range(16))
        out.append(f"    {cells},  // U+{start:02X}00-U+{start + 15:02X}FF")
    out.append("}};")
    out.append("")
    out.append("// Encoding, second level: the code of each unit by its low byte, a single byte")
    out.append("// below 0x100, lead * 256 + trail above; 0 where the unit has no code.")
    out.append(f"constexpr std::array<std::array<std::uint16_t, 256>, {len(pages)}> "
               "Cp932EncodePages = {{")
    for number, page in enumerate(pages):
        blocks = [b for b in range(256) if index[b] == number and number != 0]
        base = blocks[0] << 8 if blocks else 0
        title = f"U+{base >> 8:02X}xx" if blocks else "empty"
        out.append(f"    {{{{  // page {number}: {title}")
        out += hex_rows(page, 8, lambda s, n, base=base, empty=not blocks:
                        "" if empty else f"U+{base + s:04X}-U+{base + s + n - 1:04X}")
        out.append("    }},")
    out.append("}};")
    out.append("")
    out.append("// IBM extensions by lead byte (FA-FC) and trail byte minus 0x40: the code of")
    out.append("// the same character that has a JIS X 0208 row and cell; 0 where the pair is")
    out.append("// unassigned or the trail byte is 0x7F.")
    out.append(f"constexpr std::array<std::uint16_t, {len(IBM_LEADS) * TRAIL_SLOTS}> "
               "Cp932IbmEquivalents = {{")
    for lead in IBM_LEADS:
        row = [equivalents.get((lead, TRAIL_FIRST + i), 0) for i in range(TRAIL_SLOTS)]
        out += hex_rows(row, 8, lambda s, n, lead=lead:
                        f"{lead:02X}{TRAIL_FIRST + s:02X}-{lead:02X}{TRAIL_FIRST + s + n - 1:02X}",
                        indent=4)
    out.append("}};")
    out.append("")
    out.append("}  // namespace ruv")
    return "\n".join(line.rstrip() for line in out) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "platform",
                                                                "cp932_tables.cpp")
    single, double = build_decoding()
    check_decoding(single, double)
    encode = build_encoding(single, double)
    equivalents = build_ibm_equivalents(double)
    text = render(single, double, encode, equivalents)
    with open(target, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
