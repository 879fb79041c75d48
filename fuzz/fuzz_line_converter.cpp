// Fuzzes the piece cutter and the line converter together, as the file
// converter drives them: the first byte picks the source and the target, the
// second the newline choice (kept ends resolved per piece, and checked to come
// out as they were) and the folding of half-width kana, each from its own
// bits; the rest is a file's content.  Every piece must fit its
// buffer and take at least one byte; every conversion must fail with -1 or
// give a terminated output that fits the converted-line buffer.  Output in
// EUC-JP holds only pairs of bytes A1-FE above 7F; output in JIS only pairs of
// bytes 21-7E inside a kanji run (after ESC $ B or ESC $ @, up to the next ESC).
// UTF-7 converts to UTF-16 piece by piece as it decodes whole.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/line_converter.h"
#include "engine/piece_cutter.h"
#include "engine/utf7_codec.h"
#include "fuzz_support.h"

namespace {

// True when the n bytes at p are well formed in target (EUC-JP or JIS).
bool WellFormed(const std::uint8_t* p, std::int32_t n, ruv::KanjiCode target) {
    const auto in = [](std::uint8_t b, std::uint8_t low, std::uint8_t high) {
        return b >= low && b <= high;
    };
    if (target == ruv::CODE_EUC) {
        for (std::int32_t i = 0; i < n; ++i) {
            if (p[i] < 0x80) continue;
            if (i + 1 >= n || !in(p[i], 0xA1, 0xFE) || !in(p[i + 1], 0xA1, 0xFE)) return false;
            ++i;
        }
        return true;
    }
    bool kanji = false;
    std::int32_t run = 0;  // bytes of the current kanji run
    for (std::int32_t i = 0; i < n; ++i) {
        if (p[i] == 0x1B) {
            if (kanji && run % 2 != 0) return false;
            kanji = i + 2 < n && p[i + 1] == '$' && (p[i + 2] == 'B' || p[i + 2] == '@');
            run = 0;
            if (kanji) i += 2;
        } else if (kanji) {
            if (!in(p[i], 0x21, 0x7E)) return false;
            ++run;
        }
    }
    return !kanji || run % 2 == 0;
}

// UTF-7 without CR or zero converts to UTF-16 piece by piece as it decodes
// whole, when it decodes at all: no cut parts a character or a surrogate pair.
void CheckCutsKeepTheText(ruv::KanjiCode source, bool guessed, const std::uint8_t* data,
                          std::size_t size) {
    using namespace ruv;
    if (source != CODE_UTF7 || std::memchr(data, 0, size) != nullptr ||
        std::memchr(data, '\r', size) != nullptr) {
        return;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
    std::u16string whole(size + 1, u'\0'), joined;
    const auto capacity = static_cast<std::int32_t>(size + 1);
    const std::int32_t n = guessed ? Utf7ToWideTextStrict(whole.data(), bytes, capacity)
                                   : Utf7ToWideText(whole.data(), bytes, capacity);
    if (n < 0) return;
    whole.resize(static_cast<std::size_t>(n));
    PieceCutter cutter(source);
    CodeConverter converter;
    converter.sourceGuessed = guessed;
    LineBuffer line;
    ConvertedBuffer output;
    for (std::size_t at = 0; at < size;) {
        at += cutter.Next(data + at, size - at, true, line).consumed;
        const std::int32_t m =
            converter.ConvertLine(output, line, {source, CODE_UNICODE, Newline::Lf});
        if (m < 0) fuzz::Fail("a piece failed although the whole text decodes");
        joined.append(output.data(), static_cast<std::size_t>(m / 2));
    }
    if (joined != whole) fuzz::Fail("cut text differs from the text read whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ruv::fuzz::shown = {data, size};
    using namespace ruv;
    if (size < 2) return 0;
    static constexpr KanjiCode kSources[] = {CODE_ASCII,   CODE_JIS,  CODE_SJIS, CODE_EUC,
                                             CODE_UNICODE, CODE_UTF8, CODE_UTF7, CODE_UNKNOWN};
    static constexpr KanjiCode kTargets[] = {CODE_JIS,     CODE_SJIS, CODE_EUC,
                                             CODE_UNICODE, CODE_UTF8, CODE_UTF7};
    const KanjiCode source = kSources[data[0] & 7];
    const KanjiCode target = kTargets[(data[0] >> 3) % 6];
    const auto newline = static_cast<Newline>(data[1] & 3);
    const bool fold = (data[1] & 4) != 0;
    data += 2;
    size -= 2;

    CheckCutsKeepTheText(source, size % 2 != 0, data, size);
    // A file with a zero byte (a zero unit in UTF-16) is refused before conversion.
    bool zeroFree = source == CODE_UNICODE || std::memchr(data, 0, size) == nullptr;
    for (std::size_t i = 0; source == CODE_UNICODE && i < size; i += 2) {
        zeroFree = zeroFree && (data[i] != 0 || (i + 1 < size && data[i + 1] != 0));
    }
    PieceCutter cutter(source);
    CodeConverter converter;
    converter.sourceGuessed = size % 2 != 0;  // UTF-7 read strictly on odd sizes
    LineBuffer line;
    ConvertedBuffer output;
    std::size_t at = 0;
    while (at < size) {
        line.fill(0xAAAA);
        const Piece piece = cutter.Next(data + at, size - at, true, line);
        if (piece.consumed == 0 || piece.consumed > size - at)
            fuzz::Fail("a piece took no byte or more than there was");
        at += piece.consumed;
        const std::int32_t n = converter.ConvertLine(
            output, line, {source, target, NewlineFor(newline, piece.lineEnd), fold});
        if (n < -1 || n >= static_cast<std::int32_t>(CONVERTED_BUFFER_BYTES))
            fuzz::Fail("a converted piece does not fit its buffer");
        if (n < 0) continue;
        const bool terminated =
            target == CODE_UNICODE ? (n % 2 == 0 && output[n / 2] == 0) : AsBytes(output)[n] == 0;
        if (!terminated) fuzz::Fail("a converted piece is not terminated");
        // The 7-bit road copies its bytes as they are; which files take it is
        // decided before conversion, so only the other roads are checked here.
        if ((target == CODE_EUC || target == CODE_JIS) && source != CODE_ASCII &&
            !WellFormed(AsBytes(output), n, target))
            fuzz::Fail("ill-formed EUC-JP or JIS output");
        // A kept line end comes out as it was found, in bytes or in units.
        const std::string_view end = piece.lineEnd == LineEnd::CrLf ? "\r\n"
                                     : piece.lineEnd == LineEnd::Cr ? "\r"
                                     : piece.lineEnd == LineEnd::Lf ? "\n"
                                                                    : "";
        const auto unit = static_cast<std::size_t>(target == CODE_UNICODE ? 2 : 1);
        for (std::size_t k = 0; zeroFree && newline == Newline::Keep && k < end.size(); ++k) {
            const std::size_t from = static_cast<std::size_t>(n) - unit * (end.size() - k);
            if (static_cast<std::size_t>(n) < unit * end.size() ||
                AsBytes(output)[from] != static_cast<std::uint8_t>(end[k]))
                fuzz::Fail("a kept line end did not come out as it was");
        }
    }
    return 0;
}
