// Shared helpers of the codec tests: hex in, the calling convention checked on
// every conversion, glibc iconv as the independent oracle.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "engine/sjis_primitives.h"
#include "support/iconv.h"

namespace ruv::test {

using Bytes = std::vector<std::uint8_t>;
using Units = std::vector<char16_t>;
using ByteCodec = std::int32_t (*)(std::uint8_t*, const std::uint8_t*, std::int32_t, LostCount*);
using WideOut = std::int32_t (*)(char16_t*, const std::uint8_t*, std::int32_t, LostCount*);
using WideIn = std::int32_t (*)(std::uint8_t*, const char16_t*, std::int32_t, LostCount*);

// "61 88 9F" -> the bytes, "0061 4E9C" -> the units, without a terminator; "-" is empty.
template <typename T = std::uint8_t>
std::vector<T> Hex(const std::string& text) {
    std::vector<T> values;
    std::istringstream in(text);
    for (unsigned value = 0; in >> std::hex >> value;) values.push_back(static_cast<T>(value));
    return values;
}

// The output of a codec for text (both without terminator), checking on the way:
// null output only measures, whatever the capacity; each capacity without room
// for output and terminator (all on short texts, the last on long ones) fails and
// writes nothing at or after the capacity, and neither half a surrogate pair nor
// anything at the terminator's place unless the codec writes units before it
// knows the text's end (UTF-7).
template <typename Out, typename In>
std::vector<Out> Convert(std::int32_t (*codec)(Out*, const In*, std::int32_t, LostCount*),
                         std::vector<In> text, bool mayFillTerminatorPlace = false) {
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
            std::all_of(out.begin() + std::max(capacity - (mayFillTerminatorPlace ? 0 : 1), 0),
                        out.end(), [&](Out u) { return u == guard; }))
            << "wrote too far, capacity " << capacity;
        if (sizeof(Out) == 2 && !mayFillTerminatorPlace) {  // never half a pair
            const auto end = std::find(out.begin(), out.end(), guard);
            EXPECT_FALSE(end != out.begin() && end[-1] >= 0xD800 && end[-1] < 0xDC00) << capacity;
        }
    }
    std::fill(out.begin(), out.end(), guard);
    EXPECT_EQ(codec(out.data(), text.data(), needed + 1, nullptr), needed);
    EXPECT_EQ(out[needed], Out{0}) << "terminator";
    out.resize(static_cast<std::size_t>(needed));
    return out;
}

// UTF-16 units as little-endian bytes and back.
inline Bytes Le(const Units& units) {
    Bytes bytes;
    for (char16_t u : units) bytes.insert(bytes.end(), {std::uint8_t(u), std::uint8_t(u >> 8)});
    return bytes;
}
inline Units FromLe(const Bytes& bytes) {
    Units units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    return units;
}

}  // namespace ruv::test
