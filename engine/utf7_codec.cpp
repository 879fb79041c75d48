#include "engine/utf7_codec.h"

namespace ruv {
// Placeholder until the codec lands.
const char Utf7Alphabet[65] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const std::array<std::uint8_t, 128> Utf7DigitValue{};
const std::array<std::uint8_t, 128> Utf7CharClass{};
std::int32_t WideToUtf7Text(std::uint8_t*, const char16_t*, std::int32_t) { return -1; }
std::int32_t Utf7ToWideText(char16_t*, const std::uint8_t*, std::int32_t) { return -1; }
std::int32_t Utf7EncodeRun(std::uint8_t*, const char16_t*, std::int32_t, std::int32_t) { return -1; }
std::int32_t Utf7DecodeRun(char16_t*, const std::uint8_t*, std::int32_t, std::int32_t*) { return -1; }
}  // namespace ruv
