#include "platform/cp932.h"

namespace ruv {
// Placeholder until the tables land.
std::int32_t Cp932ToUtf16(char16_t*, const std::uint8_t*, std::int32_t) { return -1; }
std::int32_t Utf16ToCp932(std::uint8_t*, const char16_t*, std::int32_t) { return -1; }
}  // namespace ruv
