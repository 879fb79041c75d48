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

namespace ruv::fuzz {

[[noreturn]] inline void Fail(const char* what, const std::uint8_t* data, std::size_t size) {
    std::fprintf(stderr, "property broken: %s\ninput (%zu bytes):", what, size);
    for (std::size_t i = 0; i < size; ++i) std::fprintf(stderr, " %02X", data[i]);
    std::fprintf(stderr, "\n");
    std::abort();
}

// The input as a zero-terminated byte string, cut at its first zero byte.
struct TerminatedBytes {
    TerminatedBytes(const std::uint8_t* data, std::size_t size) {
        std::size_t length = 0;
        while (length < size && data[length] != 0) ++length;
        bytes.reset(new std::uint8_t[length + 1]);
        for (std::size_t i = 0; i < length; ++i) bytes[i] = data[i];
        bytes[length] = 0;
    }
    std::unique_ptr<std::uint8_t[]> bytes;
};

// The input as zero-terminated little-endian 16-bit units, cut at the first zero unit.
struct TerminatedUnits {
    TerminatedUnits(const std::uint8_t* data, std::size_t size) {
        std::size_t length = 0;
        while (length < size / 2 && (data[2 * length] | data[2 * length + 1]) != 0) ++length;
        units.reset(new char16_t[length + 1]);
        for (std::size_t i = 0; i < length; ++i) {
            units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        }
        units[length] = 0;
    }
    std::unique_ptr<char16_t[]> units;
};

// Runs a codec of the engine's convention twice, measuring and writing into a
// block of exactly capacity units, and checks the convention: the measured
// length matches a success, a success is terminated and below the capacity.
template <typename Out, typename In, typename Codec>
void CheckCodec(Codec codec, const In* text, std::int32_t capacity, const std::uint8_t* data,
                std::size_t size) {
    const std::int32_t needed = codec(static_cast<Out*>(nullptr), text, capacity);
    if (needed < 0) Fail("measuring returned a negative length", data, size);
    std::unique_ptr<Out[]> out(new Out[capacity]);
    const std::int32_t written = codec(out.get(), text, capacity);
    if (written == -1) {
        if (needed < capacity) Fail("failed although the output fits", data, size);
        return;
    }
    if (written != needed) Fail("written length differs from measured length", data, size);
    if (written >= capacity) Fail("success without room for the terminator", data, size);
    if (out[written] != 0) Fail("success without a terminator", data, size);
}

}  // namespace ruv::fuzz
