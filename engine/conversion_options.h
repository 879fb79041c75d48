// What one conversion does, as the front ends choose it and the job passes it
// down to every file and every piece.
#pragma once

#include <cstdint>

#include "engine/kanji_code.h"

namespace ruv {

// How line ends come out: every one as CR LF, CR or LF, or each one as it was
// found in the source (CR LF, CR or LF).
enum class Newline : std::uint8_t { Crlf, Cr, Lf, Keep };

struct ConversionOptions {
    KanjiCode source = CODE_SJIS;
    KanjiCode target = CODE_SJIS;
    Newline newline = Newline::Crlf;
    bool foldHalfWidthKana = false;  // half-width katakana become full-width (Shift_JIS output)
};

}  // namespace ruv
