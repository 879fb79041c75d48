// Shared helpers of the codec tests: hex rows in, the calling convention checked
// on every conversion, glibc iconv as the independent oracle.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sjis_primitives.h"
#include "support/iconv.h"

namespace ruv::test {

using Bytes = std::vector<std::uint8_t>;
using Units = std::vector<char16_t>;

// "61 88 9F" -> the bytes, without a terminator.
inline Bytes Hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (unsigned value = 0; in >> std::hex >> value;)
        bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}
inline Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

// The output of a codec for text (both without terminator), checking on the way:
// null output only measures; each capacity without room for output and terminator
// (all on short texts, the last on long ones) fails and writes nothing at or after it.
template <typename Out, typename In>
std::vector<Out> Convert(std::int32_t (*codec)(Out*, const In*, std::int32_t, LostCount*),
                         std::vector<In> text) {
    text.push_back(0);
    const std::int32_t needed = codec(nullptr, text.data(), -7, nullptr);
    EXPECT_EQ(codec(nullptr, text.data(), 0, nullptr), needed) << "measuring ignores the capacity";
    if (needed < 0) {
        ADD_FAILURE() << "refused";
        return {};
    }
    const Out guard = 0x55;
    std::vector<Out> out(static_cast<std::size_t>(needed) + 2);
    for (std::int32_t capacity = needed > 64 ? needed : 0; capacity <= needed; ++capacity) {
        std::fill(out.begin(), out.end(), guard);
        EXPECT_EQ(codec(out.data(), text.data(), capacity, nullptr), -1) << "capacity " << capacity;
        EXPECT_TRUE(
            std::all_of(out.begin() + capacity, out.end(), [&](Out u) { return u == guard; }))
            << "wrote at or after capacity " << capacity;
    }
    std::fill(out.begin(), out.end(), guard);
    EXPECT_EQ(codec(out.data(), text.data(), needed + 1, nullptr), needed);
    EXPECT_EQ(out[needed], Out{0}) << "terminator";
    out.resize(static_cast<std::size_t>(needed));
    return out;
}

using ByteCodec = std::int32_t (*)(std::uint8_t*, const std::uint8_t*, std::int32_t, LostCount*);

// UTF-16 units as little-endian bytes and back.
inline Bytes Le(const Units& units) {
    Bytes bytes;
    for (char16_t u : units)
        bytes.insert(bytes.end(),
                     {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)});
    return bytes;
}
inline Units FromLe(const Bytes& bytes) {
    Units units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    return units;
}

// The Shift_JIS bytes of the JIS X 0208 character at row and cell (each 1-94).
inline Bytes SjisOf(int row, int cell) {
    const std::uint16_t value =
        JisToSjisChar(static_cast<std::uint16_t>((row + 0x20) << 8 | (cell + 0x20)));
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

// Every row and cell of JIS X 0208 as one Shift_JIS line.
inline Bytes AllJisX0208() {
    Bytes line;
    for (int i = 0; i < 94 * 94; ++i) {
        const auto sjis = SjisOf(i / 94 + 1, i % 94 + 1);
        line.insert(line.end(), sjis.begin(), sjis.end());
    }
    return line;
}

}  // namespace ruv::test
