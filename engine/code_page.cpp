#include "engine/sjis_primitives.h"
#include "platform/cp932.h"

namespace ruv {
std::int32_t AnsiToWide(char16_t* out, const std::uint8_t* text, std::int32_t capacity,
                        LostCount* lost) {
    return Cp932ToUtf16(out, text, capacity, lost);
}
std::int32_t AnsiToUtf8(std::uint8_t* out, const std::uint8_t* text, std::int32_t capacity,
                        LostCount* lost) {
    return Cp932ToUtf8(out, text, capacity, lost);
}
std::int32_t WideToAnsi(std::uint8_t* out, const char16_t* text, std::int32_t capacity,
                        LostCount* lost) {
    return Utf16ToCp932(out, text, capacity, lost);
}
}  // namespace ruv
