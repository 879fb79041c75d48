#include "platform/cp932.h"

#include "platform/cp932_tables.h"

namespace ruv {
namespace {

constexpr char16_t kDefaultWide = 0x30FB;    // KATAKANA MIDDLE DOT: Windows' default for 932
constexpr std::uint8_t kDefaultByte = 0x3F;  // "?"

constexpr bool IsLeadByte(std::uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsTrailByte(std::uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
constexpr bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

static_assert(Cp932LeadRow(0x81) == 0 && Cp932LeadRow(0x9F) == 30);
static_assert(Cp932LeadRow(0xE0) == 31 && Cp932LeadRow(0xFC) == kCp932LeadCount - 1);

// The character that starts at text[0] (not the terminator); stores the bytes
// taken.  Reads text[1] only after a lead byte, and text[0] is not the
// terminator, so text[1] is at worst the terminator itself.
char16_t DecodeOne(const std::uint8_t* text, std::int32_t& length) {
    const std::uint8_t lead = text[0];
    if (!IsLeadByte(lead)) {
        length = 1;
        return Cp932SingleByteTable[lead];
    }
    const std::uint8_t trail = text[1];
    if (!IsTrailByte(trail)) {
        length = 1;  // the next byte, a line end or the terminator, is read on its own
        return kDefaultWide;
    }
    length = 2;
    const char16_t unit = Cp932DoubleByteTable[Cp932LeadRow(lead)][trail - kCp932TrailFirst];
    return unit != 0 ? unit : kDefaultWide;
}

// The code of one unit: a single byte below 0x100, lead * 256 + trail above, 0
// when the unit has none.
std::uint16_t EncodeOne(char16_t unit) {
    return Cp932EncodePages[Cp932EncodePageIndex[unit >> 8]][unit & 0xFF];
}

}  // namespace

std::int32_t Cp932ToUtf16(char16_t* out, const std::uint8_t* text, std::int32_t capacity) {
    std::int32_t count = 0;
    std::int32_t i = 0;
    for (;;) {
        // ASCII fast path: bytes 01-7F are their own units.
        while (text[i] != 0 && text[i] < 0x80) {
            if (out != nullptr) {
                if (count + 1 >= capacity) return -1;
                out[count] = text[i];
            }
            ++count;
            ++i;
        }
        if (text[i] == 0) break;
        std::int32_t length = 1;
        const char16_t unit = DecodeOne(text + i, length);
        if (out != nullptr) {
            if (count + 1 >= capacity) return -1;
            out[count] = unit;
        }
        ++count;
        i += length;
    }
    if (out != nullptr) {
        if (count >= capacity) return -1;
        out[count] = 0;
    }
    return count;
}

std::int32_t Utf16ToCp932(std::uint8_t* out, const char16_t* text, std::int32_t capacity) {
    std::int32_t count = 0;
    std::int32_t i = 0;
    for (;;) {
        // ASCII fast path: units 0001-007F are their own bytes.
        while (text[i] != 0 && text[i] < 0x80) {
            if (out != nullptr) {
                if (count + 1 >= capacity) return -1;
                out[count] = static_cast<std::uint8_t>(text[i]);
            }
            ++count;
            ++i;
        }
        if (text[i] == 0) break;
        std::uint16_t code;
        if (IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) {
            code = kDefaultByte;  // a character beyond the BMP: one "?" for the pair
            i += 2;
        } else {
            code = EncodeOne(text[i]);  // 0 for a lone surrogate too
            if (code == 0) code = kDefaultByte;
            i += 1;
        }
        const std::int32_t length = code >= 0x100 ? 2 : 1;
        if (out != nullptr) {
            if (count + length >= capacity) return -1;
            if (length == 2) out[count] = static_cast<std::uint8_t>(code >> 8);
            out[count + length - 1] = static_cast<std::uint8_t>(code & 0xFF);
        }
        count += length;
    }
    if (out != nullptr) {
        if (count >= capacity) return -1;
        out[count] = 0;
    }
    return count;
}

}  // namespace ruv
