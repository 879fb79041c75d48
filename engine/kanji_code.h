// Kanji codes: the identifiers that name a text form or an outcome of detection.
//
// The values are stored with every registered file and compared for equality
// only; the first seven name text forms, the last three are detection outcomes.
#pragma once

#include <cstdint>

namespace ruv {

using KanjiCode = std::int32_t;

inline constexpr KanjiCode CODE_ASCII = 0;         // plain 7-bit text
inline constexpr KanjiCode CODE_JIS = 0x100;       // ISO-2022-JP
inline constexpr KanjiCode CODE_SJIS = 0x200;      // Shift_JIS (code page 932), the pivot
inline constexpr KanjiCode CODE_EUC = 0x400;       // EUC-JP
inline constexpr KanjiCode CODE_UNICODE = 0x800;   // UTF-16 little-endian with FF FE
inline constexpr KanjiCode CODE_UTF8 = 0x801;      // UTF-8
inline constexpr KanjiCode CODE_UTF7 = 0x802;      // UTF-7
inline constexpr KanjiCode CODE_UNKNOWN = 0x1000;  // text whose code stays undecided
inline constexpr KanjiCode CODE_BINARY = 0x2000;   // not text
inline constexpr KanjiCode CODE_ERROR = -1;        // the file cannot be read

// True for the seven codes that name a text form a line can be read in.
constexpr bool IsSourceCode(KanjiCode code) {
    return code == CODE_ASCII || code == CODE_JIS || code == CODE_SJIS || code == CODE_EUC ||
           code == CODE_UNICODE || code == CODE_UTF8 || code == CODE_UTF7;
}

// True for the six codes a line can be written in.
constexpr bool IsTargetCode(KanjiCode code) { return code != CODE_ASCII && IsSourceCode(code); }

}  // namespace ruv
