// Helpers shared by the fuzz targets.
//
// Inputs and outputs live in heap blocks of exactly the size the codec may use,
// so AddressSanitizer reports any read past the terminator or write past the
// capacity.  A broken property prints the input bytes and aborts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/cp932.h"  // LostCount

namespace ruv::fuzz {

// The bytes Fail prints: the input, or what a target made of it.
struct Shown {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};
inline Shown shown;

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\ninput (%zu bytes):", what, shown.size);
    for (std::size_t i = 0; i < shown.size; ++i) std::fprintf(stderr, " %02X", shown.data[i]);
    std::fprintf(stderr, "\n");
    std::abort();
}

// The input as zero-terminated text of bytes or of little-endian 16-bit units,
// cut at its first zero, in a block of exactly its size.
template <typename T>
std::vector<T> Terminated(const std::vector<std::uint8_t>& data) {
    std::size_t length = 0;
    const auto at = [&](std::size_t i) {
        return sizeof(T) == 1 ? T(data[i]) : T(data[2 * i] | data[2 * i + 1] << 8);
    };
    while (length < data.size() / sizeof(T) && at(length) != 0) ++length;
    std::vector<T> text(length + 1);
    for (std::size_t i = 0; i < length; ++i) text[i] = at(i);
    return text;
}

template <typename Out, typename In>
using Codec = std::int32_t (*)(Out*, const In*, std::int32_t, LostCount*);
using ByteCodec = Codec<std::uint8_t, std::uint8_t>;

// Runs a codec of the engine's convention twice, measuring and writing into a
// block of exactly capacity units, and checks the convention: the measured
// length and count of replaced characters (unless measuring counts none)
// match a success, a success is terminated and below the capacity.
template <typename Out, typename In>
void CheckCodec(Codec<Out, In> codec, const In* text, std::int32_t capacity,
                bool measuringCounts = true) {
    LostCount measured, lost;
    const std::int32_t needed = codec(nullptr, text, capacity, &measured);
    if (needed < 0) Fail("measuring returned a negative length");
    std::unique_ptr<Out[]> out(new Out[capacity]);
    const std::int32_t written = codec(out.get(), text, capacity, &lost);
    if (written == -1) {
        if (needed < capacity) Fail("failed although the output fits");
        return;
    }
    if (written != needed) Fail("written length differs from measured length");
    if (measuringCounts && (lost.noCode != measured.noCode || lost.broken != measured.broken)) {
        Fail("written count of replacements differs from the measured one");
    }
    if (written >= capacity) Fail("success without room for the terminator");
    if (out[written] != 0) Fail("success without a terminator");
}

// The whole output of a codec, terminator included, in a block of exactly the
// measured size; empty when the codec refuses the text.
template <typename Out, typename In>
std::vector<Out> Whole(Codec<Out, In> codec, const In* text, LostCount* lost = nullptr) {
    const std::int32_t n = codec(nullptr, text, 0, nullptr);
    if (n < 0) return {};
    std::vector<Out> out(static_cast<std::size_t>(n) + 1);
    if (codec(out.data(), text, n + 1, lost) != n) Fail("failed with room to spare");
    return out;
}

// A capacity chosen by one input byte: 0-127 as it is, above in steps of 128.
inline std::int32_t CapacityFrom(std::uint8_t b) { return b < 128 ? b : (b - 128) * 128; }

}  // namespace ruv::fuzz
