// Fuzzes the piece cutter and the line converter together, as the file
// converter drives them: the first byte picks the source, the target and the
// newline choice, the rest is a file's content.  Every piece must fit its
// buffer and take at least one byte; every conversion must fail with -1 or
// give a terminated output that fits the converted-line buffer.
#include <cstddef>
#include <cstdint>

#include "engine/line_converter.h"
#include "engine/piece_cutter.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ruv;
    if (size < 1) return 0;
    static constexpr KanjiCode kSources[] = {CODE_ASCII, CODE_JIS,  CODE_SJIS,   CODE_EUC,
                                             CODE_UNICODE, CODE_UTF8, CODE_UTF7, CODE_UNKNOWN};
    static constexpr KanjiCode kTargets[] = {CODE_JIS,     CODE_SJIS, CODE_EUC,
                                             CODE_UNICODE, CODE_UTF8, CODE_UTF7};
    const KanjiCode source = kSources[data[0] & 7];
    const KanjiCode target = kTargets[(data[0] >> 3) % 6];
    const std::int32_t newline = (data[0] >> 6) % 3;
    const bool fold = (data[0] & 0x40) != 0;
    ++data;
    --size;

    PieceCutter cutter(source);
    CodeConverter converter;
    converter.sourceGuessed = size % 2 != 0;  // UTF-7 read strictly on odd sizes
    LineBuffer line;
    ConvertedBuffer output;
    std::size_t at = 0;
    while (at < size) {
        line.fill(0xAAAA);
        const Piece piece = cutter.Next(data + at, size - at, true, line);
        if (piece.consumed == 0 || piece.consumed > size - at) {
            fuzz::Fail("a piece took no byte or more than there was", data, size);
        }
        at += piece.consumed;
        const std::int32_t n = converter.ConvertLine(output, line, source, target, newline, fold);
        if (n < -1 || n >= static_cast<std::int32_t>(CONVERTED_BUFFER_BYTES)) {
            fuzz::Fail("a converted piece does not fit its buffer", data, size);
        }
        if (n < 0) continue;
        const bool terminated = target == CODE_UNICODE ? (n % 2 == 0 && output[n / 2] == 0)
                                                       : AsBytes(output)[n] == 0;
        if (!terminated) fuzz::Fail("a converted piece is not terminated", data, size);
    }
    return 0;
}
