// Code page 932 (Microsoft's Shift_JIS) <-> UTF-16, on our own generated tables.
//
// Both functions follow the engine's text convention: zero-terminated input,
// capacity in output units, the count written without the terminator, or -1
// when the output with its terminator does not fit.  A null out only measures.
#pragma once

#include <cstdint>

namespace ruv {

std::int32_t Cp932ToUtf16(char16_t* out, const std::uint8_t* text, std::int32_t capacity);
std::int32_t Utf16ToCp932(std::uint8_t* out, const char16_t* text, std::int32_t capacity);

}  // namespace ruv
