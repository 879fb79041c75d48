// The line converter: one piece of text from a source code into a target code,
// with its line end rewritten.
//
// Every road passes through Shift_JIS (code page 932) except these:
//   UTF-16 -> UTF-8 / UTF-7            encoded directly
//   UTF-8 / UTF-7 -> UTF-16            decoded directly
//   UTF-7 -> the byte codes            text bytes copied, base64 runs alone
//                                      through UTF-16 (see utf7_roads.h)
//   between the Unicode forms          through UTF-16 only (UTF-16 and UTF-8 to
//                                      themselves are copies), never code page 932
//   Shift_JIS source                   no decoding step
//   EUC-JP / JIS -> EUC-JP / JIS,      clean pieces in one pass, with the same
//     UTF-8, UTF-16; UTF-8 ->          output (see direct_roads.h)
//     Shift_JIS, EUC-JP, JIS
//   7-bit (ASCII) source               copied, except to UTF-16 (widened) and to
//                                      UTF-7 (encoded, so + \ ~ come out valid);
//                                      a line with a byte >= 0x80 is refused
// Text whose code detection left undecided (CODE_UNKNOWN) is never guessed at:
// its plain 7-bit lines (no escape) take the 7-bit road, since they read the
// same in every byte code, and any other line is refused with -1, as is every
// other code without a road.  Refusing leaves the file untouched.
// A lone surrogate in UTF-16 or UTF-7 text becomes "?" on every road, to every
// target (UTF-16 to itself included); a surrogate pair always stays whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/conversion_options.h"
#include "engine/kanji_code.h"
#include "platform/cp932.h"

namespace ruv {

inline constexpr std::int32_t MAX_LINE_BYTES = 1000;  // source bytes of one piece

// The piece handed to ConvertLine: at most MAX_LINE_BYTES source bytes, a short
// carried shift prefix and a terminator (a zero byte, or a zero unit for UTF-16).
// Held as 16-bit units so that a UTF-16 piece is properly aligned.
inline constexpr std::size_t LINE_BUFFER_BYTES = 1024;
using LineBuffer = std::array<char16_t, LINE_BUFFER_BYTES / 2>;

// What ConvertLine writes: up to 4000 bytes of encoder output, the line-end
// rewrite and a terminator.
inline constexpr std::size_t CONVERTED_BUFFER_BYTES = 4096;
using ConvertedBuffer = std::array<char16_t, CONVERTED_BUFFER_BYTES / 2>;

template <std::size_t N>
std::uint8_t* AsBytes(std::array<char16_t, N>& units) {
    return reinterpret_cast<std::uint8_t*>(units.data());
}
template <std::size_t N>
const std::uint8_t* AsBytes(const std::array<char16_t, N>& units) {
    return reinterpret_cast<const std::uint8_t*>(units.data());
}

// The head of a file as read for detection.
inline constexpr std::size_t HEAD_READ_BYTES = 2000;
inline constexpr std::size_t HEAD_BUFFER_BYTES = 2048;  // at least 48 zero bytes follow the data

class CodeConverter {
public:
    CodeConverter() = default;
    CodeConverter(const CodeConverter&) = delete;
    CodeConverter& operator=(const CodeConverter&) = delete;

    // Converts the terminated piece in line (bytes, or 16-bit units for
    // CODE_UNICODE) from options.source into options.target and rewrites a
    // final line feed by options.newline; Newline::Keep leaves it as it is (the
    // file converter turns Keep into the piece's own line end first).
    // Returns the bytes of output to write (a terminator follows them), or -1
    // when the road fails (capacity, text the UTF-7 decoder refuses, a source
    // code without a road).
    std::int32_t ConvertLine(ConvertedBuffer& output, const LineBuffer& line,
                             const ConversionOptions& options);

    // Road steps: decode the terminated text (in the given form) to Shift_JIS,
    // then encode into target; the bytes in output, or -1.
    std::int32_t ConvertFromSjis(ConvertedBuffer& output, const std::uint8_t* text,
                                 KanjiCode target);
    std::int32_t ConvertFromJis(ConvertedBuffer& output, const std::uint8_t* text,
                                KanjiCode target);
    std::int32_t ConvertFromEuc(ConvertedBuffer& output, const std::uint8_t* text,
                                KanjiCode target);
    std::int32_t ConvertFromUnicode(ConvertedBuffer& output, const char16_t* text,
                                    KanjiCode target);
    std::int32_t ConvertFromUtf8(ConvertedBuffer& output, const std::uint8_t* text,
                                 KanjiCode target);
    std::int32_t ConvertFromUtf7(ConvertedBuffer& output, const std::uint8_t* text,
                                 KanjiCode target);

    // The file head of the last detection (see detect/).
    std::uint32_t headLength = 0;
    std::array<std::uint8_t, HEAD_BUFFER_BYTES> headBuffer{};
    void ReleaseHeadBuffer() {
        headLength = 0;
        headBuffer.fill(0);
    }

    bool foldHalfWidthKana = false;
    // The source code came from detection, not from the user: UTF-7 is then
    // read strictly (see utf7_codec.h), so that a plain text with a "+" that
    // was taken for UTF-7 fails instead of losing characters.
    bool sourceGuessed = false;

    // The characters the conversions replaced, added to by every call: the
    // caller reads it and resets it when it likes (per piece, per file).  A
    // character is counted once on any road, the same on the single-pass
    // roads (which take only pieces that lose nothing) as on the road through
    // Shift_JIS.
    LostCount lost;

private:
    std::int32_t DecodeUtf7(char16_t* out, const std::uint8_t* text, std::int32_t capacity);
    // Encodes decoded UTF-16 text of the given length into a target other than UTF-16.
    std::int32_t FromWide(ConvertedBuffer& output, const char16_t* wide, std::int32_t units,
                          KanjiCode target);
    // Adds what a decoder to Shift_JIS replaced on the way to target.
    void AddDecoded(const LostCount& decoded, KanjiCode target);
};

}  // namespace ruv
