#include "platform/cp932.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/byte_words.h"
#include "platform/cp932_tables.h"
#include "platform/utf16_units.h"
#include "platform/utf8_units.h"

namespace ruv {
namespace {

constexpr char16_t kDefaultWide = 0x30FB;    // KATAKANA MIDDLE DOT: Windows' default for 932
constexpr std::uint8_t kDefaultByte = 0x3F;  // "?"

constexpr bool IsLeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsTrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

static_assert(Cp932LeadRow(0x81) == 0 && Cp932LeadRow(0x9F) == 30);
static_assert(Cp932LeadRow(0xE0) == 31 && Cp932LeadRow(0xFC) == kCp932LeadCount - 1);

// The character that starts at text[0] (not the terminator); stores the bytes
// taken and counts a replacement into lost (not null).  Reads text[1] only after a lead byte, and
// text[0] is not the terminator, so text[1] is at worst the terminator itself.
char16_t DecodeOne(const std::uint8_t* text, std::int32_t& length, LostCount& lost) {
    const std::uint8_t lead = text[0];
    if (!IsLeadByte(lead)) {
        length = 1;
        return Cp932SingleByteTable[lead];
    }
    const std::uint8_t trail = text[1];
    if (!IsTrailByte(trail)) {
        length = 1;  // the next byte, a line end or the terminator, is read on its own
        ++lost.broken;
        return kDefaultWide;
    }
    length = 2;
    const char16_t unit = Cp932DoubleByteTable[Cp932LeadRow(lead)][trail - kCp932TrailFirst];
    if (unit != 0) return unit;
    ++lost.broken;
    return kDefaultWide;
}

// The code of one unit: a single byte below 0x100, lead * 256 + trail above, 0
// when the unit has none.
std::uint16_t EncodeOne(char16_t unit) {
    return Cp932EncodePages[Cp932EncodePageIndex[unit >> 8]][unit & 0xFF];
}

using detail::AsciiRunLength;

// Decoded characters written as UTF-16: one unit each.
struct Utf16Writer {
    using Unit = char16_t;
    static std::int32_t Size(char16_t) { return 1; }
    static void Put(char16_t* out, char16_t unit) { *out = unit; }
    static void PutAscii(char16_t* out, const std::uint8_t* text, std::int32_t n) {
        detail::WidenBytes(out, text, n);
    }
};

// Decoded characters written as UTF-8: every unit of the table lies in the
// Basic Multilingual Plane, so one to three bytes each.
struct Utf8Writer {
    using Unit = std::uint8_t;
    static std::int32_t Size(char16_t u) { return Utf8Length(u); }
    static void Put(std::uint8_t* out, char16_t u) { PutUtf8(out, u, Utf8Length(u)); }
    static void PutAscii(std::uint8_t* out, const std::uint8_t* text, std::int32_t n) {
        std::memcpy(out, text, static_cast<std::size_t>(n));
    }
};

// Cp932ToUtf16 and Cp932ToUtf8.  With kWrite the output holds capacity units
// of the Writer; a character is stored only while it leaves room for the
// terminator.
template <typename Writer, bool kWrite>
std::int32_t DecodeText(typename Writer::Unit* out, const std::uint8_t* text, std::int32_t capacity,
                        LostCount& lost) {
    const std::uint8_t* const end = text + std::strlen(reinterpret_cast<const char*>(text));
    std::int32_t count = 0;
    while (text < end) {
        if (*text < 0x80) {
            // ASCII run: bytes 01-7F are their own characters; as many as fit are stored.
            std::int32_t n = AsciiRunLength(text, end);
            if constexpr (kWrite) {
                const bool fits = count + n < capacity;
                if (!fits) n = std::max(capacity - 1 - count, 0);  // none fit below capacity 1
                Writer::PutAscii(out + count, text, n);
                if (!fits) return -1;
            }
            count += n;
            text += n;
            continue;
        }
        std::int32_t length = 1;
        const char16_t unit = DecodeOne(text, length, lost);
        const std::int32_t size = Writer::Size(unit);
        if constexpr (kWrite) {
            if (count + size >= capacity) return -1;
            Writer::Put(out + count, unit);
        }
        count += size;
        text += length;
    }
    if constexpr (kWrite) {
        if (count >= capacity) return -1;
        out[count] = 0;
    }
    return count;
}

// Utf16ToCp932, as DecodeText: a piece is stored only while it leaves room for
// the terminator.
template <bool kWrite>
std::int32_t EncodeText(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                        LostCount& lost) {
    std::int32_t count = 0;
    const char16_t* const end = detail::UnitTextEnd(text);
    while (text < end) {
        const char16_t u = *text;
        if (u < 0x80) {
            // ASCII run: units 0001-007F are their own bytes; as many as fit are stored.
            const std::int32_t n =
                kWrite ? detail::NarrowAsciiRun(out + count, text, end, capacity - 1 - count)
                       : detail::AsciiUnitRunLength(text, end);
            count += n;
            text += n;
            if (kWrite && text < end && *text < 0x80) return -1;  // the run did not fit
            continue;
        }
        std::uint16_t code;
        if (IsHighSurrogate(u) && IsLowSurrogate(text[1])) {
            code = kDefaultByte;  // a character beyond the BMP: one "?" for the pair
            ++lost.noCode;
            text += 2;
        } else {
            code = EncodeOne(u);  // 0 for a lone surrogate too
            if (code == 0) {
                code = kDefaultByte;
                ++(IsSurrogate(u) ? lost.broken : lost.noCode);
            }
            text += 1;
        }
        if (code >= 0x100) {
            if constexpr (kWrite) {
                if (count + 2 >= capacity) return -1;
                out[count] = static_cast<std::uint8_t>(code >> 8);
                out[count + 1] = static_cast<std::uint8_t>(code & 0xFF);
            }
            count += 2;
        } else {
            if constexpr (kWrite) {
                if (count + 1 >= capacity) return -1;
                out[count] = static_cast<std::uint8_t>(code);
            }
            count += 1;
        }
    }
    if constexpr (kWrite) {
        if (count >= capacity) return -1;
        out[count] = 0;
    }
    return count;
}

// Runs a conversion that writes or only measures, counting into a local tally
// added to lost (when given) once the text is done, so the loops never test for
// a null pointer.
template <typename Convert>
std::int32_t Counted(bool write, LostCount* lost, Convert convert) {
    LostCount tally;
    const std::int32_t n =
        write ? convert(std::true_type{}, tally) : convert(std::false_type{}, tally);
    if (lost != nullptr) lost->Add(tally);
    return n;
}

}  // namespace

std::int32_t Cp932ToUtf16(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                          LostCount* lost) {
    return Counted(out != nullptr, lost, [&](auto write, LostCount& tally) {
        return DecodeText<Utf16Writer, decltype(write)::value>(out, text, capacity, tally);
    });
}

std::int32_t Cp932ToUtf8(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                         LostCount* lost) {
    return Counted(out != nullptr, lost, [&](auto write, LostCount& tally) {
        return DecodeText<Utf8Writer, decltype(write)::value>(out, text, capacity, tally);
    });
}

std::int32_t Utf16ToCp932(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                          LostCount* lost) {
    return Counted(out != nullptr, lost, [&](auto write, LostCount& tally) {
        return EncodeText<decltype(write)::value>(out, text, capacity, tally);
    });
}

}  // namespace ruv
