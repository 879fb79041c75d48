#include "engine/utf7_roads.h"

#include <array>
#include <cstring>

#include "engine/direct_roads.h"
#include "engine/euc_codec.h"
#include "engine/jis_codec.h"
#include "engine/sjis_primitives.h"
#include "engine/utf8_codec.h"
#include "platform/byte_words.h"

namespace ruv {
namespace {

// A segment is at most a piece: fewer bytes than the line buffer's 1024.  It
// decodes to no more units than it has bytes, and those to at most two bytes
// of Shift_JIS each.
constexpr std::size_t kSegmentBytes = 1024;
using SegmentBytes = std::array<std::uint8_t, kSegmentBytes>;
using SegmentUnits = std::array<char16_t, kSegmentBytes>;
using SegmentSjis = std::array<std::uint8_t, 2 * kSegmentBytes>;

constexpr auto kSegmentCapacity = static_cast<std::int32_t>(kSegmentBytes);

// Copies the bytes from p to q into segment with a terminator; false when
// they do not fit.
bool TakeSegment(SegmentBytes& segment, const std::uint8_t* p, const std::uint8_t* q) {
    const auto n = static_cast<std::size_t>(q - p);
    if (n >= segment.size()) return false;
    std::memcpy(segment.data(), p, n);
    segment[n] = 0;
    return true;
}

// Terminated UTF-16 of length units into target as the road through UTF-16 writes it: UTF-8
// and UTF-7 straight, the others through code page 932 and Shift_JIS.
std::int32_t FromUnits(std::uint8_t* out, const char16_t* units, std::int32_t length,
                       std::int32_t capacity, KanjiCode target, bool fold, LostCount& lost) {
    if (target == CODE_UTF8) return WideToUtf8Text(out, units, capacity, &lost);
    if (target == CODE_UTF7) return WideToUtf7TextOfLength(out, units, length, capacity, &lost);
    if (target == CODE_SJIS && !fold) return WideToAnsi(out, units, capacity, &lost);
    if (target == CODE_EUC || target == CODE_JIS) {  // clean units skip the Shift_JIS step
        const std::int32_t n = target == CODE_EUC ? Utf16ToEucDirect(out, units, capacity)
                                                  : Utf16ToJisDirect(out, units, capacity);
        if (n != DIRECT_ROAD_DECLINED) return n;
    }
    SegmentSjis sjis;
    if (WideToAnsi(sjis.data(), units, static_cast<std::int32_t>(sjis.size()), &lost) < 0) {
        return -1;
    }
    switch (target) {
        case CODE_SJIS: return SjisToSjisText(out, sjis.data(), capacity);
        case CODE_EUC: return SjisToEucText(out, sjis.data(), capacity, &lost);
        case CODE_JIS: return SjisToJisText(out, sjis.data(), capacity, &lost);
        default: return -1;
    }
}

// The end of the UTF-7 segment at p: its base64 runs ("+-" among them) and,
// when optionalToo, the optional direct characters, up to the next byte that
// is copied, the terminator, or a byte that may not stand outside a run.
const std::uint8_t* Utf7SegmentEnd(const std::uint8_t* p, bool optionalToo) {
    for (;;) {
        if (*p == '+') {
            ++p;
            if (*p == '-') {
                ++p;
                continue;
            }
            while (IsUtf7Digit(*p)) ++p;
            if (*p == '-') ++p;
        } else if (optionalToo && *p < 0x80 && Utf7CharClass[*p] == UTF7_OPTIONAL) {
            ++p;
        } else {
            return p;
        }
    }
}

}  // namespace

std::int32_t Utf7ToBytesRoad(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                             KanjiCode target, Utf7Reading reading, bool fold, LostCount& lost) {
    // Into UTF-7 the optional direct characters are encoded, so only the
    // direct ones are copied.
    const bool toUtf7 = target == CODE_UTF7;
    const Utf7Bytes copied = toUtf7 ? Utf7Bytes::Direct : Utf7Bytes::Text;
    const std::uint8_t* const end = detail::TextEnd(text);
    LostCount replaced;
    std::int32_t count = 0;  // below capacity after every step
    for (const std::uint8_t* p = text; p < end;) {
        const std::int32_t n = Utf7ByteRunLength(text, p, end, copied);
        if (n >= capacity - count) return DIRECT_ROAD_DECLINED;
        std::memcpy(out + count, p, static_cast<std::size_t>(n));
        count += n;
        p += n;
        if (p == end) break;
        const std::uint8_t* q = Utf7SegmentEnd(p, toUtf7);
        if (q == p) return -1;  // a byte that may not stand outside a run: refused
        SegmentBytes segment;
        if (!TakeSegment(segment, p, q)) return DIRECT_ROAD_DECLINED;
        SegmentUnits units;
        const std::int32_t decoded =
            reading == Utf7Reading::Strict
                ? Utf7ToWideTextStrict(units.data(), segment.data(), kSegmentCapacity, &replaced)
                : Utf7ToWideText(units.data(), segment.data(), kSegmentCapacity, &replaced);
        if (decoded < 0) return -1;  // the units always fit: the text is refused
        const std::int32_t written =
            FromUnits(out + count, units.data(), decoded, capacity - count, target, fold, replaced);
        if (written < 0) return DIRECT_ROAD_DECLINED;
        count += written;
        p = q;
    }
    if (count >= capacity) return DIRECT_ROAD_DECLINED;
    out[count] = 0;
    lost.Add(replaced);
    return count;
}

}  // namespace ruv
