// Cuts source text into the pieces that the line converter takes.
//
// A piece ends after a line feed or a carriage return (a CR becomes LF, and a
// CR LF pair is one line end; the piece tells which it had), at the end of the
// data, or before it would hold more than MAX_LINE_BYTES source bytes.  That
// last cut is placed on a character boundary of the source code, never inside
// a multi-byte character, an escape sequence, a JIS pair, a surrogate pair or a
// UTF-7 base64 group, nor between a half-width katakana and the sound mark that
// folding joins to it, whatever the source code.  A shift state still open at the cut (an
// ISO-2022-JP designation, a UTF-7 base64 run) is carried into the next piece
// by re-inserting its designation or "+" in front of it.  A UTF-7 group whose
// last unit is a high surrogate may have its low unit in the next group: that
// high unit moves into the next piece, so both halves of the pair reach the
// decoder together.  A pair that spans two runs ("-+" between its halves) is
// not parted there either, unless every place to cut within the limit would
// part one.  A file therefore converts to the same text whatever the lengths of
// its lines.  Line ends carry no state: each line starts in the initial mode of
// its code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/kanji_code.h"
#include "engine/line_converter.h"

namespace ruv {

// Bytes past a cut that the cutter may look at: the LF of a CR LF pair, the
// "-" that closes a UTF-7 run, the second unit of a surrogate pair.
inline constexpr std::size_t PIECE_LOOKAHEAD_BYTES = 8;

// Longest prefix carried into a piece: "+", a held-back high surrogate in three
// digits, "-+" (see PieceCutter::Next).
inline constexpr std::size_t MAX_CARRY_BYTES = 6;

static_assert(MAX_LINE_BYTES + MAX_CARRY_BYTES + 2 <= LINE_BUFFER_BYTES,
              "a piece with its carried prefix and terminator fits the line buffer");

// The line end a piece had in the source.
enum class LineEnd : std::uint8_t { None, Lf, Cr, CrLf };

struct Piece {
    std::size_t consumed = 0;  // source bytes taken, an absorbed LF or "-" included
    LineEnd lineEnd = LineEnd::None;
};

// The newline choice for one piece: Keep becomes the line end it had.  A piece
// without one gets Lf, which changes nothing (its output ends in no line feed,
// or in one the source encoded as text, such as UTF-7's "+AAo-").
constexpr Newline NewlineFor(Newline choice, LineEnd found) {
    if (choice != Newline::Keep) return choice;
    switch (found) {
        case LineEnd::Cr: return Newline::Cr;
        case LineEnd::CrLf: return Newline::Crlf;
        default: return Newline::Lf;
    }
}

class PieceCutter {
public:
    explicit PieceCutter(KanjiCode source) : source_(source) {}

    // Cuts the next piece from data[0, available) into line, terminated (a zero
    // byte, or a zero unit for CODE_UNICODE).  Unless atEnd, at least
    // MAX_LINE_BYTES + PIECE_LOOKAHEAD_BYTES bytes must be available.  Requires
    // available > 0.  For CODE_UNICODE the data is little-endian units; an odd
    // last byte at the end of the data becomes a unit of its own value.
    Piece Next(const std::uint8_t* data, std::size_t available, bool atEnd, LineBuffer& line);

    // Shift state open at the last cut, as understood by the source's decoder.
    enum class Carry : std::uint8_t {
        None,
        JisKanji,
        JisSupplementary,
        JisKatakana,
        JisRoman,
        Utf7Run
    };

private:
    Piece NextBytes(const std::uint8_t* data, std::size_t available, bool atEnd, LineBuffer& line);
    Piece NextUnits(const std::uint8_t* data, std::size_t available, bool atEnd, LineBuffer& line);

    KanjiCode source_;
    Carry carry_ = Carry::None;
    char16_t heldHigh_ = 0;  // a high surrogate cut from its low unit, carried over
};

}  // namespace ruv
