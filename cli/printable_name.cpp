#include "cli/printable_name.h"

#include <cstdint>

namespace ruv {
namespace {

// The length of the valid UTF-8 sequence that starts at text[at] (2-4; 1 for
// ASCII), or 0 when the bytes there are not one: a stray continuation byte, an
// overlong form, an encoded surrogate, a value past U+10FFFF or a cut sequence.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

void AppendEscape(std::string& out, std::uint8_t byte) {
    static constexpr char kLetters[] = "abtnvfr";  // BEL .. CR, 7 .. 13
    out += '\\';
    if (byte >= 7 && byte <= 13) {
        out += kLetters[byte - 7];
        return;
    }
    out += static_cast<char>('0' + (byte >> 6));
    out += static_cast<char>('0' + ((byte >> 3) & 7));
    out += static_cast<char>('0' + (byte & 7));
}

}  // namespace

std::string PrintableName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const auto lead = static_cast<std::uint8_t>(name[at]);
        const std::size_t length = SequenceLength(name, at);
        if (length == 1 && lead >= 0x20 && lead != 0x7F) {
            if (lead == '\\') out += '\\';
            out += name[at];
        } else if (length > 1 &&
                   !(lead == 0xC2 && static_cast<std::uint8_t>(name[at + 1]) < 0xA0)) {
            out.append(name, at, length);
        } else {
            // A control character (a C1 one is escaped byte by byte) or a
            // byte outside valid UTF-8.
            const std::size_t bytes = length == 0 ? 1 : length;
            for (std::size_t i = 0; i < bytes; ++i)
                AppendEscape(out, static_cast<std::uint8_t>(name[at + i]));
        }
        at += length == 0 ? 1 : length;
    }
    return out;
}

}  // namespace ruv
