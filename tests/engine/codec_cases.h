// Helpers for the table-driven tests of the byte codecs: hex rows in, the
// engine's calling convention checked on the way.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/sjis_primitives.h"

namespace ruv::test {

using ByteCodec = std::int32_t (*)(std::uint8_t*, const std::uint8_t*, std::int32_t);

// "61 88 9F" -> the bytes, without a terminator.
inline std::vector<std::uint8_t> Hex(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    for (unsigned value = 0; in >> std::hex >> value;) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

inline std::vector<std::uint8_t> Terminated(std::vector<std::uint8_t> bytes) {
    bytes.push_back(0);
    return bytes;
}

// One row: input, what out holds afterwards (on -1: what was written before the
// stop), the result, and the capacity.
struct CodecCase {
    const char* input;
    const char* output;
    std::int32_t result;
    std::int32_t capacity = 4000;
};

// Runs the codec into a buffer of exactly the capacity, and measuring too when it
// succeeds, and checks the result, the bytes, and the terminator.
inline void ExpectCodec(ByteCodec codec, const CodecCase& row) {
    SCOPED_TRACE(::testing::Message() << "input " << row.input << ", capacity " << row.capacity);
    const auto input = Terminated(Hex(row.input));
    const auto expected = Hex(row.output);
    // A block of exactly the capacity, never null (capacity 0 included).
    const auto size = static_cast<std::size_t>(row.capacity);
    const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[size]);
    ASSERT_EQ(codec(out.get(), input.data(), row.capacity), row.result);
    ASSERT_GE(size, expected.size());
    EXPECT_EQ(std::vector<std::uint8_t>(out.get(), out.get() + expected.size()), expected);
    if (row.result < 0) return;
    EXPECT_EQ(static_cast<std::size_t>(row.result), expected.size());
    EXPECT_EQ(out[expected.size()], 0) << "terminator";
    EXPECT_EQ(codec(nullptr, input.data(), 0), row.result) << "measuring";
}

// The whole output of a successful conversion, for round trips.
inline std::vector<std::uint8_t> Convert(ByteCodec codec, const std::vector<std::uint8_t>& text) {
    const auto input = Terminated(text);
    std::vector<std::uint8_t> out(4 * input.size() + 8);
    const std::int32_t n = codec(out.data(), input.data(), static_cast<std::int32_t>(out.size()));
    EXPECT_GE(n, 0);
    out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return out;
}

// glibc iconv as an independent oracle; an empty result means iconv refused.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::vector<std::uint8_t> operator()(std::vector<std::uint8_t> in) {
        std::vector<char> out(4 * in.size() + 16);
        char* inp = reinterpret_cast<char*>(in.data());
        char* outp = out.data();
        std::size_t inleft = in.size(), outleft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &inp, &inleft, &outp, &outleft) == static_cast<std::size_t>(-1) ||
            iconv(cd_, nullptr, nullptr, &outp, &outleft) == static_cast<std::size_t>(-1)) {
            return {};
        }
        return std::vector<std::uint8_t>(out.data(), outp);
    }

  private:
    iconv_t cd_;
};

// The Shift_JIS bytes of the JIS X 0208 character at row and cell (each 1-94).
inline std::vector<std::uint8_t> SjisOf(int row, int cell) {
    const std::uint16_t value =
        JisToSjisChar(static_cast<std::uint16_t>((row + 0x20) << 8 | (cell + 0x20)));
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

}  // namespace ruv::test
