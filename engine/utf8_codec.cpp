#include "engine/utf8_codec.h"

namespace ruv {
// Placeholder until the codec lands.
std::uint16_t Utf8ReadChar(const std::uint8_t* bytes, std::int32_t* length) { if (length) *length = 1; return *bytes; }
std::int32_t Utf8WriteChar(std::uint8_t* buffer, std::uint16_t) { buffer[0] = 0; return 0; }
std::int32_t WideToUtf8Text(std::uint8_t*, const char16_t*, std::int32_t) { return -1; }
std::int32_t Utf8ToWideText(char16_t*, const std::uint8_t*, std::int32_t) { return -1; }
}  // namespace ruv
